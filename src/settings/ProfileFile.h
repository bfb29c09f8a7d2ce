#pragma once

#include <filesystem>
#include <string>

namespace brinmor {

// The profile (INI) file functions, with the behaviour of the Windows ones the program was
// built on. Texts are Windows-1252; the file is named as the system names it.

// The longest value that comes back; longer ones are cut.
inline constexpr std::size_t MaxProfileValue = 2047;

// The value of key in section, or the default (without its trailing spaces) when the file,
// the section or the key is missing. Names match ignoring letter case; blanks around the
// value and one pair of enclosing quotes are removed.
std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& defaultValue, const std::filesystem::path& path);

// Sets key in section to value: in place when the key exists (ending the line in CR LF, on a
// last line too), else at the end of the section's keys, else in a new section at the end, creating
// the file if needed. Every other line stays byte for byte. The file is replaced atomically; a new
// one is readable by its owner only; a write that changes nothing leaves the file alone. False when
// the file could not be read or written, when section, key or value holds a CR or LF, which
// would corrupt the file, or when section or key is a name that a read could not find again (a
// "]" in a section name, a key holding "=" or starting with ";" or "[", blanks other than spaces
// around either); nothing is raised.
bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::filesystem::path& path);

} // namespace brinmor
