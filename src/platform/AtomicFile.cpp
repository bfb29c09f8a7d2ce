#include "platform/AtomicFile.h"

#include "platform/Path.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
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

// Temporary files are named prefix + 16 hexadecimal digits + suffix.
constexpr std::string_view kTemporaryPrefix = ".brinmor-";
constexpr std::size_t kTemporaryDigits = 16;
constexpr std::string_view kTemporarySuffix = ".tmp";

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
    std::snprintf(name, sizeof name, "%s%016llx%s", kTemporaryPrefix.data(),
                  static_cast<unsigned long long>(x), kTemporarySuffix.data());
    fs::path path = target;
    path.replace_filename(name);
    return path;
}

[[noreturn]] void Fail(int code, const char* step, const fs::path& path) {
    throw EOSError(code, std::string(step) + " " + PathFromFileSystem(path));
}

#ifdef _WIN32

void WriteAndReplace(const fs::path& target, const std::string& bytes, FileMode) {
    // New files get the folder's default access rights; Windows has no mode bits to keep.
    // A read-only file stays as it is, as it would with a write in place (Windows' rename
    // refuses it too, Wine's does not).
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        Fail(ERROR_ACCESS_DENIED, "open", target);
    fs::path temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; file == INVALID_HANDLE_VALUE && attempt < 16; ++attempt) {
        temporary = TemporaryPath(target);
        // Held open until after the rename, shared for deletion only (the rename needs it): a
        // cleanup, which opens it alone, leaves it to this write.
        file = CreateFileW(temporary.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            Fail(static_cast<int>(GetLastError()), "create", target);
    }
    if (file == INVALID_HANDLE_VALUE)
        Fail(ERROR_FILE_EXISTS, "create", target);

    auto abandon = [&](int code, const char* step) {
        CloseHandle(file);
        DeleteFileW(temporary.c_str());
        Fail(code, step, target);
    };
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr))
            abandon(static_cast<int>(GetLastError()), "write");
        if (written == 0)
            abandon(ERROR_DISK_FULL, "write");
        done += written;
    }
    if (!FlushFileBuffers(file))
        abandon(static_cast<int>(GetLastError()), "flush");
    if (!MoveFileExW(temporary.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        abandon(static_cast<int>(GetLastError()), "rename");
    CloseHandle(file);
}

// Deletes the file only when no one has it open, so never one that a running write holds;
// folders and links are not the program's.
void RemoveIfUnheld(const fs::path& path) {
    const HANDLE file = CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES, 0, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileInformationByHandle(file, &info) &&
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0) {
        FILE_DISPOSITION_INFO dispose{};
        dispose.DeleteFile = TRUE;
        SetFileInformationByHandle(file, FileDispositionInfo, &dispose, sizeof dispose);
    }
    CloseHandle(file);
}

#else

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Locks a new temporary file for the whole write; a cleanup deletes only what it can lock.
// False when a cleanup took the name between the creation and the lock: the caller picks
// another. Where the file system has no locks, a cleanup can't lock either and deletes nothing.
bool LockAsOwner(int fd, const fs::path& temporary) {
    int locked;
    while ((locked = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
    }
    if (locked != 0)
        return true;
    struct stat held {};
    struct stat named {};
    return ::fstat(fd, &held) == 0 && ::lstat(temporary.c_str(), &named) == 0 &&
           SameFile(held, named);
}

// Deletes a plain file that no running write has locked, still under the name it was locked by.
void RemoveIfUnheld(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return;
    struct stat held {};
    struct stat named {};
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
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

#endif

// Exactly the names TemporaryPath gives (native: narrow on POSIX, wide on Windows), so that no
// other file is ever touched.
template <typename Text> bool IsTemporaryName(const Text& name) {
    using Char = typename Text::value_type;
    if (name.size() != kTemporaryPrefix.size() + kTemporaryDigits + kTemporarySuffix.size())
        return false;
    const std::size_t suffixAt = kTemporaryPrefix.size() + kTemporaryDigits;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const Char c = name[i];
        const bool fits = i < kTemporaryPrefix.size() ? c == static_cast<Char>(kTemporaryPrefix[i])
                          : i >= suffixAt ? c == static_cast<Char>(kTemporarySuffix[i - suffixAt])
                                          : (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
        if (!fits)
            return false;
    }
    return true;
}

void RemoveLeftovers(const fs::path& folder) {
    std::vector<fs::path> found;
    std::error_code ec;
    for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end;
         !ec && it != end; it.increment(ec)) {
        const fs::path name = it->path().filename();
        if (IsTemporaryName(name.native()))
            found.push_back(it->path());
    }
    for (const fs::path& path : found)
        RemoveIfUnheld(path);
}

} // namespace

void ReplaceFileContents(const std::string& path, const std::string& bytes, FileMode mode) {
    const fs::path target = ResolvedTarget(FileSystemPath(path));
    WriteAndReplace(target, bytes, mode);
    RemoveLeftovers(target.parent_path());
}

void RemoveLeftoverTemporaryFiles(const std::string& folder) {
    RemoveLeftovers(FileSystemPath(folder));
}

} // namespace brinmor
