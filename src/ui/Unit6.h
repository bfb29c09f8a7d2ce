#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace brinmor {

// The About window.
class TForm6 : public QDialog {
    Q_OBJECT

public:
    explicit TForm6(QWidget* parent = nullptr);

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Image1;
    QLabel* Label8;
    QLabel* Label9;
    QLabel* Label10;
    QLabel* Label11;
    QLabel* Label12;
    QPushButton* Button1;
    QLabel* Label13;

    void Label4Click();
    void Label9Click();
    void Label8Click();
    void Button1Click();
    void Label13Click();
};

// The one About window of the program.
extern TForm6* Form6;

} // namespace brinmor
