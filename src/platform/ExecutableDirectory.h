#pragma once

#include <string>

namespace brinmor {

// The directory of the running executable, ending with PathDelim (Windows-1252 text). It is
// not the working directory: config.ini and result/ live there.
std::string ExecutableDirectory();

// Test seam: point the executable directory at another folder; an empty text restores the
// real one. The folder must end with PathDelim.
void SetExecutableDirectoryOverride(const std::string& directory);

} // namespace brinmor
