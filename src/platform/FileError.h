#pragma once

#include <filesystem>

namespace brinmor {

// The Windows error code for an operating-system error met while working on `path`. On Windows
// the code is already one; on POSIX errno is mapped to its Windows counterpart, any errno without
// one to 1287, and a missing entry reads as "path not found" (3) when its folder is missing too,
// as Windows reports it. A full disk reads as the text-file layer's own 101 ("Disque plein") on
// both.
int WindowsFileErrorCode(int osError, const std::filesystem::path& path);

// The Windows code for the calling thread's last operating-system error (errno, or
// GetLastError on Windows) met while working on `path`.
int LastFileErrorCode(const std::filesystem::path& path);

// Raises EInOutError for the calling thread's last operating-system error (errno, or
// GetLastError on Windows) met while working on `path`.
[[noreturn]] void RaiseLastFileError(const std::filesystem::path& path);

} // namespace brinmor
