#include "platform/FileError.h"

#include "platform/Exceptions.h"

namespace brinmor {

[[noreturn]] void RaiseLastFileError(const std::filesystem::path& path) {
    throw EInOutError(LastFileErrorCode(path));
}

} // namespace brinmor
