#pragma once

#include <QPlainTextEdit>
#include <QTextCharFormat>
#include <string>

namespace brinmor {

// The read-only result pane: lines wrap at its width, vertical scroll bar only, no size limit.
// The program appends lines and sets the colour and bold style of what it adds next. A plain
// text editor underneath: it lays out only what is visible, so large results show fast.
class TRichEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    enum class Encoding { Cp1252, Utf8 };

    explicit TRichEdit(QWidget* parent = nullptr);

    void Clear();

    // Colour as 0x00BBGGRR, and bold, for the text added from now on.
    void SetAttributes(unsigned color, bool bold);

    // Adds one line, its bytes decoded by `encoding`, as a new paragraph at the end. A LF inside
    // the line shows as a blank: it does not break the line.
    void AppendLine(const std::string& line, Encoding encoding = Encoding::Cp1252);

    // Between these, appended lines are gathered and added at once (at EndUpdate, or when the
    // attributes change): one document change instead of one per line.
    void BeginUpdate();
    void EndUpdate();

private:
    void Flush();

    QTextCharFormat format_;
    QString pending_;
    int updating_ = 0;
    bool empty_ = true;
};

// Keeps a TRichEdit between BeginUpdate and EndUpdate for a scope.
class RichEditUpdate {
public:
    explicit RichEditUpdate(TRichEdit& edit) : edit_(edit) { edit_.BeginUpdate(); }
    ~RichEditUpdate() { edit_.EndUpdate(); }
    RichEditUpdate(const RichEditUpdate&) = delete;
    RichEditUpdate& operator=(const RichEditUpdate&) = delete;

private:
    TRichEdit& edit_;
};

} // namespace brinmor
