#include "widgets/DesignFont.h"

#include "widgets/FontFamilyName.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QScreen>

#ifdef BRINMOR_DESIGN_FONT_RESOURCE
// The resources live in a static library: registering them by hand keeps the linker from
// dropping them.
static void RegisterDesignFontResource() {
    Q_INIT_RESOURCE(designfont);
}
#endif

namespace brinmor {

const char* const CarriedDesignFamily = "Brinmor MS Sans Serif";
const char* const ScaledDesignFamily = "Brinmor MS Sans Serif Scaled";

namespace {

const char* const DesignFamily = "MS Sans Serif";
constexpr int DesignPointSize = 8;
// Windows gives 8-point MS Sans Serif its 13-pixel strike (it matches a raster font's cell
// height to the letter height asked for); the carried copy's strikes are 13, 16 and 20 pixels
// high and it has no outlines to draw other sizes with, so ask for the strike itself.
constexpr int DesignStrike = 13;

// The carried copy and the faces derived from it at build time, each with its family.
struct CarriedFace {
    const char* resource;
    const char* family;
};
const CarriedFace CarriedFaces[] = {
    {":/fonts/ms_sans_serif.ttf", CarriedDesignFamily},
    {":/fonts/ms_sans_serif_bold.ttf", CarriedDesignFamily},
    {":/fonts/ms_sans_serif_scaled.ttf", ScaledDesignFamily},
    {":/fonts/ms_sans_serif_scaled_bold.ttf", ScaledDesignFamily},
};

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
    for (const CarriedFace& face : CarriedFaces) {
        QFile file(QString::fromLatin1(face.resource));
        if (!file.open(QIODevice::ReadOnly) ||
            !RegisterFontAs(file.readAll(), QString::fromLatin1(face.family)))
            return;
    }
    registration = Registration::Carried;
#endif
}

QFont DesignFaceAt(QFont font, qreal ratio) {
    // The system's own font may come out as the carried copy too (Wine's, without Tahoma).
    const QString family = QFontInfo(font).family();
    if (family != QLatin1String(CarriedDesignFamily) && family != QLatin1String(ScaledDesignFamily))
        return font;
    // A scaled display draws the letters through the painter's scale, which a bitmap strike
    // does not follow; the outlines of the same pixels do.
    const bool scaled = !qFuzzyCompare(ratio, 1.0);
    font.setFamily(QString::fromLatin1(scaled ? ScaledDesignFamily : CarriedDesignFamily));
    // Hinting would move the pixels' edges off the scaled grid.
    font.setHintingPreference(scaled ? QFont::PreferNoHinting : QFont::PreferDefaultHinting);
    return font;
}

QFont DesignFont(int pointSize, bool bold) {
    if (DesignFontRegistration() == Registration::Carried) {
        if (pointSize == DesignPointSize) {
            QFont carried(QString::fromLatin1(CarriedDesignFamily));
            carried.setPixelSize(DesignStrike);
            carried.setBold(bold);
            // Until a window is shown, it is on the primary screen.
            const QScreen* screen = QGuiApplication::primaryScreen();
            return DesignFaceAt(carried, screen ? screen->devicePixelRatio() : 1.0);
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
    const QScreen* screen = QGuiApplication::primaryScreen();
    return DesignFaceAt(font, screen ? screen->devicePixelRatio() : 1.0);
}

} // namespace brinmor
