#pragma once

#include <QSslCertificate>
#include <QSslKey>
#include <QSslServer>
#include <functional>
#include <string>
#include <vector>

namespace brinmor::test {

// Two self-signed certificates for 127.0.0.1 and names under .invalid, made once per process
// with the openssl tool (none without it, nor on Windows, whose Schannel is a client only). The
// tests trust `trusted` as their authority; nobody knows the stranger.
struct TestCertificates {
    QSslCertificate trusted, stranger;
    QSslKey trustedKey, strangerKey;
};
const TestCertificates* Certificates();

struct HttpsResponse {
    int status;
    QByteArray body, headers = {}; // more header lines, each ending in CR LF
    bool silent = false;           // keeps the connection open and says nothing
};

// An HTTPS/1.1 server on 127.0.0.1 in the calling thread, so it serves while that thread waits
// in an event loop, as the RDAP client does. It closes each connection after one answer.
class HttpsTestServer {
public:
    using Handler = std::function<HttpsResponse(const std::string& path)>;
    explicit HttpsTestServer(Handler handler, bool stranger = false);

    quint16 Port() const { return server_.serverPort(); }
    // The paths asked, in order, and each request's Accept header; TLS handshakes begun.
    std::vector<std::string> paths, accepts;
    int connections = 0;

private:
    Handler handler_;
    QSslServer server_; // last: its sockets go first
};

} // namespace brinmor::test
