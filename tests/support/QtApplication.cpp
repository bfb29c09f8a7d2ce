#include "support/QtApplication.h"

#include "widgets/DesignFont.h"

#include <QApplication>

namespace brinmor::test {

void EnsureApplication() {
    static int argc = 1;
    static char name[] = "brinmor_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) {
        new QApplication(argc, argv);
        QGuiApplication::setApplicationDisplayName(QStringLiteral("Brinmor"));
        RegisterDesignFont();
    }
}

} // namespace brinmor::test
