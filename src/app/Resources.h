#pragma once

#include <QPixmap>

namespace brinmor {

// The splash picture, 480 x 256.
QPixmap SplashPicture();

} // namespace brinmor
