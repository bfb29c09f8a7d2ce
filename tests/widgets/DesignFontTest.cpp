#include "widgets/DesignFont.h"

#include "support/QtApplication.h"

#include <QFile>
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
    ASSERT_TRUE(carried.open(QIODevice::ReadOnly)) << "the build carries no MS Sans Serif";
    const QByteArray font = carried.readAll();
    EXPECT_TRUE(RegisterFontAs(font, QStringLiteral("Brinmor Test Family")));
    // Too long for the font's name table: the font would keep its own name.
    EXPECT_FALSE(RegisterFontAs(font, QString(40000, QLatin1Char('X'))));
}

} // namespace
} // namespace brinmor
