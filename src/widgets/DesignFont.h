#pragma once

#include <QFont>

namespace brinmor {

// Makes "MS Sans Serif" available where the system has no font of that name, from the copy
// with the same metrics that the program carries. Call once the application object exists,
// before the windows are made.
void RegisterDesignFont();

// The windows' designed font, "MS Sans Serif" (8 points unless a window says otherwise).
// Where the desktop lacks it, the desktop's own sans-serif at the same size. The copy the
// program carries is a bitmap font that the toolkit draws at 8 points only and never in bold;
// bold or other sizes then come from the desktop's sans-serif too.
QFont DesignFont(int pointSize = 8, bool bold = false);

} // namespace brinmor
