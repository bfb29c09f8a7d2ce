#include "platform/DateTimeText.h"
#include "platform/Exceptions.h"
#include "support/AppWindows.h"
#include "support/QtApplication.h"
#include "support/StoreTestSupport.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "widgets/ErrorBox.h"
#include "widgets/ListOrder.h"
#include "widgets/QtText.h"
#include "widgets/RichEdit.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <tuple>

#ifdef _WIN32
#include <windows.h>
#endif

namespace brinmor {
namespace {

using test::Items;
using Names = std::vector<std::string>;

// Writes a result through the store and checks its date-time line against the clock.
std::string WriteAndRead(test::AppWindows& app, const std::string& name,
                         const std::string& answer) {
    const std::string before = NowText();
    app.form1().Enregistre_resultat(name + ".dns", answer);
    const std::string after = NowText();
    const std::string file = app.dir.Read("result/" + name + ".dns");
    const std::string date = test::FirstLine(file);
    EXPECT_TRUE(date == before || date == after) << date;
    return file.substr(date.size());
}

TEST(ResultWrite, LaysTheFileOutByteForByte) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "\r\n\r\n\r\n"},
        {"line", "\r\n\r\nline\r\n"},
        {"a\r\nb\r\n", "\r\n\r\na\r\nb\r\n\r\n"},
        {"a\r\r\nb", "\r\n\r\na\r\r\nb\r\n"},
        {std::string("\0\xFF", 2), std::string("\r\n\r\n\0\xFF\r\n", 8)},
    };
    test::AppWindows app;
    for (const auto& [answer, rest] : cases)
        EXPECT_EQ(WriteAndRead(app, "n", answer), rest) << testing::PrintToString(answer);
}

TEST(ResultWrite, ReplacesAnEarlierResultAndLeavesNoOtherFile) {
    test::AppWindows app;
    app.dir.Write("result/a.com.dns", "old result, longer than the new one");
    EXPECT_EQ(WriteAndRead(app, "a.com", "new"), "\r\n\r\nnew\r\n");
    Names left;
    for (const auto& entry : std::filesystem::directory_iterator(app.dir.Path() / "result"))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, Names{"a.com.dns"});
}

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "";
}

TEST(ResultWrite, NamesNeverWriteOutsideTheResultFolder) {
    const std::pair<std::string, std::string> cases[] = {
        {"../escape", "Nom de fichier incorrect"},
        {"sub/x", "Nom de fichier incorrect"},
        {"a:b", "Erreur E/S 123"},
    };
    test::AppWindows app;
    app.dir.MakeDir("result/sub");
    for (const auto& [name, message] : cases) {
        const std::string fileName = name + ".dns";
        EXPECT_EQ(ErrorOf([&] { app.form1().Enregistre_resultat(fileName, "x"); }), message)
            << name;
    }
    EXPECT_FALSE(app.dir.Exists("escape.dns"));
    EXPECT_TRUE(std::filesystem::is_empty(app.dir.Path() / "result" / "sub"));
}

TEST(ResultWrite, FailsOnAMissingFolderOrOverAFolder) {
    test::AppWindows noFolder(false);
    EXPECT_EQ(ErrorOf([&] { noFolder.form1().Enregistre_resultat("a.dns", "x"); }),
              "Nom de fichier incorrect");

    test::AppWindows app;
    app.dir.MakeDir("result/x.dns");
    EXPECT_EQ(ErrorOf([&] { app.form1().Enregistre_resultat("x.dns", "x"); }),
              "Acc\xE8s au fichier refus\xE9");
    Names left;
    for (const auto& entry : std::filesystem::directory_iterator(app.dir.Path() / "result"))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, Names{"x.dns"});
}

