#include "platform/ExecutableDirectory.h"

#include "platform/Path.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <climits>
#include <unistd.h>
#endif

namespace brinmor {

namespace {

std::string& Override() {
    static std::string directory;
    return directory;
}

std::string ExecutablePath() {
#ifdef _WIN32
    // The ANSI form, as the program's other Windows calls take. A result that fills the
    // buffer may be cut short: try again with a larger one.
    std::string buffer(MAX_PATH, '\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), size);
        if (length < size || size >= 32768) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(2 * buffer.size());
    }
#else
    char buffer[PATH_MAX] = {};
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
    if (length <= 0)
        return {};
    return PathFromNative(std::string(buffer, static_cast<std::size_t>(length)));
#endif
}

} // namespace

std::string ExecutableDirectory() {
    if (!Override().empty())
        return Override();
    const std::string path = ExecutablePath();
    const auto slash = path.find_last_of(PathDelim);
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void SetExecutableDirectoryOverride(const std::string& directory) {
    Override() = directory;
}

} // namespace brinmor
