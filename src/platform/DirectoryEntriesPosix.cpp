// A folder's entries on POSIX: the suffix is compared in its UTF-8 form, as names are stored.
#include "platform/AsciiText.h"
#include "platform/DirectoryEntries.h"
#include "platform/Path.h"

#include <dirent.h>

namespace brinmor {

std::vector<std::filesystem::path> DirectoryEntries(const std::filesystem::path& folder,
                                                    const std::string& suffix) {
    std::vector<std::filesystem::path> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return names;
    const std::string nativeSuffix = FileSystemPath(suffix).native();
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || name.size() < nativeSuffix.size())
            continue;
        if (SameIgnoringAsciiCase(std::string_view(name).substr(name.size() - nativeSuffix.size()),
                                  nativeSuffix))
            names.emplace_back(name);
    }
    closedir(dir);
    return names;
}

} // namespace brinmor
