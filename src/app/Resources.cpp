#include "app/Resources.h"

// The resources live in a static library: registering them by hand keeps the linker from
// dropping them.
static void RegisterResources() {
    Q_INIT_RESOURCE(brinmor);
}

namespace brinmor {

namespace {

void EnsureRegistered() {
    static const bool registered = (RegisterResources(), true);
    (void)registered;
}

} // namespace

QPixmap SplashPicture() {
    EnsureRegistered();
    return QPixmap(QStringLiteral(":/splash.bmp"));
}

} // namespace brinmor
