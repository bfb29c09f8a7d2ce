#include "widgets/QtText.h"

#include <gtest/gtest.h>

namespace brinmor {
namespace {

TEST(QtText, ConvertsBothWaysAtTheBoundary) {
    EXPECT_EQ(ToQString("R\xE9sultat \x80"), QString::fromUtf8("R\xC3\xA9sultat \xE2\x82\xAC"));
    EXPECT_EQ(FromQString(QString::fromUtf8("Param\xC3\xA8tre")), "Param\xE8tre");
    EXPECT_EQ(FromQString(QString::fromUtf8("\xE4\xB8\xAD\xF0\x9F\x98\x80")), "??");
}

} // namespace
} // namespace brinmor
