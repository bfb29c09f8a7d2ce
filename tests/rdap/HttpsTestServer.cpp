#include "HttpsTestServer.h"

#include <QFile>
#include <QProcess>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTemporaryDir>
#include <memory>
#include <optional>

namespace brinmor::test {

namespace {

// A self-signed certificate and its key, or nothing.
std::optional<std::pair<QSslCertificate, QSslKey>> SelfSigned(const QString& name) {
    QTemporaryDir dir;
    QProcess openssl;
    openssl.start("openssl",
                  {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                   "-nodes", "-days", "2", "-subj", "/CN=" + name, "-keyout", dir.filePath("key"),
                   "-out", dir.filePath("crt"), "-addext",
                   "subjectAltName=IP:127.0.0.1,DNS:rdap.invalid,DNS:stranger.invalid"});
    QFile crt(dir.filePath("crt")), key(dir.filePath("key"));
    if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0 ||
        !crt.open(QIODevice::ReadOnly) || !key.open(QIODevice::ReadOnly))
        return std::nullopt;
    return std::pair{QSslCertificate(crt.readAll()), QSslKey(key.readAll(), QSsl::Ec)};
}

std::optional<TestCertificates> Make() {
#ifdef _WIN32
    return std::nullopt;
#endif
    const auto trusted = SelfSigned("rdap.invalid"), stranger = SelfSigned("stranger.invalid");
    if (!trusted || !stranger)
        return std::nullopt;
    return TestCertificates{trusted->first, stranger->first, trusted->second, stranger->second};
}

} // namespace

const TestCertificates* Certificates() {
    static const std::optional<TestCertificates> made = Make();
    return made ? &*made : nullptr;
}

HttpsTestServer::HttpsTestServer(Handler handler, bool stranger) : handler_(std::move(handler)) {
    if (const TestCertificates* c = Certificates()) {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setLocalCertificate(stranger ? c->stranger : c->trusted);
        tls.setPrivateKey(stranger ? c->strangerKey : c->trustedKey);
        tls.setPeerVerifyMode(QSslSocket::VerifyNone);
        tls.setProtocol(QSsl::TlsV1_2OrLater); // Wine's TLS client keeps 1.3 off
        server_.setSslConfiguration(tls);
    }
    QObject::connect(&server_, &QSslServer::startedEncryptionHandshake, &server_,
                     [this] { ++connections; });
    QObject::connect(&server_, &QTcpServer::pendingConnectionAvailable, &server_, [this] {
        while (auto* socket = static_cast<QSslSocket*>(server_.nextPendingConnection())) {
            QObject::connect(socket, &QSslSocket::disconnected, socket, &QObject::deleteLater);
            const auto request = std::make_shared<QByteArray>();
            const auto read = [this, socket, request] {
                *request += socket->readAll();
                const auto end = request->indexOf("\r\n\r\n");
                if (end < 0)
                    return;
                const QList<QByteArray> lines = request->left(end).split('\n');
                request->clear();
                paths.push_back(lines[0].split(' ').value(1).toStdString());
                accepts.emplace_back();
                for (const QByteArray& line : lines)
                    if (line.toLower().startsWith("accept:"))
                        accepts.back() = line.mid(7).trimmed().toStdString();
                const HttpsResponse r = handler_(paths.back());
                if (r.silent)
                    return;
                socket->write("HTTP/1.1 " + QByteArray::number(r.status) +
                              " X\r\nContent-Type: application/rdap+json\r\nContent-Length: " +
                              QByteArray::number(r.body.size()) + "\r\nConnection: close\r\n" +
                              r.headers + "\r\n" + r.body);
                socket->disconnectFromHost();
            };
            QObject::connect(socket, &QSslSocket::readyRead, socket, read);
            read();
        }
    });
    server_.listen(QHostAddress::LocalHost, 0);
}

} // namespace brinmor::test
