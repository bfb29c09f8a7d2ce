#include "widgets/QtDialogs.h"

#include "platform/TextFile.h"
#include "support/QtApplication.h"
#include "support/TempDir.h"
#include "widgets/OwnWindows.h"
#include "widgets/QtText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProxyStyle>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
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

// A desktop theme that puts the toolkit's icons on dialog buttons, as many Linux ones do.
class ButtonIconsStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returned) const override {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }
};

TEST_F(QtDialogsTest, OnlyThePlainMessageCountsAsAnOwnWindowAndNoBoxHasButtonIcons) {
    int closed = 0;
    SetOwnWindowClosedHandler([&] { ++closed; });
    // The platform's boxes have plain text buttons, whatever the desktop theme.
    const QString styleName = QApplication::style()->name();
    QApplication::setStyle(new ButtonIconsStyle);
    // Shows a box, notes its icon and whether a button carries one, and confirms it.
    struct Seen {
        QMessageBox::Icon icon = QMessageBox::Question;
        bool buttonIcon = false;
    };
    const auto seenIn = [](const std::function<void()>& show) {
        Seen seen;
        WhenModalShown([&seen](QWidget& box) {
            seen.icon = static_cast<QMessageBox&>(box).icon();
            for (const QAbstractButton* button : box.findChildren<QAbstractButton*>())
                seen.buttonIcon = seen.buttonIcon || !button->icon().isNull();
            QTest::keyClick(&box, Qt::Key_Return);
        });
        show();
        return seen;
    };
    const Seen message = seenIn([&] { dialogs.ShowMessage("Connexion impossible"); });
    EXPECT_EQ(message.icon, QMessageBox::NoIcon);
    EXPECT_FALSE(message.buttonIcon);
    EXPECT_EQ(closed, 1);
    const Seen error = seenIn([&] { dialogs.ShowError("Disque plein."); });
    EXPECT_EQ(error.icon, QMessageBox::Critical);
    EXPECT_FALSE(error.buttonIcon);
    EXPECT_EQ(closed, 1);
    QApplication::setStyle(styleName);
}

// The file typed into the open dialog comes back as the system names it, so it opens in a
// folder named with letters that Windows-1252 lacks, and with accents on Windows too.
TEST_F(QtDialogsTest, OpenFileNameGivesTheChosenFileAsTheSystemNamesIt) {
    // Qt's own dialog, which the test can type into; Windows' hands back a path the same way
    // (the end-to-end test types into it).
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true);
    for (const char8_t* folder : {u8"H\u00E9l\u00E8ne", u8"\u0141ukasz", u8"\u65E5\u672C"}) {
        SCOPED_TRACE(reinterpret_cast<const char*>(folder));
        const test::TempDir dir{std::filesystem::path(folder)};
        dir.Write("names.txt", "a.fr\r\n");
        const QString typed = FileNameToQString(dir.Path() / "names.txt");
        WhenModalShown([&typed](QWidget& dialog) {
            auto* edit = dialog.findChild<QLineEdit*>("fileNameEdit");
            ASSERT_NE(edit, nullptr);
            edit->setText(typed);
            QTest::keyClick(edit, Qt::Key_Return);
        });
        const auto chosen = dialogs.OpenFileName("Text", "*.txt");
        ASSERT_TRUE(chosen.has_value());
        TextFileReader file(*chosen);
        std::string line;
        EXPECT_TRUE(file.ReadLine(line));
        EXPECT_EQ(line, "a.fr");
    }
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, false);
}

} // namespace
} // namespace brinmor
