#include "net/WhoisReferral.h"

#include "platform/AsciiText.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace brinmor {

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kReferralMarker = "Whois Server: ";
constexpr std::size_t kMaxRefusalSize = 1024;
// Lower case. Single words never count: normal notices say "throttled" too.
constexpr std::array<std::string_view, 6> kRefusalPhrases = {
    "whois limit exceeded",
    "number of allowed queries exceeded",
    "maximum daily connection limit reached",
    "your connection limit exceeded",
    "excessive querying",
    "%error:201: access denied",
};

bool IsWordByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// The phrase occurs with no letter or digit glued to either end.
bool HoldsWholePhrase(const std::string& lowered, std::string_view phrase) {
    for (auto at = lowered.find(phrase); at != std::string::npos;
         at = lowered.find(phrase, at + 1)) {
        const auto end = at + phrase.size();
        const bool cleanStart = at == 0 || !IsWordByte(lowered[at - 1]) || !IsWordByte(phrase[0]);
        const bool cleanEnd = end == lowered.size() || !IsWordByte(lowered[end]);
        if (cleanStart && cleanEnd)
            return true;
    }
    return false;
}
constexpr std::string_view kLineEnds = "\r\n";

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
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
        if (!SameIgnoringAsciiCase(label, "Whois Server") &&
            !SameIgnoringAsciiCase(label, "Registrar WHOIS Server"))
            return false;
        const std::string_view value = Trim(line.substr(colon + 1));
        if (value.empty() || SameIgnoringAsciiCase(value, registry))
            return false;
        server = value;
        return true;
    });
    return server;
}

std::optional<std::string> ReferralServer(const std::string& answer) {
    const auto marker = answer.find(kReferralMarker);
    if (marker == std::string::npos)
        return std::nullopt;
    const auto start = marker + kReferralMarker.size();
    const auto lineEnd = answer.find('\r', start);
    return answer.substr(start, lineEnd == std::string::npos ? std::string::npos : lineEnd - start);
}

bool IsRefusal(const std::string& answer) {
    if (answer.size() > kMaxRefusalSize)
        return false;
    const std::string lowered = AsciiLowerCase(answer);
    return std::any_of(kRefusalPhrases.begin(), kRefusalPhrases.end(),
                       [&](std::string_view phrase) { return HoldsWholePhrase(lowered, phrase); });
}

} // namespace brinmor
