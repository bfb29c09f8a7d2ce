#include "platform/Utf8Text.h"

#include <gtest/gtest.h>
#include <string>

namespace brinmor {
namespace {

TEST(Utf8Text, TellsWellFormedUtf8AndNonAsciiText) {
    struct Case {
        std::string bytes;
        bool valid;
        bool nonAscii;
    };
    const Case cases[] = {
        {"", true, false},
        {"plain ascii\r\n", true, false},
        {"M\xC3\xA9rignac", true, true},
        {"\xE2\x82\xAC and \xF0\x9F\x98\x80", true, true},
        {"M\xE9rignac", false, true},      // Windows-1252
        {"\xC3", false, true},             // cut short
        {"\xC0\xAF", false, true},         // overlong
        {"\xE0\x80\xAF", false, true},     // overlong
        {"\xED\xA0\x80", false, true},     // surrogate
        {"\xF4\x90\x80\x80", false, true}, // above U+10FFFF
        {"\xC3\xA9\xE9", false, true},     // valid, then not
        {"\xE2\x82", false, true},         // cut short
        {"\xF0\x9F\x98"
         "a",
         false, true}, // bad continuation
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << testing::PrintToString(c.bytes);
        EXPECT_EQ(HasNonAscii(c.bytes), c.nonAscii) << testing::PrintToString(c.bytes);
    }
}

} // namespace
} // namespace brinmor
