#include "widgets/DesignFont.h"

#include "support/QtApplication.h"
#include "widgets/FontFamilyName.h"
#include "widgets/QtText.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <gtest/gtest.h>

namespace brinmor {
namespace {

TEST(DesignFont, IsTheCarriedCopyEvenWhereTheSystemListsAFontOfTheSameName) {
    test::EnsureApplication();
    // A wider font that calls itself MS Sans Serif, as a system may list one.
    QFile impostor(QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"));
    if (!impostor.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "fonts-dejavu-core is not installed";
    const int id = QFontDatabase::addApplicationFontFromData(
        WithFamilyName(impostor.readAll(), QStringLiteral("MS Sans Serif")));
    ASSERT_EQ(QFontDatabase::applicationFontFamilies(id), QStringList{"MS Sans Serif"});

    const QFont designed = DesignFont();
    EXPECT_EQ(FromQString(QFontInfo(designed).family()), CarriedDesignFamily);
    // The 13-pixel strike, and the width the designed layout was made for.
    EXPECT_EQ(QFontInfo(designed).pixelSize(), 13);
    EXPECT_EQ(QFontMetrics(designed).horizontalAdvance(
                  QString::fromUtf8("Liste de noms de domaine \xC3\xA0 chercher")),
              177);
}

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
