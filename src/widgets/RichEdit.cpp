#include "widgets/RichEdit.h"

#include "widgets/QtText.h"

#include <QTextCursor>

namespace brinmor {

TRichEdit::TRichEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void TRichEdit::Clear() {
    pending_.clear();
    clear();
    empty_ = true;
}

void TRichEdit::SetAttributes(unsigned color, bool bold) {
    Flush();
    format_.setForeground(QColor(static_cast<int>(color & 0xFF),
                                 static_cast<int>((color >> 8) & 0xFF),
                                 static_cast<int>((color >> 16) & 0xFF)));
    format_.setFontWeight(bold ? QFont::Bold : QFont::Normal);
}

void TRichEdit::AppendLine(const std::string& line, Encoding encoding) {
    QString text = encoding == Encoding::Utf8
                       ? QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()))
                       : ToQString(line);
    // The document would take a LF as a paragraph break.
    text.replace(QChar('\n'), QChar(' '));
    if (!empty_)
        pending_ += QChar('\n');
    pending_ += text;
    empty_ = false;
    if (updating_ == 0)
        Flush();
}

void TRichEdit::BeginUpdate() {
    ++updating_;
}

void TRichEdit::EndUpdate() {
    if (updating_ > 0 && --updating_ == 0)
        Flush();
}

void TRichEdit::Flush() {
    if (pending_.isEmpty())
        return;
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(pending_, format_);
    pending_.clear();
}

} // namespace brinmor
