#include "ui/Unit2.h"

#include "platform/Exceptions.h"
#include "platform/ExecutableDirectory.h"
#include "platform/Path.h"
#include "support/QtApplication.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "widgets/QtText.h"
#include "widgets/SpinEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace brinmor {
namespace {

constexpr const char* ConversionError = " n'est pas une valeur enti\xE8re correcte";

class ProxyDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::EnsureApplication(); }

    void SetUp() override {
        form = std::make_unique<TForm2>();
        Form2 = form.get();
    }
    void TearDown() override { Form2 = nullptr; }

    void Open() {
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    bool IsOpen() const { return form->isVisible(); }

    void Type(QWidget* field, const char* text) {
        field->setFocus();
        QTest::keyClicks(field, QString::fromLatin1(text));
    }
    void EmptyPortField() {
        form->Edit_Port->setFocus();
        QTest::keyClick(form->Edit_Port, Qt::Key_End);
        while (!form->Edit_Port->Text().empty())
            QTest::keyClick(form->Edit_Port, Qt::Key_Backspace);
    }
    void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    // Cancel pressed with one scripted answer; true when the question was asked.
    bool CancelAsks(WarningAnswer answer) {
        const auto asked = dialogs.warnings.size();
        dialogs.warningAnswers.push_back(answer);
        Click(form->Button1);
        if (dialogs.warnings.size() == asked) {
            dialogs.warningAnswers.pop_back();
            return false;
        }
        return true;
    }

    std::string Text(const QLineEdit* edit) const { return FromQString(edit->text()); }

    test::TempDir dir;
    test::ExecutableDirectoryScope scope{dir};
    test::ScriptedDialogs dialogs;
    std::unique_ptr<TForm2> form;
};

struct Loaded {
    bool useIt;
    std::string adresse, port, login, password, language;
    bool operator==(const Loaded&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Loaded& l) {
    return out << (l.useIt ? "oui" : "non") << " [" << l.adresse << "] [" << l.port << "] ["
               << l.login << "] [" << l.password << "] [" << l.language << "]";
}

TEST_F(ProxyDialogTest, LoadFillsTheControlsFromTheFile) {
    const std::pair<std::optional<std::string>, Loaded> cases[] = {
        {std::nullopt, {false, "", "43", "", "", "fr"}},
        {"[proxy]\r\nuseit= oui \r\nadresse=127.0.0.1\r\nport=1080\r\nlogin=moi\r\npassword=pw\r\n"
         "[language]\r\ncode=en\r\n",
         {true, "127.0.0.1", "1080", "moi", "pw", "en"}},
        {"[proxy]\r\nuseit=OUI\r\nport=70000\r\n[language]\r\ncode=EN\r\n",
         {false, "", "65536", "", "", "EN"}},
        {"[proxy]\nport=-5\n[language]\ncode=\n", {false, "", "0", "", "", ""}},
        {"[PROXY]\r\nPORT=$50\r\n", {false, "", "80", "", "", "fr"}},
    };
    for (const auto& [file, expected] : cases) {
        test::TempDir folder;
        SetExecutableDirectoryOverride(folder.Path());
        if (file)
            folder.Write("config.ini", *file);
        form->ReadIniFile();
        const Loaded shown{form->RadioButton_oui->isChecked(),
                           Text(form->Edit_Adresse),
                           form->Edit_Port->Text(),
                           Text(form->Edit_login),
                           Text(form->Edit_password),
                           form->LanguageCode};
        EXPECT_EQ(shown, expected) << file.value_or("no file");
        EXPECT_NE(form->RadioButton_oui->isChecked(), form->RadioButton_non->isChecked());
        for (QWidget* w :
             {static_cast<QWidget*>(form->Edit_Adresse), static_cast<QWidget*>(form->Edit_Port),
              static_cast<QWidget*>(form->Edit_login), static_cast<QWidget*>(form->Edit_password),
              static_cast<QWidget*>(form->Label_Adresse), static_cast<QWidget*>(form->Label_Port),
              static_cast<QWidget*>(form->Label_login),
              static_cast<QWidget*>(form->Label_password)})
            EXPECT_EQ(w->isEnabled(), expected.useIt) << w->metaObject()->className();
        EXPECT_EQ(folder.Exists("config.ini"), file.has_value()) << "a load creates nothing";
    }
}

TEST_F(ProxyDialogTest, BadPortStopsTheLoadAtThePort) {
    dir.Write("config.ini", "[proxy]\r\nadresse=a1\r\nlogin=old\r\npassword=oldpw\r\n"
                            "[language]\r\ncode=en\r\n");
    Open();
    for (const char* port : {"abc", ""}) {
        dir.Write("config.ini", std::string("[proxy]\r\nadresse=a2\r\nport=") + port +
                                    "\r\nlogin=new\r\npassword=newpw\r\n[language]\r\ncode=fr\r\n");
        try {
            form->ReadIniFile();
            ADD_FAILURE() << "no conversion error for [" << port << "]";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "'" + std::string(port) + "'" + ConversionError);
        }
        EXPECT_EQ(Text(form->Edit_Adresse), "a2");
        EXPECT_EQ(Text(form->Edit_login), "old");
        EXPECT_EQ(Text(form->Edit_password), "oldpw");
        EXPECT_EQ(form->LanguageCode, "en");
    }
    // The address changed and the load never reached its end: still modified.
    EXPECT_TRUE(CancelAsks(WarningAnswer::Yes));
    EXPECT_FALSE(IsOpen());
}

