#pragma once

#include "net/IdTCPClient.h"

#include <string>

namespace brinmor {

// The registry's central whois service: the first server of every lookup.
inline constexpr const char* kDefaultWhoisHost = "whois.verisign-grs.com";
inline constexpr int kWhoisPort = 43;

// One whois lookup (RFC 3912): connect, send the name and CR LF, read until the server closes.
class TIdWhois : public TIdTCPClient {
public:
    TIdWhois();

    // The server's whole answer, bytes as received. Leaves no connection open, also when it
    // raises.
    std::string QueryDomain(const std::string& domain);
};

} // namespace brinmor
