#include "app/Program.h"

#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "support/TestApplication.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit6.h"
#include "widgets/ListBox.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace brinmor {
namespace {

// The real windows, made and destroyed by the program's own start-up and shutdown, in a
// temporary executable folder.
class ProgramTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::EnsureProgramApplication(); }

    ProgramTest() { folder.MakeDir("result"); }
    ~ProgramTest() override { DestroyWindows(); }

    // Runs the message loop until `inside`, run from the loop, ends it; a loop still running
    // after a few seconds is ended and reported.
    int RunLoopWith(const std::function<void()>& inside) {
        QTimer::singleShot(0, inside);
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] {
            ADD_FAILURE() << "the message loop did not end";
            QCoreApplication::quit();
        });
        guard.start(10000);
        return RunMessageLoop();
    }

    test::TempDir folder;
    test::ExecutableDirectoryScope scope{folder};
    test::ScriptedDialogs dialogs;
};

TEST_F(ProgramTest, WindowsAreMadeOneByOneInOrderMainWindowFirst) {
    const auto creations = ProgramWindows();
    ASSERT_EQ(creations.size(), 3u);
    const std::vector<std::vector<bool>> existing = {
        {true, false, false}, {true, true, false}, {true, true, true}};
    for (std::size_t i = 0; i < creations.size(); ++i) {
        creations[i]();
        EXPECT_EQ((std::vector<bool>{Form1 != nullptr, Form6 != nullptr, Form2 != nullptr}),
                  existing[i])
            << "after creation " << i;
    }
    for (QWidget* window : std::initializer_list<QWidget*>{Form1, Form6, Form2})
        EXPECT_FALSE(window->isVisible());
}

TEST_F(ProgramTest, SplashComesAndGoesBeforeAnyWindowAndTheMainWindowListsStoredNames) {
    folder.Write("result/zulu.test.dns", "09/12/2026 08:00:00\r\n\r\nz\r\n");
    folder.Write("result/Alpha.test.dns", "09/12/2026 08:00:00\r\n\r\na\r\n");
    int pauses = 0;
    StartUp([&](std::chrono::milliseconds) {
        ++pauses;
        EXPECT_EQ(Form1, nullptr);
        EXPECT_EQ(Form6, nullptr);
        EXPECT_EQ(Form2, nullptr);
    });
    EXPECT_EQ(pauses, 1);
    ASSERT_NE(Form1, nullptr);
    ASSERT_NE(Form6, nullptr);
    ASSERT_NE(Form2, nullptr);
    ASSERT_EQ(Form1->ListBox2->Count(), 2);
    EXPECT_EQ(Form1->ListBox2->Item(0), "Alpha.test");
    EXPECT_EQ(Form1->ListBox2->Item(1), "zulu.test");
}

// Writes killed half-way leave temporary files: beside config.ini one holds the new password.
TEST_F(ProgramTest, StartUpRemovesLeftoverTemporariesBesideConfigIniAndInResult) {
    const std::string leftover = ".brinmor-0123456789abcdef.tmp";
    folder.Write(leftover, "[proxy]\r\npassword=new\r\n");
    folder.Write("result/" + leftover, "half a result");
    folder.Write("result/.brinmor-notours.tmp", "x");
    StartUp([](std::chrono::milliseconds) {});
    EXPECT_FALSE(folder.Exists(leftover));
    EXPECT_FALSE(folder.Exists("result/" + leftover));
    EXPECT_TRUE(folder.Exists("result/.brinmor-notours.tmp"));
}

TEST_F(ProgramTest, QuitterAndTheCloseBoxBothEndTheLoopWithExitCodeZero) {
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"Quitter", [] { Form1->Quitter1->trigger(); }},
        {"close box", [] { Form1->close(); }},
    };
    for (const auto& [way, quit] : ways) {
        CreateWindows(ProgramWindows());
        bool shown = false;
        const std::function<void()>& end = quit;
        EXPECT_EQ(RunLoopWith([&] {
                      shown = Form1->isVisible();
                      end();
                  }),
                  0)
            << way;
        EXPECT_TRUE(shown) << way;
        // Nothing asked a question on the way out.
        EXPECT_TRUE(dialogs.warnings.empty()) << way;
        EXPECT_TRUE(dialogs.messages.empty()) << way;
        DestroyWindows();
    }
}

TEST_F(ProgramTest, ABadPortAtFirstActivationIsReportedOverTheShownWindowAndTheProgramGoesOn) {
    folder.Write("config.ini", "[proxy]\r\nport=abc\r\n[language]\r\ncode=en\r\n");
    CreateWindows(ProgramWindows());
    // The box comes once the main window is on screen and active; after it, the loop goes on.
    bool onScreen = false;
    dialogs.whileShown = [&] {
        onScreen = Form1->testAttribute(Qt::WA_Mapped) && Form1->isActiveWindow();
        QTimer::singleShot(0, Form1->Quitter1, &QAction::trigger);
    };
    EXPECT_EQ(RunLoopWith([] {}), 0);
    EXPECT_TRUE(onScreen);
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_EQ(dialogs.errors[0], "'abc' n'est pas une valeur enti\xE8re correcte.");
}

TEST_F(ProgramTest, ClosingTheAboutWindowReappliesTheLanguageFromConfigIni) {
    CreateWindows(ProgramWindows());
    Form1->show();
    ASSERT_EQ(Form1->Fichier1->title(), QStringLiteral("Nom de domaine"));
    const std::pair<const char*, std::function<void()>> closings[] = {
        {"Ok", [] { Form6->Button1->click(); }},
        {"close box", [] { Form6->close(); }},
    };
    for (const auto& [closing, close] : closings) {
        for (const auto& [code, caption] :
             {std::pair{"en", "Domain name"}, std::pair{"fr", "Nom de domaine"}}) {
            folder.Write("config.ini", std::string("[language]\r\ncode=") + code + "\r\n");
            QTimer::singleShot(0, close);
            Form1->About1->trigger();
            EXPECT_FALSE(Form6->isVisible()) << closing;
            EXPECT_EQ(Form1->Fichier1->title(), QString::fromLatin1(caption)) << closing;
        }
    }
    EXPECT_EQ(Form1->windowTitle(), QStringLiteral("Brinmor v2.0"));
}

} // namespace
} // namespace brinmor