#ifdef _WIN32
TEST(ResultWrite, WindowsRefusesDeviceNamesAndIgnoresLetterCase) {
    test::AppWindows app;
    for (const char* name : {"CON", "com1", "Nul.txt", "nul ", "com1 ", "aux. ", "Prn  .x"})
        EXPECT_EQ(
            ErrorOf([&] { app.form1().Enregistre_resultat(name + std::string(".dns"), "x"); }),
            "Erreur E/S 123")
            << name;

    app.form1().Enregistre_resultat("Mixed.test.dns", "first");
    app.form1().Enregistre_resultat("MIXED.TEST.dns", "second");
    Names left;
    for (const auto& entry : std::filesystem::directory_iterator(app.dir.Path() / "result"))
        left.push_back(entry.path().filename().string());
    ASSERT_EQ(left.size(), 1u);
    const std::string stored = app.dir.Read("result/mixed.test.dns");
    EXPECT_EQ(stored.substr(stored.find("\r\n\r\n")), "\r\n\r\nsecond\r\n");
}
#endif

TEST(StoredNames, ListsEveryEntrySortedIgnoringCase) {
    test::AppWindows app;
    app.dir.Write("result/MIXED.org.dns", "x");
    app.form1().Affiche_rechercher_termine();
    for (const char* name :
         {"b.com.dns", "A.com.dns", "c.com.DNS", ".dns", ".hidden.dns", "notes.txt", "x.dnsx",
          "bA.org.dns", "B.net.dns", "ba.net.dns", "mixed.org.dns"})
        app.dir.Write(std::string("result/") + name, "x");
    app.dir.MakeDir("result/folder.dns");
    app.form1().Affiche_rechercher_termine();
    Names expected = {"",       ".hidden", "A.com", "b.com",  "B.net",
                      "ba.net", "bA.org",  "c.com", "folder", "MIXED.org"};
#ifndef _WIN32
    // Where the file system keeps them apart, names that differ only in letter case compare
    // equal: the one met first stays first.
    expected.push_back("mixed.org");
#endif
    EXPECT_EQ(Items(*app.form1().ListBox2), expected);
}

#ifdef _WIN32
// The platform's list box compares so, in the user's locale.
bool PlatformLess(const std::string& a, const std::string& b) {
    return lstrcmpiW(ToQString(a).toStdWString().c_str(), ToQString(b).toStdWString().c_str()) < 0;
}

int NoSortKey(const wchar_t*, wchar_t*, int) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

// Qt's own locale is not the platform's, and a sort key that cannot be made leaves the text to
// CompareStringEx: the order stays the platform's.
TEST(StoredNames, WindowsRefillAndSortedInsertOrderAsThePlatformCompares) {
    const Names names = {
        "googleads.com", "google.com", "9.com",      "10.com",       "1abc.com", "a-b.com",
        "ab.com",        "A.com",      "_under.com", ".hidden",      "x_y.org",  "x.y.org",
        "xy.org",        "co-op.net",  "coop.net",   "\xE9t\xE9.fr", "ete.fr",   "Eu.fr",
        "\xC9T\xC9S.fr", "b.com",      "",           "\xF6l.se",     "zeta.se",  "\xC5s.se"};
    const ListOrder::KeyMaker platform = ListOrder::SortKeyMaker();
    const std::tuple<const char*, QLocale, ListOrder::KeyMaker> cases[] = {
        {"as it is", QLocale(), platform},
        {"Qt's locale Swedish", QLocale(QLocale::Swedish, QLocale::Sweden), platform},
        {"no sort keys", QLocale(), NoSortKey},
    };
    for (const auto& [what, qtLocale, keyMaker] : cases) {
        const test::LocaleScope scope(qtLocale);
        ListOrder::SortKeyMaker() = keyMaker;
        test::AppWindows app;
        for (const std::string& name : names)
            app.dir.Write("result/" + name + ".dns", "x");
        app.form1().Affiche_rechercher_termine();
        TListBox added;
        added.SetSorted(true);
        for (const std::string& name : names)
            added.Add(name);
        ListOrder::SortKeyMaker() = platform;
        for (const Names& list : {Items(*app.form1().ListBox2), Items(added)}) {
            EXPECT_EQ(list.size(), names.size()) << what;
            EXPECT_TRUE(std::is_sorted(list.begin(), list.end(), PlatformLess))
                << what << ": " << testing::PrintToString(list);
        }
    }
}
#endif

