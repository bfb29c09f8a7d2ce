#pragma once

#include <QIcon>

namespace brinmor {

// The program icon MAINICON, with its 64, 32 and 16 pixel images: the icon of every window
// and the picture in the About window.
QIcon MainIcon();

} // namespace brinmor
