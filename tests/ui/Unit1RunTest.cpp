#include "HttpsTestServer.h"
#include "net/IdResourceStrings.h"
#include "net/IdWhois.h"
#include "net/RegistryLookup.h"
#include "rdap/RdapClient.h"
#include "support/AppWindows.h"
#include "support/FakeServer.h"
#include "support/FakeSocksProxy.h"
#include "support/QtApplication.h"
#include "support/StoreTestSupport.h"
#include "ui/Unit1.h"
#include "ui/WhoisFirstServer.h"
#include "widgets/ErrorBox.h"
#include "widgets/ListBox.h"
#include "widgets/StatusBar.h"

#include <QRadioButton>
#include <algorithm>
#include <cstdio>
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

// Puts the first server back after a test moved it. RDAP's bootstrap is a closed loopback
// port unless a test serves one.
class RunTest : public testing::Test {
protected:
    RunTest() {
        test::EnsureApplication();
        FakeServer gone{FakeScript()};
        SetRdapBootstrapOverride("https://127.0.0.1:" + std::to_string(gone.Port()) + "/");
    }
    void TearDown() override {
        FirstWhoisServer() = saved_;
        SetWhoisServerOverrides({});
        SetRdapBootstrapOverride("");
        SetRdapTestAuthoritiesOverride({});
    }

    // The run starts at a loopback server, with no proxy.
    static void DirectTo(const FakeServer& server) {
        FirstWhoisServer() = {"127.0.0.1", server.Port()};
    }

