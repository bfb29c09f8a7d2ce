#pragma once

#include <QStatusBar>
#include <string>

class QLabel;

namespace brinmor {

// A status bar with one simple-text field across its whole width and no panels.
class TStatusBar : public QStatusBar {
    Q_OBJECT

public:
    explicit TStatusBar(QWidget* parent = nullptr);

    void SetSimpleText(const std::string& text);
    std::string SimpleText() const;

private:
    QLabel* field_;
};

} // namespace brinmor
