#include "widgets/ListBox.h"

#include "platform/Exceptions.h"
#include "support/QtApplication.h"

#include <QApplication>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace brinmor {
namespace {

std::vector<std::string> Items(const TListBox& list) {
    std::vector<std::string> items;
    for (int i = 0; i < list.Count(); ++i)
        items.push_back(list.Item(i));
    return items;
}

class ListBoxTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::EnsureApplication(); }
};

TEST_F(ListBoxTest, SortedListIgnoresLetterCaseWhateverTheOrderOfAdding) {
    TListBox list;
    list.SetSorted(true);
    for (const char* name : {"zeta.fr", "Alpha.com", "beta.net", "\xC9t\xE9.fr", "alpha.org"})
        list.Add(name);
    EXPECT_EQ(Items(list), (std::vector<std::string>{"Alpha.com", "alpha.org", "beta.net",
                                                     "zeta.fr", "\xC9t\xE9.fr"}));
    list.SetItems({"b", "C", "a"});
    EXPECT_EQ(Items(list), (std::vector<std::string>{"a", "b", "C"}));
    // A single insert keeps the order a refill made; \x8A (S caron) sorts as \x9A.
    list.Add("B2");
    list.Add("\x8A");
    list.Add("\x9A" "a");
    EXPECT_EQ(Items(list), (std::vector<std::string>{"a", "b", "B2", "C", "\x8A", "\x9A" "a"}));
}

TEST_F(ListBoxTest, UnsortedListKeepsTheOrderOfAdding) {
    TListBox list;
    for (const char* name : {"b", "", "a", "b"})
        list.Add(name);
    EXPECT_EQ(Items(list), (std::vector<std::string>{"b", "", "a", "b"}));
}

TEST_F(ListBoxTest, ABadIndexRaisesTheListError) {
    TListBox list;
    list.Add("x");
    EXPECT_EQ(list.ItemIndex(), -1);
    try {
        list.Item(-1);
        FAIL() << "no error raised";
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message(), "Indice de liste hors limites (-1)");
    }
    EXPECT_THROW(list.Delete(1), EStringListError);
}

TEST_F(ListBoxTest, OnlyTheUsersSelectionChangesAreSignalled) {
    TListBox list;
    int signalled = 0;
    QObject::connect(&list, &TListBox::UserSelectionChanged, [&] { ++signalled; });
    list.SetItems({"a", "b"});
    list.Add("c");
    EXPECT_EQ(signalled, 0);
    list.setCurrentRow(1);
    EXPECT_EQ(signalled, 1);
    EXPECT_EQ(list.ItemIndex(), 1);
}

QPoint RowCentre(const TListBox& list, int row) {
    return list.visualItemRect(list.item(row)).center();
}

void Click(TListBox& list, QPoint at, Qt::KeyboardModifiers keys = {},
           Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(list.viewport(), button, keys, at);
}

std::vector<int> SelectedRows(const TListBox& list) {
    std::vector<int> rows;
    for (int i = 0; i < list.Count(); ++i)
        if (list.Selected(i))
            rows.push_back(i);
    return rows;
}

// Mouse and keys as the user gives them, starting from a click on the first of three items.
TEST_F(ListBoxTest, ClicksAndKeysChangeTheSelectionAsOnThePlatform) {
    using Mode = QAbstractItemView::SelectionMode;
    struct Case {
        const char* what;
        Mode mode;
        std::function<void(TListBox&)> gesture;
        std::vector<int> selected;
    };
    const auto below = [](TListBox& l) {
        const QRect last = l.visualItemRect(l.item(2));
        Click(l, {last.center().x(), last.bottom() + 20});
    };
    const auto rightClick = [](TListBox& l) { Click(l, RowCentre(l, 1), {}, Qt::RightButton); };
    const Case cases[] = {
        {"click below the last item", Mode::SingleSelection, below, {2}},
        {"click below the last item", Mode::ExtendedSelection, below, {2}},
        {"ctrl+click on the selected item",
         Mode::SingleSelection,
         [](TListBox& l) { Click(l, RowCentre(l, 0), Qt::ControlModifier); },
         {0}},
        {"ctrl+space",
         Mode::SingleSelection,
         [](TListBox& l) { QTest::keyClick(&l, Qt::Key_Space, Qt::ControlModifier); },
         {0}},
        {"right-click on another item", Mode::SingleSelection, rightClick, {0}},
        {"right-click on another item", Mode::ExtendedSelection, rightClick, {0}},
        {"ctrl+click on another item",
         Mode::SingleSelection,
         [](TListBox& l) { Click(l, RowCentre(l, 1), Qt::ControlModifier); },
         {1}},
    };
    for (const Case& c : cases) {
        TListBox list;
        list.setSelectionMode(c.mode);
        list.SetItems({"a", "b", "c"});
        list.resize(200, 200);
        list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
        list.setFocus();
        Click(list, RowCentre(list, 0));
        ASSERT_EQ(SelectedRows(list), std::vector<int>{0});
        c.gesture(list);
        EXPECT_EQ(SelectedRows(list), c.selected) << c.what << ", mode " << c.mode;
    }
}

} // namespace
} // namespace brinmor
