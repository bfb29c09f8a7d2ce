#include "platform/FileError.h"

#include "platform/Exceptions.h"
#include "platform/Path.h"

#include <cerrno>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace brinmor {

#ifdef _WIN32

int WindowsFileErrorCode(int osError, const std::string&) {
    return osError;
}

int LastFileErrorCode(const std::string& path) {
    return WindowsFileErrorCode(static_cast<int>(GetLastError()), path);
}

#else

namespace {

bool FolderExists(const std::string& path) {
    const auto slash = path.find_last_of(PathDelim);
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    struct stat info {};
    return stat(NativePath(folder).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

int WindowsFileErrorCode(int osError, const std::string& path) {
    switch (osError) {
    case ENOENT:
        return FolderExists(path) ? 2 : 3;
    case ENOTDIR:
        return 3;
    case EMFILE:
    case ENFILE:
        return 4;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return 5;
    case ENOSPC:
    case EDQUOT:
        return 112;
    case ENAMETOOLONG:
        return 206;
    case EIO:
        // errno 5 would read as "access denied"; Windows reports a device I/O error.
        return 1117;
    default:
        return osError;
    }
}

int LastFileErrorCode(const std::string& path) {
    return WindowsFileErrorCode(errno, path);
}

#endif

[[noreturn]] void RaiseLastFileError(const std::string& path) {
    throw EInOutError(LastFileErrorCode(path));
}

} // namespace brinmor
