#include "net/WhoisReferral.h"

#include <algorithm>
#include <string_view>

namespace brinmor {

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kLineEnds = "\r\n";

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool SameText(std::string_view a, std::string_view b) {
    return AsciiLowerCase(std::string(a)) == AsciiLowerCase(std::string(b));
}

// Calls visit(line) for each line until it returns true.
template <typename Visit> void ForEachLine(std::string_view text, Visit visit) {
    while (!text.empty()) {
        const auto end = std::min(text.find_first_of(kLineEnds), text.size());
        if (visit(text.substr(0, end)))
            return;
        text.remove_prefix(std::min(end + 1, text.size()));
    }
}

} // namespace

std::string AsciiLowerCase(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string TopLevelDomain(const std::string& name) {
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::string RegistryServer(const std::string& ianaAnswer) {
    constexpr std::string_view kLabel = "whois:";
    std::string server;
    ForEachLine(ianaAnswer, [&](std::string_view line) {
        if (line.substr(0, kLabel.size()) != kLabel)
            return false;
        server = Trim(line.substr(kLabel.size()));
        return true;
    });
    return server;
}

std::string RegistrarServer(const std::string& registryAnswer, const std::string& registry) {
    std::string server;
    ForEachLine(registryAnswer, [&](std::string_view line) {
        const auto colon = line.find(':');
        if (colon == std::string_view::npos)
            return false;
        const std::string_view label = Trim(line.substr(0, colon));
        if (!SameText(label, "Whois Server") && !SameText(label, "Registrar WHOIS Server"))
            return false;
        const std::string_view value = Trim(line.substr(colon + 1));
        if (value.empty() || SameText(value, registry))
            return false;
        server = value;
        return true;
    });
    return server;
}

} // namespace brinmor
