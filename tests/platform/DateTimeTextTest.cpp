#include "platform/DateTimeText.h"

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace brinmor {
namespace {

std::tm At(int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 8;
    t.tm_wday = 2;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

TEST(DateTimeText, LeavesTheTimeOutOnlyAtMidnight) {
    const char* date = "%d/%m/%Y";
    const char* time = "%H:%M:%S";
    EXPECT_EQ(ComposeDateTimeText(At(7, 59, 17), date, time), "08/12/2026 07:59:17");
    EXPECT_EQ(ComposeDateTimeText(At(0, 0, 0), date, time), "08/12/2026");
    EXPECT_EQ(ComposeDateTimeText(At(0, 0, 1), date, time), "08/12/2026 00:00:01");
    EXPECT_EQ(ComposeDateTimeText(At(12, 0, 0), date, time), "08/12/2026 12:00:00");
}

#ifndef _WIN32
// Sets one environment variable for the scope and puts the old value back.
class EnvScope {
public:
    EnvScope(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~EnvScope() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(DateTimeText, FollowsTheLcTimeLocale) {
    const EnvScope all("LC_ALL", nullptr);
    const EnvScope time("LC_TIME", "C");
    EXPECT_EQ(DateTimeText(At(7, 59, 17)), "12/08/26 07:59:17");
    EXPECT_EQ(DateTimeText(At(0, 0, 0)), "12/08/26");
}
#endif

} // namespace
} // namespace brinmor