TEST_F(ProxyDialogTest, OpeningWithABadPortShowsTheErrorAndStaysOpen) {
    dir.Write("config.ini", "[proxy]\r\nuseit=oui\r\nadresse=h\r\nport=abc\r\n");
    Open();
    EXPECT_EQ(dialogs.errors,
              std::vector<std::string>{"'abc'" + std::string(ConversionError) + "."});
    EXPECT_TRUE(IsOpen());
    EXPECT_TRUE(form->RadioButton_oui->isChecked());
    EXPECT_EQ(Text(form->Edit_Adresse), "h");
}

TEST_F(ProxyDialogTest, EachOpeningLoadsTheFileAgain) {
    dir.Write("config.ini", "[proxy]\r\nadresse=first\r\n");
    Open();
    EXPECT_EQ(Text(form->Edit_Adresse), "first");
    Click(form->Button1);
    ASSERT_FALSE(IsOpen());
    dir.Write("config.ini", "[proxy]\r\nadresse=second\r\n");
    Open();
    EXPECT_EQ(Text(form->Edit_Adresse), "second");
    EXPECT_FALSE(CancelAsks(WarningAnswer::Yes)) << "a completed load leaves it unmodified";
}

TEST_F(ProxyDialogTest, SwitchingTheChoiceAloneIsNoModification) {
    dir.Write("config.ini", "[proxy]\r\nuseit=non\r\n");
    Open();
    Click(form->RadioButton_oui);
    EXPECT_TRUE(form->Edit_Adresse->isEnabled());
    EXPECT_TRUE(form->Label_password->isEnabled());
    EXPECT_FALSE(CancelAsks(WarningAnswer::No));
    EXPECT_FALSE(IsOpen());
    EXPECT_EQ(form->result(), QDialog::Rejected);
    Open();
    EXPECT_TRUE(form->RadioButton_non->isChecked());
    EXPECT_FALSE(form->Edit_Adresse->isEnabled());
}

TEST_F(ProxyDialogTest, CancelAfterTypingAsksAndNoKeepsTheEdits) {
    const std::string file = "[proxy]\r\nuseit=oui\r\nadresse=old\r\n";
    dir.Write("config.ini", file);
    Open();
    Type(form->Edit_Adresse, "x");
    EXPECT_TRUE(CancelAsks(WarningAnswer::No));
    EXPECT_TRUE(IsOpen());
    EXPECT_EQ(Text(form->Edit_Adresse), "oldx");
    EXPECT_EQ(dialogs.warnings, std::vector<std::string>{"Do you want to cancel update ?"});

    EXPECT_TRUE(CancelAsks(WarningAnswer::Yes)) << "still modified, so asked again";
    EXPECT_FALSE(IsOpen());
    EXPECT_EQ(form->result(), QDialog::Rejected);
    EXPECT_EQ(dir.Read("config.ini"), file);
}

TEST_F(ProxyDialogTest, QuestionClosedWithoutAnswerCancelsInFrench) {
    Open();
    Click(form->RadioButton_oui);
    form->TranslateFrancais();
    Type(form->Edit_password, "s");
    EXPECT_TRUE(CancelAsks(WarningAnswer::Closed));
    EXPECT_FALSE(IsOpen());
    EXPECT_EQ(dialogs.warnings, std::vector<std::string>{"Voulez-vous annuler la modification ?"});
    EXPECT_FALSE(dir.Exists("config.ini"));
}

// Closes the real question box, as its close box or Alt+F4 would, once it is up; bounded.
void CloseQuestionWhenShown(std::string& question, int triesLeft = 200) {
    QTimer::singleShot(10, [&question, triesLeft] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            question = FromQString(box->text());
            box->windowHandle()->close();
        } else if (triesLeft > 0) {
            CloseQuestionWhenShown(question, triesLeft - 1);
        } else {
            ADD_FAILURE() << "no question appeared";
        }
    });
}

