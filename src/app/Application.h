#pragma once

#include <QApplication>

namespace brinmor {

// The application object: title "Brinmor", the program icon on every window, and the last
// line of the error box: an exception that escapes while an event is handed out is reported
// there instead of unwinding through Qt.
class TApplication : public QApplication {
    Q_OBJECT

public:
    TApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace brinmor
