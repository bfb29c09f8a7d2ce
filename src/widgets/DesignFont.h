#pragma once

#include <QFont>

namespace brinmor {

// The windows' designed font, "MS Sans Serif" at 8 points, where the desktop has it; else the
// desktop's own sans-serif at the same size.
QFont DesignFont();

} // namespace brinmor