TEST(StoredNames, SortAsTheUsersLocaleDoes) {
    const test::LocaleScope french(QLocale(QLocale::French, QLocale::France));
    test::AppWindows app;
    for (const char* name : {"Zeta.fr", "\xE9glise.fr", "\xC9T\xC9.fr", "alpha.fr", "Eu.fr"})
        app.dir.Write(std::string("result/") + name + ".dns", "x");
    app.form1().Affiche_rechercher_termine();
    EXPECT_EQ(Items(*app.form1().ListBox2),
              (Names{"alpha.fr", "\xE9glise.fr", "\xC9T\xC9.fr", "Eu.fr", "Zeta.fr"}));
}

TEST(StoredNames, AMissingFolderEmptiesTheList) {
    test::AppWindows app;
    app.dir.Write("result/a.dns", "x");
    app.form1().Affiche_rechercher_termine();
    ASSERT_EQ(app.form1().ListBox2->Count(), 1);
    std::filesystem::remove_all(app.dir.Path() / "result");
    app.form1().Affiche_rechercher_termine();
    EXPECT_EQ(app.form1().ListBox2->Count(), 0);
    EXPECT_TRUE(app.dialogs.errors.empty());
}

struct ShownLine {
    std::string text;
    unsigned color; // 0x00BBGGRR
    bool bold;
    bool operator==(const ShownLine&) const = default;
};

void PrintTo(const ShownLine& l, std::ostream* os) {
    *os << testing::PrintToString(l.text) << " " << std::hex << l.color << (l.bold ? " bold" : "");
}

// The pane's lines with the colour and weight of their text; an empty line shows no text, so
// it carries none.
std::vector<ShownLine> Shown(const TRichEdit& pane) {
    std::vector<ShownLine> lines;
    for (QTextBlock b = pane.document()->begin(); b.isValid(); b = b.next()) {
        ShownLine line{FromQString(b.text()), 0, false};
        if (!b.text().isEmpty()) {
            const QTextCharFormat f = b.begin().fragment().charFormat();
            const QColor c = f.foreground().color();
            line.color = static_cast<unsigned>(c.red()) | static_cast<unsigned>(c.green()) << 8 |
                         static_cast<unsigned>(c.blue()) << 16;
            line.bold = f.fontWeight() == QFont::Bold;
            // One format per line: the switch happens between lines.
            for (auto it = b.begin(); !it.atEnd(); ++it)
                EXPECT_EQ(it.fragment().charFormat(), f) << line.text;
        }
        lines.push_back(line);
    }
    return lines;
}

void Select(TListBox& list, const std::string& name) {
    const auto items = Items(list);
    const auto at = std::find(items.begin(), items.end(), name);
    ASSERT_NE(at, items.end()) << name;
    list.setCurrentRow(static_cast<int>(at - items.begin()));
}

// Selects `name` in the list as it stands, which runs ListBox2Click as a click does; returns
// what the error box showed.
std::string Click(test::AppWindows& app, const std::string& name) {
    app.dialogs.errors.clear();
    Select(*app.form1().ListBox2, name);
    return app.dialogs.errors.empty() ? "" : app.dialogs.errors.front();
}

// Refills the list from the folder first.
std::string Show(test::AppWindows& app, const std::string& name) {
    app.form1().Affiche_rechercher_termine();
    return Click(app, name);
}

constexpr unsigned kNavy = 0x800000;
constexpr unsigned kAfter = 1000;

TEST(ShowResult, SwitchesColourOnlyAfterALineThatIsExactlyRegistrant) {
    test::AppWindows app;
    app.dir.Write("result/a.dns", "08/12/2026 07:59:17\r\n\r\nDomain: a\r\n Registrant:\r\n"
                                  "Registrant: x\r\nregistrant:\r\nRegistrant:\r\nName: Bob\r\n"
                                  "Registrant:\r\n\r\nend\r\n");
    EXPECT_EQ(Show(app, "a"), "");
    EXPECT_EQ(Shown(*app.form1().RichEdit1), (std::vector<ShownLine>{
                                                 {"08/12/2026 07:59:17", kNavy, true},
                                                 {"", 0, false},
                                                 {"Domain: a", kNavy, true},
                                                 {" Registrant:", kNavy, true},
                                                 {"Registrant: x", kNavy, true},
                                                 {"registrant:", kNavy, true},
                                                 {"Registrant:", kNavy, true},
                                                 {"Name: Bob", kAfter, true},
                                                 {"Registrant:", kAfter, true},
                                                 {"", 0, false},
                                                 {"end", kAfter, true},
                                             }));
}

