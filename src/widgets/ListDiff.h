#pragma once

#include <QString>
#include <functional>
#include <variant>
#include <vector>

namespace brinmor {

// The steps that turn a shown list into a wanted one, each at a row of the list as the earlier
// steps left it.

// count wanted texts go in at row, from wanted[from] on, in their order.
struct ListInsert {
    int row;
    int count;
    int from;

    bool operator==(const ListInsert&) const = default;
};

// count rows go out from row on.
struct ListRemove {
    int row;
    int count;

    bool operator==(const ListRemove&) const = default;
};

using ListEdit = std::variant<ListInsert, ListRemove>;

// Whether a sorts before b; empty for a list that keeps the order of adding.
using ListLess = std::function<bool(const QString& a, const QString& b)>;

// The steps from shown to wanted that keep every row whose text stays where it is: a refill
// of many thousand items finds most where they were, and making the items again would cost
// more than the rest of the refill. Runs of new texts go in, and runs of texts gone go out,
// together, so a view hears of each once. A sorted wanted list is merged by its order.
std::vector<ListEdit> ListDiff(const std::vector<QString>& shown,
                               const std::vector<QString>& wanted, const ListLess& less);

} // namespace brinmor
