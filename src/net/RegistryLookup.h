#pragma once

#include "net/IdException.h"

#include <functional>
#include <map>
#include <optional>
#include <string>

namespace brinmor {

// Where the registry of every top-level domain is named.
inline constexpr const char* kIanaWhoisHost = "whois.iana.org";

// What a registry-aware lookup found for a name.
struct TRegistryAnswer {
    std::string text;
    // A refusal (rate limit) never replaces an earlier result.
    bool refusal = false;
    // RDAP text is rendered with CR LF line ends already; whois text is as received.
    bool rendered = false;
};

// Raised by a query when the server could not be reached at all (the name does not resolve,
// the connection is refused or fails, the connect guard ran out), as opposed to a server
// that was reached and then failed.
class EWhoisUnreachable : public EIdException {
public:
    using EIdException::EIdException;
};

// Registry-aware lookups for one run: IANA names the registry of a top-level domain, once per
// top-level domain; the registry answers for the name and may refer to the registrar's server.
// Where the registry has no whois service, or it cannot be reached, its RDAP service is asked.
class TRegistryLookup {
public:
    // Asks host (port 43) for the query text; the whole answer, or an Exception
    // (EWhoisUnreachable when the host could not be reached).
    using Query = std::function<std::string(const std::string& host, const std::string& text)>;
    // Asks the name's registry over RDAP: nothing when its top-level domain has no RDAP
    // service; an Exception when the service failed.
    using Rdap = std::function<std::optional<TRegistryAnswer>(const std::string& name)>;

    explicit TRegistryLookup(Query query, Rdap rdap = {})
        : query_(std::move(query)), rdap_(std::move(rdap)) {}

    // The name's answer; nothing when IANA, the registry or its RDAP service could not be
    // asked, or IANA answered nothing. The name (its A-label when it has one) must have a
    // top-level domain.
    std::optional<TRegistryAnswer> Lookup(const std::string& name);

private:
    struct Registry {
        // Empty: the top-level domain has no whois service, and IANA's answer is the answer.
        std::string server;
        // Empty: IANA could not be asked, or said nothing.
        std::string ianaAnswer;
    };
    const Registry& RegistryOf(const std::string& topLevelDomain);
    std::optional<TRegistryAnswer> WhoisLookup(const std::string& server, const std::string& name);

    Query query_;
    Rdap rdap_;
    // By top-level domain in lower case. A failure is kept too: IANA is asked once per run.
    std::map<std::string, Registry> registries_;
};

} // namespace brinmor
