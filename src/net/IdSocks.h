#pragma once

#include <cstdint>
#include <string>

namespace brinmor {

enum TSocksVersion : std::uint8_t { svNoSocks = 0, svSocks4 = 1, svSocks4A = 2, svSocks5 = 3 };
enum TSocksAuthentication : std::uint8_t { saNoAuthentication = 0, saUsernamePassword = 1 };

// The SOCKS proxy in front of a TCP client. A fresh record means "no proxy".
class TSocksInfo {
public:
    TSocksAuthentication Authentication = saNoAuthentication;
    std::string Host;
    std::string Password;
    std::int32_t Port = 0;
    std::string UserID;
    TSocksVersion Version = svNoSocks;

    // Copies the six members.
    void Assign(const TSocksInfo& source);
};

class TIdTCPClient;

// The proxy exchange of Connect, chosen by client.SocksInfo().Version; runs on the open
// connection to the proxy and raises EIdException when the proxy refuses.
void NegotiateSocks(TIdTCPClient& client);

} // namespace brinmor