std::vector<std::string> ShownTexts(const TRichEdit& pane) {
    std::vector<std::string> texts;
    for (const auto& line : Shown(pane))
        texts.push_back(line.text);
    return texts;
}

TEST(ShowResult, FollowsTheLineRulesOfTheFile) {
    const std::pair<std::string, Names> cases[] = {
        {"d\r\n\r\n\r\n", {"d", "", ""}},
        {"d\r\n\r\nanswer\r\n\r\n", {"d", "", "answer", ""}},
        {"d\r\n\r\na\r\r\nb\r\r\n\r\n", {"d", "", "a", "", "b", "", ""}},
        {"d\r\n\r\nkept\x1Alost\r\nlost\r\n", {"d", "", "kept"}},
        {"one\ntwo\nthree\n", {"one two three "}},
    };
    for (const auto& [bytes, lines] : cases) {
        test::AppWindows app;
        app.dir.Write("result/r.dns", bytes);
        EXPECT_EQ(Show(app, "r"), "");
        EXPECT_EQ(ShownTexts(*app.form1().RichEdit1), lines) << testing::PrintToString(bytes);
    }
}

TEST(ShowResult, DecodesUtf8ResultsAndKeepsWindows1252Ones) {
    const std::pair<std::string, std::string> cases[] = {
        {"City: M\xC3\xA9rignac", "City: M\xE9rignac"},
        {"City: M\xE9rignac", "City: M\xE9rignac"},
        // Not UTF-8 as a whole: every line is Windows-1252, valid-looking ones too.
        {"M\xC3\xA9rignac\r\nM\xE9rignac", "M\xC3\xA9rignac|M\xE9rignac"},
        {"plain", "plain"},
    };
    for (const auto& [body, shown] : cases) {
        test::AppWindows app;
        app.dir.Write("result/u.dns", "d\r\n\r\n" + body + "\r\n");
        EXPECT_EQ(Show(app, "u"), "");
        std::string joined;
        const auto texts = ShownTexts(*app.form1().RichEdit1);
        for (std::size_t i = 2; i < texts.size(); ++i)
            joined += (i > 2 ? "|" : "") + texts[i];
        EXPECT_EQ(joined, shown) << testing::PrintToString(body);
    }
}

TEST(ShowResult, ShowsALargeResultWhole) {
    test::AppWindows app;
    std::string body;
    for (int i = 0; i < 5000; ++i)
        body += "line " + std::to_string(i) + " of a long answer that exceeds the old limit\r\n";
    app.dir.Write("result/big.dns", body);
    EXPECT_EQ(Show(app, "big"), "");
    const auto texts = ShownTexts(*app.form1().RichEdit1);
    ASSERT_EQ(texts.size(), 5000u);
    EXPECT_EQ(texts.back(), "line 4999 of a long answer that exceeds the old limit");
}

TEST(ShowResult, FailuresLeaveThePaneAsItWas) {
    test::AppWindows app;
    app.dir.Write("result/a.dns", "shown\r\n");
    app.dir.Write("result/gone.dns", "x");
    app.dir.MakeDir("result/folder.dns");
    EXPECT_EQ(Show(app, "a"), "");
    std::filesystem::remove(app.dir.Path() / "result" / "gone.dns");
    EXPECT_EQ(Click(app, "gone"), "Fichier introuvable.");
    EXPECT_EQ(Click(app, "folder"), "Acc\xE8s au fichier refus\xE9.");
    EXPECT_EQ(ShownTexts(*app.form1().RichEdit1), Names{"shown"});
}

