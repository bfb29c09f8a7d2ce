#include "widgets/FontFamilyName.h"

#include <gtest/gtest.h>

namespace brinmor {
namespace {

void Append16(QByteArray& bytes, int value) {
    bytes.append(static_cast<char>(value >> 8));
    bytes.append(static_cast<char>(value & 0xFF));
}

// An sfnt holding only a name table of `count` Windows family names "A".
QByteArray FontWithFamilyNames(int count) {
    QByteArray name;
    Append16(name, 0);
    Append16(name, count);
    Append16(name, 6 + 12 * count);
    for (int i = 0; i < count; ++i)
        for (const int field : {3, 1, 0x409, 1, 2, 0})
            Append16(name, field);
    name.append("\0A", 2);
    QByteArray font("\0\1\0\0\0\1\0\0\0\0\0\0name\0\0\0\0\0\0\0\x1C", 24);
    Append16(font, 0);
    Append16(font, static_cast<int>(name.size()));
    return font + name;
}

TEST(FontFamilyName, LeavesAFontItCannotRenameAsItIs) {
    // Empty, a directory cut short, and a name table that lies past the end.
    const QByteArray outside("\0\1\0\0\0\1\0\0\0\0\0\0"
                             "name\0\0\0\0\0\0\0\0\0\0\xFF\xFF",
                             28);
    for (const QByteArray& bytes : {QByteArray(), QByteArray("\0\1\0\0\0\7", 6), outside})
        EXPECT_EQ(WithFamilyName(bytes, QStringLiteral("X")), bytes);
    // Renamed, the name table's strings would pass the 64 KiB its 16-bit offsets reach.
    const QByteArray font = FontWithFamilyNames(40);
    EXPECT_NE(WithFamilyName(font, QStringLiteral("X")), font);
    EXPECT_EQ(WithFamilyName(font, QString(1000, QLatin1Char('X'))), font);
}

} // namespace
} // namespace brinmor
