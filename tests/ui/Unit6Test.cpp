#include "ui/Unit6.h"

#include "support/QtApplication.h"
#include "support/ScriptedDialogs.h"
#include "widgets/QtText.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace brinmor {
namespace {

class Unit6Test : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::EnsureApplication(); }

    test::ScriptedDialogs dialogs;
    TForm6 form;
};

std::string Text(const QLabel* label) {
    return FromQString(label->text());
}

// Runs the window modally, doing `inside` once it is up; a safety timer ends a loop the
// test failed to end.
int ExecWith(TForm6& form, const std::function<void()>& inside) {
    QTimer::singleShot(0, &form, [&] {
        inside();
        if (form.isVisible()) {
            QTimer::singleShot(5000, &form, [&] {
                ADD_FAILURE() << "the About window did not close";
                form.done(-1);
            });
        }
    });
    return form.exec();
}

TEST_F(Unit6Test, LabelsSitWhereTheyWereDesignedWithTheirTexts) {
    struct Row {
        QWidget* widget;
        int left, top;
        const char* text; // nullptr: the text is the company's own
        bool bold;
    };
    const Row rows[] = {
        {form.Label2, 96, 48, "Version 2.0", false}, {form.Label3, 96, 64, "Mars 2003", false},
        {form.Label4, 16, 120, nullptr, true},       {form.Label5, 16, 136, nullptr, false},
        {form.Label6, 16, 152, nullptr, false},      {form.Label7, 16, 168, nullptr, false},
        {form.Label9, 168, 120, nullptr, true},      {form.Label10, 168, 136, nullptr, false},
        {form.Label11, 168, 152, nullptr, false},    {form.Label12, 168, 168, nullptr, false},
        {form.Label8, 56, 192, nullptr, false},      {form.Label13, 72, 216, nullptr, false},
        {form.Image1, 16, 40, nullptr, false},       {form.Button1, 112, 240, "Ok", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.widget->objectName().toStdString() + " at " + std::to_string(row.left) +
                     "," + std::to_string(row.top));
        EXPECT_EQ(row.widget->pos(), QPoint(row.left, row.top));
        EXPECT_EQ(row.widget->font().bold(), row.bold);
        if (row.bold) {
            // Drawn in bold, not only asked for: bold strokes are wider.
            QFont regular = row.widget->font();
            regular.setBold(false);
            const QString text = static_cast<QLabel*>(row.widget)->text();
            EXPECT_GT(QFontMetrics(row.widget->font()).horizontalAdvance(text),
                      QFontMetrics(regular).horizontalAdvance(text));
        }
        if (auto* label = qobject_cast<QLabel*>(row.widget); label && label != form.Image1) {
            if (row.text)
                EXPECT_EQ(Text(label), row.text);
            else
                EXPECT_FALSE(label->text().trimmed().isEmpty());
            // Labels size themselves to their text.
            EXPECT_EQ(label->size(), label->sizeHint());
        }
    }
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Form6"));
    EXPECT_EQ(Text(form.Label1), "Brinmor");
    EXPECT_EQ(form.Label1->font().pointSize(), 14);
    EXPECT_EQ(QFontInfo(form.Label1->font()).pixelSize(), 19);
    EXPECT_EQ(form.Button1->size(), QSize(75, 17));
    EXPECT_EQ(form.Image1->size(), QSize(64, 64));
    EXPECT_EQ(form.pos(), QPoint(350, 113));
    // Every text is the same in both languages, so none is empty or left to a caption table.
    EXPECT_EQ(Text(form.Label8).rfind("Support : ", 0), 0u);
    EXPECT_EQ(Text(form.Label13).rfind("Sale : ", 0), 0u);
}

TEST_F(Unit6Test, TitleLabelIsDockedAcrossTheTopAtEveryWidth) {
    form.show();
    for (int width : {310, 420, 200}) {
        form.resize(width, 264);
        QCoreApplication::processEvents();
        EXPECT_EQ(form.Label1->geometry(), QRect(0, 0, width, 24)) << width;
    }
}

