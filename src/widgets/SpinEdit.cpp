#include "widgets/SpinEdit.h"

#include "platform/IntegerText.h"
#include "widgets/OneLineEdit.h"
#include "widgets/QtText.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <algorithm>

namespace brinmor {

namespace {

bool IsAcceptedCharacter(QChar c) {
    if (c.isDigit() && c.unicode() < 0x80)
        return true;
    if (c == u'+' || c == u'-')
        return true;
    if (QLocale().decimalPoint().contains(c))
        return true;
    // Control keys other than Enter: Backspace, Delete, Ctrl+C, Ctrl+V and the like.
    return (c.unicode() < 0x20 && c != u'\r' && c != u'\n') || c.unicode() == 0x7F;
}

} // namespace

TSpinEdit::TSpinEdit(QWidget* parent) : QAbstractSpinBox(parent) {
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    connect(lineEdit(), &QLineEdit::textChanged, this, [this] { emit Changed(); });
    SetValue(0);
}

void TSpinEdit::SetRange(std::int32_t minValue, std::int32_t maxValue) {
    minValue_ = minValue;
    maxValue_ = maxValue;
}

std::int64_t TSpinEdit::Clamped(std::int64_t value) const {
    // An empty range (minimum equal to maximum) means no limit.
    if (minValue_ == maxValue_)
        return value;
    return std::clamp<std::int64_t>(value, minValue_, maxValue_);
}

std::int32_t TSpinEdit::Value() const {
    return TryStrToInt(Text()).value_or(minValue_);
}

void TSpinEdit::SetValue(std::int64_t value) {
    // Beyond 32 bits when there is no range: the text keeps the low 32 bits, as a 32-bit
    // value would.
    const auto held = static_cast<std::int32_t>(static_cast<std::uint32_t>(Clamped(value)));
    SetText(IntToStr(held));
}

std::string TSpinEdit::Text() const {
    return FromQString(lineEdit()->text());
}

void TSpinEdit::SetText(const std::string& text) {
    lineEdit()->setText(ToQString(text));
}

void TSpinEdit::stepBy(int steps) {
    SetValue(static_cast<std::int64_t>(Value()) + static_cast<std::int64_t>(steps) * increment_);
}

QAbstractSpinBox::StepEnabled TSpinEdit::stepEnabled() const {
    return StepUpEnabled | StepDownEnabled;
}

QValidator::State TSpinEdit::validate(QString& input, int& pos) const {
    KeepFirstLineOfInsertion(input, pos);
    // Any other text may stand in the field; the key filter decides what can be typed.
    // Intermediate keeps the base class from interpreting the text as a value of its own.
    return QValidator::Intermediate;
}

void TSpinEdit::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        stepBy(event->key() == Qt::Key_Up ? 1 : -1);
        event->accept();
        return;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        event->ignore();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        QApplication::beep();
        event->accept();
        return;
    default:
        break;
    }
    const QString text = event->text();
    if (!text.isEmpty() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
        !std::all_of(text.begin(), text.end(), IsAcceptedCharacter)) {
        QApplication::beep();
        event->accept();
        return;
    }
    QAbstractSpinBox::keyPressEvent(event);
}

void TSpinEdit::focusOutEvent(QFocusEvent* event) {
    // Only a move to another control counts, not the window losing the activation.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason) {
        const std::int32_t value = Value();
        if (Clamped(value) != value)
            SetValue(value);
    }
    QAbstractSpinBox::focusOutEvent(event);
}

void TSpinEdit::wheelEvent(QWheelEvent* event) {
    event->ignore();
}

} // namespace brinmor