TEST(DeleteResult, DeletesTheSelectedResultAndRefills) {
    test::AppWindows app;
    app.dir.Write("result/a.dns", "a\r\n");
    app.dir.Write("result/b.dns", "b\r\n");
    EXPECT_EQ(Show(app, "a"), "");
    RunCommand([&] { app.form1().Supprimer3Click(); });
    EXPECT_TRUE(app.dialogs.errors.empty());
    EXPECT_FALSE(app.dir.Exists("result/a.dns"));
    EXPECT_EQ(Items(*app.form1().ListBox2), Names{"b"});
    EXPECT_EQ(app.form1().ListBox2->ItemIndex(), -1);
    // The pane still shows the deleted result.
    EXPECT_EQ(ShownTexts(*app.form1().RichEdit1), Names{"a"});
}

TEST(DeleteResult, WithNothingSelectedReportsTheIndexAndDeletesNothing) {
    test::AppWindows app;
    app.dir.Write("result/a.dns", "a\r\n");
    app.form1().Affiche_rechercher_termine();
    app.dir.Write("result/b.dns", "b\r\n");
    RunCommand([&] { app.form1().Supprimer3Click(); });
    EXPECT_EQ(app.dialogs.errors, Names{"Indice de liste hors limites (-1)"});
    EXPECT_TRUE(app.dir.Exists("result/a.dns"));
    // Not refilled either.
    EXPECT_EQ(Items(*app.form1().ListBox2), Names{"a"});
}

TEST(DeleteResult, AVanishedFileOrAFolderRefreshesSilently) {
    test::AppWindows app;
    app.dir.Write("result/gone.dns", "x");
    app.dir.MakeDir("result/folder.dns");
    app.form1().Affiche_rechercher_termine();
    std::filesystem::remove(app.dir.Path() / "result" / "gone.dns");
    EXPECT_EQ(Click(app, "gone"), "Fichier introuvable.");
    app.dialogs.errors.clear();
    RunCommand([&] { app.form1().Supprimer3Click(); });
    EXPECT_EQ(Items(*app.form1().ListBox2), Names{"folder"});
    EXPECT_EQ(Click(app, "folder"), "Acc\xE8s au fichier refus\xE9.");
    app.dialogs.errors.clear();
    RunCommand([&] { app.form1().Supprimer3Click(); });
    EXPECT_EQ(app.dialogs.errors, Names{});
    EXPECT_TRUE(app.dir.Exists("result/folder.dns"));
    EXPECT_EQ(Items(*app.form1().ListBox2), Names{"folder"});
}

// The main window on screen over result files, named as the file system holds them; each
// holds its own name.
struct OnScreen {
    test::AppWindows app;
    TListBox& list = *app.form1().ListBox2;

    explicit OnScreen(const Names& files) {
        for (const std::string& file : files)
            std::ofstream(app.dir.Path() / "result" / file, std::ios::binary) << file << "\r\n";
        app.form1().Affiche_rechercher_termine();
        app.form1().show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&app.form1()));
        list.setFocus();
    }
    QPoint RowCentre(int row) const { return list.visualItemRect(list.item(row)).center(); }
    void Click(QPoint at, Qt::KeyboardModifiers keys = {},
               Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(list.viewport(), button, keys, at);
    }
    Names Shown() const { return ShownTexts(*app.form1().RichEdit1); }
};

// The stored names a, b and c, "a" clicked and shown.
struct ShownStore : OnScreen {
    ShownStore() : OnScreen({"a.dns", "b.dns", "c.dns"}) {
        Click(RowCentre(0));
        EXPECT_EQ(Shown(), Names{"a.dns"});
    }
};

TEST(StoredNameList, GesturesThatWouldEmptyTheSelectionShowNoErrorBox) {
    struct Case {
        const char* what;
        std::function<void(ShownStore&)> gesture;
        Names shown;
    };
    const Case cases[] = {
        {"click below the last name",
         [](ShownStore& s) {
             const QRect last = s.list.visualItemRect(s.list.item(2));
             s.Click({last.center().x(), last.bottom() + 20});
         },
         {"c.dns"}},
        {"ctrl+click on the selected name",
         [](ShownStore& s) { s.Click(s.RowCentre(0), Qt::ControlModifier); },
         {"a.dns"}},
        {"ctrl+space",
         [](ShownStore& s) { QTest::keyClick(&s.list, Qt::Key_Space, Qt::ControlModifier); },
         {"a.dns"}},
    };
    for (const Case& c : cases) {
        ShownStore s;
        c.gesture(s);
        EXPECT_EQ(s.app.dialogs.errors, Names{}) << c.what;
        EXPECT_GE(s.list.ItemIndex(), 0) << c.what;
        EXPECT_EQ(s.Shown(), c.shown) << c.what;
    }
}

