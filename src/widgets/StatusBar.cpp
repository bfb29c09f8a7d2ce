#include "widgets/StatusBar.h"

#include "widgets/QtText.h"

#include <QLabel>

namespace brinmor {

TStatusBar::TStatusBar(QWidget* parent) : QStatusBar(parent), field_(new QLabel(this)) {
    setSizeGripEnabled(true);
    addWidget(field_, 1);
}

void TStatusBar::SetSimpleText(const std::string& text) {
    field_->setText(ToQString(text));
}

std::string TStatusBar::SimpleText() const {
    return FromQString(field_->text());
}

} // namespace brinmor
