#pragma once

#include <QPoint>
#include <QSize>
#include <QWidget>

class QLabel;

namespace brinmor {

// The start-up splash: no border, no title bar, one picture at its top-left corner, sized to
// the picture. It takes no input.
class Tf_splashscreen : public QWidget {
    Q_OBJECT

public:
    explicit Tf_splashscreen(QWidget* parent = nullptr);

    QLabel* Image1;
};

// Top-left corner that centres a window on a screen: each halved difference truncates toward
// zero, so it is negative on a screen smaller than the window.
QPoint SplashPosition(QSize screen, QSize window);

} // namespace brinmor
