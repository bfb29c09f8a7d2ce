#include "widgets/ProgramIcon.h"

// The resources live in a static library: registering them by hand keeps the linker from
// dropping them.
static void RegisterIconResource() {
    Q_INIT_RESOURCE(widgets);
}

namespace brinmor {

QIcon MainIcon() {
    static const bool registered = (RegisterIconResource(), true);
    (void)registered;
    return QIcon(QStringLiteral(":/MAINICON.ico"));
}

} // namespace brinmor
