// Text and paths on Windows: the program's text is the ANSI code page's, as the ANSI calls take it.
#include "platform/Path.h"

#include <windows.h>

namespace brinmor {

std::filesystem::path FileSystemPath(const std::string& path) {
    const int size = static_cast<int>(path.size());
    std::wstring wide(MultiByteToWideChar(CP_ACP, 0, path.data(), size, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

// A character the ANSI code page lacks becomes '?', as the ANSI calls report it.
std::string PathFromFileSystem(const std::filesystem::path& path) {
    const std::wstring& wide = path.native();
    const int size = static_cast<int>(wide.size());
    std::string text(
        WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), size, text.data(), static_cast<int>(text.size()),
                        nullptr, nullptr);
    return text;
}

} // namespace brinmor
