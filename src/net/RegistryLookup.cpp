#include "net/RegistryLookup.h"

#include "net/WhoisReferral.h"
#include "platform/AsciiText.h"
#include "platform/Exceptions.h"

namespace brinmor {

std::optional<TRegistryAnswer> TRegistryLookup::Lookup(const std::string& name) {
    const Registry& registry = RegistryOf(TopLevelDomain(name));
    if (registry.ianaAnswer.empty())
        return std::nullopt;
    if (!registry.server.empty()) {
        try {
            return WhoisLookup(registry.server, name);
        } catch (const EWhoisUnreachable&) {
        }
    }
    std::optional<TRegistryAnswer> rdap;
    try {
        if (rdap_)
            rdap = rdap_(name);
    } catch (const Exception&) {
        return std::nullopt;
    }
    if (rdap)
        return rdap;
    // No RDAP service: IANA's answer where the registry has no whois either, a failure where
    // its whois could not be reached.
    if (registry.server.empty())
        return TRegistryAnswer{registry.ianaAnswer};
    return std::nullopt;
}

std::optional<TRegistryAnswer> TRegistryLookup::WhoisLookup(const std::string& server,
                                                            const std::string& name) {
    std::string answer;
    try {
        answer = query_(server, name);
    } catch (const EWhoisUnreachable&) {
        throw;
    } catch (const Exception&) {
        return std::nullopt;
    }
    if (IsRefusal(answer))
        return TRegistryAnswer{answer, true};
    const std::string registrar = RegistrarServer(answer, server);
    if (registrar.empty())
        return TRegistryAnswer{answer};
    // Many registrars have closed port 43 or ration it: their silence or refusal leaves the
    // registry's answer.
    try {
        std::string own = query_(registrar, name);
        if (!own.empty() && !IsRefusal(own))
            return TRegistryAnswer{own};
    } catch (const Exception&) {
    }
    return TRegistryAnswer{answer};
}

const TRegistryLookup::Registry& TRegistryLookup::RegistryOf(const std::string& topLevelDomain) {
    const auto [entry, added] = registries_.try_emplace(AsciiLowerCase(topLevelDomain));
    Registry& registry = entry->second;
    if (added) {
        try {
            registry.ianaAnswer = query_(kIanaWhoisHost, topLevelDomain);
        } catch (const Exception&) {
        }
        registry.server = RegistryServer(registry.ianaAnswer);
    }
    return registry;
}

} // namespace brinmor
