#include "net/IdResourceStrings.h"
#include "net/IdWhois.h"
#include "net/RegistryLookup.h"
#include "support/AppWindows.h"
#include "support/FakeServer.h"
#include "support/FakeSocksProxy.h"
#include "ui/StoreTestSupport.h"
#include "ui/Unit1.h"
#include "ui/WhoisFirstServer.h"
#include "widgets/ErrorBox.h"
#include "widgets/ListBox.h"
#include "widgets/StatusBar.h"

#include <QRadioButton>
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <tuple>

namespace brinmor {
namespace {

using test::FakeScript;
using test::FakeServer;
using test::FakeSession;
using test::FakeSocksProxy;
using test::Items;
using Names = std::vector<std::string>;

constexpr const char* kRegistrar = "whois.registrar.test";

// A whois server that answers connection i with answers[i] (the last one for later ones).
FakeServer::Handler Answers(Names answers) {
    return [answers = std::move(answers)](FakeSession& s) {
        s.ReceiveLine();
        s.Send(answers[std::min<std::size_t>(static_cast<std::size_t>(s.Index()),
                                             answers.size() - 1)]);
        s.Close();
    };
}

// Puts the first server back after a test moved it.
class RunTest : public testing::Test {
protected:
    void TearDown() override {
        FirstWhoisServer() = saved_;
        WhoisServerRedirects().clear();
    }

    // The run starts at a loopback server, with no proxy.
    static void DirectTo(const FakeServer& server) {
        FirstWhoisServer() = {"127.0.0.1", server.Port()};
    }

    static std::string ProxySection(const FakeSocksProxy& proxy, const std::string& login = "",
                                    const std::string& password = "") {
        return "[proxy]\r\nuseit=oui\r\nadresse=127.0.0.1\r\nport=" + std::to_string(proxy.Port()) +
               "\r\nlogin=" + login + "\r\npassword=" + password + "\r\n";
    }

    static void ProxyConfig(test::AppWindows& app, const FakeSocksProxy& proxy,
                            const std::string& login = "", const std::string& password = "") {
        app.WriteConfig(ProxySection(proxy, login, password));
    }

    static void Run(test::AppWindows& app, const Names& names) {
        app.form1().ListBox1->SetItems(names);
        RunCommand([&] { app.form1().Button1Click(); });
    }

    static std::string Stored(const test::AppWindows& app, const std::string& name) {
        const std::string file = app.dir.Read("result/" + name + ".dns");
        return file.substr(test::FirstLine(file).size());
    }

