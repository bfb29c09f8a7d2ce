// Operating-system errors on POSIX: errno mapped to the Windows code the program reports.
#include "platform/FileError.h"

#include <cerrno>
#include <sys/stat.h>

namespace brinmor {

namespace {

// The text-file layer's own code for a full disk.
constexpr int kDiskFull = 101;
constexpr int kUnidentifiedError = 1287; // ERROR_UNIDENTIFIED_ERROR

bool FolderExists(const std::filesystem::path& path) {
    const std::filesystem::path folder = path.parent_path();
    struct stat info {};
    return stat(folder.empty() ? "." : folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

// The Windows counterpart of every errno a file call can give (open, read, write, close,
// fsync, rename, unlink, stat, directory and lock calls, network file systems). Any other
// reads as ERROR_UNIDENTIFIED_ERROR: an errno shown as is would read as an unrelated Windows
// code.
int WindowsFileErrorCode(int osError, const std::filesystem::path& path) {
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
    case EBADF:
        return 6; // ERROR_INVALID_HANDLE
    case ENOMEM:
        return 8; // ERROR_NOT_ENOUGH_MEMORY
    case EXDEV:
        return 17; // ERROR_NOT_SAME_DEVICE
    case EBADMSG:
        return 23; // ERROR_CRC: a checksum error
    case ETXTBSY:
        return 32; // ERROR_SHARING_VIOLATION
    case EAGAIN:
    case EDEADLK:
        return 33; // ERROR_LOCK_VIOLATION
    case ENOLCK:
        return 36; // ERROR_SHARING_BUFFER_EXCEEDED
    case EOPNOTSUPP:
        return 50; // ERROR_NOT_SUPPORTED
    case ENXIO:
    case ENODEV:
        return 55; // ERROR_DEV_NOT_EXIST
    case ENOTCONN:
    case ECONNRESET:
    case ECONNREFUSED:
    case EHOSTDOWN:
    case EHOSTUNREACH:
    case ENETDOWN:
    case ENETUNREACH:
#ifdef EREMOTEIO
    case EREMOTEIO:
#endif
        return 59; // ERROR_UNEXP_NET_ERR: a network file system
    case EEXIST:
        return 80; // ERROR_FILE_EXISTS
    case EINVAL:
        return 87; // ERROR_INVALID_PARAMETER
    case ENOSPC:
    case EDQUOT:
        return kDiskFull;
    case EPIPE:
        return 109; // ERROR_BROKEN_PIPE
    case EILSEQ:
        return 123; // ERROR_INVALID_NAME: a name the file system's encoding refuses
    case ENOTEMPTY:
        return 145; // ERROR_DIR_NOT_EMPTY
    case EBUSY:
        return 170; // ERROR_BUSY
    case ENAMETOOLONG:
        return 206;
    case EFBIG:
    case EOVERFLOW:
        return 223; // ERROR_FILE_TOO_LARGE
    case EFAULT:
        return 487; // ERROR_INVALID_ADDRESS
    case EINTR:
    case ECANCELED:
        return 995; // ERROR_OPERATION_ABORTED
    case ESTALE:
        return 1006; // ERROR_FILE_INVALID
    case EIO:
        // errno 5 would read as "access denied"; Windows reports a device I/O error.
        return 1117;
    case EMLINK:
        return 1142; // ERROR_TOO_MANY_LINKS
#ifdef EUCLEAN
    case EUCLEAN:
        return 1392; // ERROR_FILE_CORRUPT: a damaged file system
#endif
    case ETIMEDOUT:
        return 1460; // ERROR_TIMEOUT
    case ELOOP:
        return 1921; // ERROR_CANT_RESOLVE_FILENAME
    default:
        return kUnidentifiedError;
    }
}

int LastFileErrorCode(const std::filesystem::path& path) {
    return WindowsFileErrorCode(errno, path);
}

} // namespace brinmor
