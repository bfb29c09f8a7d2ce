#include "widgets/DesignFont.h"

#include <QFontDatabase>
#include <QFontInfo>

namespace brinmor {

QFont DesignFont() {
    const QFont designed(QStringLiteral("MS Sans Serif"), 8);
    if (QFontInfo(designed).family() == designed.family())
        return designed;
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(8);
    return font;
}

} // namespace brinmor
