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

// Test seam: a registry-aware lookup asks a named server on port 43 of that name, unless this
// moves the name to another server (a loopback fake); an empty map restores the real names.
void SetWhoisServerOverrides(std::map<std::string, WhoisFirstServer> overrides);

} // namespace brinmor
