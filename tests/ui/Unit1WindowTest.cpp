#include "platform/DirectoryEntries.h"
#include "platform/Path.h"
#include "support/AppWindows.h"
#include "support/FakeServer.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit6.h"
#include "ui/WhoisFirstServer.h"
#include "widgets/DesignFont.h"
#include "widgets/ListBox.h"
#include "widgets/QtText.h"
#include "widgets/RichEdit.h"
#include "widgets/StatusBar.h"

#include <QAction>
#include <QApplication>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <tuple>

namespace brinmor {
namespace {

using test::FakeServer;
using test::FakeSession;

std::string Text(const QAction* item) {
    return FromQString(item->text());
}
std::string Text(const QMenu* menu) {
    return FromQString(menu->title());
}
std::string Text(const QLabel* label) {
    return FromQString(label->text());
}
std::string Text(const QPushButton* button) {
    return FromQString(button->text());
}

std::vector<std::string> Items(const TListBox& list) {
    std::vector<std::string> items;
    for (int i = 0; i < list.Count(); ++i)
        items.push_back(list.Item(i));
    return items;
}

// Every caption of the main window, in table order.
std::vector<std::string> Captions(const TForm1& f) {
    return {Text(f.Fichier1),         Text(f.Importer1),  Text(f.Importer2), Text(f.Viderlaliste1),
            Text(f.Viderlaliste2),    Text(f.Ajouter1),   Text(f.Ajouter2),  Text(f.Supprimer1),
            Text(f.Supprimer2),       Text(f.Supprimer3), Text(f.Label1),    Text(f.Label2),
            Text(f.Label3),           Text(f.Button1),    Text(f.Quitter1),  Text(f.Configuration2),
            Text(f.Paramtreduproxy1), Text(f.Help1),      Text(f.About1)};
}

const std::vector<std::string> kInitial = {"Nom de domaine",
                                           "Importer",
                                           "Importer liste",
                                           "Vider la liste",
                                           "Vider la liste de recherche",
                                           "Ajouter",
                                           "Ajouter",
                                           "Supprimer",
                                           "Supprimer",
                                           "Supprimer",
                                           "Liste de recherche des noms de domaines",
                                           "R\xE9sultat",
                                           "Liste des noms de domaines d\xE9j\xE0 recherch\xE9",
                                           "Lancer le whois",
                                           "Quitter",
                                           "Configuration",
                                           "Param\xE8tre du proxy",
                                           "Help",
                                           "About"};

const std::vector<std::string> kFrench = {"Nom de domaine",
                                          "Importer une liste",
                                          "Importer une liste",
                                          "Vider la liste",
                                          "Vider la liste",
                                          "Ajouter un nom \xE0 la liste",
                                          "Ajouter un nom \xE0 la liste",
                                          "Supprimer un nom de la liste",
                                          "Supprimer un nom de la liste",
                                          "Supprimer un nom de la liste",
                                          "Liste de noms de domaine \xE0 chercher",
                                          "R\xE9sultat",
                                          "Noms de domaine trouv\xE9s",
                                          "Lancer le whois",
                                          "Quitter",
                                          "Configuration",
                                          "Param\xE8tres du proxy",
                                          "Aide",
                                          "A Propos"};

const std::vector<std::string> kEnglish = {"Domain name",
                                           "Import list",
                                           "Import list",
                                           "Clear list",
                                           "Clear list",
                                           "Add name to list",
                                           "Add name to list",
                                           "Remove name to list",
                                           "Remove name to list",
                                           "Remove name to list",
                                           "Domain name search list",
                                           "Result",
                                           "Domain name find",
                                           "Start whois",
                                           "Quit",
                                           "Configuration",
                                           "Proxy param.",
                                           "Help",
                                           "About"};

// The item at a place in a menu or the menu bar.
QAction* Item(const QWidget* menu, int place) {
    return menu->actions().value(place);
}

// Closes the next modal window that opens, after running `meanwhile`.
void CloseNextModal(QDialog& window, std::function<void()> meanwhile = {}) {
    QTimer::singleShot(0, &window, [&window, meanwhile] {
        if (meanwhile)
            meanwhile();
        window.reject();
    });
}

TEST(MainWindowCaptions, OnlyTheExactCodeEnGivesEnglishForBothWindows) {
    struct Case {
        const char* config;
        bool english;
    };
    const Case cases[] = {
        {"[language]\r\ncode=en\r\n", true},
        {"[language]\r\ncode=fr\r\n", false},
        {"[language]\r\ncode=EN\r\n", false},
        {"[language]\r\ncode=En\r\n", false},
        {"[language]\r\ncode=english\r\n", false},
        {"[language]\r\ncode=\r\n", false},
        {"[language]\r\n", false},
        {"", false},
    };
    for (const auto& c : cases) {
        test::AppWindows app;
        app.WriteConfig(c.config);
        app.form1().FormActivate();
        EXPECT_EQ(Captions(app.form1()), c.english ? kEnglish : kFrench) << c.config;
        EXPECT_EQ(Text(app.form2().Label1), c.english ? "Use proxy" : "Utiliser un proxy")
            << c.config;
        EXPECT_EQ(FromQString(app.form1().windowTitle()), "Brinmor v2.0");
    }
}

TEST(MainWindowCaptions, InitialCaptionsStayWhenTheFirstActivationFails) {
    test::AppWindows app;
    app.WriteConfig("[proxy]\r\nport=abc\r\n[language]\r\ncode=en\r\n");
    EXPECT_EQ(Captions(app.form1()), kInitial);
    // The box has the window behind it: the first activation waits until it is on screen.
    bool onScreen = false;
    app.dialogs.whileShown = [&] {
        onScreen = app.form1().testAttribute(Qt::WA_Mapped) && app.form1().isActiveWindow();
    };
    app.ShowMainWindow();
    ASSERT_EQ(app.dialogs.errors.size(), 1u);
    EXPECT_TRUE(onScreen);
    EXPECT_EQ(app.dialogs.errors[0], "'abc' n'est pas une valeur enti\xE8re correcte.");
    EXPECT_EQ(Captions(app.form1()), kInitial);
    EXPECT_EQ(FromQString(app.form1().windowTitle()), "Brinmor v2.0");
}

// The captions set in controls of a fixed size; the menus size themselves to theirs.
TEST(MainWindowCaptions, EveryCaptionFitsItsControlInAllThreeTables) {
#ifdef _WIN32
    GTEST_SKIP() << "Qt's offscreen platform on Windows draws no application font; "
                    "display_scale_tests checks the captions on the windows platform";
#endif
    test::AppWindows app;
    // A bad port keeps the Initial captions on screen.
    app.WriteConfig("[proxy]\r\nport=abc\r\n");
    TForm1& f = app.form1();
    f.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(FromQString(QFontInfo(f.font()).family()), CarriedDesignFamily);
    const auto check = [&f](const char* table) {
        SCOPED_TRACE(table);
        for (const QLabel* label : {f.Label1, f.Label2, f.Label3}) {
            const QFontMetrics metrics(label->font());
            EXPECT_LE(metrics.horizontalAdvance(label->text()), label->contentsRect().width())
                << Text(label);
            EXPECT_LE(metrics.height(), label->height()) << Text(label);
            // Inside the panel's frame, not under it.
            const QWidget* panel = label->parentWidget();
            EXPECT_TRUE(
                static_cast<const QFrame*>(panel)->contentsRect().contains(label->geometry()))
                << Text(label);
        }
        QStyleOptionButton option;
        option.initFrom(f.Button1);
        option.features = QStyleOptionButton::AutoDefaultButton;
        const QRect contents =
            f.Button1->style()->subElementRect(QStyle::SE_PushButtonContents, &option, f.Button1);
        const QFontMetrics metrics(f.Button1->font());
        EXPECT_LE(metrics.horizontalAdvance(f.Button1->text()), contents.width());
        EXPECT_LE(metrics.height(), contents.height());
    };
    check("initial");
    f.TranslateFrancais();
    check("French");
    f.TranslateAnglais();
    check("English");
}

TEST(MainWindowCaptions, TheResultPaneDrawsItsAnswersInBold) {
    test::AppWindows app;
    // The pane sets only the weight; the family is the pane's own.
    QFont bold = app.form1().RichEdit1->font();
    bold.setBold(true);
    QFont regular = bold;
    regular.setBold(false);
    const QString text = QStringLiteral("Domain Name: VENDRELAC.EXAMPLE");
    EXPECT_GT(QFontMetrics(bold).horizontalAdvance(text),
              QFontMetrics(regular).horizontalAdvance(text));
}

// At the design size and larger: the docked parts follow, the others keep their place. The
// figures are the layout table's: a left column 217 wide holding, docked top one under the
// other, Panel4 (20 high), ListBox1 (169), Panel6 (28), Panel5 (20) and ListBox2 (the rest);
// the right side holding Panel2 (20) and RichEdit1 (the rest); the status bar 19 high.
TEST(MainWindowLayout, EveryPartHasItsDesignedPlaceAndSize) {
    test::AppWindows app;
    TForm1& f = app.form1();
    f.show();
    for (const QSize size : {QSize(699, 598), QSize(900, 720)}) {
        f.resize(size);
        QCoreApplication::processEvents();
        const int width = f.width();
        const int column = f.centralWidget()->height();
        const QString at = QStringLiteral(" at %1x%2").arg(size.width()).arg(size.height());
        const auto expectPlace = [&](const char* name, const QWidget* widget, QRect place) {
            EXPECT_EQ(widget->geometry(), place) << name << at.toStdString();
        };
        expectPlace("StatusBar1", f.StatusBar1, {0, f.height() - 19, width, 19});
        expectPlace("client", f.centralWidget(), {0, f.height() - 19 - column, width, column});
        expectPlace("Panel3", f.Panel3, {0, 0, 217, column});
        int top = 0;
        for (const auto& [name, widget, height] :
             {std::tuple<const char*, const QWidget*, int>{"Panel4", f.Panel4, 20},
              {"ListBox1", f.ListBox1, 169},
              {"Panel6", f.Panel6, 28},
              {"Panel5", f.Panel5, 20},
              {"ListBox2", f.ListBox2, 0}}) {
            expectPlace(name, widget, {0, top, 217, height > 0 ? height : column - top});
            top += height;
        }
        expectPlace("Button1", f.Button1, {56, 3, 105, 17});
        expectPlace("Panel1", f.Panel1, {217, 0, width - 217, column});
        expectPlace("Panel2", f.Panel2, {0, 0, width - 217, 20});
        expectPlace("RichEdit1", f.RichEdit1, {0, 20, width - 217, column - 20});
        EXPECT_EQ(f.Label2->pos(), QPoint(7, 3));
    }
}

TEST(MainWindowFocus, TheRunButtonIsTheOnlyTabStopHasTheFocusAndEnterOrSpaceRuns) {
    FakeServer server([](FakeSession& s) {
        s.ReceiveLine();
        s.Send("answer\n");
        s.Close();
    });
    const WhoisFirstServer saved = FirstWhoisServer();
    FirstWhoisServer() = {"127.0.0.1", server.Port()};
    test::AppWindows app;
    TForm1& f = app.form1();
    app.ShowMainWindow();
    std::vector<const QWidget*> stops;
    for (const QWidget* widget : f.findChildren<QWidget*>())
        if (widget->isVisible() && (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus)
            stops.push_back(widget);
    EXPECT_EQ(stops, std::vector<const QWidget*>{f.Button1});
    EXPECT_EQ(QApplication::focusWidget(), f.Button1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), f.Button1);
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
        std::string name = "k"; // appended: g++ 12's -Wrestrict misfires on "k" + string at -O3
        name.append(std::to_string(key)).append(".example");
        f.ListBox1->Add(name);
        QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_EQ(f.ListBox1->Count(), 0) << key;
        EXPECT_NE(app.dir.Read("result/" + name + ".dns").find("answer"), std::string::npos) << key;
    }
    FirstWhoisServer() = saved;
}

TEST(MainWindowActivation, ClosingTheProxyDialogOrTheAboutWindowAppliesTheFileAnew) {
    test::AppWindows app;
    app.ShowMainWindow();
    EXPECT_EQ(Captions(app.form1()), kFrench);

    CloseNextModal(app.form2(), [&] { app.WriteConfig("[language]\r\ncode=en\r\n"); });
    app.form1().Paramtreduproxy1->trigger();
    EXPECT_EQ(Captions(app.form1()), kEnglish);

    CloseNextModal(app.form6(), [&] { app.WriteConfig("[language]\r\ncode=fr\r\n"); });
    app.form1().About1->trigger();
    EXPECT_EQ(Captions(app.form1()), kFrench);
    EXPECT_TRUE(app.dialogs.errors.empty());
}

TEST(MainWindowActivation, TheNamePromptCountsTheFileOpenDialogDoesNot) {
    test::AppWindows app;
    app.ShowMainWindow();
    app.WriteConfig("[language]\r\ncode=en\r\n");
    app.dialogs.fileAnswers.push_back(std::nullopt);
    app.form1().Importer2->trigger();
    EXPECT_EQ(Captions(app.form1()), kFrench);
    app.dialogs.inputAnswers.push_back(std::nullopt);
    app.form1().Ajouter2->trigger();
    EXPECT_EQ(Captions(app.form1()), kEnglish);
}

TEST(MainWindowStoredNames, FirstDisplayListsStoredNamesIgnoringCase) {
    {
        test::AppWindows empty;
        EXPECT_EQ(empty.form1().ListBox2->Count(), 0);
    }
    test::AppWindows app;
    for (const char* name :
         {"zeta.fr.dns", "Alpha.com.dns", "beta.net.dns", "notes.txt", "Gamma.net.dns",
          "GAMMA.net.dns", "gamma.net.dns", "Beta.org.dns", "alpha.net.dns"})
        app.dir.Write(std::string("result/") + name, "x");
    app.form1().FormCreate();
    // Names that differ only in letter case compare equal: they keep the order in which the
    // folder lists them (where its file system keeps them apart).
    std::vector<std::string> gammas;
    for (const auto& file : DirectoryEntries(app.dir.Path() / "result", ".dns"))
        if (QString::fromStdString(file.string()).startsWith("gamma", Qt::CaseInsensitive))
            gammas.push_back(file.stem().string());
    std::vector<std::string> expected = {"Alpha.com", "alpha.net", "beta.net", "Beta.org"};
    expected.insert(expected.end(), gammas.begin(), gammas.end());
    expected.push_back("zeta.fr");
    EXPECT_EQ(Items(*app.form1().ListBox2), expected);
}

// Each item by its place in its menu, whose captions the next test checks.
TEST(MainWindowMenus, EveryItemReachesItsHandler) {
    test::AppWindows app;
    TForm1& f = app.form1();
    app.dialogs.inputAnswers = {"a.fr", "b.fr"};
    Item(f.PopupMenu1, 0)->trigger();
    Item(f.Fichier1, 0)->trigger();
    EXPECT_EQ(Items(*f.ListBox1), (std::vector<std::string>{"a.fr", "b.fr"}));
    f.ListBox1->item(0)->setSelected(true);
    Item(f.PopupMenu1, 1)->trigger();
    EXPECT_EQ(Items(*f.ListBox1), (std::vector<std::string>{"b.fr"}));
    f.ListBox1->item(0)->setSelected(true);
    Item(f.Fichier1, 1)->trigger();
    EXPECT_EQ(f.ListBox1->Count(), 0);
    app.dialogs.inputAnswers = {"c.fr", "d.fr"};
    Item(f.PopupMenu1, 0)->trigger();
    Item(f.PopupMenu1, 2)->trigger();
    EXPECT_EQ(f.ListBox1->Count(), 0);
    Item(f.PopupMenu1, 0)->trigger();
    Item(f.Fichier1, 2)->trigger();
    EXPECT_EQ(f.ListBox1->Count(), 0);

    app.dialogs.fileAnswers = {std::nullopt, std::nullopt};
    Item(f.PopupMenu1, 3)->trigger();
    Item(f.Fichier1, 3)->trigger();
    EXPECT_EQ(app.dialogs.fileFilters.size(), 2u);

    bool proxyShown = false;
    CloseNextModal(app.form2(), [&] { proxyShown = app.form2().isVisible(); });
    Item(f.Configuration2, 0)->trigger();
    EXPECT_TRUE(proxyShown);
    bool aboutShown = false;
    CloseNextModal(app.form6(), [&] { aboutShown = app.form6().isVisible(); });
    Item(f.Help1, 0)->trigger();
    EXPECT_TRUE(aboutShown);

    Item(f.PopupMenu2, 0)->trigger();
    ASSERT_EQ(app.dialogs.errors.size(), 1u);
    // ")" sits below "." in the code page, so the error box adds no full stop.
    EXPECT_EQ(app.dialogs.errors[0], "Indice de liste hors limites (-1)");
}

// Each menu's items in order, as rows of the caption tables (0 is Fichier1, 18 About1).
TEST(MainWindowMenus, MenusHoldTheirItemsInOrderWithTheCaptionsOfEachTable) {
    test::AppWindows app;
    TForm1& f = app.form1();
    const std::tuple<const char*, const QWidget*, std::vector<std::size_t>> menus[] = {
        {"menu bar", f.MainMenu1, {0, 15, 17}},     {"Fichier1", f.Fichier1, {6, 8, 4, 2, 14}},
        {"Configuration2", f.Configuration2, {16}}, {"Help1", f.Help1, {18}},
        {"PopupMenu1", f.PopupMenu1, {5, 7, 3, 1}}, {"PopupMenu2", f.PopupMenu2, {9}},
    };
    const auto check = [&](const std::vector<std::string>& table, const char* which) {
        for (const auto& [what, menu, rows] : menus) {
            std::vector<std::string> texts, expected;
            for (const QAction* item : menu->actions()) {
                texts.push_back(Text(item));
                // No shortcut, access key, icon or separator.
                EXPECT_TRUE(item->shortcut().isEmpty()) << Text(item);
                EXPECT_TRUE(QKeySequence::mnemonic(item->text()).isEmpty()) << Text(item);
                EXPECT_TRUE(item->icon().isNull()) << Text(item);
                EXPECT_FALSE(item->isSeparator()) << what;
            }
            for (const std::size_t row : rows)
                expected.push_back(table[row]);
            EXPECT_EQ(texts, expected) << what << ", " << which;
        }
    };
    check(kInitial, "initial");
    f.TranslateFrancais();
    check(kFrench, "French");
    f.TranslateAnglais();
    check(kEnglish, "English");
}

TEST(MainWindowMenus, QuitEndsTheEventLoopAtOnce) {
    test::AppWindows app;
    bool timedOut = false;
    QTimer::singleShot(0, app.form1().Quitter1, &QAction::trigger);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        timedOut = true;
        QCoreApplication::exit(1);
    });
    guard.start(10000);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(timedOut);
}

} // namespace
} // namespace brinmor