TEST_F(ProxyDialogTest, RealQuestionClosedWithoutAnswerCancels) {
    SetAppDialogs(nullptr);
    Open();
    Click(form->RadioButton_oui);
    Type(form->Edit_Adresse, "x");
    std::string question;
    CloseQuestionWhenShown(question);
    Click(form->Button1);
    EXPECT_EQ(question, "Do you want to cancel update ?");
    EXPECT_FALSE(IsOpen());
    EXPECT_EQ(form->result(), QDialog::Rejected);
    EXPECT_FALSE(dir.Exists("config.ini"));
}

TEST_F(ProxyDialogTest, ArrowKeyOnThePortIsAModification) {
    Open();
    Click(form->RadioButton_oui);
    form->Edit_Port->setFocus();
    QTest::keyClick(form->Edit_Port, Qt::Key_Up);
    EXPECT_EQ(form->Edit_Port->Text(), "44");
    EXPECT_TRUE(CancelAsks(WarningAnswer::No));
}

TEST_F(ProxyDialogTest, EmptyPortSavesZero) {
    dir.Write("config.ini", "[proxy]\r\nuseit=oui\r\nport=1080\r\n");
    Open();
    EmptyPortField();
    Click(form->Button2);
    EXPECT_FALSE(IsOpen());
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(dir.Read("config.ini"), "[proxy]\r\nuseit=oui\r\nport=0\r\nadresse=\r\nlogin=\r\n"
                                      "password=\r\n");
}

TEST_F(ProxyDialogTest, TypedPortBeyondTheRangeIsClampedBeforeTheSave) {
    dir.Write("config.ini", "[proxy]\r\nuseit=oui\r\n");
    Open();
    EmptyPortField();
    Type(form->Edit_Port, "70000");
    Click(form->Button2);
    EXPECT_EQ(form->Edit_Port->Text(), "65536");
    EXPECT_NE(dir.Read("config.ini").find("\r\nport=65536\r\n"), std::string::npos);
}

TEST_F(ProxyDialogTest, SaveWithNoProxyWritesTheDisabledFieldsAndKeepsOtherSections) {
    const std::string others = "[language]\ncode=en\n; hand-written\n[other]\nx = 1\n";
    dir.Write("config.ini", others);
    Open();
    ASSERT_TRUE(form->RadioButton_non->isChecked());
    form->Edit_Adresse->setText("10.0.0.1 ");
    form->Edit_Port->SetValue(1080);
    form->Edit_login->setText("moi");
    form->Edit_password->setText(ToQString("p\xE2ss"));
    EXPECT_EQ(form->Edit_password->echoMode(), QLineEdit::Normal);
    Click(form->Button2);
    EXPECT_EQ(dir.Read("config.ini"), others + "[proxy]\r\nadresse=10.0.0.1 \r\nport=1080\r\n"
                                               "login=moi\r\npassword=p\xE2ss\r\nuseit=non\r\n");
}

