#include "platform/ResultName.h"

#include "platform/Exceptions.h"

#include <algorithm>
#include <cctype>
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
    std::transform(stem.begin(), stem.end(), stem.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL")
        return true;
    return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) &&
           stem[3] >= '1' && stem[3] <= '9';
}

void CheckResultFileName(const std::string& fileName) {
    if (fileName.find_first_of("/\\") != std::string::npos)
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
