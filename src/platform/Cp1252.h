#pragma once

#include <string>

namespace brinmor {

// Windows-1252, the program's one text encoding. Internal text is std::string holding these
// bytes; conversion happens only where text leaves or enters the program (Qt, POSIX paths).

char32_t Cp1252ToCodePoint(unsigned char byte);

// The Windows-1252 byte for a code point; '?' when the code page lacks it.
unsigned char CodePointToCp1252(char32_t codePoint);

std::string Cp1252ToUtf8(const std::string& text);

// A character outside Windows-1252, or a malformed UTF-8 sequence, becomes '?'.
std::string Utf8ToCp1252(const std::string& text);

// UTF-16 bytes (no byte-order mark) in the given byte order. A character outside
// Windows-1252, a lone surrogate or a dangling last byte becomes '?'.
std::string Utf16ToCp1252(const std::string& bytes, bool littleEndian);

} // namespace brinmor
