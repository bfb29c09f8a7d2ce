#include "HttpsTestServer.h"

#include <QFile>
#include <QProcess>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTemporaryDir>
#include <optional>

namespace brinmor::test {

namespace {

constexpr const char* kNames =
    "subjectAltName=IP:127.0.0.1,DNS:localhost,DNS:rdap.invalid,DNS:stranger.invalid";

bool OpenSsl(const QString& folder, const QStringList& arguments) {
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral("openssl"), arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::optional<TestCertificates> Make() {
    QTemporaryDir dir;
    const QString at = dir.path();
    const QStringList key = {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"};
    QFile extensions(at + "/server.ext");
    if (!extensions.open(QIODevice::WriteOnly) ||
        extensions.write(QByteArray(kNames) + "\nextendedKeyUsage=serverAuth\n") < 0)
        return std::nullopt;
    extensions.close();
    const bool made =
        OpenSsl(at, QStringList{"req", "-x509"} + key +
                        QStringList{"-keyout", "ca.key", "-out", "ca.crt", "-days", "2", "-subj",
                                    "/CN=Brinmor Test Authority", "-addext",
                                    "basicConstraints=critical,CA:TRUE", "-addext",
                                    "keyUsage=critical,keyCertSign,cRLSign"}) &&
        OpenSsl(at, QStringList{"req"} + key +
                        QStringList{"-keyout", "server.key", "-out", "server.csr", "-subj",
                                    "/CN=rdap.invalid"}) &&
        OpenSsl(at, {"x509", "-req", "-in", "server.csr", "-CA", "ca.crt", "-CAkey", "ca.key",
                     "-CAcreateserial", "-out", "server.crt", "-days", "2", "-extfile",
                     "server.ext"}) &&
        OpenSsl(at, QStringList{"req", "-x509"} + key +
                        QStringList{"-keyout", "stranger.key", "-out", "stranger.crt", "-days", "2",
                                    "-subj", "/CN=stranger.invalid", "-addext", kNames});
    if (!made)
        return std::nullopt;
    TestCertificates c{QSslCertificate(Contents(at + "/ca.crt")),
                       QSslCertificate(Contents(at + "/server.crt")),
                       QSslKey(Contents(at + "/server.key"), QSsl::Ec),
                       QSslCertificate(Contents(at + "/stranger.crt")),
                       QSslKey(Contents(at + "/stranger.key"), QSsl::Ec)};
    if (c.authority.isNull() || c.server.isNull() || c.serverKey.isNull() || c.stranger.isNull() ||
        c.strangerKey.isNull())
        return std::nullopt;
    return c;
}

QByteArray Reason(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 404:
        return "Not Found";
    case 429:
        return "Too Many Requests";
    default:
        return "Status";
    }
}

} // namespace

const TestCertificates* Certificates() {
    static const std::optional<TestCertificates> made = Make();
    return made ? &*made : nullptr;
}

HttpsTestServer::HttpsTestServer(Handler handler, bool stranger, bool keepAlive)
    : handler_(std::move(handler)), keepAlive_(keepAlive) {
    const TestCertificates* certificates = Certificates();
    if (certificates) {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setLocalCertificate(stranger ? certificates->stranger : certificates->server);
        tls.setPrivateKey(stranger ? certificates->strangerKey : certificates->serverKey);
        tls.setPeerVerifyMode(QSslSocket::VerifyNone);
        // Wine's TLS client keeps TLS 1.3 off.
        tls.setProtocol(QSsl::TlsV1_2OrLater);
        server_.setSslConfiguration(tls);
    }
    QObject::connect(&server_, &QSslServer::startedEncryptionHandshake, &server_,
                     [this](QSslSocket*) { ++connections_; });
    QObject::connect(&server_, &QTcpServer::pendingConnectionAvailable, &server_, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection())
            Serve(static_cast<QSslSocket*>(socket));
    });
    server_.listen(QHostAddress::LocalHost, 0);
}

HttpsTestServer::~HttpsTestServer() {
    server_.close();
    // While the table the sockets' handlers touch is still there.
    qDeleteAll(server_.findChildren<QSslSocket*>());
}

void HttpsTestServer::Serve(QSslSocket* socket) {
    socket->setParent(&server_);
    QObject::connect(socket, &QSslSocket::disconnected, socket, &QObject::deleteLater);
    QObject::connect(socket, &QSslSocket::destroyed, &server_,
                     [this, socket] { pending_.erase(socket); });
    const auto read = [this, socket] {
        QByteArray& request = pending_[socket];
        request += socket->readAll();
        for (auto end = request.indexOf("\r\n\r\n"); end >= 0; end = request.indexOf("\r\n\r\n")) {
            const QList<QByteArray> lines = request.left(end).split('\n');
            const QList<QByteArray> words = lines.value(0).trimmed().split(' ');
            std::string accept;
            for (const QByteArray& line : lines)
                if (line.toLower().startsWith("accept:"))
                    accept = line.mid(7).trimmed().toStdString();
            const std::string path = words.value(1).toStdString();
            paths_.push_back(path);
            accepts_.push_back(accept);
            request.remove(0, end + 4);
            const HttpsResponse response = handler_(path);
            if (response.silent)
                return;
            socket->write("HTTP/1.1 " + QByteArray::number(response.status) + " " +
                          Reason(response.status) +
                          "\r\nContent-Type: application/rdap+json\r\nContent-Length: " +
                          QByteArray::number(response.body.size()) + "\r\n" +
                          (keepAlive_ ? "" : "Connection: close\r\n") + response.headers + "\r\n" +
                          response.body);
            if (!keepAlive_) {
                socket->disconnectFromHost();
                return;
            }
        }
    };
    QObject::connect(socket, &QSslSocket::readyRead, socket, read);
    read();
}

} // namespace brinmor::test
