#pragma once

#include <string>
#include <string_view>

namespace brinmor {

// Letter case of names that know only ASCII letters: host names, top-level domains, device
// names, the toolkit's platform names. std::toupper and std::tolower follow the C locale (an
// 8-bit Turkish one lowers 'I' to a dotless small i) and never decide such a name.

// The text with a to z made capitals; every other byte stays.
std::string AsciiUpperCase(std::string text);

// The text with A to Z made small letters; every other byte stays.
std::string AsciiLowerCase(std::string text);

// Whether a and b are the same text, the case of ASCII letters aside.
bool SameIgnoringAsciiCase(std::string_view a, std::string_view b);

} // namespace brinmor
