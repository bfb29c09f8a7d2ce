#include "platform/DirectoryEntries.h"

#include "platform/Path.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <strings.h>
#endif

namespace brinmor {

#ifdef _WIN32

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

#else

std::vector<std::filesystem::path> DirectoryEntries(const std::filesystem::path& folder,
                                                    const std::string& suffix) {
    std::vector<std::filesystem::path> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return names;
    const std::string nativeSuffix = NativePath(suffix);
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || name.size() < nativeSuffix.size())
            continue;
        if (strcasecmp(name.c_str() + name.size() - nativeSuffix.size(), nativeSuffix.c_str()) == 0)
            names.emplace_back(name);
    }
    closedir(dir);
    return names;
}

#endif

} // namespace brinmor
