#include "net/WhoisReferral.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>

namespace brinmor {
namespace {

using Case = std::pair<std::string, std::string>;

TEST(TopLevelDomain, IsTheTextAfterTheLastDot) {
    for (const auto& [name, tld] : {Case{"a.example.fr", "fr"}, Case{"A.COM", "COM"},
                                    Case{"nodot", ""}, Case{"a.fr.", ""}, Case{".io", "io"}})
        EXPECT_EQ(TopLevelDomain(name), tld) << name;
}

TEST(RegistryServer, IsTheFirstLineBeginningWithWhois) {
    const Case cases[] = {
        {"domain: FR\nwhois:        whois.nic.fr\t\nwhois: second.test\n", "whois.nic.fr"},
        {"domain: COM\r\nwhois: whois.verisign-grs.com\r\nstatus: ACTIVE\r\n",
         "whois.verisign-grs.com"},
        {"x\rwhois:a.test", "a.test"},
        // No whois service: no line, the label elsewhere than at the start, no value.
        {"domain: EXAMPLE\nstatus: ACTIVE\n", ""},
        {" whois: indented.test\nremarks: whois: x.test\nWHOIS: upper.test\n", ""},
        {"whois:   \nwhois: later.test\n", ""},
    };
    for (const auto& [answer, server] : cases)
        EXPECT_EQ(RegistryServer(answer), server) << answer;
}

TEST(RegistrarServer, TakesTheFirstLabelledLineNamingAnotherHost) {
    const std::string registry = "whois.verisign-grs.com";
    const Case cases[] = {
        {"   Registrar WHOIS Server: whois.registrar.test\r\n", "whois.registrar.test"},
        {"Whois Server: whois.registrar.test\n", "whois.registrar.test"},
        {"\t registrar whois SERVER \t:\t whois.registrar.test \nx", "whois.registrar.test"},
        {"WHOIS SERVER:whois.registrar.test", "whois.registrar.test"},
        // The registry itself (any case) or an empty value refers nowhere; a later line may.
        {"Registrar WHOIS Server: WHOIS.Verisign-GRS.com\n", ""},
        {"Registrar WHOIS Server:  \nWhois Server: whois.registrar.test\n", "whois.registrar.test"},
        // Other labels: other words, the words elsewhere than before the first colon.
        {"Registrar Whois: a.test\nWhoisServer: b.test\nNote: Whois Server: c.test\n", ""},
        {"Registrar URL: http://registrar.test\nReferral Whois Server: d.test\n", ""},
    };
    for (const auto& [answer, server] : cases)
        EXPECT_EQ(RegistrarServer(answer, registry), server) << answer;
}

TEST(IsRefusal, IsAShortAnswerHoldingAWholePhraseInAnyLetterCase) {
    const std::string terms(1024, 'x');
    const std::pair<std::string, bool> cases[] = {
        {"WHOIS LIMIT EXCEEDED\r\n", true},
        {"% number of allowed queries EXCEEDED - try later", true},
        {"Maximum Daily connection limit reached", true},
        {"Error: Your connection limit exceeded.", true},
        {"excessive querying", true},
        {"%ERROR:201: access denied\n", true},
        // Single words, a phrase glued to a word, a phrase cut by a line end.
        {"Your queries are throttled. Limit exceeded.", false},
        {"excessive queryingx", false},
        {"whois limit\r\nexceeded", false},
        // A long answer whose terms of use quote the phrase.
        {"WHOIS LIMIT EXCEEDED\n" + terms, false},
        {"", false},
    };
    for (const auto& [answer, refusal] : cases)
        EXPECT_EQ(IsRefusal(answer), refusal) << answer;
}

} // namespace
} // namespace brinmor
