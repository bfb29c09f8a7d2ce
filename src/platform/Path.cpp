#include "platform/Path.h"

#include "platform/Cp1252.h"

namespace brinmor {

#ifdef _WIN32
std::string NativePath(const std::string& path) {
    return path;
}
std::string PathFromNative(const std::string& nativePath) {
    return nativePath;
}
#else
std::string NativePath(const std::string& path) {
    return Cp1252ToUtf8(path);
}
std::string PathFromNative(const std::string& nativePath) {
    return Utf8ToCp1252(nativePath);
}
#endif

} // namespace brinmor
