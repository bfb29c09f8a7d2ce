#pragma once

#include <filesystem>
#include <string>

namespace brinmor {

#ifdef _WIN32
inline constexpr char PathDelim = '\\';
#else
inline constexpr char PathDelim = '/';
#endif

// Paths are held as Windows-1252 text like every other text. The operating system gets them
// unchanged on Windows (the ANSI calls) and as UTF-8 on POSIX, so other tools show them right.
std::string NativePath(const std::string& path);

// The reverse, for names that come back from the operating system.
std::string PathFromNative(const std::string& nativePath);

// The same path for std::filesystem and the file streams. Use these rather than building a
// std::filesystem::path from narrow text: MinGW's library reads and writes narrow text as
// Latin-1 and UTF-8, not as the ANSI code page the Windows calls use.
std::filesystem::path FileSystemPath(const std::string& path);
std::string PathFromFileSystem(const std::filesystem::path& path);

} // namespace brinmor
