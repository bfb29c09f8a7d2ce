#include "widgets/DesignFont.h"

#include "widgets/FontFamilyName.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>

#ifdef BRINMOR_DESIGN_FONT_RESOURCE
// The resources live in a static library: registering them by hand keeps the linker from
// dropping them.
static void RegisterDesignFontResource() {
    Q_INIT_RESOURCE(designfont);
}
#endif

namespace brinmor {

const char* const CarriedDesignFamily = "Brinmor MS Sans Serif";

namespace {

const char* const DesignFamily = "MS Sans Serif";
constexpr int DesignPointSize = 8;
// Windows gives 8-point MS Sans Serif its 13-pixel strike (it matches a raster font's cell
// height to the letter height asked for); the carried copy's strikes are 13, 16 and 20 pixels
// high and it has no outlines to draw other sizes with, so ask for the strike itself.
constexpr int DesignStrike = 13;

enum class Registration { NotYet, Carried, Missing };

Registration& DesignFontRegistration() {
    static Registration registration = Registration::NotYet;
    return registration;
}

} // namespace

bool RegisterFontAs(const QByteArray& font, const QString& family) {
    const int id = QFontDatabase::addApplicationFontFromData(WithFamilyName(font, family));
    if (id == -1)
        return false;
    // A font whose name table could not be rewritten keeps its own name.
    if (QFontDatabase::applicationFontFamilies(id) == QStringList{family})
        return true;
    QFontDatabase::removeApplicationFont(id);
    return false;
}

void RegisterDesignFont() {
    Registration& registration = DesignFontRegistration();
    if (registration != Registration::NotYet)
        return;
    registration = Registration::Missing;
#ifdef BRINMOR_DESIGN_FONT_RESOURCE
    RegisterDesignFontResource();
    QFile carried(QStringLiteral(":/fonts/ms_sans_serif.ttf"));
    if (carried.open(QIODevice::ReadOnly) &&
        RegisterFontAs(carried.readAll(), QString::fromLatin1(CarriedDesignFamily)))
        registration = Registration::Carried;
#endif
}

QFont DesignFont(int pointSize, bool bold) {
    if (DesignFontRegistration() == Registration::Carried) {
        if (pointSize == DesignPointSize && !bold) {
            QFont carried(QString::fromLatin1(CarriedDesignFamily));
            carried.setPixelSize(DesignStrike);
            return carried;
        }
    } else {
        QFont designed(QString::fromLatin1(DesignFamily), pointSize);
        designed.setBold(bold);
        if (QFontInfo(designed).family() == designed.family())
            return designed;
    }
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace brinmor
