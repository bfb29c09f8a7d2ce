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

TEST_F(ListBoxTest, SortedListComparesIgnoringCaseAsTheUsersLocaleDoes) {
    using Names = std::vector<std::string>;
    const Names names = {"zeta.fr",      "Alpha.com",   "\xF6l.se",  "beta.net",
                         "\xC9t\xE9.fr", "\x8Akoda.cz", "alpha.org", "\xE9glise.fr"};
    const std::pair<QLocale, Names> cases[] = {
        {QLocale(QLocale::French, QLocale::France),
         {"Alpha.com", "alpha.org", "beta.net", "\xE9glise.fr", "\xC9t\xE9.fr", "\xF6l.se",
          "\x8Akoda.cz", "zeta.fr"}},
        // The C locale names no language: the neutral order, still ignoring case.
        {QLocale::c(),
         {"Alpha.com", "alpha.org", "beta.net", "\xE9glise.fr", "\xC9t\xE9.fr", "\xF6l.se",
          "\x8Akoda.cz", "zeta.fr"}},
#ifndef _WIN32
        // Swedish puts \xF6 after z. (Windows takes the user's locale from the system.)
        {QLocale(QLocale::Swedish, QLocale::Sweden),
         {"Alpha.com", "alpha.org", "beta.net", "\xE9glise.fr", "\xC9t\xE9.fr", "\x8Akoda.cz",
          "zeta.fr", "\xF6l.se"}},
#endif
    };
    for (const auto& [locale, sorted] : cases) {
        const test::LocaleScope user(locale);
        TListBox added;
        added.SetSorted(true);
        for (const std::string& name : names)
            added.Add(name);
        EXPECT_EQ(Items(added), sorted) << locale.name().toStdString();
        TListBox refilled;
        refilled.SetSorted(true);
        refilled.SetItems(names);
        EXPECT_EQ(Items(refilled), sorted) << locale.name().toStdString();
    }
}

TEST_F(ListBoxTest, TagsFollowTheirItemsWhateverChangesTheRows) {
    TListBox list;
    list.SetSorted(true);
    list.SetItems({"b", "a", "d"});
    list.Delete(1);
    list.Add("c");
    std::vector<std::pair<std::string, int>> tagged;
    for (int i = 0; i < list.Count(); ++i)
        tagged.emplace_back(list.Item(i), list.Tag(i));
    EXPECT_EQ(tagged, (std::vector<std::pair<std::string, int>>{{"a", 1}, {"c", -1}, {"d", 2}}));
    list.clear();
    list.Add("x");
    EXPECT_EQ(list.Tag(0), -1);
    EXPECT_THROW(list.Tag(1), EStringListError);
}

// A refill keeps the rows whose text stays; the list must still end as if made anew.
TEST_F(ListBoxTest, ARefillGivesTheNewItemsWithTheirTagsAndNoSelection) {
    using Tagged = std::vector<std::pair<std::string, int>>;
    const std::pair<bool, Tagged> cases[] = {
        {true, {{"a", 1}, {"b", 4}, {"C", 2}, {"f", 3}, {"f", 5}, {"g", 0}}},
        {false, {{"g", 0}, {"a", 1}, {"C", 2}, {"f", 3}, {"b", 4}, {"f", 5}}},
    };
    for (const auto& [sorted, expected] : cases) {
        TListBox list;
        list.SetSorted(sorted);
        list.SetItems({"d", "b", "f", "h", "g"});
        list.setCurrentRow(1);
        list.SetItems({"g", "a", "C", "f", "b", "f"});
        Tagged tagged;
        for (int i = 0; i < list.Count(); ++i)
            tagged.emplace_back(list.Item(i), list.Tag(i));
        EXPECT_EQ(tagged, expected) << sorted;
        EXPECT_EQ(list.ItemIndex(), -1) << sorted;
    }
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
