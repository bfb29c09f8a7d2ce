#include "widgets/ScreenFace.h"

#include "widgets/DesignFont.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace brinmor {

namespace {

const char* const FollowedProperty = "brinmorFollowsScreenFace";

void Follow(QWidget& window) {
    QWindow* handle = window.windowHandle();
    if (!handle)
        return;
    if (!handle->property(FollowedProperty).toBool()) {
        handle->setProperty(FollowedProperty, true);
        // The toolkit has no event for a change of pixel ratio; a move to another screen is
        // the one way a window's ratio changes.
        QObject::connect(handle, &QWindow::screenChanged, &window, [&window](QScreen* screen) {
            if (screen)
                SetScreenFace(window, *screen);
        });
    }
    if (const QScreen* screen = handle->screen())
        SetScreenFace(window, *screen);
}

class ScreenFaceFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (widget->isWindow())
                Follow(*widget);
        }
        return false;
    }
};

void SetFace(QWidget& widget, qreal ratio) {
    const QFont face = DesignFaceAt(widget.font(), ratio);
    if (face != widget.font())
        widget.setFont(face);
}

} // namespace

void SetScreenFace(QWidget& window, const QScreen& screen) {
    const qreal ratio = screen.devicePixelRatio();
    // A widget that inherits its font follows its parent's; the others are set one by one.
    SetFace(window, ratio);
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (widget->testAttribute(Qt::WA_SetFont))
            SetFace(*widget, ratio);
    }
}

void FollowScreenFaces() {
    qApp->installEventFilter(new ScreenFaceFilter(qApp));
}

} // namespace brinmor
