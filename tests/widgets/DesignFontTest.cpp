#include "widgets/DesignFont.h"

#include "support/QtApplication.h"

#include <QFile>
#include <QFontDatabase>
#include <gtest/gtest.h>

namespace brinmor {
namespace {

class DesignFontTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::EnsureApplication(); }
};

TEST_F(DesignFontTest, ARegistrationCountsOnlyUnderTheFamilyAsked) {
    // The outline face: the font databases of every platform take it, the bitmap copy not.
    QFile carried(QStringLiteral(":/fonts/ms_sans_serif_scaled.ttf"));
    if (!carried.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "the build carries no MS Sans Serif (fonts-wine)";
    const QString family = QStringLiteral("Brinmor Test Family");
    EXPECT_TRUE(RegisterFontAs(carried.readAll(), family));
    EXPECT_TRUE(QFontDatabase::families().contains(family));
    // Not a font: the toolkit refuses it.
    EXPECT_FALSE(RegisterFontAs(QByteArray("not a font"), QStringLiteral("Brinmor Not A Font")));
}

} // namespace
} // namespace brinmor
