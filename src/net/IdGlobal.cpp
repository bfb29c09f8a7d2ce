#include "net/IdGlobal.h"

namespace brinmor {

std::string Fetch(std::string& input, const std::string& delimiter) {
    const auto at = input.find(delimiter);
    if (at == std::string::npos) {
        std::string whole;
        whole.swap(input);
        return whole;
    }
    std::string part = input.substr(0, at);
    input.erase(0, at + delimiter.size());
    return part;
}

std::string FormatText(const std::string& format, const std::string& argument) {
    const auto at = format.find("%s");
    if (at == std::string::npos)
        return format;
    return format.substr(0, at) + argument + format.substr(at + 2);
}

} // namespace brinmor
