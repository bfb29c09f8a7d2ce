#pragma once

#include "platform/Exceptions.h"

#include <filesystem>
#include <string>

namespace brinmor {

// A failed file-system call: the operating system's own error code (errno on POSIX, the
// Windows error code on Windows) and a short text naming the step that failed.
class EOSError : public Exception {
public:
    EOSError(int errorCode, const std::string& message)
        : Exception(message), errorCode_(errorCode) {}
    int ErrorCode() const noexcept { return errorCode_; }

private:
    int errorCode_;
};

// Permissions of a file that does not exist yet; an existing file keeps its own.
enum class FileMode {
    Default,   // as the process's umask allows
    OwnerOnly, // POSIX: read and write for the owner only (files holding secrets)
};

// Replaces the whole content of the file at path, creating it if needed.
// The bytes go to a temporary file in the same folder, under a short name of fixed length so
// that any name the file system takes can be the target; it is flushed to disk, then renamed
// over the target, so a crash or a full disk never leaves a truncated file. On failure the
// target is as it was, no temporary is left behind, and EOSError is raised. A symbolic link
// is followed: the file it points to is replaced.
void ReplaceFileContents(const std::filesystem::path& path, const std::string& bytes,
                         FileMode mode = FileMode::Default);

// Deletes the temporary files that writes cut short (a killed process, a power cut) left in
// `folder`, and only those: a file that a running write in any process still holds, or that the
// program did not name, stays. A replace that fails does this in its own folder. Failures are
// passed over.
void RemoveLeftoverTemporaryFiles(const std::filesystem::path& folder);

#ifndef _WIN32
// The call that takes the writes' and the cleanup's file locks, flock's signature. Tests put
// in one that refuses as a network file system may; nullptr puts flock back.
using FileLockCall = int (*)(int fd, int operation);
void SetFileLockCallForTesting(FileLockCall call);
#endif

} // namespace brinmor
