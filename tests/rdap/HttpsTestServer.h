#pragma once

#include <QSslCertificate>
#include <QSslKey>
#include <QSslServer>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace brinmor::test {

// Two self-signed certificates for 127.0.0.1 and a few names under .invalid, made once per
// process with the openssl tool (nothing when it is missing, and on Windows): the test trusts
// `trusted` as its own authority, and nobody knows the stranger.
struct TestCertificates {
    QSslCertificate trusted, stranger;
    QSslKey trustedKey, strangerKey;
};
const TestCertificates* Certificates();

struct HttpsResponse {
    HttpsResponse(int status, QByteArray body, QByteArray headers = {}, bool silent = false)
        : status(status), body(std::move(body)), headers(std::move(headers)), silent(silent) {}
    int status;
    QByteArray body;
    QByteArray headers; // more header lines, each ending in CR LF
    bool silent;        // keeps the connection open and says nothing
};

// An HTTPS/1.1 server on 127.0.0.1 (port chosen by the system) in the calling thread, so it
// serves while that thread waits in an event loop, as the RDAP client does. It closes each
// connection after one answer unless it keeps them alive.
class HttpsTestServer {
public:
    using Handler = std::function<HttpsResponse(const std::string& path)>;
    explicit HttpsTestServer(Handler handler, bool stranger = false, bool keepAlive = false);

    quint16 Port() const { return server_.serverPort(); }
    // The paths asked, in order, and each request's Accept header; TLS handshakes begun.
    std::vector<std::string> paths, accepts;
    int connections = 0;

private:
    Handler handler_;
    bool keepAlive_;
    std::map<QSslSocket*, QByteArray> pending_;
    QSslServer server_; // last: its sockets go first
};

} // namespace brinmor::test
