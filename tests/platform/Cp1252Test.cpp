#include <gtest/gtest.h>

#include "platform/Cp1252.h"

namespace brinmor {
namespace {

TEST(Cp1252, EveryByteSurvivesARoundTripThroughUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(Cp1252, MapsTheHighControlsAndLatin1) {
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");      // euro sign
    EXPECT_EQ(Cp1252ToUtf8("\xE9t\xE9"), "\xC3\xA9t\xC3\xA9"); // été
    EXPECT_EQ(Utf8ToCp1252("\xC5\x93"), "\x9C");             // oe ligature
}

TEST(Cp1252, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1252("\xE4\xB8\xAD"), "?");             // a CJK character
    EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x98\x80x"), "?x");       // an emoji
    EXPECT_EQ(Utf8ToCp1252("a\xFF" "b"), "a?b");              // not UTF-8 at all
    EXPECT_EQ(Utf8ToCp1252("\xC3"), "?");                     // cut sequence
}

} // namespace
} // namespace brinmor
