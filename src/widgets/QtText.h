#pragma once

#include <QList>
#include <QString>
#include <string>

namespace brinmor {

// The one crossing between the program's Windows-1252 text and Qt's strings. A character that
// Windows-1252 lacks becomes '?'.
QString ToQString(const std::string& text);
std::string FromQString(const QString& text);

} // namespace brinmor
