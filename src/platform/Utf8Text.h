#pragma once

#include <string>

namespace brinmor {

// True when `bytes` are well-formed UTF-8 (no overlong forms, no surrogates, nothing above
// U+10FFFF) and hold at least one non-ASCII character: text that is far more likely UTF-8 than
// Windows-1252.
bool IsNonAsciiUtf8(const std::string& bytes);

} // namespace brinmor
