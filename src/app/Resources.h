#pragma once

#include <QIcon>
#include <QPixmap>

namespace brinmor {

// The program icon MAINICON, with its 64, 32 and 16 pixel images.
QIcon MainIcon();

// The splash picture, 480 x 256.
QPixmap SplashPicture();

} // namespace brinmor
