#include "widgets/QtDialogs.h"

#include "widgets/OneLineEdit.h"
#include "widgets/OwnWindows.h"
#include "widgets/QtText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

namespace brinmor {

namespace {

void CentreOnScreen(QWidget& window) {
    window.adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        window.move(area.center() - window.rect().center());
    }
}

void ShowBox(QMessageBox::Icon icon, const std::string& text) {
    QMessageBox box(icon, QGuiApplication::applicationDisplayName(), ToQString(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    // The platform's boxes have plain text buttons, whatever icons the desktop theme offers.
    for (QAbstractButton* button : box.buttons())
        button->setIcon(QIcon());
    CentreOnScreen(box);
    box.exec();
}

// Qt's box takes a close (its close box, Alt+F4) for a press of its escape button; the
// warning question tells the two apart.
class WarningBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;
    bool ClosedWithoutAnswer() const { return closedWithoutAnswer_; }

protected:
    // A button's own close never gets here; the box eats it.
    void closeEvent(QCloseEvent* event) override {
        closedWithoutAnswer_ = clickedButton() == nullptr;
        QMessageBox::closeEvent(event);
    }

private:
    bool closedWithoutAnswer_ = false;
};

} // namespace

void QtDialogs::ShowMessage(const std::string& text) {
    ShowBox(QMessageBox::NoIcon, text);
    NotifyOwnWindowClosed();
}

void QtDialogs::ShowError(const std::string& text) {
    ShowBox(QMessageBox::Critical, text);
}

WarningAnswer QtDialogs::AskWarning(const std::string& question) {
    // Title and buttons are the framework's own French texts, whatever the caption language.
    WarningBox box(QMessageBox::Warning, ToQString("Avertissement"), ToQString(question),
                   QMessageBox::NoButton, QApplication::activeWindow());
    QPushButton* yes = box.addButton(ToQString("&Oui"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(ToQString("&Non"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    CentreOnScreen(box);
    box.exec();
    if (box.ClosedWithoutAnswer())
        return WarningAnswer::Closed;
    if (box.clickedButton() == yes)
        return WarningAnswer::Yes;
    if (box.clickedButton() == no)
        return WarningAnswer::No;
    return WarningAnswer::Closed;
}

std::optional<std::string> QtDialogs::InputQuery(const std::string& caption,
                                                 const std::string& prompt, int maxLength) {
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(ToQString(caption));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(ToQString(prompt), &dialog));
    auto* edit = new QLineEdit(&dialog);
    edit->setMaxLength(maxLength);
    MakeOneLine(*edit);
    edit->setMinimumWidth(240);
    layout->addWidget(edit);
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* ok = buttons->addButton(ToQString("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(ToQString("Annuler"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    CentreOnScreen(dialog);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    NotifyOwnWindowClosed();
    if (!accepted)
        return std::nullopt;
    return FromQString(edit->text());
}

std::optional<std::filesystem::path> QtDialogs::OpenFileName(const std::string& filterName,
                                                             const std::string& pattern) {
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // AnyFile lets the user type the name of a file that does not exist; opening it then
    // reports the missing file.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(ToQString(filterName + " (" + pattern + ")"));
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return FileNameFromQString(dialog.selectedFiles().first());
}

void QtDialogs::OpenAddress(const std::string& address) {
    QDesktopServices::openUrl(QUrl(ToQString(address)));
}

namespace {

Dialogs*& Installed() {
    static Dialogs* dialogs = nullptr;
    return dialogs;
}

} // namespace

Dialogs& AppDialogs() {
    static QtDialogs qtDialogs;
    return Installed() ? *Installed() : qtDialogs;
}

void SetAppDialogs(Dialogs* dialogs) {
    Installed() = dialogs;
}

} // namespace brinmor
