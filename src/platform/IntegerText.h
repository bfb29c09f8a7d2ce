#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace brinmor {

// The strict text-to-integer conversion: optional leading blanks, an optional sign, then
// decimal digits, or hexadecimal digits after "$" or "0x". Anything else fails, the empty
// text included.
std::optional<std::int32_t> TryStrToInt(const std::string& text);

// As TryStrToInt; a failure raises EConvertError "'%s' n'est pas une valeur entière correcte".
std::int32_t StrToInt(const std::string& text);

std::string IntToStr(std::int64_t value);

} // namespace brinmor
