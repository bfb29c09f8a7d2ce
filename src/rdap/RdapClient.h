#pragma once

#include "net/IdException.h"
#include "net/RegistryLookup.h"

#include <QList>
#include <QSslCertificate>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

class QNetworkAccessManager;

namespace brinmor {

// Where IANA publishes which RDAP service serves each top-level domain.
inline constexpr const char* kRdapBootstrapAddress = "https://data.iana.org/rdap/dns.json";

// An RDAP query that failed: no connection, a refused certificate or redirect, a guard that
// ran out, an answer over the size cap, a status other than 200, 404 and 429, or JSON that is
// not a domain object.
class ERdapError : public EIdException {
public:
    using EIdException::EIdException;
};

// How the RDAP client connects: the whois component's guard times (milliseconds, 0 or less
// switches a guard off) and size cap, and its SOCKS 5 proxy (text in Windows-1252).
struct TRdapSettings {
    int connectTimeout = 0;
    int silenceTimeout = 0;
    int queryTimeout = 0;
    std::int64_t maxAnswerSize = 0;
    bool useProxy = false;
    std::string proxyHost;
    int proxyPort = 0;
    // A login is offered only when a user name is saved.
    std::string proxyUser;
    std::string proxyPassword;
};

// RDAP over HTTPS for one run: the bootstrap file is fetched at most once, when a name first
// needs it, then each query asks the registry's service and, when its answer links to one,
// the registrar's. Every wait runs a local event loop that takes no user input, so the
// window repaints. Certificates are checked against the system's trust store.
class TRdapClient {
public:
    explicit TRdapClient(TRdapSettings settings);
    ~TRdapClient();
    TRdapClient(const TRdapClient&) = delete;
    TRdapClient& operator=(const TRdapClient&) = delete;

    // The name's answer (name is its A-label): the rendered domain object, a short text for a
    // 404, or a refusal for a 429. Nothing when its top-level domain has no RDAP service.
    // Raises ERdapError when the bootstrap or the registry failed.
    std::optional<TRegistryAnswer> Lookup(const std::string& name);

private:
    struct Reply {
        int status = 0;
        QByteArray body;
    };
    Reply Get(const std::string& address);
    const std::map<std::string, std::string>& Bases();
    std::optional<TRegistryAnswer> RegistrarAnswer(const std::string& link,
                                                   const std::string& name);

    TRdapSettings settings_;
    std::unique_ptr<QNetworkAccessManager> manager_;
    bool bootstrapAsked_ = false;
    std::optional<std::map<std::string, std::string>> bases_;
};

// Test seams: the bootstrap file's address (empty restores IANA's), and authorities trusted
// besides the system's store (empty restores the store alone).
void SetRdapBootstrapOverride(const std::string& address);
void SetRdapTestAuthoritiesOverride(const QList<QSslCertificate>& authorities);

} // namespace brinmor
