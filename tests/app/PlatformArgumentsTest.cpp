#include "app/PlatformArguments.h"

#include <gtest/gtest.h>

namespace brinmor {
namespace {

using Words = std::vector<std::string>;

TEST(PlatformArguments, AddsTheProgramsOptionsToTheWindowsPlatform) {
    const std::string ours = "windows:fontengine=freetype:dpiawareness=0";
    struct Case {
        Words words;
        std::string variable;
        std::string defaultPlatform;
        Words expected;
        bool leavesScalingToSystem;
    };
    const Case cases[] = {
        {{"brinmor"}, "", "windows", {"brinmor", "-platform", ours}, true},
        {{"brinmor"}, "", "", {"brinmor"}, false},
        {{"brinmor"}, "offscreen", "windows", {"brinmor"}, false},
    };
    for (const Case& c : cases) {
        const PlatformArguments arguments(c.words, c.variable, c.defaultPlatform);
        const std::string context = testing::PrintToString(c.words) + " " + c.variable;
        EXPECT_EQ(arguments.Words(), c.expected) << context;
        EXPECT_EQ(arguments.LeavesScalingToSystem(), c.leavesScalingToSystem) << context;
    }
}

} // namespace
} // namespace brinmor
