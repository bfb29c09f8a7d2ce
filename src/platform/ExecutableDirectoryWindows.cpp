#include "platform/ExecutableDirectory.h"

#include <windows.h>

namespace brinmor {

std::filesystem::path ExecutablePath() {
    // The wide form: the ANSI one spells a letter outside the code page as '?', and that
    // folder opens nothing. A result that fills the buffer may be cut short: try again with a
    // larger one.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
        if (length < size || size >= 32768) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(2 * buffer.size());
    }
}

} // namespace brinmor
