#include "net/IdWhois.h"

#include "net/IdException.h"
#include "net/IdStack.h"
#include "support/FakeServer.h"
#include "support/FakeSocksProxy.h"
#include "support/Wine.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace brinmor {
namespace {

using test::FakeScript;
using test::FakeServer;
using test::FakeSocksProxy;
using test::InTurn;

// A whois server: reads one query line, answers, closes.
FakeScript Answering(const std::string& answer, std::size_t chunk = 0) {
    FakeScript script;
    return test::SendIn(script.ExpectLine(), answer, chunk);
}

// A whois component aimed at the fake.
struct Whois : TIdWhois {
    explicit Whois(const FakeServer& server) {
        SetHost("127.0.0.1");
        SetPort(server.Port());
    }
};

// The query must raise the socket error and leave no connection behind.
void ExpectFailedQuery(TIdWhois& whois, int errorCode) {
    try {
        whois.QueryDomain("a.test");
        ADD_FAILURE() << "expected socket error " << errorCode;
    } catch (const EIdSocketError& e) {
        EXPECT_EQ(e.ErrorCode(), errorCode);
    }
    EXPECT_FALSE(whois.Connected());
}

TEST(TIdWhois, StartsAtTheRegistryServerOnPort43WithoutProxy) {
    TIdWhois whois;
    EXPECT_EQ(whois.Host(), "whois.verisign-grs.com");
    EXPECT_EQ(whois.Port(), 43);
    EXPECT_EQ(whois.SocksInfo().Version, svNoSocks);
}

TEST(QueryDomain, SendsTheNameAsHeldAndCrLf) {
    const std::string name = " Caf\xE9.example ";
    FakeServer server(Answering("answer"));
    Whois whois(server);
    EXPECT_EQ(whois.QueryDomain(name), "answer");
    EXPECT_EQ(server.Received(0), name + "\r\n");
}

TEST(QueryDomain, EmptyNameSendsExactlyCrLf) {
    FakeServer server(Answering("x"));
    Whois whois(server);
    whois.QueryDomain("");
    EXPECT_EQ(server.Received(0), "\r\n");
}

TEST(QueryDomain, ReturnsEveryByteUnchanged) {
    std::string answer("line\nnext\r\nNUL:");
    answer.push_back('\0');
    for (int byte = 128; byte <= 255; ++byte)
        answer.push_back(static_cast<char>(byte));
    answer.push_back('\0');
    FakeServer server(Answering(answer));
    Whois whois(server);
    EXPECT_EQ(whois.QueryDomain("a.test"), answer);
}

TEST(QueryDomain, JoinsAnAnswerSentInManySmallSegments) {
    std::string answer;
    for (int line = 0; line < 20; ++line)
        answer += "Line " + std::to_string(line) + " of the answer\n";
    FakeServer server(Answering(answer, 7));
    Whois whois(server);
    EXPECT_EQ(whois.QueryDomain("a.test"), answer);
}

TEST(QueryDomain, ServerClosingWithoutAByteGivesTheEmptyText) {
    FakeServer server(FakeScript().ExpectLine());
    Whois whois(server);
    EXPECT_EQ(whois.QueryDomain("a.test"), "");
    EXPECT_FALSE(whois.Connected());
}

TEST(QueryDomain, RefusedQueryDoesNotBlockTheNextOne) {
    FakeServer server(Answering("second"));
    Whois whois(server);
    int unused = 0;
    {
        // A port nobody listens on: the listener is gone once the fake is stopped.
        FakeServer gone(FakeScript{});
        unused = gone.Port();
    }
    whois.SetPort(unused);
    ExpectFailedQuery(whois, 10061);
    whois.SetPort(server.Port());
    EXPECT_EQ(whois.QueryDomain("b.test"), "second");
}

TEST(QueryDomain, EachQueryHasItsOwnConnection) {
    FakeServer server(InTurn({Answering("first answer"), Answering("second")}));
    Whois whois(server);
    EXPECT_EQ(whois.QueryDomain("one.test"), "first answer");
    EXPECT_FALSE(whois.Connected());
    EXPECT_EQ(whois.QueryDomain("two.test"), "second");
    EXPECT_FALSE(whois.Connected());
    EXPECT_EQ(server.Connections(), 2);
    EXPECT_EQ(server.Received(0), "one.test\r\n");
    EXPECT_EQ(server.Received(1), "two.test\r\n");
}

TEST(QueryDomain, ResetAfterPartOfTheAnswerRaisesAndLeavesNoConnection) {
    if (test::RunningUnderWine())
        GTEST_SKIP() << "Wine reports a reset that follows data as an orderly close";
    FakeServer server(InTurn({Answering("part of an answer").Reset(), Answering("whole")}));
    Whois whois(server);
    ExpectFailedQuery(whois, 10054);
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
    FakeServer server(Answering("registry answer"));
    FakeSocksProxy proxy({{kDefaultWhoisHost, server.Port()}}, "me", "pw");
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
    EXPECT_EQ(proxy.Targets(), std::vector<std::string>{"whois.verisign-grs.com:43"});
    EXPECT_EQ(server.Received(0), "a.test\r\n");
}

TEST(QueryDomain, ProxyRefusalLeavesNoConnection) {
    FakeSocksProxy proxy({});
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
