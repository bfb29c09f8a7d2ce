#include "net/RegistryLookup.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace brinmor {
namespace {

using Names = std::vector<std::string>;

// Hosts and their answers; "!unreachable" and "!fails" raise the two kinds of failure, and
// a host not listed cannot be reached. Every query is noted as "host text".
struct Net {
    explicit Net(std::map<std::string, std::string> given) : hosts(std::move(given)) {}
    std::map<std::string, std::string> hosts;
    Names asked;
    TRegistryLookup::Query Query() {
        return [this](const std::string& host, const std::string& text) {
            asked.push_back(host + " " + text);
            const auto found = hosts.find(host);
            if (found == hosts.end() || found->second == "!unreachable")
                throw EWhoisUnreachable("unreachable");
            if (found->second == "!fails")
                throw EIdException("fails");
            return found->second;
        };
    }
};

const std::string kIana = "domain: fr\nwhois: whois.nic.fr\n";

TEST(RegistryLookup, AsksIanaOncePerTopLevelDomainInAnyLetterCaseAndKeepsItsFailure) {
    Net net({{kIanaWhoisHost, kIana}, {"whois.nic.fr", "a\n"}});
    TRegistryLookup lookup(net.Query());
    EXPECT_EQ(lookup.Lookup("a.FR")->text, "a\n");
    EXPECT_EQ(lookup.Lookup("b.fr")->text, "a\n");
    net.hosts.erase(kIanaWhoisHost);
    EXPECT_FALSE(lookup.Lookup("c.com"));
    net.hosts[kIanaWhoisHost] = kIana;
    EXPECT_FALSE(lookup.Lookup("d.COM"));
    EXPECT_EQ(net.asked, (Names{"whois.iana.org FR", "whois.nic.fr a.FR", "whois.nic.fr b.fr",
                                "whois.iana.org com"}));
}

// RDAP is asked only where the registry could not be reached at all; without an RDAP service
// that is a failure, as is a registry that fails once reached.
TEST(RegistryLookup, AsksRdapOnlyWhenTheRegistryCannotBeReached) {
    for (const std::string registry : {"!unreachable", "!fails"}) {
        for (const bool service : {false, true}) {
            Net net({{kIanaWhoisHost, kIana}, {"whois.nic.fr", registry}});
            TRegistryLookup lookup(net.Query(), [&](const std::string&) {
                return service ? std::optional(TRegistryAnswer{"rdap", false, true}) : std::nullopt;
            });
            const auto answer = lookup.Lookup("a.fr");
            EXPECT_EQ(answer.has_value(), service && registry == "!unreachable") << registry;
        }
    }
}

} // namespace
} // namespace brinmor
