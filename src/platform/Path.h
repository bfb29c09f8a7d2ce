#pragma once

#include <filesystem>
#include <string>

namespace brinmor {

// A path that comes from the system (the executable's folder, a chosen file, a listed entry) is
// held as std::filesystem::path, as the system gives it, and goes back unchanged: any folder name
// works. A name held as Windows-1252 text joins it through FileSystemPath below.

// Windows-1252 text as a std::filesystem::path: on Windows through the ANSI code page, as the
// ANSI calls would read it; on POSIX its UTF-8 form, so other tools show it right. And back ('?'
// for what the text cannot hold). Use these rather than building a std::filesystem::path from
// narrow text: MinGW's library reads and writes narrow text as Latin-1 and UTF-8, not as the
// ANSI code page the Windows calls use.
std::filesystem::path FileSystemPath(const std::string& path);
std::string PathFromFileSystem(const std::filesystem::path& path);

} // namespace brinmor
