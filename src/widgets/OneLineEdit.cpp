#include "widgets/OneLineEdit.h"

#include <QLineEdit>
#include <QValidator>

namespace brinmor {

namespace {

// Runs on every change of the field's text, before the change is shown or notified.
class OneLineValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override {
        KeepFirstLineOfInsertion(input, pos);
        return Acceptable;
    }
};

} // namespace

void KeepFirstLineOfInsertion(QString& text, int& cursor) {
    qsizetype lineBreak = -1;
    for (qsizetype i = 0; i < text.size() && lineBreak < 0; ++i)
        if (text[i] == u'\r' || text[i] == u'\n')
            lineBreak = i;
    if (lineBreak < 0)
        return;
    // A cursor before the break (a text set whole) drops everything after it.
    const qsizetype end = cursor > lineBreak ? cursor : text.size();
    text.remove(lineBreak, end - lineBreak);
    cursor = static_cast<int>(lineBreak);
}

void MakeOneLine(QLineEdit& edit) {
    edit.setValidator(new OneLineValidator(&edit));
}

} // namespace brinmor
