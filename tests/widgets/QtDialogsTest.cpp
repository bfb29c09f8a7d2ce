#include "widgets/QtDialogs.h"

#include "support/QtApplication.h"
#include "widgets/OwnWindows.h"
#include "widgets/QtText.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace brinmor {
namespace {

class QtDialogsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::EnsureApplication(); }
    void TearDown() override { SetOwnWindowClosedHandler(nullptr); }

    // Acts on the modal window once it is up; gives up after a bounded number of tries.
    static void WhenModalShown(std::function<void(QWidget&)> act, int triesLeft = 200) {
        QTimer::singleShot(10, [act, triesLeft] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                act(*modal);
            } else if (triesLeft > 0) {
                WhenModalShown(act, triesLeft - 1);
            } else {
                ADD_FAILURE() << "no modal window appeared";
            }
        });
    }

    QtDialogs dialogs;
};

TEST_F(QtDialogsTest, InputBoxTakesAtMost255CharactersAndCountsAsAnOwnWindow) {
    int closed = 0;
    SetOwnWindowClosedHandler([&] { ++closed; });
    std::string caption;
    std::string prompt;
    WhenModalShown([&](QWidget& box) {
        caption = FromQString(box.windowTitle());
        prompt = FromQString(box.findChild<QLabel*>()->text());
        auto* edit = box.findChild<QLineEdit*>();
        QTest::keyClicks(edit, QString(256, QLatin1Char('a')));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    const auto typed = dialogs.InputQuery("Nom domaine", "Nom de domaine \xE0 rechercher ?", 255);
    ASSERT_TRUE(typed.has_value());
    EXPECT_EQ(*typed, std::string(255, 'a'));
    EXPECT_EQ(caption, "Nom domaine");
    EXPECT_EQ(prompt, "Nom de domaine \xE0 rechercher ?");
    EXPECT_EQ(closed, 1);
}

TEST_F(QtDialogsTest, InputBoxTakesAPastedTextUpToItsFirstLineBreak) {
    QGuiApplication::clipboard()->setText(QString::fromLatin1("first.test\r\nsecond.test"));
    WhenModalShown([](QWidget& box) {
        auto* edit = box.findChild<QLineEdit*>();
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Return);
    });
    EXPECT_EQ(dialogs.InputQuery("Nom domaine", "?", 255),
              std::optional<std::string>("first.test"));
}

TEST_F(QtDialogsTest, EscapeCancelsTheInputBoxAndEnterConfirmsAnEmptyLine) {
    WhenModalShown([](QWidget& box) { QTest::keyClick(&box, Qt::Key_Escape); });
    EXPECT_FALSE(dialogs.InputQuery("Nom domaine", "?", 255).has_value());
    WhenModalShown(
        [](QWidget& box) { QTest::keyClick(box.findChild<QLineEdit*>(), Qt::Key_Return); });
    EXPECT_EQ(dialogs.InputQuery("Nom domaine", "?", 255), std::optional<std::string>(""));
}

TEST_F(QtDialogsTest, WarningQuestionIsFrenchWithOuiAsDefaultAndNonOnEscape) {
    std::string title;
    std::vector<std::string> buttons;
    WhenModalShown([&](QWidget& box) {
        title = FromQString(box.windowTitle());
        for (auto* button : box.findChildren<QPushButton*>())
            buttons.push_back(FromQString(button->text()));
        QTest::keyClick(&box, Qt::Key_Escape);
    });
    EXPECT_EQ(dialogs.AskWarning("Do you want to cancel update ?"), WarningAnswer::No);
    EXPECT_EQ(title, "Avertissement");
    EXPECT_EQ(buttons, (std::vector<std::string>{"&Oui", "&Non"}));
    WhenModalShown([](QWidget& box) { QTest::keyClick(&box, Qt::Key_Return); });
    EXPECT_EQ(dialogs.AskWarning("?"), WarningAnswer::Yes);
}

TEST_F(QtDialogsTest, OnlyThePlainMessageCountsAsAnOwnWindow) {
    int closed = 0;
    SetOwnWindowClosedHandler([&] { ++closed; });
    // Shows a box, notes its icon and confirms it.
    const auto iconOf = [](const std::function<void()>& show) {
        QMessageBox::Icon icon = QMessageBox::Question;
        WhenModalShown([&icon](QWidget& box) {
            icon = static_cast<QMessageBox&>(box).icon();
            QTest::keyClick(&box, Qt::Key_Return);
        });
        show();
        return icon;
    };
    EXPECT_EQ(iconOf([&] { dialogs.ShowMessage("Connexion impossible"); }), QMessageBox::NoIcon);
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(iconOf([&] { dialogs.ShowError("Disque plein."); }), QMessageBox::Critical);
    EXPECT_EQ(closed, 1);
}

} // namespace
} // namespace brinmor
