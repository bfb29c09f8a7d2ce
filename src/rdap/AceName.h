#pragma once

#include <string>

namespace brinmor {

// The form of a name (Windows-1252 text) that goes out in a registry-aware query: a name that
// holds a letter beyond ASCII becomes its A-label (UTS #46, non-transitional, so "straße.de"
// is "xn--strae-oqa.de"); a name that is all ASCII, or has no A-label form, stays as typed.
std::string AceName(const std::string& name);

} // namespace brinmor
