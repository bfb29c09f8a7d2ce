#pragma once

#include <string>

namespace brinmor {

// Cuts the text before the first delimiter out of input and returns it; the delimiter goes
// too. Without a delimiter the whole input is returned and input becomes empty.
std::string Fetch(std::string& input, const std::string& delimiter = ".");

// Replaces the first "%s" of format by argument.
std::string FormatText(const std::string& format, const std::string& argument);

} // namespace brinmor
