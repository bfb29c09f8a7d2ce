#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace brinmor {

// The names of the entries of `folder` whose name ends with `suffix` (Windows-1252), letter
// case ignored, in the order the platform returns them. Hidden entries and folders count. A
// missing folder gives none. Each name is kept as the file system holds it, so the entry opens
// by it even when its letter case differs from the suffix or when it has no Windows-1252 form.
std::vector<std::filesystem::path> DirectoryEntries(const std::filesystem::path& folder,
                                                    const std::string& suffix);

} // namespace brinmor
