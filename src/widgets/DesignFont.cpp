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
    bool bold;
};
const CarriedFace CarriedFaces[] = {
    {":/fonts/ms_sans_serif.ttf", CarriedDesignFamily, false},
    {":/fonts/ms_sans_serif_bold.ttf", CarriedDesignFamily, true},
    {":/fonts/ms_sans_serif_scaled.ttf", ScaledDesignFamily, false},
    {":/fonts/ms_sans_serif_scaled_bold.ttf", ScaledDesignFamily, true},
};

// The families whose regular face registered; a missing bold face is drawn as the toolkit
// makes bold, the regular one still being the designed font.
struct Registration {
    bool done = false;
    bool carried = false;
    bool scaled = false;
};

Registration& DesignFontRegistration() {
    static Registration registration;
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
    if (registration.done)
        return;
    registration.done = true;
#ifdef BRINMOR_DESIGN_FONT_RESOURCE
    RegisterDesignFontResource();
    // Each face that registers is kept, whatever becomes of the others.
    for (const CarriedFace& face : CarriedFaces) {
        QFile file(QString::fromLatin1(face.resource));
        const bool registered = file.open(QIODevice::ReadOnly) &&
                                RegisterFontAs(file.readAll(), QString::fromLatin1(face.family));
        if (registered && !face.bold)
            (face.family == CarriedDesignFamily ? registration.carried : registration.scaled) =
                true;
    }
#endif
}

QFont DesignFaceAt(QFont font, qreal ratio) {
    // The system's own font may come out as the carried copy too (Wine's, without Tahoma).
    const QString family = QFontInfo(font).family();
    if (family != QLatin1String(CarriedDesignFamily) && family != QLatin1String(ScaledDesignFamily))
        return font;
    // A scaled display draws the letters through the painter's scale, which a bitmap strike
    // does not follow; the outlines of the same pixels do. Either stands in for the other
    // where it alone registered.
    const Registration& registration = DesignFontRegistration();
    const bool scaled = !qFuzzyCompare(ratio, 1.0);
    const bool outlines = registration.scaled && (scaled || !registration.carried);
    font.setFamily(QString::fromLatin1(outlines ? ScaledDesignFamily : CarriedDesignFamily));
    // Hinting would move the pixels' edges off the scaled grid.
    font.setHintingPreference(outlines ? QFont::PreferNoHinting : QFont::PreferDefaultHinting);
    return font;
}

QFont DesignFont(int pointSize, bool bold) {
    const Registration& registration = DesignFontRegistration();
    if (registration.carried || registration.scaled) {
        if (pointSize == DesignPointSize) {
            // Whichever face registered; DesignFaceAt picks between them for the screen.
            QFont carried(QString::fromLatin1(registration.carried ? CarriedDesignFamily
                                                                   : ScaledDesignFamily));
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
