#pragma once

#include <QFont>

namespace brinmor {

// The family of the MS Sans Serif copy the program carries, renamed so that a system font of
// the original name never stands in for it; regular, and bold as Windows synthesises it.
extern const char* const CarriedDesignFamily;
// The same pixels as outlines, for displays scaled by the toolkit.
extern const char* const ScaledDesignFamily;

// Registers the TrueType font `font` with the toolkit under the family `family`; false where
// the toolkit refuses it or would know it by another name.
bool RegisterFontAs(const QByteArray& font, const QString& family);

// Registers the carried copy of "MS Sans Serif" with the toolkit. Call once the application
// object exists, before the windows are made; later calls do nothing.
void RegisterDesignFont();

// `font` in the face of the designed font for a display at the pixel ratio `ratio`: the carried
// strike at 100 %, its outlines at any other scale; also where the system's font comes out as the
// carried copy. Any other font is given back as it is.
QFont DesignFaceAt(QFont font, qreal ratio);

// The windows' designed font, MS Sans Serif (8 points unless a window says otherwise): the
// carried copy wherever the program carries one, on every platform alike, regular or bold, and
// its outlines where the primary screen is scaled. Other sizes come from the desktop's sans-serif:
// the copy has no strike for them. A build without the copy asks the system for the font.
QFont DesignFont(int pointSize = 8, bool bold = false);

} // namespace brinmor
