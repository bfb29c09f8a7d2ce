#include "net/IdSocks.h"

#include "net/IdException.h"
#include "net/IdStack.h"
#include "net/IdTCPClient.h"
#include "support/FakeServer.h"
#include "support/FakeSocksProxy.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <typeinfo>
#include <vector>

namespace brinmor {
namespace {

using test::FakeScript;
using test::FakeServer;
using test::InTurn;
using test::SendIn;

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int value : values)
        bytes.push_back(static_cast<char>(value));
    return bytes;
}

const std::string kServerData = "DATA from the server\r\n";
const std::string kSocks4Granted = Bytes({0, 90, 0, 0, 0, 0, 0, 0});
const std::string kSocks5IPv4Reply = Bytes({5, 0, 0, 1, 127, 0, 0, 1, 0, 43});

// A client aimed at `host`:`port` through the fake proxy.
struct ProxiedClient {
    TIdTCPClient client;
    ProxiedClient(const FakeServer& proxy, TSocksVersion version, std::string host = "127.0.0.1",
                  int port = 43) {
        client.SetHost(std::move(host));
        client.SetPort(port);
        client.SocksInfo().Version = version;
        client.SocksInfo().Host = "127.0.0.1";
        client.SocksInfo().Port = proxy.Port();
    }
};

// Table rows carry a name: it names the generated test and is what a failure prints.
template <typename Case>
requires requires(const Case& c) {
    c.name;
}
void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

struct ByName {
    template <typename Case>
    std::string operator()(const testing::TestParamInfo<Case>& info) const {
        return info.param.name;
    }
};

// Connect must fail with exactly EIdException (not a subclass) and this text, and leave the
// client closed.
void ExpectRefused(TIdTCPClient& client, const std::string& message) {
    try {
        client.Connect();
        ADD_FAILURE() << "Connect succeeded, expected: " << message;
    } catch (const EIdException& e) {
        EXPECT_EQ(typeid(e), typeid(EIdException)) << e.Message();
        EXPECT_EQ(e.Message(), message);
    }
    EXPECT_FALSE(client.Connected());
}

void ExpectSocketError(TIdTCPClient& client, int errorCode) {
    try {
        client.Connect();
        ADD_FAILURE() << "Connect succeeded, expected socket error " << errorCode;
    } catch (const EIdSocketError& e) {
        EXPECT_EQ(e.ErrorCode(), errorCode);
    }
    EXPECT_FALSE(client.Connected());
}

// The bytes a client sends and the proxy's answers for one successful exchange.
struct RequestCase {
    const char* name;
    TSocksVersion version;
    TSocksAuthentication authentication;
    std::string userId;
    std::string password;
    std::string host;
    int port;
    FakeScript script;
    std::string expected;
};

class SocksRequest : public testing::TestWithParam<RequestCase> {};

TEST_P(SocksRequest, SendsExactlyTheRequestBytesAndThenCarriesTheServersData) {
    const RequestCase& c = GetParam();
    FakeServer proxy(c.script);
    ProxiedClient proxied(proxy, c.version, c.host, c.port);
    TIdTCPClient& client = proxied.client;
    client.SocksInfo().Authentication = c.authentication;
    client.SocksInfo().UserID = c.userId;
    client.SocksInfo().Password = c.password;

    client.Connect();
    EXPECT_EQ(client.ReadToEnd(), kServerData);
    ASSERT_TRUE(proxy.WaitForFinished(1));
    EXPECT_EQ(proxy.Received(0), c.expected);
}

const std::string kName11 = "ns1.invalid";
const std::string kLongUserId(300, 'u');

