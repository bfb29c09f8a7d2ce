#include "widgets/FontFamilyName.h"

#include <gtest/gtest.h>

namespace brinmor {
namespace {

TEST(FontFamilyName, LeavesAFileThatIsNoFontAsItIs) {
    // Empty, a directory cut short, and a name table that lies past the end.
    const QByteArray outside("\0\1\0\0\0\1\0\0\0\0\0\0"
                             "name\0\0\0\0\0\0\0\0\0\0\xFF\xFF",
                             28);
    for (const QByteArray& bytes : {QByteArray(), QByteArray("\0\1\0\0\0\7", 6), outside})
        EXPECT_EQ(WithFamilyName(bytes, QStringLiteral("X")), bytes);
}

} // namespace
} // namespace brinmor
