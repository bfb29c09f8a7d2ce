#pragma once

#include <string>

namespace brinmor {

// Well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF. Text that is
// well-formed UTF-8 and not plain ASCII is far more likely UTF-8 than Windows-1252.
bool IsValidUtf8(const std::string& bytes);

bool HasNonAscii(const std::string& bytes);

} // namespace brinmor
