#pragma once

#include <optional>
#include <string>

namespace brinmor {

// What a registry-aware lookup reads in names and answers. Lines end at CR or LF; blanks are
// spaces and tabs.

// The text after the last "." of the name; empty when it has no dot or ends in one.
std::string TopLevelDomain(const std::string& name);

// The registry's server in IANA's answer for a top-level domain: the value of the first line
// that begins with "whois:"; empty when there is none (no whois service).
std::string RegistryServer(const std::string& ianaAnswer);

// The registrar's server in a registry's answer: the value of the first line labelled "Whois
// Server" or "Registrar WHOIS Server" (any letter case, blanks around) that names a host other
// than the registry itself; empty when there is none.
std::string RegistrarServer(const std::string& registryAnswer, const std::string& registry);

// The server the default lookup follows: what comes after the first "Whois Server: " anywhere
// in the first server's answer (exact bytes, letter case included), up to the next CR or the
// end; nothing when the marker is absent. It stays this narrow because the default lookup must
// behave as it always has; RegistrarServer reads referrals as registries actually write them.
std::optional<std::string> ReferralServer(const std::string& answer);

// A whois answer that only says the server refuses to answer now (rate limits): at most 1 KB
// and holding one of a few known phrases, whole, in any letter case. Longer answers are real:
// their terms of use may contain the same words.
bool IsRefusal(const std::string& answer);

} // namespace brinmor
