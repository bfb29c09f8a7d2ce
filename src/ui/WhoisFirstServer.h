#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace brinmor {

// Where every lookup starts: the first whois server and the whois port. The program keeps the
// registry's central service on port 43; tests point it at a loopback server.
struct WhoisFirstServer {
    std::string host;
    std::int32_t port;
};

WhoisFirstServer& FirstWhoisServer();

// Where a registry-aware lookup asks a named server: port 43 of that name, unless tests moved
// the name to a loopback server here.
std::map<std::string, WhoisFirstServer>& WhoisServerRedirects();

} // namespace brinmor
