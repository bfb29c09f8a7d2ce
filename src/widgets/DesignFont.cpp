#include "widgets/DesignFont.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

#ifdef BRINMOR_DESIGN_FONT_RESOURCE
// The resources live in a static library: registering them by hand keeps the linker from
// dropping them.
static void RegisterDesignFontResource() {
    Q_INIT_RESOURCE(designfont);
}
#endif

namespace brinmor {

namespace {

const char* const DesignFamily = "MS Sans Serif";
constexpr int DesignPointSize = 8;

// Whether the family in use is the carried copy.
bool& CarriedCopy() {
    static bool carried = false;
    return carried;
}

} // namespace

void RegisterDesignFont() {
    // A family the system lists may still be one Qt cannot draw (Wine lists a bitmap MS Sans
    // Serif that resolves to Tahoma), so ask what the name resolves to.
    const QFont designed(QString::fromLatin1(DesignFamily), DesignPointSize);
    if (QFontInfo(designed).family() == designed.family())
        return;
#ifdef BRINMOR_DESIGN_FONT_RESOURCE
    RegisterDesignFontResource();
    CarriedCopy() =
        QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/ms_sans_serif.ttf")) != -1;
#endif
}

QFont DesignFont(int pointSize, bool bold) {
    QFont designed(QString::fromLatin1(DesignFamily), pointSize);
    designed.setBold(bold);
    const bool drawable = !CarriedCopy() || (pointSize == DesignPointSize && !bold);
    if (drawable && QFontInfo(designed).family() == designed.family())
        return designed;
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace brinmor
