#include "rdap/RdapClient.h"

#include "net/WhoisReferral.h"
#include "platform/AsciiText.h"
#include "rdap/RdapText.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QTimer>
#include <QUrl>

namespace brinmor {

namespace {

constexpr int kMaxRedirects = 5;

std::string& BootstrapOverride() {
    static std::string address;
    return address;
}

QList<QSslCertificate>& TestAuthorities() {
    static QList<QSslCertificate> authorities;
    return authorities;
}

std::string HostOf(const std::string& address) {
    return QUrl(QString::fromStdString(address)).host().toStdString();
}

// Arms a single-shot timer that aborts the reply; a guard of 0 or less stays off.
void Guard(QTimer& timer, int ms, QNetworkReply* reply, bool& expired) {
    if (ms <= 0)
        return;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, reply, [reply, &expired] {
        expired = true;
        reply->abort();
    });
    timer.start(ms);
}

} // namespace

TRdapClient::TRdapClient(TRdapSettings settings)
    : settings_(std::move(settings)), manager_(std::make_unique<QNetworkAccessManager>()) {
    // Set on the manager itself: with the proxy off, no environment or system proxy applies.
    if (!settings_.useProxy) {
        manager_->setProxy(QNetworkProxy::NoProxy);
        return;
    }
    // The proxy resolves host names, as for whois. Latin-1 hands Qt the saved bytes unchanged.
    QNetworkProxy proxy(QNetworkProxy::Socks5Proxy, QString::fromLatin1(settings_.proxyHost),
                        static_cast<quint16>(settings_.proxyPort));
    if (!settings_.proxyUser.empty()) {
        proxy.setUser(QString::fromLatin1(settings_.proxyUser));
        proxy.setPassword(QString::fromLatin1(settings_.proxyPassword));
    }
    manager_->setProxy(proxy);
}

TRdapClient::~TRdapClient() = default;

std::optional<TRegistryAnswer> TRdapClient::Lookup(const std::string& name) {
    const auto base = Bases().find(AsciiLowerCase(TopLevelDomain(name)));
    if (base == Bases().end())
        return std::nullopt;
    const std::string address = base->second + "domain/" + name;
    const Reply reply = Get(address);
    const std::string server = HostOf(address);
    if (reply.status == 404)
        return TRegistryAnswer{address + "\r\nAucun domaine de ce nom selon le serveur RDAP " +
                                   server + " (statut HTTP 404).\r\n",
                               false, true};
    if (reply.status == 429)
        return TRegistryAnswer{address + "\r\nLe serveur RDAP " + server +
                                   " limite le nombre de questions (statut HTTP 429).\r\n",
                               true, true};
    if (reply.status != 200)
        throw ERdapError("RDAP: HTTP " + std::to_string(reply.status) + " from " + server);
    const std::optional<QJsonObject> domain = JsonObject(reply.body);
    if (!domain ||
        domain->value(QLatin1String("objectClassName")).toString() != QLatin1String("domain"))
        throw ERdapError("RDAP: no domain object from " + server);
    const std::string link = RegistrarLink(*domain);
    if (!link.empty())
        if (std::optional<TRegistryAnswer> own = RegistrarAnswer(link, name))
            return own;
    return TRegistryAnswer{RdapText(address, *domain), false, true};
}

std::optional<TRegistryAnswer> TRdapClient::RegistrarAnswer(const std::string& link,
                                                            const std::string& name) {
    // As for whois registrars: whatever goes wrong leaves the registry's answer.
    Reply reply;
    try {
        reply = Get(link);
    } catch (const ERdapError&) {
        return std::nullopt;
    }
    const std::optional<QJsonObject> domain = JsonObject(reply.body);
    if (reply.status != 200 || !domain || !IsDomainNamed(*domain, name))
        return std::nullopt;
    return TRegistryAnswer{RdapText(link, *domain), false, true};
}

const std::map<std::string, std::string>& TRdapClient::Bases() {
    // Asked once per run, failure included.
    if (!bootstrapAsked_) {
        bootstrapAsked_ = true;
        const std::string address =
            BootstrapOverride().empty() ? kRdapBootstrapAddress : BootstrapOverride();
        const Reply reply = Get(address);
        if (reply.status == 200)
            bases_ = BootstrapBases(reply.body);
    }
    if (!bases_)
        throw ERdapError("RDAP: no bootstrap file");
    return *bases_;
}

TRdapClient::Reply TRdapClient::Get(const std::string& address) {
    QNetworkRequest request(QUrl(QString::fromStdString(address)));
    request.setRawHeader("Accept", "application/rdap+json");
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    // The size cap below counts the decompressed bytes, whatever their ratio.
    request.setDecompressedSafetyCheckThreshold(-1);
    if (settings_.silenceTimeout > 0)
        request.setTransferTimeout(settings_.silenceTimeout);
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    if (!TestAuthorities().isEmpty())
        tls.addCaCertificates(TestAuthorities());
    request.setSslConfiguration(tls);

    std::unique_ptr<QNetworkReply> reply(manager_->get(request));
    Reply result;
    bool overCap = false;
    bool expired = false;
    QObject::connect(reply.get(), &QNetworkReply::readyRead, reply.get(), [&] {
        result.body += reply->readAll();
        if (settings_.maxAnswerSize > 0 && result.body.size() > settings_.maxAnswerSize) {
            overCap = true;
            reply->abort();
        }
    });
    QTimer connectGuard;
    QTimer deadline;
    Guard(connectGuard, settings_.connectTimeout, reply.get(), expired);
    Guard(deadline, settings_.queryTimeout, reply.get(), expired);
    // Connected once the first TLS session stands; the silence guard takes over from there.
    QObject::connect(reply.get(), &QNetworkReply::encrypted, &connectGuard, &QTimer::stop);
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!overCap && !expired && reply->isOpen())
        result.body += reply->readAll();

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    // A status with a content or server error is an answer; a failure before any status, a
    // refused certificate or redirect, or an aborted transfer is not.
    const QNetworkReply::NetworkError error = reply->error();
    if (overCap || expired || !status.isValid() ||
        (error != QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied))
        throw ERdapError("RDAP: " + reply->errorString().toStdString());
    result.status = status.toInt();
    return result;
}

void SetRdapBootstrapOverride(const std::string& address) {
    BootstrapOverride() = address;
}

void SetRdapTestAuthoritiesOverride(const QList<QSslCertificate>& authorities) {
    TestAuthorities() = authorities;
}

} // namespace brinmor
