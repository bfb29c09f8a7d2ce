#include "platform/ExecutableDirectory.h"

namespace brinmor {

namespace {

std::filesystem::path& Override() {
    static std::filesystem::path directory;
    return directory;
}

} // namespace

std::filesystem::path ExecutableDirectory() {
    if (!Override().empty())
        return Override();
    return ExecutablePath().parent_path();
}

std::filesystem::path ResultDirectory() {
    return ExecutableDirectory() / "result";
}

void SetExecutableDirectoryOverride(const std::filesystem::path& directory) {
    Override() = directory;
}

} // namespace brinmor
