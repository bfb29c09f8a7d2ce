#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace brinmor {

// One step that turns a shown list into a wanted one: rows of wanted texts go in, or rows go
// out, at a row of the list as the earlier steps left it.
struct ListEdit {
    bool insert;
    int row;
    int count;
    // For an insert: the first of the wanted texts that go in, in their order.
    int from;

    bool operator==(const ListEdit&) const = default;
};

// Whether a sorts before b; empty for a list that keeps the order of adding.
using ListLess = std::function<bool(const QString& a, const QString& b)>;

// The steps from shown to wanted that keep every row whose text stays where it is: a refill
// of many thousand items finds most where they were, and making the items again would cost
// more than the rest of the refill. Runs of new texts go in, and runs of texts gone go out,
// together, so a view hears of each once. A sorted wanted list is merged by its order.
std::vector<ListEdit> ListDiff(const std::vector<QString>& shown,
                               const std::vector<QString>& wanted, const ListLess& less);

} // namespace brinmor
