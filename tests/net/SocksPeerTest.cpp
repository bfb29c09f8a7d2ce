#include "net/IdException.h"
#include "net/IdWhois.h"
#include "support/FakeServer.h"
#include "support/PeerProcess.h"

#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>

namespace brinmor {
namespace {

using test::FakeScript;
using test::FakeServer;
using test::PeerProcess;

const std::string kAnswer = "Domain Name: PEER.TEST\r\nRegistrar: Loopback\r\n";

enum class Peer { kDanted, kMicrosocks, kMicrosocksWithLogin };

// One query through a real SOCKS server to a loopback whois fake.
struct PeerCase {
    const char* name;
    Peer peer;
    TSocksVersion version;
    TSocksAuthentication authentication;
    std::string password;
    std::string refusal; // empty: the query goes through
};

void PrintTo(const PeerCase& c, std::ostream* out) {
    *out << c.name;
}

const char* kUser = "brinmor";
const char* kPassword = "s3cret";

class RealSocksServer : public testing::TestWithParam<PeerCase> {};

TEST_P(RealSocksServer, CarriesTheQueryOrRefusesIt) {
    const PeerCase& c = GetParam();
    const char* program = c.peer == Peer::kDanted ? test::kDantedProgram : test::kMicrosocksProgram;
    if (const std::string missing = PeerProcess::Missing(program); !missing.empty())
        GTEST_SKIP() << missing;

    FakeServer server(FakeScript().ExpectLine().Send(kAnswer));
    std::unique_ptr<PeerProcess> peer = c.peer == Peer::kDanted ? PeerProcess::Danted()
                                        : c.peer == Peer::kMicrosocks
                                            ? PeerProcess::Microsocks()
                                            : PeerProcess::Microsocks(kUser, kPassword);
    TIdWhois whois;
    // The target is given as an address: the proxies must not look anything up.
    whois.SetHost("127.0.0.1");
    whois.SetPort(server.Port());
    whois.SocksInfo().Version = c.version;
    whois.SocksInfo().Authentication = c.authentication;
    whois.SocksInfo().Host = "127.0.0.1";
    whois.SocksInfo().Port = peer->Port();
    whois.SocksInfo().UserID = kUser;
    whois.SocksInfo().Password = c.password;

    if (c.refusal.empty()) {
        EXPECT_EQ(whois.QueryDomain("peer.test"), kAnswer) << peer->Output();
        EXPECT_EQ(server.Received(0), "peer.test\r\n");
        return;
    }
    try {
        whois.QueryDomain("peer.test");
        ADD_FAILURE() << "expected: " << c.refusal << "\n" << peer->Output();
    } catch (const EIdException& e) {
        EXPECT_EQ(e.Message(), c.refusal) << peer->Output();
    }
    EXPECT_FALSE(whois.Connected());
    EXPECT_EQ(server.Connections(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Peers, RealSocksServer,
    testing::Values(PeerCase{"DantedSocks4", Peer::kDanted, svSocks4, saNoAuthentication, "", ""},
                    PeerCase{"DantedSocks5", Peer::kDanted, svSocks5, saNoAuthentication, "", ""},
                    // danted does not serve the 4A extension.
                    PeerCase{"DantedSocks4A", Peer::kDanted, svSocks4A, saNoAuthentication, "",
                             "Request rejected or failed."},
                    PeerCase{"MicrosocksSocks5", Peer::kMicrosocks, svSocks5, saNoAuthentication,
                             "", ""},
                    PeerCase{"MicrosocksLogin", Peer::kMicrosocksWithLogin, svSocks5,
                             saUsernamePassword, kPassword, ""},
                    PeerCase{"MicrosocksWrongPassword", Peer::kMicrosocksWithLogin, svSocks5,
                             saUsernamePassword, "wrong", "Authentication error to socks server."},
                    PeerCase{"MicrosocksWithoutLogin", Peer::kMicrosocksWithLogin, svSocks5,
                             saNoAuthentication, "", "Invalid socks authentication method."}),
    [](const testing::TestParamInfo<PeerCase>& info) { return info.param.name; });

} // namespace
} // namespace brinmor
