#include "platform/ResultName.h"

#include "platform/AsciiText.h"
#include "platform/Exceptions.h"

#include <algorithm>
#include <string_view>

namespace brinmor {

namespace {

constexpr int kPathNotFound = 3;
constexpr int kInvalidName = 123;

bool RefusedByWindows(unsigned char c) {
    return c < 0x20 ||
           std::string_view("<>:\"|?*").find(static_cast<char>(c)) != std::string_view::npos;
}

} // namespace

bool IsWindowsDeviceName(const std::string& fileName) {
    std::string stem = fileName.substr(0, fileName.find('.'));
    // Windows drops the blanks that end the part before the extension: "nul .dns" is NUL.
    stem.erase(stem.find_last_not_of(' ') + 1);
    stem = AsciiUpperCase(stem);
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL" || stem == "CONIN$" ||
        stem == "CONOUT$")
        return true;
    if (stem.size() != 4 || !(stem.starts_with("COM") || stem.starts_with("LPT")))
        return false;
    // Windows counts the superscript digits 1, 2 and 3 (B9, B2, B3 in Windows-1252) as digits.
    const char digit = stem[3];
    return (digit >= '1' && digit <= '9') || digit == '\xB9' || digit == '\xB2' || digit == '\xB3';
}

void CheckResultFileName(const std::string& fileName) {
    // The last three name the folder or its parent, not a file in it.
    if (fileName.find_first_of("/\\") != std::string::npos || fileName.empty() || fileName == "." ||
        fileName == "..")
        throw EInOutError(kPathNotFound);
    if (std::any_of(fileName.begin(), fileName.end(),
                    [](char c) { return RefusedByWindows(static_cast<unsigned char>(c)); }))
        throw EInOutError(kInvalidName);
#ifdef _WIN32
    if (IsWindowsDeviceName(fileName))
        throw EInOutError(kInvalidName);
#endif
}

} // namespace brinmor