// A one-line field takes a pasted text up to its first line break, where the cursor stands.
TEST_F(ProxyDialogTest, PastedTextStopsAtItsFirstLineBreak) {
    dir.Write("config.ini", "[proxy]\r\nuseit=oui\r\nadresse=ab\r\nport=1\r\n");
    Open();
    struct Case {
        QWidget* field;
        const char* pasted;
        std::function<std::string()> shown;
        std::string expected;
    };
    const Case cases[] = {
        {form->Edit_Adresse, "X\r\nY", [&] { return Text(form->Edit_Adresse); }, "aXb"},
        {form->Edit_Port, "080\n2", [&] { return form->Edit_Port->Text(); }, "1080"},
        {form->Edit_login, "moi\rsuite", [&] { return Text(form->Edit_login); }, "moi"},
        {form->Edit_password, "sec\nret", [&] { return Text(form->Edit_password); }, "sec"},
    };
    for (const Case& c : cases) {
        QGuiApplication::clipboard()->setText(QString::fromLatin1(c.pasted));
        c.field->setFocus();
        QTest::keyClick(c.field, Qt::Key_Home);
        QTest::keyClick(c.field, Qt::Key_Right);
        QTest::keyClick(c.field, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(c.shown(), c.expected) << c.pasted;
    }
    Click(form->Button2);
    EXPECT_EQ(dir.Read("config.ini"), "[proxy]\r\nuseit=oui\r\nadresse=aXb\r\nport=1080\r\n"
                                      "login=moi\r\npassword=sec\r\n");
}

TEST_F(ProxyDialogTest, FailedSaveShowsTheErrorAndStaysOpen) {
    Open();
    Click(form->RadioButton_oui);
    Type(form->Edit_login, "moi");
    const std::filesystem::path missing = dir.Path() / "gone";
    SetExecutableDirectoryOverride(missing);
    Click(form->Button2);
    EXPECT_EQ(dialogs.errors,
              std::vector<std::string>{"Impossible d'\xE9"
                                       "crire dans " +
                                       PathFromFileSystem(missing / "config.ini") + "."});
    EXPECT_TRUE(IsOpen());
    EXPECT_TRUE(CancelAsks(WarningAnswer::No)) << "still modified";
}

TEST_F(ProxyDialogTest, EnterEscapeAndCloseRequests) {
    dir.Write("config.ini", "[proxy]\r\nadresse=a\r\n");
    Open();
    Type(form->Edit_Adresse, "b");
    QTest::keyClick(form->Edit_Adresse, Qt::Key_Return);
    QTest::keyClick(form->Edit_Adresse, Qt::Key_Escape);
    EXPECT_TRUE(IsOpen());
    EXPECT_EQ(dir.Read("config.ini"), "[proxy]\r\nadresse=a\r\n");

    // Any other close request is allowed at once, without the question or a save.
    form->close();
    EXPECT_FALSE(IsOpen());
    EXPECT_EQ(form->result(), QDialog::Rejected);
    EXPECT_TRUE(dialogs.warnings.empty());
    EXPECT_EQ(dir.Read("config.ini"), "[proxy]\r\nadresse=a\r\n");
}

TEST_F(ProxyDialogTest, EnterOnAFocusedButtonPressesIt) {
    Open();
    form->Button2->setFocus();
    QTest::keyClick(form->Button2, Qt::Key_Return);
    EXPECT_FALSE(IsOpen());
    EXPECT_TRUE(dir.Exists("config.ini"));
}

TEST_F(ProxyDialogTest, CaptionTablesAndFixedWindow) {
    struct Row {
        std::function<std::string()> caption;
        const char* english;
        const char* french;
    };
    auto text = [](auto* w) { return [w] { return FromQString(w->text()); }; };
    const Row rows[] = {
        {text(form->Label1), "Use proxy", "Utiliser un proxy"},
        {text(form->RadioButton_oui), "Yes", "Oui"},
        {text(form->RadioButton_non), "No", "Non"},
        {text(form->Label_Adresse), "Proxy server address", "Adresse du serveur proxy"},
        {text(form->Label_Port), "Port number", "Num\xE9ro du port"},
        {text(form->Label_login), "Login", "Login"},
        {text(form->Label_password), "Password", "Mot de passe"},
        {text(form->Button1), "Cancel", "Annuler"},
        {text(form->Button2), "Save", "Sauver"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.caption(), row.english) << "after creation";
    form->TranslateFrancais();
    for (const Row& row : rows)
        EXPECT_EQ(row.caption(), row.french);
    form->TranslateAnglais();
    for (const Row& row : rows)
        EXPECT_EQ(row.caption(), row.english);
    EXPECT_EQ(FromQString(form->windowTitle()), "Param\xE8tre du proxy");

    EXPECT_EQ(form->minimumSize(), QSize(260, 245));
    EXPECT_EQ(form->maximumSize(), QSize(260, 245));
    const Qt::WindowFlags flags = form->windowFlags();
    EXPECT_FALSE(flags & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(form->Button1->isDefault() || form->Button1->autoDefault());
    EXPECT_FALSE(form->Button2->isDefault() || form->Button2->autoDefault());

    const std::vector<QWidget*> order = {
        form->RadioButton_oui, form->RadioButton_non, form->Edit_Adresse, form->Edit_Port,
        form->Edit_login,      form->Edit_password,   form->Button1,      form->Button2};
    // The focus chain, with the spin edit's inner line edit standing for the spin edit.
    std::vector<QWidget*> chain;
    for (QWidget* w = form->nextInFocusChain(); w != form.get(); w = w->nextInFocusChain()) {
        QWidget* control = form->Edit_Port->isAncestorOf(w) ? form->Edit_Port : w;
        if (std::count(order.begin(), order.end(), control) &&
            (chain.empty() || chain.back() != control))
            chain.push_back(control);
    }
    std::rotate(chain.begin(), std::find(chain.begin(), chain.end(), order[0]), chain.end());
    EXPECT_EQ(chain, order);
    EXPECT_EQ(form->Edit_Port->geometry(), QRect(2, 2, 121, 22));
    EXPECT_EQ(form->Edit_Port->parentWidget(), form->Panel3);
    EXPECT_EQ(form->Panel5->geometry(), QRect(0, 182, 260, 27));
    EXPECT_EQ(form->Button2->geometry(), QRect(152, 216, 89, 25));
}

} // namespace
} // namespace brinmor
