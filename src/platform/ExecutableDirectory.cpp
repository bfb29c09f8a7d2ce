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
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    return std::string(buffer, length);
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
