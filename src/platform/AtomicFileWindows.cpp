// ReplaceFileContents and the leftover cleanup on Windows: a running write holds its temporary
// file open, sharing only its deletion, so a cleanup, which asks to have it alone, passes it by.
#include "platform/AtomicFilePlatform.h"

#include <algorithm>
#include <windows.h>

namespace brinmor::atomic_file {

namespace fs = std::filesystem;

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

} // namespace brinmor::atomic_file
