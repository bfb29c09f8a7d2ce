#include "ui/Unit6.h"

#include "widgets/DesignFont.h"
#include "widgets/Dialogs.h"
#include "widgets/ErrorBox.h"
#include "widgets/ProgramIcon.h"
#include "widgets/QtText.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <functional>
#include <string>

namespace brinmor {

TForm6* Form6 = nullptr;

namespace {

// The maker, the partner and their addresses are this product's own, invented.
const char* const MakerWeb = "http://www.vendrelac.example.com/";
const char* const PartnerWeb = "http://www.corbelin.example.org/";
const char* const SupportAddress = "support@vendrelac.example.com";
const char* const SalesAddress = "ventes@vendrelac.example.com";

// Runs a function on the events of one object; the function says whether it took the event.
class EventHook : public QObject {
public:
    EventHook(QObject* target, std::function<bool(QEvent*)> onEvent)
        : QObject(target), onEvent_(std::move(onEvent)) {
        target->installEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* event) override { return onEvent_(event); }

private:
    std::function<bool(QEvent*)> onEvent_;
};

// A label's click: the left button released over it.
void OnClick(QLabel* label, void (TForm6::*handler)(), TForm6* form) {
    new EventHook(label, [label, handler, form](QEvent* event) {
        if (event->type() != QEvent::MouseButtonRelease)
            return false;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            label->rect().contains(mouse->position().toPoint()))
            RunCommand([form, handler] { (form->*handler)(); });
        return false;
    });
}

QLabel* MakeLabel(QWidget* parent, int left, int top, const std::string& text, bool bold) {
    auto* label = new QLabel(ToQString(text), parent);
    if (bold)
        label->setFont(DesignFont(8, true));
    label->move(left, top);
    label->adjustSize();
    return label;
}

} // namespace

TForm6::TForm6(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("Form6"));
    setFont(DesignFont());
    // Outer size 318 x 291 with a classic frame (4 pixels a side, 23 for the title bar).
    resize(310, 264);
    move(350, 113);

    Label1 = new QLabel(ToQString("Brinmor"), this);
    Label1->setFont(DesignFont(14));
    Label1->setFixedHeight(24);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Docked to the top: the layout keeps it across the whole width.
    auto* dock = new QVBoxLayout(this);
    dock->setContentsMargins(0, 0, 0, 0);
    dock->addWidget(Label1);
    dock->addStretch();

    Label2 = MakeLabel(this, 96, 48, "Version 2.0", false);
    Label3 = MakeLabel(this, 96, 64, "Mars 2003", false);
    Label4 = MakeLabel(this, 16, 120, "Vendrelac Logiciels", true);
    Label5 = MakeLabel(this, 16, 136, "48, rue du Verger", false);
    Label6 = MakeLabel(this, 16, 152,
                       "Saint-Aubrac, Qu\xE9"
                       "bec",
                       false);
    Label7 = MakeLabel(this, 16, 168, "Canada  G9Z 9Z9", false);

    Image1 = new QLabel(this);
    Image1->setGeometry(16, 40, 64, 64);
    Image1->setPixmap(MainIcon().pixmap(64, 64));

    Label8 = MakeLabel(this, 56, 192, std::string("Support : ") + SupportAddress, false);
    Label9 = MakeLabel(this, 168, 120, "Atelier Corbelin", true);
    Label10 = MakeLabel(this, 168, 136, "7, impasse des Ormes", false);
    Label11 = MakeLabel(this, 168, 152, "99120 Val-Sorbier", false);
    Label12 = MakeLabel(this, 168, 168, "France", false);

    Button1 = new QPushButton(ToQString("Ok"), this);
    Button1->setGeometry(112, 240, 75, 17);
    Button1->setDefault(true);
    Button1->setFocus();

    Label13 = MakeLabel(this, 72, 216, std::string("Sale : ") + SalesAddress, false);

    OnClick(Label4, &TForm6::Label4Click, this);
    OnClick(Label9, &TForm6::Label9Click, this);
    OnClick(Label8, &TForm6::Label8Click, this);
    OnClick(Label13, &TForm6::Label13Click, this);
    const std::pair<QWidget*, const char*> names[] = {
        {Label1, "Label1"},   {Label2, "Label2"},   {Label3, "Label3"},   {Label4, "Label4"},
        {Label5, "Label5"},   {Label6, "Label6"},   {Label7, "Label7"},   {Image1, "Image1"},
        {Label8, "Label8"},   {Label9, "Label9"},   {Label10, "Label10"}, {Label11, "Label11"},
        {Label12, "Label12"}, {Button1, "Button1"}, {Label13, "Label13"},
    };
    for (const auto& [widget, name] : names)
        widget->setObjectName(QString::fromLatin1(name));

    connect(Button1, &QPushButton::clicked, this, Command([this] { Button1Click(); }));

    // There is no cancel button: Escape does nothing.
    new EventHook(this, [](QEvent* event) {
        return event->type() == QEvent::KeyPress &&
               static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
    });
}

void TForm6::Label4Click() {
    AppDialogs().OpenAddress(MakerWeb);
}

void TForm6::Label9Click() {
    AppDialogs().OpenAddress(PartnerWeb);
}

void TForm6::Label8Click() {
    AppDialogs().OpenAddress(std::string("mailto:") + SupportAddress);
}

void TForm6::Button1Click() {
    done(QDialog::Accepted);
}

void TForm6::Label13Click() {
    AppDialogs().OpenAddress(std::string("mailto:") + SalesAddress);
}

} // namespace brinmor
