// A folder's entries on Windows, through the wide calls.
#include "platform/DirectoryEntries.h"
#include "platform/Path.h"

#include <windows.h>

namespace brinmor {

std::vector<std::filesystem::path> DirectoryEntries(const std::filesystem::path& folder,
                                                    const std::string& suffix) {
    std::vector<std::filesystem::path> names;
    // The wide calls: the ANSI ones give '?' for a character outside the code page, and that
    // name opens nothing.
    const std::wstring wideSuffix = FileSystemPath(suffix).native();
    const int size = static_cast<int>(wideSuffix.size());
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(((folder / L"*").native() + wideSuffix).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring name = found.cFileName;
        // The wildcard also matches short names and longer extensions; keep only true matches.
        if (name.size() >= wideSuffix.size() &&
            CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, name.c_str() + name.size() - size,
                           size, wideSuffix.c_str(), size) == CSTR_EQUAL)
            names.emplace_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

} // namespace brinmor
