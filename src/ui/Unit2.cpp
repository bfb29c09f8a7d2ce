#include "ui/Unit2.h"

#include "platform/ExecutableDirectory.h"
#include "platform/IntegerText.h"
#include "settings/IniFiles.h"
#include "widgets/DesignFont.h"
#include "widgets/Dialogs.h"
#include "widgets/ErrorBox.h"
#include "widgets/OneLineEdit.h"
#include "widgets/QtText.h"
#include "widgets/SpinEdit.h"

#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>

namespace brinmor {

TForm2* Form2 = nullptr;

namespace {

// State of the unit, shared by the one dialog.
bool Modified = false;
std::string CancelQuestion;

constexpr int ClientWidth = 260;

// The two caption tables, row by row: Label1, the two radio buttons, the four field labels,
// the two buttons and the cancel question.
struct Caption {
    const char* english;
    const char* french;
};
constexpr Caption Captions[] = {
    {"Use proxy", "Utiliser un proxy"},
    {"Yes", "Oui"},
    {"No", "Non"},
    {"Proxy server address", "Adresse du serveur proxy"},
    {"Port number", "Num\xE9ro du port"},
    {"Login", "Login"},
    {"Password", "Mot de passe"},
    {"Cancel", "Annuler"},
    {"Save", "Sauver"},
    {"Do you want to cancel update ?", "Voulez-vous annuler la modification ?"},
};

std::filesystem::path ConfigPath() {
    return ExecutableDirectory() / "config.ini";
}

QLabel* TopLabel(QWidget* parent, int top) {
    auto* label = new QLabel(parent);
    label->setGeometry(0, top, ClientWidth, 13);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QFrame* TopPanel(QWidget* parent, int top, int height, bool bevel) {
    auto* panel = new QFrame(parent);
    panel->setGeometry(0, top, ClientWidth, height);
    panel->setFrameStyle(bevel ? QFrame::Panel | QFrame::Raised : QFrame::NoFrame);
    panel->setLineWidth(1);
    return panel;
}

QLineEdit* PanelEdit(QFrame* panel) {
    auto* edit = new QLineEdit(panel);
    edit->setGeometry(2, 2, 255, 21);
    MakeOneLine(*edit);
    return edit;
}

QPushButton* BottomButton(QWidget* parent, int left) {
    auto* button = new QPushButton(parent);
    button->setGeometry(left, 216, 89, 25);
    // Neither button is the default one: Enter in a field presses nothing.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace

TForm2::TForm2(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setFont(DesignFont());
    setWindowTitle(ToQString("Param\xE8tre du proxy"));
    setFixedSize(ClientWidth, 245);
    move(181, 113);
    setModal(true);

    Label1 = TopLabel(this, 0);
    Panel1 = TopPanel(this, 13, 36, false);
    RadioButton_oui = new QRadioButton(Panel1);
    RadioButton_oui->setGeometry(56, 0, 57, 17);
    RadioButton_non = new QRadioButton(Panel1);
    RadioButton_non->setGeometry(56, 16, 57, 17);
    Label_Adresse = TopLabel(this, 49);
    Panel2 = TopPanel(this, 62, 27, true);
    Edit_Adresse = PanelEdit(Panel2);
    Label_Port = TopLabel(this, 89);
    Panel3 = TopPanel(this, 102, 27, true);
    Edit_Port = new TSpinEdit(Panel3);
    Edit_Port->setGeometry(2, 2, 121, 22);
    Edit_Port->SetRange(0, 65536);
    Edit_Port->SetValue(43);
    Label_login = TopLabel(this, 129);
    Panel4 = TopPanel(this, 142, 27, true);
    Edit_login = PanelEdit(Panel4);
    Label_password = TopLabel(this, 169);
    Panel5 = TopPanel(this, 182, 27, true);
    Edit_password = PanelEdit(Panel5);
    Button1 = BottomButton(this, 16);
    Button2 = BottomButton(this, 152);

    QWidget* tabOrder[] = {RadioButton_oui, RadioButton_non, Edit_Adresse, Edit_Port,
                           Edit_login,      Edit_password,   Button1,      Button2};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connect(RadioButton_oui, &QRadioButton::toggled, this,
            [chosen = Command([this] { RadioButton_ouiClick(); })](bool checked) {
                if (checked)
                    chosen();
            });
    connect(RadioButton_non, &QRadioButton::toggled, this,
            [chosen = Command([this] { RadioButton_nonClick(); })](bool checked) {
                if (checked)
                    chosen();
            });
    const auto changed = Command([this] { Edit_AdresseChange(); });
    connect(Edit_Adresse, &QLineEdit::textChanged, this, changed);
    connect(Edit_Port, &TSpinEdit::Changed, this, changed);
    connect(Edit_login, &QLineEdit::textChanged, this, changed);
    connect(Edit_password, &QLineEdit::textChanged, this, changed);
    connect(Button1, &QPushButton::clicked, this, Command([this] { Button1Click(); }));
    connect(Button2, &QPushButton::clicked, this, Command([this] { Button2Click(); }));

    // The program makes this dialog once; a new one starts clean.
    Modified = false;
    FormCreate();
}

void TForm2::FormCreate() {
    TranslateAnglais();
}

void TForm2::FormActivate() {
    Modified = false;
    ReadIniFile();
}

void TForm2::SetProxyFieldsEnabled(bool enabled) {
    QWidget* fields[] = {Edit_Adresse,  Edit_Port,  Edit_login,  Edit_password,
                         Label_Adresse, Label_Port, Label_login, Label_password};
    for (QWidget* field : fields)
        field->setEnabled(enabled);
}

void TForm2::RadioButton_ouiClick() {
    SetProxyFieldsEnabled(true);
}

void TForm2::RadioButton_nonClick() {
    SetProxyFieldsEnabled(false);
}

void TForm2::Edit_AdresseChange() {
    Modified = true;
}

void TForm2::Button2Click() {
    WriteIniFile();
    accept();
}

void TForm2::Button1Click() {
    if (Modified && AppDialogs().AskWarning(CancelQuestion) == WarningAnswer::No)
        return;
    reject();
}

bool TForm2::FormCloseQuery() {
    return true;
}

void TForm2::ReadIniFile() {
    const TIniFile ini(ConfigPath());
    if (ini.ReadString("proxy", "useit", "non") == "oui") {
        RadioButton_oui->setChecked(true);
        RadioButton_ouiClick();
    } else {
        RadioButton_non->setChecked(true);
        RadioButton_nonClick();
    }
    Edit_Adresse->setText(ToQString(ini.ReadString("proxy", "adresse", "")));
    Edit_Port->SetValue(StrToInt(ini.ReadString("proxy", "port", "43")));
    Edit_login->setText(ToQString(ini.ReadString("proxy", "login", "")));
    Edit_password->setText(ToQString(ini.ReadString("proxy", "password", "")));
    LanguageCode = ini.ReadString("language", "code", "fr");
    WhoisRegistres = ini.ReadString("whois", "registres", "non");
    Modified = false;
}

void TForm2::WriteIniFile() {
    const TIniFile ini(ConfigPath());
    ini.WriteString("proxy", "adresse", FromQString(Edit_Adresse->text()));
    ini.WriteString("proxy", "port", IntToStr(Edit_Port->Value()));
    ini.WriteString("proxy", "login", FromQString(Edit_login->text()));
    ini.WriteString("proxy", "password", FromQString(Edit_password->text()));
    ini.WriteString("proxy", "useit", RadioButton_oui->isChecked() ? "oui" : "non");
}

void TForm2::TranslateAnglais() {
    ApplyCaptions(true);
}

void TForm2::TranslateFrancais() {
    ApplyCaptions(false);
}

void TForm2::ApplyCaptions(bool english) {
    const char* Caption::*language = english ? &Caption::english : &Caption::french;
    auto text = [language](const Caption& caption) { return ToQString(caption.*language); };
    Label1->setText(text(Captions[0]));
    RadioButton_oui->setText(text(Captions[1]));
    RadioButton_non->setText(text(Captions[2]));
    Label_Adresse->setText(text(Captions[3]));
    Label_Port->setText(text(Captions[4]));
    Label_login->setText(text(Captions[5]));
    Label_password->setText(text(Captions[6]));
    Button1->setText(text(Captions[7]));
    Button2->setText(text(Captions[8]));
    CancelQuestion = Captions[9].*language;
}

void TForm2::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Each opening loads the file; the window system showing it again (after a minimise)
    // is no opening.
    if (!event->spontaneous())
        RunCommand([this] { FormActivate(); });
}

void TForm2::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery())
        QDialog::closeEvent(event);
    else
        event->ignore();
}

void TForm2::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        // No cancel button: Escape closes nothing.
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter presses the focused button only, as it does on the platform.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button && button->isEnabled())
            button->click();
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

} // namespace brinmor
