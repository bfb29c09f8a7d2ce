#include "widgets/SpinEdit.h"

#include "support/QtApplication.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QTest>
#include <gtest/gtest.h>

namespace brinmor {
namespace {

// A window holding the spin edit (0 to 65536, as the proxy dialog's port) and a field to
// move the focus to.
class SpinEditTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::EnsureApplication(); }

    void SetUp() override {
        window.resize(300, 100);
        spin = new TSpinEdit(&window);
        spin->setGeometry(2, 2, 121, 22);
        spin->SetRange(0, 65536);
        spin->SetValue(43);
        other = new QLineEdit(&window);
        other->setGeometry(2, 40, 121, 22);
        defaultButton = new QPushButton(&window);
        defaultButton->setGeometry(150, 40, 80, 22);
        defaultButton->setDefault(true);
        QObject::connect(defaultButton, &QPushButton::clicked, [this] { ++defaultClicks; });
        QObject::connect(spin, &TSpinEdit::Changed, [this] { ++changes; });
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        spin->setFocus();
        changes = 0;
    }

    void TearDown() override { QLocale::setDefault(QLocale::c()); }

    void Retype(const QString& text) {
        spin->setFocus();
        QTest::keyClick(spin, Qt::Key_End);
        while (!spin->Text().empty())
            QTest::keyClick(spin, Qt::Key_Backspace);
        QTest::keyClicks(spin, text);
    }

    void ClickArrow(QStyle::SubControl arrow) {
        QStyleOptionSpinBox option;
        option.initFrom(spin);
        option.rect = spin->rect();
        option.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown |
                             QStyle::SC_SpinBoxFrame | QStyle::SC_SpinBoxEditField;
        option.buttonSymbols = spin->buttonSymbols();
        option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
        option.frame = spin->hasFrame();
        const QRect area = spin->style()->subControlRect(QStyle::CC_SpinBox, &option, arrow, spin);
        ASSERT_FALSE(area.isEmpty());
        QTest::mouseClick(spin, Qt::LeftButton, {}, area.center());
    }

    QDialog window;
    TSpinEdit* spin = nullptr;
    QLineEdit* other = nullptr;
    QPushButton* defaultButton = nullptr;
    int changes = 0;
    int defaultClicks = 0;
};

TEST_F(SpinEditTest, ReadingConvertsStrictlyWithoutClamping) {
    const std::pair<const char*, int> cases[] = {
        {"43", 43}, {"70000", 70000}, {"-5", -5}, {"$50", 80}, {"0x1F", 31}, {"  12", 12},
        {"+7", 7},  {"", 0},          {"abc", 0}, {"1.5", 0},  {"12 ", 0},   {"-", 0},
    };
    for (const auto& [text, value] : cases) {
        spin->SetText(text);
        EXPECT_EQ(spin->Value(), value) << text;
        EXPECT_EQ(spin->Text(), text) << "reading leaves the text alone";
    }
}

TEST_F(SpinEditTest, SettingClampsAndRewritesTheText) {
    const std::pair<long long, const char*> cases[] = {
        {70000, "65536"}, {65536, "65536"}, {-5, "0"},
        {0, "0"},         {1080, "1080"},   {4294967296LL, "65536"},
    };
    for (const auto& [value, text] : cases) {
        spin->SetValue(value);
        EXPECT_EQ(spin->Text(), text) << value;
    }
}

TEST_F(SpinEditTest, ArrowsAndUpDownKeysStepByOneWithinTheRange) {
    struct Case {
        const char* start;
        Qt::Key key;
        const char* after;
    };
    const Case cases[] = {
        {"43", Qt::Key_Up, "44"}, {"43", Qt::Key_Down, "42"},       {"65536", Qt::Key_Up, "65536"},
        {"0", Qt::Key_Down, "0"}, {"70000", Qt::Key_Down, "65536"}, {"abc", Qt::Key_Up, "1"},
        {"", Qt::Key_Down, "0"},
    };
    for (const Case& c : cases) {
        spin->SetText(c.start);
        QTest::keyClick(spin, c.key);
        EXPECT_EQ(spin->Text(), c.after) << c.start << (c.key == Qt::Key_Up ? " up" : " down");
    }
    spin->SetValue(10);
    ClickArrow(QStyle::SC_SpinBoxUp);
    EXPECT_EQ(spin->Text(), "11");
    ClickArrow(QStyle::SC_SpinBoxDown);
    ClickArrow(QStyle::SC_SpinBoxDown);
    EXPECT_EQ(spin->Text(), "9");
    QTest::keyClick(spin, Qt::Key_PageUp);
    EXPECT_EQ(spin->Text(), "9") << "only the arrows step";
}

TEST_F(SpinEditTest, KeyFilterLetsOnlyNumberCharactersThrough) {
    Retype("1a2 +x-.*,3");
    EXPECT_EQ(spin->Text(), "12+-.3");
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    Retype("4.5,6");
    EXPECT_EQ(spin->Text(), "45,6") << "the locale's decimal separator";
    QTest::keyClick(spin, Qt::Key_Backspace);
    QTest::keyClick(spin, Qt::Key_Home);
    QTest::keyClick(spin, Qt::Key_Delete);
    EXPECT_EQ(spin->Text(), "5,");
}

TEST_F(SpinEditTest, EnterIsRefusedAndPressesNothing) {
    QTest::keyClick(spin, Qt::Key_Return);
    QTest::keyClick(spin, Qt::Key_Enter);
    EXPECT_EQ(defaultClicks, 0);
    EXPECT_EQ(spin->Text(), "43");
}

TEST_F(SpinEditTest, LeavingTheFieldClampsOnlyAValueOutOfRange) {
    const std::pair<const char*, const char*> cases[] = {
        {"70000", "65536"}, {"-5", "0"}, {"123", "123"}, {"", ""}, {"abc", "abc"}, {"007", "007"},
    };
    for (const auto& [held, left] : cases) {
        spin->setFocus();
        spin->SetText(held);
        other->setFocus();
        EXPECT_EQ(spin->Text(), left) << held;
    }
    Retype("99999");
    window.hide(); // the window losing the activation is no move to another field
    EXPECT_EQ(spin->Text(), "99999");
}

TEST_F(SpinEditTest, EveryTextChangeNotifies) {
    QTest::keyClicks(spin, "12");
    EXPECT_EQ(changes, 2);
    QTest::keyClick(spin, Qt::Key_Up);
    EXPECT_EQ(changes, 3);
    spin->SetValue(5);
    EXPECT_EQ(changes, 4);
    spin->SetValue(5);
    EXPECT_EQ(changes, 4) << "the same text is no change";
    QTest::keyClick(spin, Qt::Key_X);
    EXPECT_EQ(changes, 4) << "a refused key changes nothing";
}

} // namespace
} // namespace brinmor
