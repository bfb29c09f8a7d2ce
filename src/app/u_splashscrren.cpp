#include "app/u_splashscrren.h"

#include "app/Resources.h"

#include <QLabel>

namespace brinmor {

Tf_splashscreen::Tf_splashscreen(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    Image1 = new QLabel(this);
    Image1->setPixmap(SplashPicture());
    Image1->move(0, 0);
    Image1->adjustSize();
    setFixedSize(Image1->size());
}

QPoint SplashPosition(QSize screen, QSize window) {
    // C++ integer division truncates toward zero, as the placement requires.
    return {(screen.width() - window.width()) / 2, (screen.height() - window.height()) / 2};
}

} // namespace brinmor
