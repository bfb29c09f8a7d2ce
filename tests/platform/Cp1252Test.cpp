#include "platform/Cp1252.h"

#include <gtest/gtest.h>

namespace brinmor {
namespace {

TEST(Cp1252, EveryByteSurvivesARoundTripThroughUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(Cp1252, MapsTheHighControlsAndLatin1) {
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");           // euro sign
    EXPECT_EQ(Cp1252ToUtf8("\xE9t\xE9"), "\xC3\xA9t\xC3\xA9"); // été
    EXPECT_EQ(Utf8ToCp1252("\xC5\x93"), "\x9C");               // oe ligature
}

TEST(Cp1252, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1252("\xE4\xB8\xAD"), "?");       // a CJK character
    EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x98\x80x"), "?x"); // an emoji
    EXPECT_EQ(Utf8ToCp1252("a\xFF"
                           "b"),
              "a?b");                     // not UTF-8 at all
    EXPECT_EQ(Utf8ToCp1252("\xC3"), "?"); // cut sequence
}

// An overlong form is malformed UTF-8, not another spelling of its character: a path
// separator or a dot must not come out of one.
TEST(Cp1252, OverlongFormsBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "?");                    // "/" in two bytes
    EXPECT_EQ(Utf8ToCp1252("\xC0\xAE\xC0\xAE\xC1\x9C"), "???");  // "..\\"
    EXPECT_EQ(Utf8ToCp1252("a\xE0\x83\xA9z"), "a?z");            // "\xE9" in three bytes
    EXPECT_EQ(Utf8ToCp1252("\xF0\x80\x81\x81"), "?");            // "A" in four bytes
    EXPECT_EQ(Utf8ToCp1252("\xC3\xA9\xE2\x82\xAC"), "\xE9\x80"); // shortest forms stay
}

TEST(Cp1252, Utf16InBothByteOrders) {
    EXPECT_EQ(Utf16ToCp1252(std::string("a\0\xAC\x20", 4), true), "a\x80");
    EXPECT_EQ(Utf16ToCp1252(std::string("\0a\x20\xAC", 4), false), "a\x80");
    // A pair beyond the BMP, a lone surrogate and a dangling byte.
    EXPECT_EQ(Utf16ToCp1252(std::string("\x3D\xD8\x00\xDEx\0", 6), true), "?x");
    EXPECT_EQ(Utf16ToCp1252(std::string("\x00\xDCx\0", 4), true), "?x");
    EXPECT_EQ(Utf16ToCp1252(std::string("x\0y", 3), true), "x?");
}

} // namespace
} // namespace brinmor
