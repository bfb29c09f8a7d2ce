#include "platform/ExecutableDirectory.h"

#include <climits>
#include <unistd.h>

namespace brinmor {

std::filesystem::path ExecutablePath() {
    // The bytes as the kernel gives them: a folder name that is not Windows-1252, or not
    // even UTF-8, still opens.
    char buffer[PATH_MAX] = {};
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
    if (length <= 0)
        return {};
    return std::string(buffer, static_cast<std::size_t>(length));
}

} // namespace brinmor
