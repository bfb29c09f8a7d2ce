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

// The cases that matter for a refill of the stored names: each ends in the wanted list, and
// rows that keep their text are neither taken out nor put in again.
TEST(ListDiff, TouchesOnlyTheRowsWhoseTextChanged) {
    struct Case {
        const char* what;
        const char* shown;
        const char* wanted;
        bool sorted;
        std::vector<ListEdit> edits; // {insert, row, count, from}
    };
    const Case cases[] = {
        {"an insert", "a c d", "a b c d", true, {{true, 1, 1, 1}}},
        {"an insert at the end", "a b", "a b c", true, {{true, 2, 1, 2}}},
        {"a delete", "a b c d", "a c d", true, {{false, 1, 1, 0}}},
        {"a rename in letter case",
         "a Foo z",
         "a foo z",
         true,
         {{false, 1, 1, 0}, {true, 1, 1, 1}}},
        {"a whole new folder",
         "b d f",
         "a c e g",
         true,
         {{true, 0, 1, 0},
          {false, 1, 1, 0},
          {true, 1, 1, 1},
          {false, 2, 1, 0},
          {true, 2, 1, 2},
          {false, 3, 1, 0},
          {true, 3, 1, 3}}},
        {"runs go together", "a x y z", "a b c d", true, {{true, 1, 3, 1}, {false, 4, 3, 0}}},
        {"emptied", "a b", "", true, {{false, 0, 2, 0}}},
        {"unsorted, a new last name", "z a", "z a m", false, {{true, 2, 1, 2}}},
        {"unsorted, a new order", "z a", "a z", false, {{false, 0, 1, 0}, {true, 1, 1, 1}}},
    };
    for (const Case& c : cases) {
        const std::vector<QString> wanted = Texts(c.wanted);
        std::vector<QString> list = Texts(c.shown);
        const std::vector<ListEdit> edits =
            ListDiff(list, wanted, c.sorted ? ListLess(IgnoringCase) : ListLess());
        EXPECT_EQ(edits, c.edits) << c.what;
        for (const ListEdit& edit : edits) {
            ASSERT_LE(edit.row + (edit.insert ? 0 : edit.count), static_cast<int>(list.size()))
                << c.what;
            if (edit.insert)
                list.insert(list.begin() + edit.row, wanted.begin() + edit.from,
                            wanted.begin() + edit.from + edit.count);
            else
                list.erase(list.begin() + edit.row, list.begin() + edit.row + edit.count);
        }
        EXPECT_EQ(list, wanted) << c.what;
    }
}

} // namespace
} // namespace brinmor
