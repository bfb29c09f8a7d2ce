#include "platform/AtomicFile.h"

#include "platform/Path.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace brinmor {

namespace fs = std::filesystem;

namespace {

// The file a path names, through a symbolic link if it is one, so that a linked file is
// replaced rather than the link itself.
fs::path ResolvedTarget(const fs::path& path) {
    std::error_code ec;
    if (fs::is_symlink(path, ec)) {
        fs::path resolved = fs::weakly_canonical(path, ec);
        if (!ec)
            return resolved;
    }
    return path;
}

// A short name of fixed length beside the target, so that any name the file system takes can
// be stored; no other writer is likely to pick it, and ".tmp" keeps it out of the "*.dns" list.
fs::path TemporaryPath(const fs::path& target) {
    static std::atomic<std::uint64_t> counter{0};
    static const std::uint64_t seed = [] {
        std::random_device random;
        return (static_cast<std::uint64_t>(random()) << 32) ^ random();
    }();
    // splitmix64: consecutive counts give unrelated names.
    std::uint64_t x = seed + ++counter * 0x9E3779B97F4A7C15u;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9u;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBu;
    x ^= x >> 31;
    char name[32];
    std::snprintf(name, sizeof name, ".brinmor-%016llx.tmp", static_cast<unsigned long long>(x));
    fs::path path = target;
    path.replace_filename(name);
    return path;
}

[[noreturn]] void Fail(int code, const char* step, const fs::path& path) {
    throw EOSError(code, std::string(step) + " " + PathFromFileSystem(path));
}

#ifdef _WIN32

int LastCrtError() {
    return static_cast<int>(_doserrno ? _doserrno : ERROR_WRITE_FAULT);
}

void WriteAndReplace(const fs::path& target, const std::string& bytes, FileMode) {
    // New files get the folder's default access rights; Windows has no mode bits to keep.
    // A read-only file stays as it is, as it would with a write in place (Windows' rename
    // refuses it too, Wine's does not).
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        Fail(ERROR_ACCESS_DENIED, "open", target);
    fs::path temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 16; ++attempt) {
        temporary = TemporaryPath(target);
        _doserrno = 0;
        fd = _wopen(temporary.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                    _S_IREAD | _S_IWRITE);
        if (fd < 0 && errno != EEXIST)
            Fail(LastCrtError(), "create", target);
    }
    if (fd < 0)
        Fail(ERROR_FILE_EXISTS, "create", target);

    auto abandon = [&](int code, const char* step) {
        if (fd >= 0)
            _close(fd);
        DeleteFileW(temporary.c_str());
        Fail(code, step, target);
    };
    std::size_t done = 0;
    while (done < bytes.size()) {
        const unsigned chunk =
            static_cast<unsigned>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        _doserrno = 0;
        const int written = _write(fd, bytes.data() + done, chunk);
        if (written <= 0)
            abandon(written < 0 ? LastCrtError() : ERROR_DISK_FULL, "write");
        done += static_cast<std::size_t>(written);
    }
    if (_commit(fd) != 0)
        abandon(LastCrtError(), "flush");
    const int closed = _close(fd);
    fd = -1;
    if (closed != 0)
        abandon(LastCrtError(), "close");
    if (!MoveFileExW(temporary.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        abandon(static_cast<int>(GetLastError()), "rename");
}

#else

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
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0)
        abandon(errno, "close");
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        abandon(errno, "rename");

    // Make the rename itself durable; the data is already safe, so a failure here is not one.
    fs::path folder = target.parent_path();
    const int dir =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

#endif

} // namespace

void ReplaceFileContents(const std::string& path, const std::string& bytes, FileMode mode) {
    WriteAndReplace(ResolvedTarget(FileSystemPath(path)), bytes, mode);
}

} // namespace brinmor
