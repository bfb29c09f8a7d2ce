// Opening, reading and deleting files on Windows, through the wide calls.
#include "platform/FileError.h"
#include "platform/TextFile.h"
#include "platform/TextFilePlatform.h"

#include <windows.h>

namespace brinmor {

namespace text_file {

std::intptr_t OpenForReading(const std::filesystem::path& path) {
    const HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        RaiseLastFileError(path);
    return reinterpret_cast<std::intptr_t>(h);
}

std::size_t ReadSome(std::intptr_t handle, char* data, std::size_t size,
                     const std::filesystem::path& path) {
    DWORD done = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(handle), data, static_cast<DWORD>(size), &done, nullptr))
        RaiseLastFileError(path);
    return done;
}

bool CloseHandleOf(std::intptr_t handle) {
    return CloseHandle(reinterpret_cast<HANDLE>(handle)) != 0;
}

} // namespace text_file

bool RemoveFile(const std::filesystem::path& file) {
    return DeleteFileW(file.c_str()) != 0;
}

} // namespace brinmor
