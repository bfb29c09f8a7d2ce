#pragma once

#include <string>
#include <vector>

namespace brinmor {

// The names (Windows-1252) of the entries of `folder` (ending with PathDelim) whose name ends
// with `suffix`, letter case ignored, in the order the platform returns them. Hidden entries
// and folders count. A missing folder gives none.
std::vector<std::string> DirectoryEntries(const std::string& folder, const std::string& suffix);

} // namespace brinmor
