#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

namespace brinmor {

// Where the registry of every top-level domain is named.
inline constexpr const char* kIanaWhoisHost = "whois.iana.org";

// Registry-aware lookups for one run: IANA names the registry of a top-level domain, once per
// top-level domain; the registry answers for the name and may refer to the registrar's server.
class TRegistryLookup {
public:
    // Asks host (port 43) for the query text; the whole answer, or an Exception.
    using Query = std::function<std::string(const std::string& host, const std::string& text)>;

    explicit TRegistryLookup(Query query) : query_(std::move(query)) {}

    // The name's answer as received; nothing when IANA or the registry could not be asked, or
    // IANA answered nothing. The name must have a top-level domain.
    std::optional<std::string> Lookup(const std::string& name);

private:
    struct Registry {
        bool known = false;
        // Empty: the top-level domain has no whois service, and IANA's answer is the answer.
        std::string server;
        std::string ianaAnswer;
    };
    const Registry& RegistryOf(const std::string& topLevelDomain);

    Query query_;
    // By top-level domain in lower case. A failure is kept too: IANA is asked once per run.
    std::map<std::string, Registry> registries_;
};

} // namespace brinmor
