#include "platform/Path.h"
#include "support/AppWindows.h"
#include "ui/Unit1.h"
#include "widgets/ListBox.h"

#include <QAction>
#include <QTimer>
#include <gtest/gtest.h>

namespace brinmor {
namespace {

using Names = std::vector<std::string>;

Names Items(const TListBox& list) {
    Names items;
    for (int i = 0; i < list.Count(); ++i)
        items.push_back(list.Item(i));
    return items;
}

TEST(SearchListAdd, AsksInFrenchAndAppendsWhatWasTypedUnchanged) {
    test::AppWindows app;
    app.dialogs.inputAnswers = {std::nullopt, "", " a.fr ", std::string(255, 'x')};
    for (int i = 0; i < 4; ++i)
        app.form1().Ajouter1Click();
    EXPECT_EQ(Items(*app.form1().ListBox1), (Names{"", " a.fr ", std::string(255, 'x')}));
    ASSERT_EQ(app.dialogs.inputs.size(), 4u);
    EXPECT_EQ(app.dialogs.inputs[0].caption, "Nom domaine");
    EXPECT_EQ(app.dialogs.inputs[0].prompt, "Nom de domaine \xE0 rechercher ?");
    EXPECT_EQ(app.dialogs.inputs[0].maxLength, 255);
}

TEST(SearchListRemove, RemovesExactlyTheSelectedItemsKeepingTheOrder) {
    struct Case {
        std::vector<int> selected;
        Names left;
    };
    const Case cases[] = {
        {{}, {"a", "b", "c", "d", "e"}}, {{1, 2}, {"a", "d", "e"}},   {{0, 2, 4}, {"b", "d"}},
        {{0, 1, 2, 3, 4}, {}},           {{4}, {"a", "b", "c", "d"}},
    };
    for (const auto& c : cases) {
        test::AppWindows app;
        TListBox& list = *app.form1().ListBox1;
        list.SetItems({"a", "b", "c", "d", "e"});
        for (const int i : c.selected)
            list.item(i)->setSelected(true);
        app.form1().Supprimer1Click();
        EXPECT_EQ(Items(list), c.left);
    }
}

TEST(SearchListRemove, RemovingFromOrEmptyingAnEmptyListDoesNothing) {
    test::AppWindows app;
    app.form1().Supprimer1Click();
    app.form1().Viderlaliste2Click();
    EXPECT_EQ(app.form1().ListBox1->Count(), 0);
    EXPECT_TRUE(app.dialogs.errors.empty());
}

TEST(SearchListImport, AppendsEachLineAsTheTextFileRulesReadIt) {
    struct Case {
        std::string content;
        Names items;
    };
    const Case cases[] = {
        {"a.fr\r\nb.fr\r\n", {"a.fr", "b.fr"}},
        {"a.fr\rb.fr\r", {"a.fr", "b.fr"}},
        {"a.fr\r\nb.fr", {"a.fr", "b.fr"}},
        {"a.fr\r\n", {"a.fr"}},
        {"a.fr\nb.fr\n", {"a.fr\nb.fr\n"}},
        {"", {}},
        {"\r\n\r\n\r\n", {"", "", ""}},
        {"a.fr\r\nb\x1A"
         "c.fr\r\nd.fr\r\n",
         {"a.fr", "b"}},
        {"  a.fr \t\r\n", {"  a.fr \t"}},
        {"\xE9t\xE9.fr\r\n", {"\xE9t\xE9.fr"}},
        // Unicode text is held as Windows-1252 when the file says what it is.
        {"\xEF\xBB\xBF\xC3\xA9t\xC3\xA9.fr\r\n\xE4\xB8\xAD.cn\r\n", {"\xE9t\xE9.fr", "?.cn"}},
        {std::string("\xFF\xFE\xE9\0.\0f\0r\0\r\0\n\0\x2D\x4E", 16), {"\xE9.fr", "?"}},
        {std::string("\xFE\xFF\0\xE9\0.\0f\0r\0\r\0\n\0b", 16), {"\xE9.fr", "b"}},
        {"\xC3\xA9.fr\r\n", {"\xC3\xA9.fr"}},
        {"a.fr\r\r\nb.fr", {"a.fr", "", "b.fr"}},
        {"a.fr\r\na.fr\r\n", {"a.fr", "a.fr"}},
    };
    for (const auto& c : cases) {
        test::AppWindows app;
        app.dir.Write("names.txt", c.content);
        app.form1().ListBox1->Add("kept");
        app.dialogs.fileAnswers = {app.dir.File("names.txt")};
        app.form1().Importer1Click();
        Names expected{"kept"};
        expected.insert(expected.end(), c.items.begin(), c.items.end());
        EXPECT_EQ(Items(*app.form1().ListBox1), expected) << testing::PrintToString(c.content);
        ASSERT_EQ(app.dialogs.fileFilters.size(), 1u);
        EXPECT_EQ(app.dialogs.fileFilters[0],
                  (std::pair<std::string, std::string>{"Text", "*.txt"}));
    }
}

TEST(SearchListImport, AMissingFileIsReportedAndTheListStaysAsItWas) {
    test::AppWindows app;
    app.form1().ListBox1->Add("kept");
    app.dialogs.fileAnswers = {app.dir.File("missing.txt")};
    app.form1().Importer2->trigger();
    ASSERT_EQ(app.dialogs.errors.size(), 1u);
    EXPECT_EQ(app.dialogs.errors[0], "Fichier introuvable.");
    EXPECT_EQ(Items(*app.form1().ListBox1), Names{"kept"});
}

TEST(SearchListImport, CancellingTheFileDialogChangesNothing) {
    test::AppWindows app;
    app.dialogs.fileAnswers = {std::nullopt};
    app.form1().Importer1Click();
    EXPECT_EQ(app.form1().ListBox1->Count(), 0);
}

TEST(SearchListImport, AClearBetweenTwoLinesLetsTheImportGoOnInTheEmptiedList) {
    test::AppWindows app;
    app.dir.Write("names.txt", "a.fr\r\nb.fr\r\nc.fr\r\n");
    app.form1().ListBox1->Add("old");
    // Waiting events run after each imported line; this one is a click on "Vider la liste".
    QTimer::singleShot(0, app.form1().Viderlaliste1, &QAction::trigger);
    app.dialogs.fileAnswers = {app.dir.File("names.txt")};
    app.form1().Importer1Click();
    EXPECT_EQ(Items(*app.form1().ListBox1), (Names{"b.fr", "c.fr"}));
}

} // namespace
} // namespace brinmor
