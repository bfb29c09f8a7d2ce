#pragma once

#include <QList>
#include <QString>
#include <filesystem>
#include <string>

namespace brinmor {

// The one crossing between the program's Windows-1252 text and Qt's strings. A character that
// Windows-1252 lacks becomes '?'.
QString ToQString(const std::string& text);
std::string FromQString(const QString& text);

// A file name as the file system holds it, for showing; on POSIX, bytes that are not UTF-8
// show as U+FFFD.
QString FileNameToQString(const std::filesystem::path& name);

// The reverse, for a path that Qt hands back (a file dialog's choice): as the system names it,
// whatever letters it holds.
std::filesystem::path FileNameFromQString(const QString& name);

} // namespace brinmor