INSTANTIATE_TEST_SUITE_P(
    Exchanges, SocksRequest,
    testing::Values(
        // 10 + 1 + 11 bytes: address 0.0.0.1, the user id at 8, its 0 at 9, the name at 10..20.
        RequestCase{"Socks4AOneByteUserIdElevenByteName", svSocks4A, saNoAuthentication, "u", "",
                    kName11, 4343, FakeScript().Expect(22).Send(kSocks4Granted + kServerData),
                    Bytes({4, 1, 0x10, 0xF7, 0, 0, 0, 1, 'u', 0}) + kName11 + Bytes({0})},
        // The name is resolved here; an empty user id leaves its terminating 0 only.
        RequestCase{"Socks4EmptyUserIdResolvesTheHostLocally", svSocks4, saNoAuthentication, "", "",
                    "LocalHost", 43, FakeScript().Expect(9).Send(kSocks4Granted + kServerData),
                    Bytes({4, 1, 0, 43, 127, 0, 0, 1, 0})},
        RequestCase{"Socks4AddressInNetworkOrder", svSocks4, saNoAuthentication, "ab", "",
                    "10.1.2.3", 0x1F90, FakeScript().Expect(11).Send(kSocks4Granted + kServerData),
                    Bytes({4, 1, 0x1F, 0x90, 10, 1, 2, 3, 'a', 'b', 0})},
        // Only the first 255 bytes of a longer user id go out.
        RequestCase{"Socks4CutsTheUserIdTo255Bytes", svSocks4, saNoAuthentication, kLongUserId, "",
                    "127.0.0.1", 43,
                    FakeScript().Expect(9 + 255).Send(kSocks4Granted + kServerData),
                    Bytes({4, 1, 0, 43, 127, 0, 0, 1}) + std::string(255, 'u') + Bytes({0})},
        // One method offered; 1, 2, "ab", 0: an empty password is a zero length alone.
        RequestCase{"Socks5UserNameTwoBytesEmptyPassword", svSocks5, saUsernamePassword, "ab", "",
                    kName11, 43,
                    FakeScript()
                        .Expect(3)
                        .Send(Bytes({5, 2}))
                        .Expect(5)
                        .Send(Bytes({1, 0}))
                        .Expect(7 + 11)
                        .Send(kSocks5IPv4Reply + kServerData),
                    Bytes({5, 1, 2, 1, 2, 'a', 'b', 0, 5, 1, 0, 3, 11}) + kName11 + Bytes({0, 43})},
        // A dotted address still goes by name. The user id is not sent without the
        // username/password method.
        RequestCase{"Socks5NoAuthenticationSendsTheAddressTextAsName", svSocks5, saNoAuthentication,
                    "ignored", "ignored", "127.0.0.1", 0x50,
                    FakeScript()
                        .Expect(3)
                        .Send(Bytes({5, 0}))
                        .Expect(7 + 9)
                        .Send(kSocks5IPv4Reply + kServerData),
                    Bytes({5, 1, 0, 5, 1, 0, 3, 9}) + "127.0.0.1" + Bytes({0, 0x50})}),
    ByName());

// Replies that end the exchange, by version and code.
struct RefusalCase {
    TSocksVersion version;
    int code;
    std::string message;
};

void PrintTo(const RefusalCase& c, std::ostream* out) {
    *out << "SOCKS " << (c.version == svSocks5 ? 5 : 4) << " code " << c.code;
}

FakeScript Socks4Answering(int code) {
    return FakeScript().Expect(9).Send(Bytes({0, code, 0, 0, 0, 0, 0, 0}));
}

FakeScript Socks5Answering(int code) {
    return FakeScript()
        .Expect(3)
        .Send(Bytes({5, 0}))
        .Expect(16)
        .Send(Bytes({5, code, 0, 1, 0, 0, 0, 0, 0, 0}));
}

class SocksRefusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(SocksRefusal, RaisesTheCodesTextAndClosesTheConnection) {
    const RefusalCase& c = GetParam();
    FakeServer proxy(c.version == svSocks5 ? Socks5Answering(c.code) : Socks4Answering(c.code));
    ProxiedClient proxied(proxy, c.version);
    ExpectRefused(proxied.client, c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Socks4Codes, SocksRefusal,
    testing::Values(RefusalCase{svSocks4, 91, "Request rejected or failed."},
                    RefusalCase{svSocks4, 92,
                                "Request rejected because SOCKS server cannot connect."},
                    RefusalCase{svSocks4, 93,
                                "Request rejected because the client program and identd "
                                "report different user-ids."},
                    RefusalCase{svSocks4, 0, "Unknown socks error."},
                    RefusalCase{svSocks4, 94, "Unknown socks error."}));

INSTANTIATE_TEST_SUITE_P(Socks5Codes, SocksRefusal,
                         testing::Values(RefusalCase{svSocks5, 1, "General SOCKS server failure."},
                                         RefusalCase{svSocks5, 2,
                                                     "Connection not allowed by ruleset."},
                                         RefusalCase{svSocks5, 3, "Network unreachable."},
                                         RefusalCase{svSocks5, 4, "Host unreachable."},
                                         RefusalCase{svSocks5, 5, "Connection refused."},
                                         RefusalCase{svSocks5, 6, "TTL expired."},
                                         RefusalCase{svSocks5, 7, "Command not supported."},
                                         RefusalCase{svSocks5, 8, "Address type not supported."},
                                         RefusalCase{svSocks5, 9, "Unknown socks error."},
                                         RefusalCase{svSocks5, 12, "Unknown socks error."},
                                         RefusalCase{svSocks5, 255, "Unknown socks error."}));

// The rest of a SOCKS 5 reply depends on its address type; all of it must be consumed.
struct BoundAddressCase {
    const char* name;
    std::string reply;
    std::size_t chunk;
};

class Socks5BoundAddress : public testing::TestWithParam<BoundAddressCase> {};

TEST_P(Socks5BoundAddress, IsConsumedSoThatTheServersFirstByteComesNext) {
    const BoundAddressCase& c = GetParam();
    FakeScript script;
    SendIn(script.Expect(3), Bytes({5, 0}), c.chunk).Expect(16);
    SendIn(script, c.reply + kServerData, c.chunk);
    FakeServer proxy(script);
    ProxiedClient proxied(proxy, svSocks5);
    proxied.client.Connect();
    char first = 0;
    proxied.client.ReadExact(&first, 1);
    EXPECT_EQ(first, kServerData[0]);
    EXPECT_EQ(proxied.client.ReadToEnd(), kServerData.substr(1));
}

const std::string kIPv4Reply = Bytes({5, 0, 0, 1, 10, 0, 0, 7, 0x1F, 0x90});
// 4 header bytes, the length byte, 9 name bytes, 2 port bytes: 16 in all.
const std::string kNameReply = Bytes({5, 0, 0, 3, 9}) + "proxy.lan" + Bytes({0, 80});
const std::string kIPv6Reply = Bytes({5, 0, 0, 4}) + std::string(16, '\x01') + Bytes({0, 80});
// An unknown type: the fifth byte and two more.
const std::string kOtherReply = Bytes({5, 0, 0, 7, 0xAA, 0, 80});

INSTANTIATE_TEST_SUITE_P(Types, Socks5BoundAddress,
                         testing::Values(BoundAddressCase{"IPv4Whole", kIPv4Reply, 0},
                                         BoundAddressCase{"IPv4ByteByByte", kIPv4Reply, 1},
                                         BoundAddressCase{"NameWhole", kNameReply, 0},
                                         BoundAddressCase{"NameByteByByte", kNameReply, 1},
                                         BoundAddressCase{"IPv6Whole", kIPv6Reply, 0},
                                         BoundAddressCase{"IPv6ByteByByte", kIPv6Reply, 1},
                                         BoundAddressCase{"OtherTypeWhole", kOtherReply, 0},
                                         BoundAddressCase{"OtherTypeByteByByte", kOtherReply, 1}),
                         ByName());

// Refusals before the connect request: nothing more may be sent after them.
struct EarlyRefusalCase {
    const char* name;
    TSocksAuthentication offered;
    FakeScript script;
    std::string message;
    std::string sent;
};

class Socks5EarlyRefusal : public testing::TestWithParam<EarlyRefusalCase> {};

TEST_P(Socks5EarlyRefusal, EndsTheExchangeThere) {
    const EarlyRefusalCase& c = GetParam();
    FakeServer proxy(FakeScript(c.script).Silent());
    ProxiedClient proxied(proxy, svSocks5);
    proxied.client.SocksInfo().Authentication = c.offered;
    proxied.client.SocksInfo().UserID = "ab";
    ExpectRefused(proxied.client, c.message);
    ASSERT_TRUE(proxy.WaitForFinished(1));
    EXPECT_EQ(proxy.Received(0), c.sent);
}

FakeScript ChoosingMethod(int method) {
    return FakeScript().Expect(3).Send(Bytes({5, method}));
}

const std::string kOfferNone = Bytes({5, 1, 0});
const std::string kOfferPassword = Bytes({5, 1, 2});
const std::string kWrongMethod = "Invalid socks authentication method.";

// The proxy's choice must be the one method offered; a refused login ends it too.
INSTANTIATE_TEST_SUITE_P(
    Choices, Socks5EarlyRefusal,
    testing::Values(EarlyRefusalCase{"PasswordWhenNoneOffered", saNoAuthentication,
                                     ChoosingMethod(2), kWrongMethod, kOfferNone},
                    EarlyRefusalCase{"NoAcceptableMethod", saNoAuthentication, ChoosingMethod(255),
                                     kWrongMethod, kOfferNone},
                    EarlyRefusalCase{"NoneWhenPasswordOffered", saUsernamePassword,
                                     ChoosingMethod(0), kWrongMethod, kOfferPassword},
                    EarlyRefusalCase{"NoAcceptableMethodForPassword", saUsernamePassword,
                                     ChoosingMethod(255), kWrongMethod, kOfferPassword},
                    EarlyRefusalCase{"RejectedPassword", saUsernamePassword,
                                     ChoosingMethod(2).Expect(5).Send(Bytes({1, 1})),
                                     "Authentication error to socks server.",
                                     kOfferPassword + Bytes({1, 2, 'a', 'b', 0})}),
    ByName());

// Up to the connect request of a client with an empty user name and password, to 127.0.0.1.
FakeScript LoggedInAndAsked() {
    return ChoosingMethod(2).Expect(3).Send(Bytes({1, 0})).Expect(16);
}

// A proxy that closes part-way through a reply.
struct ClosingCase {
    const char* name;
    TSocksVersion version;
    FakeScript script;
};

class ProxyClosesMidReply : public testing::TestWithParam<ClosingCase> {};

TEST_P(ProxyClosesMidReply, EndsTheExchangeWithTheVersionsMessage) {
    const ClosingCase& c = GetParam();
    FakeServer proxy(c.script);
    ProxiedClient proxied(proxy, c.version);
    proxied.client.SocksInfo().Authentication = saUsernamePassword;
    if (c.version == svSocks5) {
        ExpectRefused(proxied.client, "Socks server didn't respond.");
        return;
    }
    // SOCKS 4 lets the connection's own error through.
    EXPECT_THROW(
        {
            try {
                proxied.client.Connect();
            } catch (const EIdConnClosedGraceful& e) {
                EXPECT_EQ(e.Message(), "Connection Closed Gracefully.");
                throw;
            }
        },
        EIdConnClosedGraceful);
    EXPECT_FALSE(proxied.client.Connected());
}

INSTANTIATE_TEST_SUITE_P(
    Points, ProxyClosesMidReply,
    testing::Values(ClosingCase{"Socks4WithoutAnswer", svSocks4, FakeScript().Expect(9)},
                    ClosingCase{"Socks4AfterThreeBytes", svSocks4,
                                FakeScript().Expect(9).Send(Bytes({0, 90, 0}))},
                    ClosingCase{"Socks5MethodReply", svSocks5,
                                FakeScript().Expect(3).Send(Bytes({5}))},
                    ClosingCase{"Socks5AuthenticationReply", svSocks5,
                                ChoosingMethod(2).Expect(3).Send(Bytes({1}))},
                    ClosingCase{"Socks5ConnectReplyHeader", svSocks5,
                                LoggedInAndAsked().Send(Bytes({5, 0, 0}))},
                    ClosingCase{"Socks5BoundName", svSocks5,
                                LoggedInAndAsked().Send(Bytes({5, 0, 0, 3, 9}) + "prox")}),
    ByName());

TEST(SocksNegotiation, FailureLeavesTheClientReadyForTheNextConnect) {
    FakeServer proxy(InTurn(
        {ChoosingMethod(255), ChoosingMethod(0).Expect(16).Send(kSocks5IPv4Reply + kServerData)}));
    ProxiedClient proxied(proxy, svSocks5);
    ExpectRefused(proxied.client, "Invalid socks authentication method.");
    proxied.client.Connect();
    EXPECT_EQ(proxied.client.ReadToEnd(), kServerData);
    EXPECT_EQ(proxy.Connections(), 2);
}

TEST(SocksNegotiation, NoSocksNeverContactsTheProxy) {
    FakeServer server(FakeScript().Send(kServerData));
    FakeServer proxy(FakeScript{});
    TIdTCPClient client;
    client.SetHost("127.0.0.1");
    client.SetPort(server.Port());
    client.SocksInfo().Version = svNoSocks;
    client.SocksInfo().Host = "127.0.0.1";
    client.SocksInfo().Port = proxy.Port();
    client.Connect();
    EXPECT_EQ(client.ReadToEnd(), kServerData);
    EXPECT_EQ(proxy.Connections(), 0);
}

// A proxy that stalls mid-exchange ends with a guard, not a hang: the silence guard when it
// says nothing, the query deadline also when it trickles. Either gives the version's text for
// a failed read.
struct StallCase {
    const char* name;
    TSocksVersion version;
    FakeScript script;
    int silenceMs;
    int queryMs;
};

class ProxyStalls : public testing::TestWithParam<StallCase> {};

TEST_P(ProxyStalls, EndsWithTheVersionsTextForAFailedRead) {
    const StallCase& c = GetParam();
    FakeServer proxy(c.script);
    ProxiedClient proxied(proxy, c.version);
    proxied.client.SetSilenceTimeout(c.silenceMs);
    proxied.client.SetQueryTimeout(c.queryMs);
    if (c.version == svSocks5)
        ExpectRefused(proxied.client, "Socks server didn't respond.");
    else
        ExpectSocketError(proxied.client, 10060);
}

constexpr int kOff = IdTimeoutInfinite;
// 8 bytes 100 ms apart, and 262 bytes 20 ms apart: each lasts past the 300 ms deadline.
const FakeScript kTricklingGrant = FakeScript().Expect(9).Trickle(kSocks4Granted, 100);
const FakeScript kTricklingReply = ChoosingMethod(0).Expect(16).Trickle(
    Bytes({5, 0, 0, 3, 255}) + std::string(255, 'n') + Bytes({0, 80}), 20);
// Says nothing for far longer than the guards, then grants: only a guard makes Connect fail,
// where a proxy that gives up would end with the same text.
const FakeScript kLateGrant =
    FakeScript().Expect(3).Pause(5000).Send(Bytes({5, 0})).Expect(16).Send(kSocks5IPv4Reply);

INSTANTIATE_TEST_SUITE_P(
    Guards, ProxyStalls,
    testing::Values(
        StallCase{"Socks4SilentSilenceGuard", svSocks4, FakeScript().Expect(9).Silent(), 100, kOff},
        StallCase{"Socks5SilentSilenceGuard", svSocks5, kLateGrant, 100, kOff},
        StallCase{"Socks4SilentDeadline", svSocks4, FakeScript().Expect(9).Silent(), kOff, 300},
        StallCase{"Socks5SilentDeadline", svSocks5, kLateGrant, kOff, 300},
        StallCase{"Socks4TricklingDeadline", svSocks4, kTricklingGrant, 5000, 300},
        StallCase{"Socks5TricklingDeadline", svSocks5, kTricklingReply, 5000, 300}),
    ByName());

// SOCKS 4 carries an address: the client resolves the target name itself.
class Socks4Resolution : public testing::Test {
protected:
    void SetUp() override {
        TIdStack::SetNameLookup([](const std::string& name) {
            TIdNameLookupAnswer answer;
            if (name == "whois.registrar.test")
                answer.Address = TIdIPv4Bytes{192, 0, 2, 7};
            else
                answer.ErrorCode = 11001;
            return answer;
        });
    }
    void TearDown() override { TIdStack::SetNameLookup(nullptr); }
};

TEST_F(Socks4Resolution, SendsTheResolvedAddress) {
    FakeServer proxy(Socks4Answering(90).Send(kServerData));
    ProxiedClient proxied(proxy, svSocks4, "whois.registrar.test");
    proxied.client.Connect();
    EXPECT_EQ(proxied.client.ReadToEnd(), kServerData);
    ASSERT_TRUE(proxy.WaitForFinished(1));
    EXPECT_EQ(proxy.Received(0), Bytes({4, 1, 0, 43, 192, 0, 2, 7, 0}));
}

TEST_F(Socks4Resolution, UnknownNameRaisesTheSocketErrorAndSendsNothing) {
    FakeServer proxy(Socks4Answering(90));
    ProxiedClient proxied(proxy, svSocks4, "unknown.registrar.test");
    ExpectSocketError(proxied.client, 11001);
    ASSERT_TRUE(proxy.WaitForFinished(1));
    EXPECT_EQ(proxy.Received(0), "");
}

// Values that do not fit the request are refused before a byte goes out; the message says
// which value.
struct TooLongCase {
    const char* name;
    TSocksVersion version;
    TSocksAuthentication authentication;
    std::size_t userId;
    std::size_t password;
    std::size_t host;
    std::string message;
};

class SocksValueTooLong : public testing::TestWithParam<TooLongCase> {};

TEST_P(SocksValueTooLong, IsRefusedBeforeAnyByteIsSent) {
    const TooLongCase& c = GetParam();
    FakeServer proxy(FakeScript().Silent());
    ProxiedClient proxied(proxy, c.version, std::string(c.host, 'h'));
    proxied.client.SocksInfo().Authentication = c.authentication;
    proxied.client.SocksInfo().UserID = std::string(c.userId, 'u');
    proxied.client.SocksInfo().Password = std::string(c.password, 'p');
    ExpectRefused(proxied.client, c.message);
    ASSERT_TRUE(proxy.WaitForFinished(1));
    EXPECT_EQ(proxy.Connections(), 1);
    EXPECT_EQ(proxy.Received(0), "");
}

INSTANTIATE_TEST_SUITE_P(
    Limits, SocksValueTooLong,
    testing::Values(TooLongCase{"Socks5Host", svSocks5, saNoAuthentication, 0, 0, 250,
                                "SOCKS target host name too long: 250 bytes, at most 249."},
                    TooLongCase{"Socks5UserName", svSocks5, saUsernamePassword, 254, 0, 9,
                                "SOCKS user name too long: 254 bytes, at most 253."},
                    TooLongCase{"Socks5Password", svSocks5, saUsernamePassword, 200, 54, 9,
                                "SOCKS password too long: 54 bytes, at most 53."},
                    TooLongCase{"Socks5PasswordAlone", svSocks5, saUsernamePassword, 0, 256, 9,
                                "SOCKS password too long: 256 bytes, at most 253."},
                    TooLongCase{"Socks4AHost", svSocks4A, saNoAuthentication, 10, 0, 245,
                                "SOCKS target host name too long: 245 bytes, at most 244."},
                    TooLongCase{"Socks4AUserIdLeavesNoRoom", svSocks4A, saNoAuthentication, 300, 0,
                                1, "SOCKS user name too long: 255 bytes, at most 253."}),
    ByName());

// The largest values that fit go out whole.
TEST(SocksLimits, FullRequestAreasAreSent) {
    const std::string host(249, 'h');
    const std::string user(253, 'u');
    FakeServer proxy(FakeScript()
                         .Expect(3)
                         .Send(Bytes({5, 2}))
                         .Expect(3 + 253)
                         .Send(Bytes({1, 0}))
                         .Expect(7 + 249)
                         .Send(kSocks5IPv4Reply + kServerData));
    ProxiedClient proxied(proxy, svSocks5, host);
    proxied.client.SocksInfo().Authentication = saUsernamePassword;
    proxied.client.SocksInfo().UserID = user;
    proxied.client.Connect();
    EXPECT_EQ(proxied.client.ReadToEnd(), kServerData);
    ASSERT_TRUE(proxy.WaitForFinished(1));
    EXPECT_EQ(proxy.Received(0), Bytes({5, 1, 2, 1, 253}) + user + Bytes({0}) +
                                     Bytes({5, 1, 0, 3, 249}) + host + Bytes({0, 43}));
}

} // namespace
} // namespace brinmor
