#include "net/RegistryLookup.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace brinmor {
namespace {

using Names = std::vector<std::string>;

// The hosts' answers; a host not listed cannot be reached, and "!fails" fails once reached.
// Every query is noted as "host text".
TRegistryLookup::Query Net(std::map<std::string, std::string>& hosts, Names& asked) {
    return [&](const std::string& host, const std::string& text) {
        asked.push_back(host + " " + text);
        if (!hosts.count(host))
            throw EWhoisUnreachable("unreachable");
        if (hosts[host] == "!fails")
            throw EIdException("fails");
        return hosts[host];
    };
}

const std::string kIana = "domain: fr\nwhois: whois.nic.fr\n";

TEST(RegistryLookup, AsksIanaOncePerTopLevelDomainInAnyLetterCaseAndKeepsItsFailure) {
    std::map<std::string, std::string> hosts{{kIanaWhoisHost, kIana}, {"whois.nic.fr", "a\n"}};
    Names asked;
    TRegistryLookup lookup(Net(hosts, asked));
    EXPECT_EQ(lookup.Lookup("a.FR")->text, "a\n");
    EXPECT_EQ(lookup.Lookup("b.fr")->text, "a\n");
    hosts.erase(kIanaWhoisHost);
    EXPECT_FALSE(lookup.Lookup("c.com"));
    hosts[kIanaWhoisHost] = kIana;
    EXPECT_FALSE(lookup.Lookup("d.COM"));
    EXPECT_EQ(asked, (Names{"whois.iana.org FR", "whois.nic.fr a.FR", "whois.nic.fr b.fr",
                            "whois.iana.org com"}));
}

// RDAP is asked only where the registry could not be reached at all; without an RDAP service
// that is a failure, as is a registry that fails once reached.
TEST(RegistryLookup, AsksRdapOnlyWhenTheRegistryCannotBeReached) {
    for (const bool reached : {false, true}) {
        for (const bool service : {false, true}) {
            std::map<std::string, std::string> hosts{{kIanaWhoisHost, kIana}};
            if (reached)
                hosts["whois.nic.fr"] = "!fails";
            Names asked;
            TRegistryLookup lookup(Net(hosts, asked), [&](const std::string&) {
                return service ? std::optional(TRegistryAnswer{"rdap", false, true}) : std::nullopt;
            });
            EXPECT_EQ(lookup.Lookup("a.fr").has_value(), service && !reached) << reached;
        }
    }
}

} // namespace
} // namespace brinmor
