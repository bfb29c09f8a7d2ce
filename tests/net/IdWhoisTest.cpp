#include "net/IdWhois.h"

#include "net/IdException.h"
#include "net/IdStack.h"
#include "support/FakeSocksProxy.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace brinmor {
namespace {

using test::FakeSocksProxy;
using test::ProxyScript;

// A whois server: reads one query line, answers, closes.
ProxyScript Answering(const std::string& answer, std::size_t chunk = 0) {
    return ProxyScript().ReadUntil("\r\n").Send(answer, chunk);
}

// A whois component aimed at the fake.
struct Whois : TIdWhois {
    explicit Whois(const FakeSocksProxy& server) {
        SetHost("127.0.0.1");
        SetPort(server.Port());
    }
};

TEST(TIdWhois, StartsAtTheRegistryServerOnPort43WithoutProxy) {
    TIdWhois whois;
    EXPECT_EQ(whois.Host(), "whois.verisign-grs.com");
    EXPECT_EQ(whois.Port(), 43);
    EXPECT_EQ(whois.SocksInfo().Version, svNoSocks);
}

TEST(QueryDomain, SendsTheNameAsHeldAndCrLf) {
    const std::string name = " Caf\xE9.example ";
    FakeSocksProxy server({Answering("answer")});
    Whois whois(server);
    EXPECT_EQ(whois.QueryDomain(name), "answer");
    server.Stop();
    EXPECT_EQ(server.Received(), name + "\r\n");
}

TEST(QueryDomain, EmptyNameSendsExactlyCrLf) {
    FakeSocksProxy server({Answering("x")});
    Whois whois(server);
    whois.QueryDomain("");
    server.Stop();
    EXPECT_EQ(server.Received(), "\r\n");
}

TEST(QueryDomain, ReturnsEveryByteUnchanged) {
    std::string answer("line\nnext\r\nNUL:");
    answer.push_back('\0');
    for (int byte = 128; byte <= 255; ++byte)
        answer.push_back(static_cast<char>(byte));
    answer.push_back('\0');
    FakeSocksProxy server({Answering(answer)});
    Whois whois(server);
    EXPECT_EQ(whois.QueryDomain("a.test"), answer);
}

TEST(QueryDomain, JoinsAnAnswerSentInManySmallSegments) {
    std::string answer;
    for (int line = 0; line < 20; ++line)
        answer += "Line " + std::to_string(line) + " of the answer\n";
    FakeSocksProxy server({Answering(answer, 7)});
    Whois whois(server);
    EXPECT_EQ(whois.QueryDomain("a.test"), answer);
}

TEST(QueryDomain, ServerClosingWithoutAByteGivesTheEmptyText) {
    FakeSocksProxy server({ProxyScript().ReadUntil("\r\n")});
    Whois whois(server);
    EXPECT_EQ(whois.QueryDomain("a.test"), "");
    EXPECT_FALSE(whois.Connected());
}

TEST(QueryDomain, RefusedQueryDoesNotBlockTheNextOne) {
    FakeSocksProxy server({Answering("second")});
    Whois whois(server);
    int unused = 0;
    {
        // A port nobody listens on: the listener is gone once the fake is stopped.
        FakeSocksProxy gone(std::vector<ProxyScript>{});
        unused = gone.Port();
    }
    whois.SetPort(unused);
    try {
        whois.QueryDomain("a.test");
        FAIL() << "expected a refused connection";
    } catch (const EIdSocketError& e) {
        EXPECT_EQ(e.ErrorCode(), 10061);
    }
    EXPECT_FALSE(whois.Connected());
    whois.SetPort(server.Port());
    EXPECT_EQ(whois.QueryDomain("b.test"), "second");
}

TEST(QueryDomain, EachQueryHasItsOwnConnection) {
    FakeSocksProxy server({Answering("first answer"), Answering("second")});
    Whois whois(server);
    EXPECT_EQ(whois.QueryDomain("one.test"), "first answer");
    EXPECT_FALSE(whois.Connected());
    EXPECT_EQ(whois.QueryDomain("two.test"), "second");
    EXPECT_FALSE(whois.Connected());
    server.Stop();
    EXPECT_EQ(server.Connections(), 2u);
    EXPECT_EQ(server.Received(0), "one.test\r\n");
    EXPECT_EQ(server.Received(1), "two.test\r\n");
}

TEST(QueryDomain, ResetAfterPartOfTheAnswerRaisesAndLeavesNoConnection) {
    FakeSocksProxy server({Answering("part of an answer").Reset(), Answering("whole")});
    Whois whois(server);
    try {
        whois.QueryDomain("a.test");
        FAIL() << "expected the reset to be reported";
    } catch (const EIdSocketError& e) {
        EXPECT_EQ(e.ErrorCode(), 10054);
    }
    EXPECT_FALSE(whois.Connected());
    EXPECT_EQ(whois.QueryDomain("a.test"), "whole");
}

// Through a SOCKS 5 proxy the server's name goes to the proxy as it is: the default server is
// reached without being looked up here.
TEST(QueryDomain, ThroughSocks5TheDefaultServerNameGoesToTheProxy) {
    // Any name lookup would be a fault: answer none and note the names asked for.
    std::vector<std::string> lookedUp;
    TIdStack::SetNameLookup([&](const std::string& name) {
        lookedUp.push_back(name);
        return TIdNameLookupAnswer{std::nullopt, 11001};
    });
    struct Restore {
        ~Restore() { TIdStack::SetNameLookup(nullptr); }
    } restore;
    FakeSocksProxy server({Answering("registry answer")});
    FakeSocksProxy proxy(
        FakeSocksProxy::Relaying{{{kDefaultWhoisHost, server.Port()}}, "me", "pw"});
    TIdWhois whois;
    whois.SocksInfo().Version = svSocks5;
    whois.SocksInfo().Authentication = saUsernamePassword;
    whois.SocksInfo().Host = "127.0.0.1";
    whois.SocksInfo().Port = proxy.Port();
    whois.SocksInfo().UserID = "me";
    whois.SocksInfo().Password = "pw";
    EXPECT_EQ(whois.QueryDomain("a.test"), "registry answer");
    EXPECT_FALSE(whois.Connected());
    EXPECT_TRUE(lookedUp.empty());
    proxy.Stop();
    EXPECT_EQ(proxy.Targets(), std::vector<std::string>{"whois.verisign-grs.com:43"});
    server.Stop();
    EXPECT_EQ(server.Received(), "a.test\r\n");
}

TEST(QueryDomain, ProxyRefusalLeavesNoConnection) {
    FakeSocksProxy proxy(FakeSocksProxy::Relaying{{}, "", ""});
    TIdWhois whois;
    whois.SocksInfo().Version = svSocks5;
    whois.SocksInfo().Host = "127.0.0.1";
    whois.SocksInfo().Port = proxy.Port();
    try {
        whois.QueryDomain("a.test");
        FAIL() << "expected the proxy's refusal";
    } catch (const EIdException& e) {
        EXPECT_EQ(e.Message(), "Host unreachable.");
    }
    EXPECT_FALSE(whois.Connected());
}

} // namespace
} // namespace brinmor
