#include "support/TestApplication.h"

#include "app/Application.h"

namespace brinmor::test {

void EnsureProgramApplication() {
    static int argc = 1;
    static char name[] = "brinmor_app_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new TApplication(argc, argv);
}

} // namespace brinmor::test
