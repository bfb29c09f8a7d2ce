// Text and paths on POSIX: a name's UTF-8 form, so other tools show it right.
#include "platform/Cp1252.h"
#include "platform/Path.h"

namespace brinmor {

std::filesystem::path FileSystemPath(const std::string& path) {
    return Cp1252ToUtf8(path);
}

std::string PathFromFileSystem(const std::filesystem::path& path) {
    return Utf8ToCp1252(path.native());
}

} // namespace brinmor
