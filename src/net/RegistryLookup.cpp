#include "net/RegistryLookup.h"

#include "net/WhoisReferral.h"
#include "platform/Exceptions.h"

namespace brinmor {

std::optional<std::string> TRegistryLookup::Lookup(const std::string& name) {
    const Registry& registry = RegistryOf(TopLevelDomain(name));
    if (!registry.known)
        return std::nullopt;
    if (registry.server.empty())
        return registry.ianaAnswer;
    std::string answer;
    try {
        answer = query_(registry.server, name);
    } catch (const Exception&) {
        return std::nullopt;
    }
    const std::string registrar = RegistrarServer(answer, registry.server);
    if (registrar.empty())
        return answer;
    // Many registrars have closed port 43: their silence leaves the registry's answer.
    try {
        std::string own = query_(registrar, name);
        if (!own.empty())
            return own;
    } catch (const Exception&) {
    }
    return answer;
}

const TRegistryLookup::Registry& TRegistryLookup::RegistryOf(const std::string& topLevelDomain) {
    const auto [entry, added] = registries_.try_emplace(AsciiLowerCase(topLevelDomain));
    Registry& registry = entry->second;
    if (added) {
        try {
            registry.ianaAnswer = query_(kIanaWhoisHost, topLevelDomain);
        } catch (const Exception&) {
        }
        registry.known = !registry.ianaAnswer.empty();
        registry.server = RegistryServer(registry.ianaAnswer);
    }
    return registry;
}

} // namespace brinmor
