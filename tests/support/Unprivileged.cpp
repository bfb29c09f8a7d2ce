#include "support/Unprivileged.h"

#include <cstdio>
#include <gtest/gtest.h>

#ifndef _WIN32
#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace brinmor::test {

std::string AsUnprivilegedUser(const std::function<void()>& check) {
#ifndef _WIN32
    if (::geteuid() == 0) {
        const passwd* nobody = ::getpwnam("nobody");
        if (nobody == nullptr || nobody->pw_uid == 0)
            return "root writes whatever the modes say, and this system has no user nobody";
        const uid_t uid = nobody->pw_uid;
        const gid_t gid = nobody->pw_gid;
        // The child's report goes out through the same stream: let ours out first.
        std::fflush(stdout);
        const pid_t child = ::fork();
        if (child == 0) {
            // Group first: without root, the group can no longer be changed.
            if (::setgroups(0, nullptr) != 0 || ::setresgid(gid, gid, gid) != 0 ||
                ::setresuid(uid, uid, uid) != 0)
                ::_exit(3);
            // Whatever escapes must end here, not run the rest of the suite a second time.
            try {
                check();
            } catch (...) {
                ADD_FAILURE() << "the check raised";
            }
            std::fflush(stdout);
            ::_exit(::testing::Test::HasFailure() ? 1 : ::testing::Test::IsSkipped() ? 2 : 0);
        }
        int status = 0;
        if (child < 0 || ::waitpid(child, &status, 0) != child)
            return "no child process to run as nobody";
        const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (code == 3)
            return "root cannot become nobody here";
        if (code == 2)
            return "skipped as nobody";
        EXPECT_EQ(code, 0) << "the check failed as nobody (its failures above)";
        return {};
    }
#endif
    check();
    return {};
}

} // namespace brinmor::test