TEST_F(Unit6Test, EachLinkHandsItsAddressOverAtEveryClickAndTheWindowStaysOpen) {
    const std::string support = Text(form.Label8).substr(std::string("Support : ").size());
    const std::string sales = Text(form.Label13).substr(std::string("Sale : ").size());
    form.show();
    for (int round = 0; round < 2; ++round)
        for (QLabel* link : {form.Label4, form.Label9, form.Label8, form.Label13})
            QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_TRUE(form.isVisible());
    ASSERT_EQ(dialogs.addresses.size(), 8u);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        const std::string maker = dialogs.addresses[4 * round];
        const std::string partner = dialogs.addresses[4 * round + 1];
        // Web sites under the domains reserved for examples, neither shown in the window.
        EXPECT_TRUE(QUrl(ToQString(maker)).host().endsWith(QStringLiteral("example.com"))) << maker;
        EXPECT_TRUE(QUrl(ToQString(partner)).host().endsWith(QStringLiteral("example.org")))
            << partner;
        EXPECT_EQ(QUrl(ToQString(maker)).scheme(), QStringLiteral("http"));
        EXPECT_EQ(QUrl(ToQString(partner)).scheme(), QStringLiteral("http"));
        // The shown address and the one behind the link are the same.
        EXPECT_EQ(dialogs.addresses[4 * round + 2], "mailto:" + support);
        EXPECT_EQ(dialogs.addresses[4 * round + 3], "mailto:" + sales);
    }
    for (const std::string& mail : {support, sales}) {
        const auto at = mail.find('@');
        ASSERT_NE(at, std::string::npos) << mail;
        const std::string domain = mail.substr(at + 1);
        EXPECT_TRUE(domain.ends_with(".example.com") || domain.ends_with(".example.org")) << mail;
    }
}

TEST_F(Unit6Test, ClicksElsewhereAndOtherButtonsDoNothing) {
    form.show();
    for (QLabel* label : {form.Label1, form.Label2, form.Label3, form.Label5, form.Label6,
                          form.Label7, form.Label10, form.Label11, form.Label12, form.Image1})
        QTest::mouseClick(label, Qt::LeftButton);
    // A link answers the left button only.
    QTest::mouseClick(form.Label4, Qt::RightButton);
    EXPECT_TRUE(dialogs.addresses.empty());
    EXPECT_TRUE(form.isVisible());
}

TEST_F(Unit6Test, OkClosesWithResultOkAndOnlyItTakesTheFocus) {
    QWidget* focused = nullptr;
    const int result = ExecWith(form, [&] {
        focused = form.focusWidget();
        QTest::mouseClick(form.Button1, Qt::LeftButton);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(result, 1);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(focused, form.Button1);
    for (QWidget* child : form.findChildren<QWidget*>()) {
        if (child != form.Button1) {
            EXPECT_EQ(child->focusPolicy(), Qt::NoFocus) << child->metaObject()->className();
        }
    }
}

TEST_F(Unit6Test, KeysOnTheWindowEnterAndSpaceCloseItEscapeDoesNot) {
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Space}) {
        const int result = ExecWith(form, [&] { QTest::keyClick(form.Button1, key); });
        EXPECT_EQ(result, QDialog::Accepted) << key;
    }
    bool openAfterEscape = false;
    const int result = ExecWith(form, [&] {
        QTest::keyClick(form.Button1, Qt::Key_Escape);
        openAfterEscape = form.isVisible();
        form.Button1->click();
    });
    EXPECT_TRUE(openAfterEscape);
    EXPECT_EQ(result, QDialog::Accepted);
}

TEST_F(Unit6Test, TheCloseBoxHidesTheWindowAndItOpensAgainUnchanged) {
    const QString before = form.Label8->text();
    EXPECT_EQ(ExecWith(form, [&] { form.close(); }), QDialog::Rejected);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(ExecWith(form, [&] { form.Button1->click(); }), QDialog::Accepted);
    EXPECT_EQ(form.Label8->text(), before);
}

TEST_F(Unit6Test, TheIconImageIsTheProgramIconAt64Pixels) {
    const QPixmap pixmap = form.Image1->pixmap();
    ASSERT_FALSE(pixmap.isNull());
    EXPECT_EQ(pixmap.size(), QSize(64, 64));
    // A drawn logo, not a blank square: more than one colour.
    const QImage image = pixmap.toImage();
    EXPECT_NE(image.pixel(0, 0), image.pixel(32, 32));
}

} // namespace
} // namespace brinmor
