// Opening, reading and deleting files on POSIX, with Windows' answers where they differ.
#include "platform/Exceptions.h"
#include "platform/FileError.h"
#include "platform/TextFile.h"
#include "platform/TextFilePlatform.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brinmor {

namespace text_file {

std::intptr_t OpenForReading(const std::filesystem::path& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        RaiseLastFileError(path);
    struct stat info {};
    if (fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        // Windows refuses to open a folder as a file.
        close(fd);
        throw EInOutError(5);
    }
    return fd;
}

std::size_t ReadSome(std::intptr_t handle, char* data, std::size_t size,
                     const std::filesystem::path& path) {
    for (;;) {
        const ssize_t done = read(static_cast<int>(handle), data, size);
        if (done >= 0)
            return static_cast<std::size_t>(done);
        if (errno != EINTR)
            RaiseLastFileError(path);
    }
}

bool CloseHandleOf(std::intptr_t handle) {
    return close(static_cast<int>(handle)) == 0;
}

} // namespace text_file

bool RemoveFile(const std::filesystem::path& file) {
    return unlink(file.c_str()) == 0;
}

} // namespace brinmor
