// ReplaceFileContents and the leftover cleanup on POSIX: a lock on each temporary file tells a
// running write from what a dead one left.
#include "platform/AtomicFilePlatform.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brinmor::atomic_file {

namespace fs = std::filesystem;

namespace {

FileLockCall lockCall = nullptr;

int Lock(int fd, int operation) {
    return (lockCall != nullptr ? lockCall : ::flock)(fd, operation);
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Locks a new temporary file for the whole write; a cleanup deletes only what it can lock.
// False when a cleanup took the name between the creation and the lock: the caller picks
// another. Where the file system has no locks, a cleanup can't lock either and deletes nothing.
bool LockAsOwner(int fd, const fs::path& temporary) {
    int locked;
    while ((locked = Lock(fd, LOCK_EX)) != 0 && errno == EINTR) {
    }
    if (locked != 0)
        return true;
    struct stat held {};
    struct stat named {};
    return ::fstat(fd, &held) == 0 && ::lstat(temporary.c_str(), &named) == 0 &&
           SameFile(held, named);
}

} // namespace

// Deletes a plain file that no running write has locked, still under the name it was locked by.
void RemoveIfUnheld(const fs::path& path) {
    struct stat named {};
    // Only a plain file is opened: opening a device for writing may act on it.
    if (::lstat(path.c_str(), &named) != 0 || !S_ISREG(named.st_mode))
        return;
    // Open for writing, never truncating: over NFS an exclusive lock needs it (EBADF else).
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return;
    struct stat held {};
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && Lock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::lstat(path.c_str(), &named) == 0 && SameFile(held, named))
        ::unlink(path.c_str());
    ::close(fd);
}

void WriteAndReplace(const fs::path& target, const std::string& bytes, FileMode mode) {
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    // A file its owner made read-only stays as it is, as it would with a write in place.
    if (exists && ::access(target.c_str(), W_OK) != 0)
        Fail(errno, "open", target);
    const mode_t createMode = exists                        ? S_IRUSR | S_IWUSR
                              : mode == FileMode::OwnerOnly ? S_IRUSR | S_IWUSR
                                                            : 0666;

    fs::path temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 16; ++attempt) {
        temporary = TemporaryPath(target);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, createMode);
        if (fd < 0 && errno != EEXIST)
            Fail(errno, "create", target);
        if (fd >= 0 && !LockAsOwner(fd, temporary)) {
            ::close(fd);
            fd = -1;
        }
    }
    if (fd < 0)
        Fail(EEXIST, "create", target);

    auto abandon = [&](int code, const char* step) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(temporary.c_str());
        Fail(code, step, target);
    };
    if (exists) {
        // The replacement takes over the old file's owner, where allowed, and its permissions
        // (after the owner: a change of owner may clear set-id bits).
        if (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()) {
            [[maybe_unused]] const int ignored = ::fchown(fd, existing.st_uid, existing.st_gid);
        }
        if (::fchmod(fd, existing.st_mode & 07777) != 0)
            abandon(errno, "chmod");
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            abandon(written < 0 ? errno : ENOSPC, "write");
        done += static_cast<std::size_t>(written);
    }
    if (::fsync(fd) != 0)
        abandon(errno, "flush");
    // Renamed while still locked, so no cleanup takes it between the two; the data is on disk
    // already, so the close can no longer lose any.
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        abandon(errno, "rename");
    ::close(fd);

    // Make the rename itself durable; the data is already safe, so a failure here is not one.
    fs::path folder = target.parent_path();
    const int dir =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

} // namespace brinmor::atomic_file

void brinmor::SetFileLockCallForTesting(FileLockCall call) {
    atomic_file::lockCall = call;
}
