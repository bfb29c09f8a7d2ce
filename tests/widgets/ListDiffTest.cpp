#include "widgets/ListDiff.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace brinmor {
namespace {

// The texts of a list written with blanks between them.
std::vector<QString> Texts(const char* spaced) {
    const QStringList texts = QString::fromLatin1(spaced).split(' ', Qt::SkipEmptyParts);
    return {texts.begin(), texts.end()};
}

bool IgnoringCase(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

// The cases that matter for a refill of the stored names: each ends in the wanted list, at
// least so many shown rows are neither taken out nor put in again, and runs go in and out
// together, in at most so many steps. Any diff that does as well passes.
TEST(ListDiff, EndsInTheWantedListTouchingFewRows) {
    struct Case {
        const char* what;
        const char* shown;
        const char* wanted;
        bool sorted;
        int kept;
        std::size_t steps;
    };
    const Case cases[] = {
        {"an insert", "a c d", "a b c d", true, 3, 1},
        {"an insert at the end", "a b", "a b c", true, 2, 1},
        {"a delete", "a b c d", "a c d", true, 3, 1},
        {"a rename in letter case", "a Foo z", "a foo z", true, 2, 2},
        {"a whole new folder", "b d f", "a c e g", true, 0, 7},
        {"runs go together", "a x y z", "a b c d", true, 1, 2},
        {"emptied", "a b", "", true, 0, 1},
        {"unsorted, a new last name", "z a", "z a m", false, 2, 1},
        {"unsorted, a new order", "z a", "a z", false, 1, 2},
    };
    for (const Case& c : cases) {
        const std::vector<QString> wanted = Texts(c.wanted);
        // Each row with the shown row it was, or -1 for a row put in.
        std::vector<std::pair<QString, int>> list;
        for (const QString& text : Texts(c.shown))
            list.emplace_back(text, static_cast<int>(list.size()));
        const std::vector<ListEdit> edits =
            ListDiff(Texts(c.shown), wanted, c.sorted ? ListLess(IgnoringCase) : ListLess());
        EXPECT_LE(edits.size(), c.steps) << c.what;
        for (const ListEdit& edit : edits) {
            if (const auto* insert = std::get_if<ListInsert>(&edit)) {
                ASSERT_LE(insert->row, static_cast<int>(list.size())) << c.what;
                ASSERT_LE(insert->from + insert->count, static_cast<int>(wanted.size())) << c.what;
                for (int i = insert->count - 1; i >= 0; --i)
                    list.insert(list.begin() + insert->row, {wanted[insert->from + i], -1});
            } else {
                const auto& remove = std::get<ListRemove>(edit);
                ASSERT_LE(remove.row + remove.count, static_cast<int>(list.size())) << c.what;
                list.erase(list.begin() + remove.row, list.begin() + remove.row + remove.count);
            }
        }
        std::vector<QString> texts;
        int kept = 0;
        for (const auto& [text, shownRow] : list) {
            texts.push_back(text);
            kept += shownRow >= 0 ? 1 : 0;
        }
        EXPECT_EQ(texts, wanted) << c.what;
        EXPECT_GE(kept, c.kept) << c.what;
    }
}

} // namespace
} // namespace brinmor
