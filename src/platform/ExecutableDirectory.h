#pragma once

#include <filesystem>

namespace brinmor {

// The folder of the running executable, as the system names it (UTF-16 on Windows, bytes on
// POSIX): any folder name works, not only those that Windows-1252 can spell. It is not the
// working directory: config.ini and result/ live there.
std::filesystem::path ExecutableDirectory();

// The running executable itself, as the system names it; empty when the system can't tell.
std::filesystem::path ExecutablePath();

// result/ in the executable directory: the store of looked-up names.
std::filesystem::path ResultDirectory();

// Test seam: point the executable directory at another folder; an empty path restores the
// real one.
void SetExecutableDirectoryOverride(const std::filesystem::path& directory);

} // namespace brinmor
