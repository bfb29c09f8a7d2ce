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

std::vector<std::string> DirectoryEntries(const std::string& folder, const std::string& suffix) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA((folder + "*" + suffix).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = found.cFileName;
        // The wildcard also matches short names and longer extensions; keep only true matches.
        if (name.size() >= suffix.size() &&
            CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE,
                           name.c_str() + name.size() - suffix.size(),
                           static_cast<int>(suffix.size()), suffix.c_str(),
                           static_cast<int>(suffix.size())) == CSTR_EQUAL)
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

#else

std::vector<std::string> DirectoryEntries(const std::string& folder, const std::string& suffix) {
    std::vector<std::string> names;
    DIR* dir = opendir(NativePath(folder).c_str());
    if (dir == nullptr)
        return names;
    const std::string nativeSuffix = NativePath(suffix);
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || name.size() < nativeSuffix.size())
            continue;
        if (strcasecmp(name.c_str() + name.size() - nativeSuffix.size(), nativeSuffix.c_str()) == 0)
            names.push_back(PathFromNative(name));
    }
    closedir(dir);
    return names;
}

#endif

} // namespace brinmor
