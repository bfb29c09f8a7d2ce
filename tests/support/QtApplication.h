#pragma once

#include <QApplication>

namespace brinmor::test {

// The one QApplication of a GUI test binary, made on first use and kept for the whole run.
inline void EnsureQApplication() {
    static int argc = 1;
    static char name[] = "brinmor_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
}

} // namespace brinmor::test
