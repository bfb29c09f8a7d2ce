#include "net/RegistryLookup.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace brinmor {
namespace {

using Names = std::vector<std::string>;

// A host's behaviour: its answer, or "!unreachable" / "!fails" for the two kinds of failure.
using Hosts = std::map<std::string, std::string>;

struct Net {
    explicit Net(Hosts given) : hosts(std::move(given)) {}
    Hosts hosts;
    Names asked; // "host text", in order
    std::string Query(const std::string& host, const std::string& text) {
        asked.push_back(host + " " + text);
        const auto found = hosts.find(host);
        if (found == hosts.end() || found->second == "!unreachable")
            throw EWhoisUnreachable("unreachable");
        if (found->second == "!fails")
            throw EIdException("fails");
        return found->second;
    }
};

const std::string kIana = "domain: fr\nwhois: whois.nic.fr\n";
const std::string kReferral = "Registrar WHOIS Server: whois.registrar.test\n";

TEST(RegistryLookup, AsksIanaOncePerTopLevelDomainInAnyLetterCaseAndKeepsItsFailure) {
    Net net({{kIanaWhoisHost, kIana}, {"whois.nic.fr", "a\n"}});
    TRegistryLookup lookup(
        [&](const auto& host, const auto& text) { return net.Query(host, text); });
    EXPECT_EQ(lookup.Lookup("a.FR")->text, "a\n");
    EXPECT_EQ(lookup.Lookup("b.fr")->text, "a\n");
    net.hosts.erase(kIanaWhoisHost);
    EXPECT_FALSE(lookup.Lookup("c.com"));
    net.hosts[kIanaWhoisHost] = kIana;
    EXPECT_FALSE(lookup.Lookup("d.COM"));
    EXPECT_EQ(net.asked, (Names{"whois.iana.org FR", "whois.nic.fr a.FR", "whois.nic.fr b.fr",
                                "whois.iana.org com"}));
}

struct Case {
    const char* what;
    Hosts hosts;
    std::string rdap; // the RDAP answer; "" none, "!fails" a failure, "-" no RDAP at all
    std::string text; // "!": no answer
    bool refusal;
};

TEST(RegistryLookup, FallsBackToRdapOnlyWhereWhoisIsGoneOrUnreachable) {
    const std::string noWhois = "domain: fr\nstatus: ACTIVE\n";
    const std::string limit = "% WHOIS LIMIT EXCEEDED - see terms\n";
    const Case cases[] = {
        {"whois answers", {{"whois.nic.fr", "a\n"}}, "rdap", "a\n", false},
        {"empty answer", {{"whois.nic.fr", ""}}, "rdap", "", false},
        {"registry fails after connecting", {{"whois.nic.fr", "!fails"}}, "rdap", "!", false},
        {"registry unreachable", {{"whois.nic.fr", "!unreachable"}}, "rdap", "rdap", false},
        {"unreachable, no RDAP service", {{"whois.nic.fr", "!unreachable"}}, "", "!", false},
        {"unreachable, RDAP fails", {{"whois.nic.fr", "!unreachable"}}, "!fails", "!", false},
        {"unreachable, RDAP not wired", {{"whois.nic.fr", "!unreachable"}}, "-", "!", false},
        {"no whois", {{kIanaWhoisHost, noWhois}}, "rdap", "rdap", false},
        {"no whois, no RDAP service", {{kIanaWhoisHost, noWhois}}, "", noWhois, false},
        {"no whois, RDAP fails", {{kIanaWhoisHost, noWhois}}, "!fails", "!", false},
        {"no whois, RDAP not wired", {{kIanaWhoisHost, noWhois}}, "-", noWhois, false},
        {"registry refuses", {{"whois.nic.fr", limit + kReferral}}, "-", limit + kReferral, true},
        {"registrar refuses",
         {{"whois.nic.fr", kReferral}, {"whois.registrar.test", limit}},
         "-",
         kReferral,
         false},
        {"registrar answers",
         {{"whois.nic.fr", kReferral}, {"whois.registrar.test", "r\n"}},
         "-",
         "r\n",
         false},
    };
    for (const Case& c : cases) {
        Net net({{kIanaWhoisHost, kIana}});
        for (const auto& [host, answer] : c.hosts)
            net.hosts[host] = answer;
        int rdapAsked = 0;
        TRegistryLookup::Rdap rdap;
        if (c.rdap != "-")
            rdap = [&](const std::string& name) -> std::optional<TRegistryAnswer> {
                EXPECT_EQ(name, "a.fr") << c.what;
                ++rdapAsked;
                if (c.rdap == "!fails")
                    throw EIdException("fails");
                if (c.rdap.empty())
                    return std::nullopt;
                return TRegistryAnswer{c.rdap, false, true};
            };
        TRegistryLookup lookup(
            [&](const auto& host, const auto& text) { return net.Query(host, text); }, rdap);
        const std::optional<TRegistryAnswer> answer = lookup.Lookup("a.fr");
        EXPECT_EQ(answer ? answer->text : "!", c.text) << c.what;
        EXPECT_EQ(answer && answer->refusal, c.refusal) << c.what;
        EXPECT_EQ(answer && answer->rendered, c.text == "rdap") << c.what;
        const bool whoisGone =
            c.hosts.count(kIanaWhoisHost) || c.hosts.begin()->second == "!unreachable";
        EXPECT_EQ(rdapAsked, whoisGone && c.rdap != "-" ? 1 : 0) << c.what;
    }
}

} // namespace
} // namespace brinmor