    static std::string Status(test::AppWindows& app) {
        return app.form1().StatusBar1->SimpleText();
    }

private:
    WhoisFirstServer saved_ = FirstWhoisServer();
};

// The fixed first server and the registrar's server, reached by name through the proxy.
struct TwoServers {
    explicit TwoServers(Names first, Names second = {"registrar answer\n"})
        : central(Answers(std::move(first))), registrar(Answers(std::move(second))),
          proxy({{kDefaultWhoisHost, central.Port()}, {kRegistrar, registrar.Port()}}) {}
    FakeServer central;
    FakeServer registrar;
    FakeSocksProxy proxy;
};

TEST_F(RunTest, FollowsTheReferralAndStoresOnlyTheSecondAnswer) {
    TwoServers s({"Domain: a.com\nWhois Server: whois.registrar.test\nmore\n"},
                 {"Registrant:\nBob\n"});
    test::AppWindows app;
    ProxyConfig(app, s.proxy);
    Run(app, {"a.com"});
    EXPECT_EQ(app.dialogs.errors, Names{});
    EXPECT_EQ(Stored(app, "a.com"), "\r\n\r\nRegistrant:\r\nBob\r\n\r\n");
    EXPECT_EQ(s.proxy.Targets(), (Names{"whois.verisign-grs.com:43", "whois.registrar.test:43"}));
    EXPECT_EQ(s.central.Received(0), "a.com\r\n");
    EXPECT_EQ(s.registrar.Received(0), "a.com\r\n");
    EXPECT_EQ(Items(*app.form1().ListBox1), Names{});
    EXPECT_EQ(Items(*app.form1().ListBox2), Names{"a.com"});
    EXPECT_EQ(Status(app), "Recherche de a.com termin\xE9");
}

TEST_F(RunTest, OnlyTheExactMarkerIsAReferral) {
    for (const char* answer :
         {"whois server: whois.registrar.test\n", "Whois Server:\twhois.registrar.test\n",
          "Whois Server:whois.registrar.test\n", "WhoisServer: whois.registrar.test\n",
          "Whois  Server: whois.registrar.test\n"}) {
        TwoServers s({answer});
        test::AppWindows app;
        ProxyConfig(app, s.proxy);
        Run(app, {"a.com"});
        EXPECT_EQ(s.proxy.Connections(), 1u) << answer;
        const std::string line(answer, std::strlen(answer) - 1);
        EXPECT_EQ(Stored(app, "a.com"), "\r\n\r\n" + line + "\r\n\r\n") << answer;
    }
}

TEST_F(RunTest, TheServerNameRunsToTheFirstCrOrTheEnd) {
    const std::pair<std::string, std::string> cases[] = {
        // A marker on a last line without LF: the name runs to the end.
        {"x\nWhois Server: whois.registrar.test", "whois.registrar.test:43"},
        // Only the first marker counts.
        {"Whois Server: whois.registrar.test\nWhois Server: other.test\n",
         "whois.registrar.test:43"},
        // A referral to the first server itself is followed all the same.
        {"Whois Server: whois.verisign-grs.com\n", "whois.verisign-grs.com:43"},
    };
    for (const auto& [first, target] : cases) {
        TwoServers s({first, "central again\n"});
        test::AppWindows app;
        ProxyConfig(app, s.proxy);
        Run(app, {"a.com"});
        ASSERT_EQ(s.proxy.Targets().size(), 2u) << first;
        EXPECT_EQ(s.proxy.Targets()[1], target);
        const std::string second =
            target == "whois.registrar.test:43" ? "registrar answer\r\n" : "central again\r\n";
        EXPECT_EQ(Stored(app, "a.com"), "\r\n\r\n" + second + "\r\n");
    }
}

TEST_F(RunTest, FollowsOneReferralStepOnly) {
    TwoServers s({"Whois Server: whois.registrar.test\n"},
                 {"Whois Server: whois.verisign-grs.com\n"});
    test::AppWindows app;
    ProxyConfig(app, s.proxy);
    Run(app, {"a.com"});
    EXPECT_EQ(s.proxy.Connections(), 2u);
    EXPECT_EQ(Stored(app, "a.com"), "\r\n\r\nWhois Server: whois.verisign-grs.com\r\n\r\n");
}

TEST_F(RunTest, NormalisesLineEndsBeforeStoring) {
    FakeServer server(Answers({"a\nb\r\nc\rd\n\n"}));
    DirectTo(server);
    test::AppWindows app;
    Run(app, {"n"});
    EXPECT_EQ(Stored(app, "n"), "\r\n\r\na\r\nb\r\r\nc\rd\r\n\r\n\r\n");
}

// A failed first query keeps what a name already has, and stores an empty answer otherwise.
TEST_F(RunTest, AFailedFirstQueryKeepsAnEarlierResultOrStoresAnEmptyAnswerAndGoesOn) {
    // A server that never answers fails the same way everywhere; Wine may read a reset as an
    // orderly close.
    FakeServer server([](FakeSession& s) {
        if (s.Index() < 2) {
            s.StaySilent();
            return;
        }
        Answers({"fine\n"})(s);
    });
    DirectTo(server);
    test::AppWindows app;
    app.form1().IdWhois1->SetSilenceTimeout(200);
    app.dir.Write("result/kept.com.dns", "earlier");
    Run(app, {"kept.com", "bad.com", "good.com"});
    EXPECT_EQ(app.dialogs.messages, (Names{"Connexion impossible", "Connexion impossible"}));
    EXPECT_TRUE(app.dialogs.errors.empty());
    EXPECT_EQ(app.dir.Read("result/kept.com.dns"), "earlier");
    EXPECT_EQ(Stored(app, "bad.com"), "\r\n\r\n\r\n");
    EXPECT_EQ(Stored(app, "good.com"), "\r\n\r\nfine\r\n\r\n");
    EXPECT_EQ(Items(*app.form1().ListBox2), (Names{"bad.com", "good.com", "kept.com"}));
    EXPECT_EQ(Items(*app.form1().ListBox1), Names{});
    EXPECT_EQ(Status(app), "Recherche de good.com termin\xE9");
}

// A server that closes without a byte (rate limiting) gave no answer to keep; no box either.
TEST_F(RunTest, AnEmptyAnswerKeepsAnEarlierResultOrStoresAnEmptyOne) {
    for (const char* first : {"", "Whois Server: whois.registrar.test\n"}) {
        TwoServers s({first}, {""});
        test::AppWindows app;
        ProxyConfig(app, s.proxy);
        app.dir.Write("result/kept.com.dns", "earlier");
        Run(app, {"kept.com", "new.com"});
        EXPECT_EQ(app.dir.Read("result/kept.com.dns"), "earlier") << first;
        EXPECT_EQ(Stored(app, "new.com"), "\r\n\r\n\r\n") << first;
        EXPECT_EQ(s.proxy.Connections(), *first ? 4u : 2u) << first;
        EXPECT_TRUE(app.dialogs.messages.empty() && app.dialogs.errors.empty()) << first;
        EXPECT_EQ(Items(*app.form1().ListBox2), (Names{"kept.com", "new.com"}));
    }
}

TEST_F(RunTest, AFailedReferralEndsTheRunAndKeepsTheEarlierResult) {
    TwoServers s({"plain answer\n", "Whois Server: whois.unknown.test\n"});
    test::AppWindows app;
    ProxyConfig(app, s.proxy);
    app.dir.Write("result/bad.com.dns", "earlier");
    Run(app, {"ok.com", "bad.com", "never.com"});
    EXPECT_EQ(app.dialogs.errors, Names{RSSocksServerHostUnreachableError});
    EXPECT_EQ(app.dir.Read("result/bad.com.dns"), "earlier");
    EXPECT_FALSE(app.dir.Exists("result/never.com.dns"));
    EXPECT_TRUE(app.dir.Exists("result/ok.com.dns"));
    EXPECT_EQ(Items(*app.form1().ListBox1), (Names{"ok.com", "bad.com", "never.com"}));
    EXPECT_EQ(Status(app), "Recherche de bad.com en cours");
}

TEST_F(RunTest, AMarkerFollowedByCrGivesAnEmptyHostWhoseFailureEndsTheRun) {
    TwoServers s({"Whois Server: \r\nrest\n"});
    test::AppWindows app;
    ProxyConfig(app, s.proxy);
    Run(app, {"a.com"});
    EXPECT_EQ(app.dialogs.errors.size(), 1u);
    EXPECT_TRUE(app.dialogs.messages.empty());
    EXPECT_FALSE(app.dir.Exists("result/a.com.dns"));
    EXPECT_EQ(Items(*app.form1().ListBox1), Names{"a.com"});
}

TEST_F(RunTest, AMissingResultFolderEndsTheRun) {
    FakeServer server(Answers({"x\n"}));
    DirectTo(server);
    test::AppWindows app(false);
    Run(app, {"a.com", "b.com"});
    EXPECT_EQ(app.dialogs.errors, Names{"Nom de fichier incorrect."});
    EXPECT_EQ(server.Connections(), 1);
    EXPECT_EQ(Items(*app.form1().ListBox1), (Names{"a.com", "b.com"}));
}

TEST_F(RunTest, ABadSavedPortStopsTheRunBeforeItStarts) {
    FakeServer server(Answers({"x\n"}));
    DirectTo(server);
    test::AppWindows app;
    app.form1().StatusBar1->SetSimpleText("before");
    app.WriteConfig("[proxy]\r\nuseit=oui\r\nport=abc\r\n");
    Run(app, {"a.com"});
    EXPECT_EQ(app.dialogs.errors, Names{"'abc' n'est pas une valeur enti\xE8re correcte."});
    EXPECT_EQ(server.Connections(), 0);
    EXPECT_EQ(app.form1().IdWhois1->SocksInfo().Version, svSocks5);
    EXPECT_EQ(Items(*app.form1().ListBox1), Names{"a.com"});
    EXPECT_EQ(Status(app), "before");
}

TEST_F(RunTest, AnEmptyListMakesNoQueryButFillsTheProxySettings) {
    FakeServer server(Answers({"x\n"}));
    DirectTo(server);
    test::AppWindows app;
    app.form1().StatusBar1->SetSimpleText("before");
    app.WriteConfig("[proxy]\r\nuseit=oui\r\nadresse=proxy.invalid\r\nport=1080\r\n"
                    "login=me\r\npassword=secret\r\n");
    Run(app, {});
    const TSocksInfo& socks = app.form1().IdWhois1->SocksInfo();
    EXPECT_EQ(socks.Version, svSocks5);
    EXPECT_EQ(socks.Host, "proxy.invalid");
    EXPECT_EQ(socks.Port, 1080);
    EXPECT_EQ(socks.UserID, "me");
    EXPECT_EQ(socks.Password, "secret");
    EXPECT_EQ(socks.Authentication, saUsernamePassword);
    EXPECT_EQ(server.Connections(), 0);
    EXPECT_TRUE(app.dialogs.messages.empty());
    EXPECT_TRUE(app.dialogs.errors.empty());
    EXPECT_EQ(Status(app), "before");
}

TEST_F(RunTest, TheSameNameTwiceOverwritesItsResult) {
    FakeServer server(Answers({"first\n", "second\n"}));
    DirectTo(server);
    test::AppWindows app;
    Run(app, {"a.com", "a.com"});
    EXPECT_EQ(server.Connections(), 2);
    EXPECT_EQ(Stored(app, "a.com"), "\r\n\r\nsecond\r\n\r\n");
    EXPECT_EQ(Items(*app.form1().ListBox2), Names{"a.com"});
}

TEST_F(RunTest, ProxyOffThenOnGoesThroughTheProxy) {
    FakeServer server(Answers({"direct\n", "proxied\n"}));
    DirectTo(server);
    FakeSocksProxy proxy({{"127.0.0.1", server.Port()}});
    test::AppWindows app;
    app.WriteConfig("[proxy]\r\nuseit=non\r\n");
    Run(app, {"a.com"});
    EXPECT_EQ(app.form1().IdWhois1->SocksInfo().Version, svNoSocks);
    EXPECT_EQ(proxy.Connections(), 0u);
    ProxyConfig(app, proxy);
    Run(app, {"a.com"});
    EXPECT_EQ(proxy.Connections(), 1u);
    EXPECT_EQ(Stored(app, "a.com"), "\r\n\r\nproxied\r\n\r\n");
}

TEST_F(RunTest, AProxyLoginIsOfferedAndUsed) {
    FakeServer central(Answers({"authenticated\n"}));
    FakeSocksProxy proxy({{kDefaultWhoisHost, central.Port()}}, "me", "secret");
    test::AppWindows app;
    ProxyConfig(app, proxy, "me", "secret");
    Run(app, {"a.com"});
    EXPECT_TRUE(app.dialogs.messages.empty());
    EXPECT_EQ(Stored(app, "a.com"), "\r\n\r\nauthenticated\r\n\r\n");
}

// Registry-aware lookups: a loopback IANA that names whois.nic.<tld> for every top-level domain
// but .example (no whois service), one registry behind all those names, and a registrar. Names
// reach them through the proxy's table, or directly through the redirects. A refusing host is
// sent to a port nobody listens on.
const Names kTlds = {"fr", "com", "de", "io", "org"};

struct Registries {
    Registries(std::string registryAnswer, std::string registrarAnswer, const std::string& refusing)
        : iana([](FakeSession& s) {
              const std::string line = s.ReceiveLine();
              const std::string tld = line.substr(0, line.find('\r'));
              s.Send(tld == "example" ? "domain: EXAMPLE\nstatus: ACTIVE\n"
                                      : "domain: " + tld + "\nwhois:   whois.nic." + tld + " \n");
              s.Close();
          }),
          registry(Answers({std::move(registryAnswer)})),
          registrar(Answers({std::move(registrarAnswer)})), proxy(Ports(refusing)) {}

