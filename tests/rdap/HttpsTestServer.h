#pragma once

#include <QByteArray>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslServer>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace brinmor::test {

// A test authority and two server certificates for 127.0.0.1, localhost and a few names
// under .invalid: one the authority signed, one signed by nobody the program knows. Made once
// per process with the openssl tool; nothing when the tool is missing.
struct TestCertificates {
    QSslCertificate authority;
    QSslCertificate server;
    QSslKey serverKey;
    QSslCertificate stranger;
    QSslKey strangerKey;
};
const TestCertificates* Certificates();

struct HttpsResponse {
    HttpsResponse(int status, QByteArray body, QByteArray headers = {}, bool silent = false)
        : status(status), body(std::move(body)), headers(std::move(headers)), silent(silent) {}
    int status;
    QByteArray body;
    // More header lines, each ending in CR LF.
    QByteArray headers;
    // Keeps the connection open and says nothing.
    bool silent;
};

// An HTTPS/1.1 server on 127.0.0.1 (port chosen by the system) in the calling thread: it
// serves while that thread runs an event loop, as the RDAP client's waits do. One request per
// connection, which it then closes, unless it keeps connections alive.
class HttpsTestServer {
public:
    using Handler = std::function<HttpsResponse(const std::string& path)>;

    explicit HttpsTestServer(Handler handler, bool stranger = false, bool keepAlive = false);
    ~HttpsTestServer();
    HttpsTestServer(const HttpsTestServer&) = delete;
    HttpsTestServer& operator=(const HttpsTestServer&) = delete;

    quint16 Port() const { return server_.serverPort(); }
    // The paths asked, in order, and each request's Accept header.
    const std::vector<std::string>& Paths() const { return paths_; }
    const std::vector<std::string>& Accepts() const { return accepts_; }
    // TLS handshakes begun.
    int Connections() const { return connections_; }

private:
    void Serve(QSslSocket* socket);

    Handler handler_;
    bool keepAlive_;
    QSslServer server_;
    std::map<QSslSocket*, QByteArray> pending_;
    std::vector<std::string> paths_;
    std::vector<std::string> accepts_;
    int connections_ = 0;
};

} // namespace brinmor::test
