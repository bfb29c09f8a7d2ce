#pragma once

#include <functional>
#include <string>

namespace brinmor::test {

// Runs a check of what the file modes refuse. Root writes whatever the modes say, so as root
// the check runs in a child process as the unprivileged user nobody, and its failures are
// this test's. Returns why the check could not run (the reason to give GTEST_SKIP()), or
// nothing when it ran.
std::string AsUnprivilegedUser(const std::function<void()>& check);

} // namespace brinmor::test
