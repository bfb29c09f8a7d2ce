#pragma once

#include <QByteArray>
#include <QString>

namespace brinmor {

// The TrueType font `font` with its family and full names (name IDs 1, 4 and 16) set to
// `family`, so that no system font of the original name can stand in for it. A font whose
// tables cannot be read comes back unchanged.
QByteArray WithFamilyName(const QByteArray& font, const QString& family);

} // namespace brinmor
