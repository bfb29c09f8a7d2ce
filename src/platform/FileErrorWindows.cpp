// Operating-system errors on Windows: the code is already the one the program reports.
#include "platform/FileError.h"

#include <windows.h>

namespace brinmor {

namespace {

// The text-file layer's own code for a full disk.
constexpr int kDiskFull = 101;

} // namespace

int WindowsFileErrorCode(int osError, const std::filesystem::path&) {
    // The text-file layer reports a full disk with its own code.
    if (osError == ERROR_DISK_FULL || osError == ERROR_HANDLE_DISK_FULL)
        return kDiskFull;
    return osError;
}

int LastFileErrorCode(const std::filesystem::path& path) {
    return WindowsFileErrorCode(static_cast<int>(GetLastError()), path);
}

} // namespace brinmor
