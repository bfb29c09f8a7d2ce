// The network around the program for the end-to-end test, all on loopback: a first whois
// server that refers every name to a registrar's server, that server, and a SOCKS 5 proxy that
// reaches both by name, so the program resolves no name itself. Prints the proxy's port, then
// serves until its standard input closes.
#include "support/FakeServer.h"
#include "support/FakeSocksProxy.h"
#include "net/IdWhois.h"

#include <iostream>
#include <string>

using brinmor::test::FakeServer;
using brinmor::test::FakeSession;
using brinmor::test::FakeSocksProxy;

namespace {

// The query line less its CR LF.
std::string QueriedName(FakeSession& session) {
    std::string line = session.ReceiveLine();
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    return line;
}

} // namespace

int main() {
    FakeServer registrar([](FakeSession& s) {
        s.Send("Domain Name: " + QueriedName(s) + "\nRegistrant:\nCaf\xE9 Corbelin\r\n");
    });
    FakeServer first([](FakeSession& s) {
        s.Send("Domain Name: " + QueriedName(s) + "\nWhois Server: whois.registrar.test\n");
    });
    FakeSocksProxy proxy({{brinmor::kDefaultWhoisHost, first.Port()},
                          {"whois.registrar.test", registrar.Port()}});
    std::cout << proxy.Port() << std::endl;
    while (std::cin.get() != EOF) {
    }
    return 0;
}
