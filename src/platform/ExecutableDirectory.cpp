#include "platform/ExecutableDirectory.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <climits>
#include <unistd.h>
#endif

namespace brinmor {

namespace {

std::filesystem::path& Override() {
    static std::filesystem::path directory;
    return directory;
}

std::filesystem::path ExecutablePath() {
#ifdef _WIN32
    // The wide form: the ANSI one spells a letter outside the code page as '?', and that
    // folder opens nothing. A result that fills the buffer may be cut short: try again with a
    // larger one.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
        if (length < size || size >= 32768) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(2 * buffer.size());
    }
#else
    // The bytes as the kernel gives them: a folder name that is not Windows-1252, or not
    // even UTF-8, still opens.
    char buffer[PATH_MAX] = {};
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
    if (length <= 0)
        return {};
    return std::string(buffer, static_cast<std::size_t>(length));
#endif
}

} // namespace

std::filesystem::path ExecutableDirectory() {
    if (!Override().empty())
        return Override();
    return ExecutablePath().parent_path();
}

std::filesystem::path ResultDirectory() {
    return ExecutableDirectory() / "result";
}

void SetExecutableDirectoryOverride(const std::filesystem::path& directory) {
    Override() = directory;
}

} // namespace brinmor
