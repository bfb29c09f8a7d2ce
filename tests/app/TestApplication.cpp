#include "TestApplication.h"

#include "app/Application.h"

#include <gtest/gtest.h>

namespace brinmor::test {

namespace {

// The program destroys its application object at exit; so do the tests after the last one.
// Left alive, the font library's caches show up as leaks.
class ApplicationEnvironment : public ::testing::Environment {
    void TearDown() override { delete QApplication::instance(); }
};

[[maybe_unused]] const auto* const environment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

} // namespace

void EnsureProgramApplication() {
    static int argc = 1;
    static char name[] = "brinmor_app_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new TApplication(argc, argv);
}

} // namespace brinmor::test