    // Registry-aware queries reach these names at loopback ports.
    static void Redirect(const std::map<std::string, int>& ports) {
        std::map<std::string, WhoisFirstServer> overrides;
        for (const auto& [host, port] : ports)
            overrides[host] = {"127.0.0.1", port};
        SetWhoisServerOverrides(overrides);
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
// reach them through the proxy's table, or directly through the overrides. A refusing host is
// sent to a port nobody listens on. Over RDAP, the bootstrap names one HTTPS server for .com,
// .example and .fr, whose registry and registrar paths answer as the case says (RdapServes).
const Names kTlds = {"fr", "com", "de", "io", "org"};

// The registry's domain object for a name: every part the renderer knows, a registrant after
// another contact, an unknown member and a remark that tries to start a line.
QByteArray DomainJson(const std::string& name, const std::string& link = "") {
    return QByteArray::fromStdString(
        R"({"objectClassName":"domain","ldhName":")" + name +
        R"(","status":["active","client transfer prohibited"],"events":[{"eventAction":)"
        R"("registration","eventDate":"2001-02-03T04:05:06Z"},{"eventAction":"expiration",)"
        R"("eventDate":"2031-02-03T04:05:06Z"}],"entities":[{"objectClassName":"entity","roles":)"
        R"(["registrar"],"publicIds":[{"type":"IANA Registrar ID","identifier":"292"}],)"
        R"("vcardArray":["vcard",[["version",{},"text","4.0"],["fn",{},"text","Reg Inc"]]]},)"
        R"({"roles":["technical"],"vcardArray":["vcard",[["fn",{},"text","Tech"]]]},)"
        R"({"roles":["registrant"],"vcardArray":["vcard",[["fn",{},"text","Zo\u00e9"],)"
        R"(["adr",{},"text",["","","1 rue","Paris","","75001","FR"]]]]}],)"
        R"("nameservers":[{"objectClassName":"nameserver","ldhName":"ns1.a.example"}],)"
        R"("secureDNS":{"delegationSigned":false},"x-note":[1,"two"],)"
        R"("remarks":[{"description":["one\r\nRegistrant:"]}],"links":[)" +
        (link.empty()
             ? std::string()
             : R"({"rel":"related","type":"application/rdap+json","href":")" + link + R"("})") +
        "]}");
}

// DomainJson as stored, after the address asked.
std::string DomainText(const std::string& name, const std::string& link = "") {
    return "Domain Name: " + name +
           "\r\nRegistrar: Reg Inc\r\nRegistrar IANA ID: 292\r\nCreation Date: "
           "2001-02-03T04:05:06Z\r\nRegistry Expiry Date: 2031-02-03T04:05:06Z\r\nDomain Status: "
           "active\r\nDomain Status: client transfer prohibited\r\nName Server: ns1.a.example\r\n"
           "DNSSEC: unsigned\r\n" +
           (link.empty() ? "" : "Link: " + link + "\r\n") +
           "x-note: [1,\"two\"]\r\n\r\nRegistrant:\r\nName: Zo\xC3\xA9\r\n"
           "Address: 1 rue, Paris, 75001, FR\r\n\r\nRegistrar:\r\nName: Reg Inc\r\n"
           "IANA Registrar ID: 292\r\n\r\nTechnical:\r\nName: Tech\r\n\r\nRemarks: "
           "one\\r\\nRegistrant:\r\n";
}

// What the RDAP server answers at path, for a case's `rdap` word.
test::HttpsResponse RdapServes(const std::string& rdap, const std::string& path,
                               const std::string& base, const std::string& stranger) {
    const std::string name = path.substr(path.rfind('/') + 1);
    if (path == "/dns.json") {
        const std::string registry = rdap == "stranger" ? stranger : base + "registry/";
        const std::string tlds = rdap == "no service" ? "\"io\"" : R"("COM","example","fr")";
        const std::string services = R"({"services":[[["net"],["http://x.invalid/"]],[[)" + tlds +
                                     R"(],["http://plain.invalid/",")" + registry + R"("]]]})";
        return {200, QByteArray::fromStdString(services)};
    }
    if (path.rfind("/registrar/", 0) == 0) // only a.com has a registrar
        return {rdap == "link fails" ? 500 : 200, DomainJson(rdap == "link" ? "A.Com" : "b.com")};
    // "hops<n>": a chain of redirects through /hop1/ ... /hop<n>/, which answers.
    if (rdap.rfind("hops", 0) == 0 && path.rfind("/hop" + rdap.substr(4) + "/", 0) != 0) {
        const int hop = path.rfind("/hop", 0) == 0 ? std::stoi(path.substr(4)) + 1 : 1;
        const std::string to = base + "hop" + std::to_string(hop) + "/" + name;
        return {301, "", QByteArray::fromStdString("Location: " + to + "\r\n")};
    }
    // A deflated domain object that grows past the whois size cap once inflated (by blanks).
    static const QByteArray cap =
        qCompress(DomainJson("a.com") + QByteArray(IdMaxAnswerSize, ' '), 9).mid(4);
    const std::map<std::string, test::HttpsResponse> responses = {
        {"404", {404, R"({"errorCode":404})"}},
        {"429", {429, R"({"errorCode":429})"}},
        {"500", {500, R"({"errorCode":500})"}},
        {"http", {301, "", "Location: http://127.0.0.1:9/moved/x\r\n"}},
        {"cap", {200, cap, "Content-Encoding: deflate\r\n"}},
        {"silent", {200, "", "", true}},
        {"malformed", {200, R"({"objectClassName":"domain",)"}},
        {"not a domain", {200, R"({"objectClassName":"entity","handle":"a.com"})"}},
    };
    const auto found = responses.find(rdap);
    if (found != responses.end())
        return found->second;
    const bool linked = rdap.rfind("link", 0) == 0;
    return {200, DomainJson(name, linked ? base + "registrar/domain/" + name : "")};
}

struct Registries {
    Registries(std::string registryAnswer, std::string registrarAnswer, const std::string& refusing,
               bool proxied, std::string rdap = "")
        : iana([](FakeSession& s) {
              const std::string line = s.ReceiveLine();
              const std::string tld = line.substr(0, line.find('\r'));
              s.Send(tld == "example" ? "domain: EXAMPLE\nstatus: ACTIVE\n"
                                      : "domain: " + tld + "\nwhois:   whois.nic." + tld + " \n");
              s.Close();
          }),
          registry(Answers({std::move(registryAnswer)})),
          registrar(Answers({std::move(registrarAnswer)})),
          https([this, rdap = std::move(rdap)](const std::string& path) {
              return RdapServes(rdap, path, Base(https), Base(stranger));
          }),
          stranger(
              [](const std::string&) {
                  return test::HttpsResponse{200, "{}"};
              },
              true),
          proxied_(proxied), proxy(Ports(refusing)) {
        SetRdapBootstrapOverride(Base(https) + "dns.json");
        if (test::Certificates())
            SetRdapTestAuthoritiesOverride({test::Certificates()->trusted});
    }

    // The HTTPS server's address as the program asks for it: by name through the proxy.
    std::string Authority(const test::HttpsTestServer& server) const {
        const std::string host = &server == &stranger ? "stranger.invalid" : "rdap.invalid";
        return (proxied_ ? host : std::string("127.0.0.1")) + ":" + std::to_string(server.Port());
    }
    std::string Base(const test::HttpsTestServer& server) const {
        return "https://" + Authority(server) + "/";
    }

    // The text with {base} and {host} of the HTTPS server filled in.
    std::string Filled(std::string text) const {
        for (const auto& [from, to] : std::map<std::string, std::string>{
                 {"{base}", Base(https)}, {"{host}", proxied_ ? "rdap.invalid" : "127.0.0.1"}})
            for (auto at = text.find(from); at != std::string::npos; at = text.find(from))
                text.replace(at, from.size(), to);
        return text;
    }

    std::map<std::string, int> Ports(const std::string& refusing) const {
        std::map<std::string, int> ports{{kIanaWhoisHost, iana.Port()},
                                         {kRegistrar, registrar.Port()},
                                         {"rdap.invalid", https.Port()},
                                         {"stranger.invalid", stranger.Port()}};
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
    test::HttpsTestServer https;
    test::HttpsTestServer stranger;
    bool proxied_;
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
            Redirect(net.Ports(refusing));
        app.WriteConfig(config);
    }
};

INSTANTIATE_TEST_SUITE_P(DirectAndProxied, RegistryRunTest, testing::Bool());

struct RegistryCase {
    const char* what;
    std::string name;
    std::string registryAnswer;
    std::string registrarAnswer;
    std::string refusing;   // a host sent to a closed port
    Names asked;            // the whois hosts, the HTTPS paths and "stranger", in order
    std::string stored;     // "kept": the earlier result stays, after "Connexion impossible"
    std::string rdap = "";  // what the RDAP server does (RdapServes)
    std::string query = ""; // what the registry receives, when not the name
    bool earlier = true;    // the name has an earlier result
};

TEST_P(RegistryRunTest, AsksIanaThenTheRegistryThenAnyRegistrar) {
    const std::string referral = "Domain: A.COM\n   Registrar WHOIS Server: whois.registrar.test\n";
    const std::string registryOwn =
        "Domain: A.COM\r\n   Registrar WHOIS Server: whois.registrar.test\r\n";
    const std::string otherCase = " registrar whois SERVER\t:  whois.registrar.test \n";
    const std::string itself = "Whois Server: whois.nic.com\n";
    const std::string limit = "%% Your connection limit exceeded.\n";
    const Names iana{kIanaWhoisHost};
    const Names fr{kIanaWhoisHost, "whois.nic.fr"};
    const Names com{kIanaWhoisHost, "whois.nic.com"};
    const Names all{kIanaWhoisHost, "whois.nic.com", kRegistrar};
    const Names de{kIanaWhoisHost, "whois.nic.de"};
    const auto rdapAsked = [&](const std::string& name, Names more = {}) {
        Names asked{kIanaWhoisHost};
        if (name.find(".example") == std::string::npos)
            asked.push_back("whois.nic.com");
        asked.insert(asked.end(), {"/dns.json", "/registry/domain/" + name});
        asked.insert(asked.end(), more.begin(), more.end());
        return asked;
    };
    const std::string nic = "whois.nic.com";
    const Names bootstrap{kIanaWhoisHost, "/dns.json"},
        comBootstrap{kIanaWhoisHost, nic, "/dns.json"};
    const Names stranger{kIanaWhoisHost, nic, "/dns.json", "stranger"};
    // a.com over RDAP, its whois registry unreachable.
    const auto rdap = [&](const char* what, const char* word, std::string stored, Names more = {}) {
        return RegistryCase{what, "a.com", "x", "x", nic, rdapAsked("a.com", more), stored, word};
    };
    Names hops;
    for (int hop = 1; hop <= 5; ++hop)
        hops.push_back("/hop" + std::to_string(hop) + "/a.com");
    const Names related{"/registrar/domain/a.com"};
    // The registry's answer for a name, after the address asked.
    const auto answer = [](const std::string& name) {
        return "{base}registry/domain/" + name + "\r\n" + DomainText(name);
    };
    const std::string linked =
        "{base}registry/domain/a.com\r\n" + DomainText("a.com", "{base}registrar/domain/a.com");
    const std::string com404 = "{base}registry/domain/a.com\r\nAucun domaine de ce nom selon le "
                               "serveur RDAP {host} (statut HTTP 404).\r\n";
    const std::string com429 = "{base}registry/domain/a.com\r\nLe serveur RDAP {host} limite le "
                               "nombre de questions (statut HTTP 429).\r\n";
    const RegistryCase cases[] = {
        {"fr", "a.fr", "domain: a.fr\n", "", "", fr, "domain: a.fr\r\n"},
        {"com", "a.com", referral, "Registrar: R\n", "", all, "Registrar: R\r\n"},
        {"refusing registrar", "a.com", referral, "x", kRegistrar, all, registryOwn},
        {"silent registrar", "a.com", referral, "", "", all, registryOwn},
        {"limited registrar", "a.com", referral, limit, "", all, registryOwn},
        {"IANA unreachable", "a.com", "x", "x", kIanaWhoisHost, iana, "kept"},
        {"referral spelt otherwise", "a.com", otherCase, "R\n", "", all, "R\r\n"},
        {"referral to the registry", "a.com", itself, "x", "", com,
         "Whois Server: whois.nic.com\r\n"},
        // Accented names go out as A-labels: Windows-1252 (0x9C), non-transitional (sharp s).
        {"accents", "caf\xE9.fr", "r\n", "", "", fr, "r\r\n", "", "xn--caf-dma.fr"},
        {"ligature", "\x9Cuvre.fr", "r\n", "", "", fr, "r\r\n", "", "xn--uvre-f4a.fr"},
        {"sharp s", "stra\337e.de", "r\n", "", "", de, "r\r\n", "", "xn--strae-oqa.de"},
        // Over RDAP where whois is gone or unreachable.
        {"no whois", "a.example", "x", "x", "", rdapAsked("a.example"), answer("a.example")},
        {"no whois nor RDAP", "a.example", "x", "x", "", bootstrap,
         "domain: EXAMPLE\r\nstatus: ACTIVE\r\n", "no service"},
        {"accents over RDAP", "caf\xE9.example", "x", "x", "", rdapAsked("xn--caf-dma.example"),
         answer("xn--caf-dma.example")},
        {"unreachable, no RDAP", "a.com", "x", "x", nic, comBootstrap, "kept", "no service"},
        {"unknown authority", "a.com", "x", "x", nic, stranger, "kept", "stranger"},
        // A refusal or a 429 keeps an earlier result; a name without one stores it.
        {"registry refuses", "a.com", limit, "", "", com, "kept quietly"},
        {"new name refused", "a.com", limit, "", "", com, "%% Your connection limit exceeded.\r\n",
         "", "", false},
        rdap("429", "429", "kept quietly"),
        {"new name, 429", "a.com", "x", "x", nic, rdapAsked("a.com"), com429, "429", "", false},
        rdap("registry unreachable", "", answer("a.com")),
        rdap("404", "404", com404),
        rdap("500", "500", "kept"),
        rdap("redirect to http", "http", "kept"),
        rdap("five redirects", "hops5", answer("a.com"), hops),
        rdap("six redirects", "hops6", "kept", hops),
        rdap("over the cap", "cap", "kept"),
        rdap("silent", "silent", "kept"),
        rdap("malformed", "malformed", "kept"),
        rdap("not a domain", "not a domain", "kept"),
        rdap("registrar", "link", "{base}registrar/domain/a.com\r\n" + DomainText("A.Com"),
             related),
        rdap("registrar fails", "link fails", linked, related),
        rdap("registrar names another", "link other", linked, related),
    };
    // Without a test authority (no openssl tool, or Windows) the rows that need HTTPS are out.
    if (!test::Certificates())
        std::printf("[ LEFT OUT ] HTTPS rows: no test authority\n");
    for (RegistryCase c : cases) {
        if (!test::Certificates() && std::any_of(c.asked.begin(), c.asked.end(),
                                                 [](auto& entry) { return entry[0] == '/'; }))
            continue;
        Registries net(c.registryAnswer, c.registrarAnswer, c.refusing, GetParam(), c.rdap);
        c.stored = net.Filled(c.stored);
        test::AppWindows app;
        Connect(app, net, c.refusing);
        // Short enough for the silent RDAP server, long enough for every other answer.
        app.form1().IdWhois1->SetSilenceTimeout(1500);
        if (c.earlier)
            app.dir.Write("result/" + c.name + ".dns", "old\r\n\r\nkept\r\n");
        Run(app, {c.name});
        const bool kept = c.stored.rfind("kept", 0) == 0;
        EXPECT_EQ(Stored(app, c.name), "\r\n\r\n" + (kept ? "kept" : c.stored) + "\r\n") << c.what;
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
        EXPECT_EQ(net.stranger.connections, times("stranger")) << c.what;
        Names paths;
        std::copy_if(c.asked.begin(), c.asked.end(), std::back_inserter(paths),
                     [](const std::string& entry) { return entry[0] == '/'; });
        // Qt sends a request again when the server closed the connection it picked.
        Names served = net.https.paths;
        served.erase(std::unique(served.begin(), served.end()), served.end());
        EXPECT_EQ(served, paths) << c.what;
        EXPECT_EQ(net.https.accepts, Names(net.https.paths.size(), "application/rdap+json"))
            << c.what;
        const std::string tld = c.name.substr(c.name.rfind('.') + 1);
        if (net.iana.Connections() > 0) {
            EXPECT_EQ(net.iana.Received(0), tld + "\r\n") << c.what;
        }
        if (net.registry.Connections() > 0) {
            EXPECT_EQ(net.registry.Received(0), (c.query.empty() ? c.name : c.query) + "\r\n")
                << c.what;
        }
        if (GetParam()) {
            Names targets;
            for (const std::string& host : c.asked)
                targets.push_back(host[0] == '/'       ? net.Authority(net.https)
                                  : host == "stranger" ? net.Authority(net.stranger)
                                                       : host + ":43");
            // Qt may open a spare connection to a host it is already asking.
            Names proxied = net.proxy.Targets();
            proxied.erase(std::unique(proxied.begin(), proxied.end()), proxied.end());
            targets.erase(std::unique(targets.begin(), targets.end()), targets.end());
            EXPECT_EQ(proxied, targets) << c.what;
        }
        EXPECT_EQ(Items(*app.form1().ListBox1), Names{}) << c.what;
    }
}

TEST_P(RegistryRunTest, AsksIanaOncePerTopLevelDomainInARun) {
    Registries net("domain\n", "", "", GetParam());
    test::AppWindows app;
    Connect(app, net);
    Names names;
    for (int i = 0; i < 100; ++i)
        names.push_back(
            std::string("n").append(std::to_string(i)).append(".").append(kTlds[i % kTlds.size()]));
    if (test::Certificates()) // a few over RDAP: the bootstrap is fetched once for them all
        names.insert(names.end(), {"a.example", "b.example"});
    Run(app, names);
    std::set<std::string> asked;
    for (int i = 0; i < net.iana.Connections(); ++i)
        asked.insert(net.iana.Received(i));
    const std::size_t rdap = names.size() - 100;
    EXPECT_EQ(net.iana.Connections(), rdap ? 6 : 5);
    asked.erase("example\r\n");
    EXPECT_EQ(asked, (std::set<std::string>{"com\r\n", "de\r\n", "fr\r\n", "io\r\n", "org\r\n"}));
    EXPECT_EQ(net.registry.Connections(), 100);
    EXPECT_EQ(app.form1().ListBox2->Count(), static_cast<int>(names.size()));
    EXPECT_TRUE(app.dialogs.messages.empty());
    EXPECT_EQ(net.https.paths.size(), rdap ? 1 + rdap : 0);
    // The next run asks again.
    Run(app, {"again.fr"});
    EXPECT_EQ(net.iana.Connections(), rdap ? 7 : 6);
}

// RDAP goes through the proxy with the saved login, whose bytes reach the proxy as saved (0x80
// is the euro sign in Windows-1252); the proxy takes nothing else.
TEST_F(RunTest, RdapOffersTheSavedLoginToTheProxy) {
    if (!test::Certificates())
        GTEST_SKIP() << "the openssl tool is missing (scripts/setup installs it)";
    Registries net("x", "x", "", true);
    FakeSocksProxy proxy(net.Ports(""), "moi", "s\x80same");
    test::AppWindows app;
    app.WriteConfig("[whois]\r\nregistres=oui\r\n" + ProxySection(proxy, "moi", "s\x80same"));
    Run(app, {"a.example"});
    EXPECT_EQ(net.https.paths, (Names{"/dns.json", "/registry/domain/a.example"}));
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
        Registries net("registry\n", "", "", false);
        Redirect(net.Ports(""));
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