    std::map<std::string, int> Ports(const std::string& refusing) const {
        std::map<std::string, int> ports{{kIanaWhoisHost, iana.Port()},
                                         {kRegistrar, registrar.Port()}};
        for (const std::string& tld : kTlds)
            ports["whois.nic." + tld] = registry.Port();
        if (!refusing.empty()) {
            FakeServer gone{FakeScript()};
            ports[refusing] = gone.Port();
        }
        return ports;
    }

    FakeServer iana;
    FakeServer registry;
    FakeServer registrar;
    FakeSocksProxy proxy;
};

// Each case runs directly (false) and through the SOCKS 5 proxy (true).
class RegistryRunTest : public RunTest, public testing::WithParamInterface<bool> {
protected:
    void Connect(test::AppWindows& app, const Registries& net,
                 const std::string& refusing = "") const {
        std::string config = "[whois]\r\nregistres=oui\r\n";
        if (GetParam())
            config += ProxySection(net.proxy);
        else
            for (const auto& [host, port] : net.Ports(refusing))
                WhoisServerRedirects()[host] = {"127.0.0.1", port};
        app.WriteConfig(config);
    }
};

INSTANTIATE_TEST_SUITE_P(DirectAndProxied, RegistryRunTest, testing::Bool());

struct RegistryCase {
    const char* what;
    std::string name;
    std::string registryAnswer;
    std::string registrarAnswer;
    std::string refusing; // a host sent to a closed port
    Names asked;          // the hosts, in order
    std::string stored;   // "kept": the earlier result stays, after "Connexion impossible"
};

TEST_P(RegistryRunTest, AsksIanaThenTheRegistryThenAnyRegistrar) {
    const std::string referral = "Domain: A.COM\n   Registrar WHOIS Server: whois.registrar.test\n";
    const std::string registryOwn =
        "Domain: A.COM\r\n   Registrar WHOIS Server: whois.registrar.test\r\n";
    const std::string otherCase = " registrar whois SERVER\t:  whois.registrar.test \n";
    const std::string itself = "Whois Server: whois.nic.com\n";
    const Names iana{kIanaWhoisHost};
    const Names fr{kIanaWhoisHost, "whois.nic.fr"};
    const Names com{kIanaWhoisHost, "whois.nic.com"};
    const Names all{kIanaWhoisHost, "whois.nic.com", kRegistrar};
    const RegistryCase cases[] = {
        {"fr", "a.fr", "domain: a.fr\n", "", "", fr, "domain: a.fr\r\n"},
        {"com", "a.com", referral, "Registrar: R\n", "", all, "Registrar: R\r\n"},
        {"refusing registrar", "a.com", referral, "x", kRegistrar, all, registryOwn},
        {"silent registrar", "a.com", referral, "", "", all, registryOwn},
        {"no whois", "a.example", "x", "x", "", iana, "domain: EXAMPLE\r\nstatus: ACTIVE\r\n"},
        {"IANA unreachable", "a.com", "x", "x", kIanaWhoisHost, iana, "kept"},
        {"registry unreachable", "a.com", "x", "x", "whois.nic.com", com, "kept"},
        {"referral spelt otherwise", "a.com", otherCase, "R\n", "", all, "R\r\n"},
        {"referral to the registry", "a.com", itself, "x", "", com,
         "Whois Server: whois.nic.com\r\n"},
    };
    for (const RegistryCase& c : cases) {
        Registries net(c.registryAnswer, c.registrarAnswer, c.refusing);
        test::AppWindows app;
        Connect(app, net, c.refusing);
        app.dir.Write("result/" + c.name + ".dns", "old\r\n\r\nkept\r\n");
        Run(app, {c.name});
        EXPECT_EQ(Stored(app, c.name), "\r\n\r\n" + c.stored + "\r\n") << c.what;
        EXPECT_EQ(app.dialogs.messages,
                  c.stored == "kept" ? Names{"Connexion impossible"} : Names{})
            << c.what;
        EXPECT_TRUE(app.dialogs.errors.empty()) << c.what;
        // Connections that reached the fakes whose names begin so.
        const auto times = [&](const std::string& prefix) {
            return static_cast<int>(std::count_if(c.asked.begin(), c.asked.end(), [&](auto& host) {
                return host.rfind(prefix, 0) == 0 && host != c.refusing;
            }));
        };
        EXPECT_EQ(net.iana.Connections(), times(kIanaWhoisHost)) << c.what;
        EXPECT_EQ(net.registry.Connections(), times("whois.nic.")) << c.what;
        EXPECT_EQ(net.registrar.Connections(), times(kRegistrar)) << c.what;
        if (net.iana.Connections() > 0) {
            EXPECT_EQ(net.iana.Received(0), c.name.substr(2) + "\r\n") << c.what;
        }
        if (net.registry.Connections() > 0) {
            EXPECT_EQ(net.registry.Received(0), c.name + "\r\n") << c.what;
        }
        if (GetParam()) {
            Names targets;
            for (const std::string& host : c.asked)
                targets.push_back(host + ":43");
            EXPECT_EQ(net.proxy.Targets(), targets) << c.what;
        }
        EXPECT_EQ(Items(*app.form1().ListBox1), Names{}) << c.what;
    }
}

TEST_P(RegistryRunTest, AsksIanaOncePerTopLevelDomainInARun) {
    Registries net("domain\n", "", "");
    test::AppWindows app;
    Connect(app, net);
    Names names;
    for (int i = 0; i < 100; ++i) {
        std::string name = "n"; // appended: g++ 12's -Wrestrict misfires on "n" + string at -O3
        names.push_back(name.append(std::to_string(i)).append(".").append(kTlds[i % kTlds.size()]));
    }
    Run(app, names);
    std::set<std::string> asked;
    for (int i = 0; i < net.iana.Connections(); ++i)
        asked.insert(net.iana.Received(i));
    EXPECT_EQ(net.iana.Connections(), 5);
    EXPECT_EQ(asked, (std::set<std::string>{"com\r\n", "de\r\n", "fr\r\n", "io\r\n", "org\r\n"}));
    EXPECT_EQ(net.registry.Connections(), 100);
    EXPECT_EQ(app.form1().ListBox2->Count(), 100);
    EXPECT_TRUE(app.dialogs.messages.empty());
    // The next run asks again.
    Run(app, {"again.fr"});
    EXPECT_EQ(net.iana.Connections(), 6);
}

// Only "oui" turns registry-aware lookups on, and a name without a top-level domain goes to
// the first server all the same.
TEST_F(RunTest, RegistryLookupsOnlyWithRegistresOui) {
    const std::tuple<std::string, std::string, bool> cases[] = {
        {"", "a.fr", false},
        {"[whois]\r\nregistres=OUI\r\n", "a.fr", false},
        {"[whois]\r\nregistres=non\r\n", "a.fr", false},
        {"[whois]\r\nregistres= oui \r\n", "a.fr", true},
        {"[whois]\r\nregistres=oui\r\n", "nodot", false},
        {"[whois]\r\nregistres=oui\r\n", "a.fr.", false},
    };
    for (const auto& [config, name, aware] : cases) {
        FakeServer first(Answers({"first\n"}));
        DirectTo(first);
        Registries net("registry\n", "", "");
        for (const auto& [host, port] : net.Ports(""))
            WhoisServerRedirects()[host] = {"127.0.0.1", port};
        test::AppWindows app;
        app.WriteConfig(config);
        Run(app, {name});
        EXPECT_EQ(first.Connections(), aware ? 0 : 1) << config << name;
        EXPECT_EQ(net.iana.Connections(), aware ? 1 : 0) << config << name;
        EXPECT_EQ(Stored(app, name), aware ? "\r\n\r\nregistry\r\n\r\n" : "\r\n\r\nfirst\r\n\r\n");
    }
}

} // namespace
} // namespace brinmor