TEST(StoredNameList, ARightClickLeavesTheSelectionToTheContextMenu) {
    ShownStore s;
    const QPoint at = s.RowCentre(1);
    s.Click(at, {}, Qt::RightButton);
    // The window system follows the click with the menu request.
    QContextMenuEvent request(QContextMenuEvent::Mouse, at, s.list.viewport()->mapToGlobal(at));
    QApplication::sendEvent(s.list.viewport(), &request);
    ASSERT_TRUE(s.app.form1().PopupMenu2->isVisible());
    s.app.form1().Supprimer3->trigger();
    s.app.form1().PopupMenu2->close();
    EXPECT_FALSE(s.app.dir.Exists("result/a.dns"));
    EXPECT_TRUE(s.app.dir.Exists("result/b.dns"));
    EXPECT_EQ(s.Shown(), Names{"a.dns"});
}

TEST(StoredNameList, ShowsAndDeletesEachNameThroughTheFileItCameFrom) {
    // Another program's letter case, and a Latin-1 name that is not UTF-8.
    OnScreen s({"Foo.DNS", "caf\xE9.dns"});
#ifdef _WIN32
    // Windows names are Unicode: the same bytes name "café" there.
    EXPECT_EQ(Items(s.list), (Names{"caf\xE9", "Foo"}));
#else
    EXPECT_EQ(Items(s.list), (Names{"caf?", "Foo"}));
    EXPECT_EQ(s.list.item(0)->text(), QStringView(u"caf\uFFFD"));
#endif
    for (const std::string file : {"caf\xE9.dns", "Foo.DNS"}) {
        s.Click(s.RowCentre(0));
        EXPECT_EQ(s.Shown(), Names{file});
        s.app.form1().Supprimer3->trigger();
        EXPECT_FALSE(std::filesystem::exists(s.app.dir.Path() / "result" / file)) << file;
    }
    EXPECT_EQ(s.app.dialogs.errors, Names{});
    EXPECT_EQ(s.list.Count(), 0);
}

// The executable's folder is named as the system names it: letters that Windows-1252 lacks in
// its name change nothing for config.ini, result/ or a list imported from it. A result keeps
// the file name that its Windows-1252 name has always had.
TEST(ExecutableFolder, SettingsResultsAndImportsWorkUnderAnyName) {
    for (const char8_t* folder : {u8"H\u00E9l\u00E8ne", u8"\u0141ukasz", u8"\u65E5\u672C"}) {
        const std::filesystem::path name(folder);
        SCOPED_TRACE(reinterpret_cast<const char*>(folder));
        test::AppWindows app(true, name);
        app.WriteConfig("[language]\r\ncode=en\r\n");
        app.ShowMainWindow();
        EXPECT_EQ(app.form2().LanguageCode, "en");

        app.form1().Enregistre_resultat("caf\xE9.fr.dns", "answer");
        const auto stored = app.dir.Path() / "result" / std::filesystem::path(u8"caf\u00E9.fr.dns");
        EXPECT_TRUE(std::filesystem::exists(stored));
        EXPECT_EQ(Show(app, "caf\xE9.fr"), "");
        EXPECT_EQ(ShownTexts(*app.form1().RichEdit1).at(2), "answer");
        RunCommand([&] { app.form1().Supprimer3Click(); });
        EXPECT_FALSE(std::filesystem::exists(stored));
        EXPECT_EQ(app.form1().ListBox2->Count(), 0);

        app.dir.Write("names.txt", "a.fr\r\nb.fr\r\n");
        app.dialogs.fileAnswers = {app.dir.Path() / "names.txt"};
        app.form1().Importer1Click();
        EXPECT_EQ(Items(*app.form1().ListBox1), (Names{"a.fr", "b.fr"}));
        EXPECT_EQ(app.dialogs.errors, Names{});
    }
}

} // namespace
} // namespace brinmor
