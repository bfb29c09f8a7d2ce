#pragma once

#include <QDialog>
#include <string>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace brinmor {

class TSpinEdit;

// The proxy settings dialog, and the in-memory holder of the settings between two loads of
// config.ini.
class TForm2 : public QDialog {
    Q_OBJECT

public:
    explicit TForm2(QWidget* parent = nullptr);

    QLabel* Label1;
    QFrame* Panel1;
    QRadioButton* RadioButton_oui;
    QRadioButton* RadioButton_non;
    QLabel* Label_Adresse;
    QFrame* Panel2;
    QLineEdit* Edit_Adresse;
    QLabel* Label_Port;
    QFrame* Panel3;
    QLabel* Label_login;
    QFrame* Panel4;
    QLineEdit* Edit_login;
    QFrame* Panel5;
    QLineEdit* Edit_password;
    QLabel* Label_password;
    QPushButton* Button1;
    QPushButton* Button2;
    TSpinEdit* Edit_Port;

    // The interface language read from config.ini; "en" means English.
    std::string LanguageCode;
    // "oui" asks each top-level domain's registry instead of the first whois server alone.
    std::string WhoisRegistres;

    void FormCreate();
    void FormActivate();
    void RadioButton_ouiClick();
    void RadioButton_nonClick();
    void Edit_AdresseChange();
    void Button2Click();
    void Button1Click();
    bool FormCloseQuery();

    void ReadIniFile();
    void WriteIniFile();
    void TranslateAnglais();
    void TranslateFrancais();

private:
    void ApplyCaptions(bool english);
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void SetProxyFieldsEnabled(bool enabled);
};

// The one proxy dialog of the program.
extern TForm2* Form2;

} // namespace brinmor
