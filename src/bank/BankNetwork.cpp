#include "BankNetwork.h"

#include "BankCookieJar.h"
#include "TSettings.h"
#include "platform/ProgramDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QPointer>
#include <QSslCertificate>

namespace {

// The system's proxy configuration, except for the loopback host, which is
// always reached directly.
class SystemProxyFactory : public QNetworkProxyFactory
{
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery &query) override
    {
        const QString host = query.peerHostName();
        QHostAddress address;
        if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0
            || (address.setAddress(host) && address.isLoopback()))
            return {QNetworkProxy(QNetworkProxy::NoProxy)};
        return systemProxyForQuery(query);
    }
};

QPointer<QNetworkAccessManager> g_manager;
QPointer<BankCookieJar> g_jar;

struct SslCache {
    bool ready = false;
    QString caFile;
    QSslConfiguration config;
};

// Made on first use: the TLS back end must not load before the application
// object exists.
SslCache &sslCache()
{
    static SslCache cache;
    return cache;
}

QString caPath()
{
    if (!Settings || Settings->CaFile.trimmed().isEmpty())
        return QString();
    const QString name = Settings->CaFile.trimmed();
    if (QDir::isAbsolutePath(name))
        return name;
    return programFile(name);
}

} // namespace

QNetworkProxy BankNetwork::ProxyFor(const QUrl &url)
{
    static SystemProxyFactory factory;
    const QList<QNetworkProxy> proxies = factory.queryProxy(QNetworkProxyQuery(url));
    return proxies.isEmpty() ? QNetworkProxy(QNetworkProxy::NoProxy) : proxies.first();
}

QNetworkAccessManager *BankNetwork::Manager()
{
    if (!g_manager) {
        QObject *owner = QCoreApplication::instance();
        auto *manager = new QNetworkAccessManager(owner);
        manager->setProxyFactory(new SystemProxyFactory);
        manager->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
        auto *jar = new BankCookieJar;
        manager->setCookieJar(jar);
        // The manager takes the jar as its child; the pointer stays valid
        // for as long as the manager lives.
        g_manager = manager;
        g_jar = jar;
    }
    return g_manager;
}

BankCookieJar *BankNetwork::CookieJar()
{
    Manager();
    return g_jar;
}

QList<QSslCertificate> BankNetwork::ReadCertificates(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = f.read(4 * 1024 * 1024);
    QList<QSslCertificate> certs = QSslCertificate::fromData(data, QSsl::Pem);
    if (certs.isEmpty())
        certs = QSslCertificate::fromData(data, QSsl::Der);
    return certs;
}

QSslConfiguration BankNetwork::SslConfiguration()
{
    const QString path = caPath();
    SslCache &g_ssl = sslCache();
    if (!g_ssl.ready || g_ssl.caFile != path) {
        QSslConfiguration config = QSslConfiguration::defaultConfiguration();
        config.setPeerVerifyMode(QSslSocket::VerifyPeer);
        if (!path.isEmpty()) {
            QList<QSslCertificate> cas = config.caCertificates();
            cas += ReadCertificates(path);
            config.setCaCertificates(cas);
        }
        // Open connections keep the configuration they were made with.
        if (g_ssl.ready && g_manager)
            g_manager->clearConnectionCache();
        g_ssl.config = config;
        g_ssl.caFile = path;
        g_ssl.ready = true;
    }
    return g_ssl.config;
}

QNetworkRequest BankNetwork::MakeRequest(const QUrl &url)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setRawHeader("Cache-Control", "no-cache");
    // One connection per request: a connection the server drops is never
    // used to send the request a second time, so no transaction (a trade
    // the bank may already have carried out) goes out twice.
    request.setRawHeader("Connection", "close");
    request.setAttribute(QNetworkRequest::ConnectionCacheExpiryTimeoutSecondsAttribute, 0);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setRawHeader("Pragma", "no-cache");
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("Mozilla/4.0 (compatible; Ostrel)"));
    if (url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0)
        request.setSslConfiguration(SslConfiguration());
    return request;
}

QUrl BankNetwork::ToUrl(const QString &urlText)
{
    const QString t = urlText.trimmed();
    bool ascii = true;
    for (const QChar c : t)
        if (c.unicode() > 126 || c.unicode() < 33) {
            ascii = false;
            break;
        }
    if (ascii)
        return QUrl::fromEncoded(t.toLatin1(), QUrl::TolerantMode);
    return QUrl(t, QUrl::TolerantMode);
}
