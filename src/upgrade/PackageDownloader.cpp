#include "PackageDownloader.h"

#include "UpgradeTexts.h"

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>

PackageDownloader::PackageDownloader(QObject *parent)
    : QObject(parent)
    , m_manager(new QNetworkAccessManager(this))
{
    m_manager->setProxy(QNetworkProxy(QNetworkProxy::NoProxy));
    m_readTimer.setSingleShot(true);
    connect(&m_readTimer, &QTimer::timeout, this, [this] {
        fail(QStringLiteral("no data for %1 ms").arg(m_readTimeoutMs));
    });
}

PackageDownloader::~PackageDownloader()
{
    // The connection is dropped when the program goes.
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
}

void PackageDownloader::setProxy(const QString &host, quint16 port)
{
    if (host.isEmpty())
        m_manager->setProxy(QNetworkProxy(QNetworkProxy::NoProxy));
    else
        m_manager->setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, host, port));
}

QUrl PackageDownloader::urlFor(const QString &address)
{
    QString a = address.trimmed();
    a.replace(QLatin1Char(' '), QLatin1String("%20"));
    const QUrl url(a, QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty()
        || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return QUrl();
    return url;
}

QString PackageDownloader::fileNameFor(const QString &address)
{
    const QString a = address.trimmed();
    const qsizetype cut = qMax(a.lastIndexOf(QLatin1Char('/')), a.lastIndexOf(QLatin1Char('\\')));
    const QString name = a.mid(cut + 1);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") || name.contains(QChar(0)))
        return QStringLiteral("package.zip");
    return name;
}

void PackageDownloader::start(const QString &address, const QString &file)
{
    m_failure.clear();
    m_received = 0;
    m_connected = false;
    m_transferring = false;
    const QUrl url = urlFor(address);
    if (!url.isValid()) {
        QTimer::singleShot(0, this, [this, address] {
            emit finished(false, QStringLiteral("not an http address: %1").arg(address));
        });
        return;
    }
    m_file.setFileName(file);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        const QString why = m_file.errorString();
        QTimer::singleShot(0, this, [this, why] { emit finished(false, why); });
        return;
    }
    emit statusChanged(UpgradeTexts::kHintResolving);
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    m_reply = m_manager->get(request);
    emit statusChanged(UpgradeTexts::kHintConnecting);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, [this] {
        m_readTimer.start(m_readTimeoutMs);
        if (!m_connected) {
            m_connected = true;
            emit statusChanged(UpgradeTexts::kHintConnected);
        }
    });
    connect(m_reply, &QNetworkReply::readyRead, this, &PackageDownloader::onReadyRead);
    connect(m_reply, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64 total) {
        m_readTimer.start(m_readTimeoutMs);
        emit progress(received, total);
    });
    connect(m_reply, &QNetworkReply::finished, this, &PackageDownloader::onFinished);
    m_readTimer.start(m_readTimeoutMs);
}

void PackageDownloader::onReadyRead()
{
    if (!m_reply)
        return;
    m_readTimer.start(m_readTimeoutMs);
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 0 && (status < 200 || status > 299))
        return; // an error page: not written, reported when finished
    if (!m_transferring) {
        m_transferring = true;
        emit statusChanged(UpgradeTexts::kHintTransferring);
    }
    const QByteArray data = m_reply->readAll();
    m_received += data.size();
    if (m_received > kMaxPackageBytes) {
        fail(QStringLiteral("the package is larger than %1 bytes").arg(kMaxPackageBytes));
        return;
    }
    if (m_file.write(data) != data.size())
        fail(m_file.errorString());
}

void PackageDownloader::fail(const QString &detail)
{
    if (!m_reply)
        return;
    if (m_failure.isEmpty())
        m_failure = detail;
    m_reply->abort(); // finished() follows
}

void PackageDownloader::abort()
{
    if (!m_reply)
        return;
    emit statusChanged(UpgradeTexts::kHintAborted);
    fail(QStringLiteral("cancelled"));
}

void PackageDownloader::onFinished()
{
    m_readTimer.stop();
    if (!m_reply)
        return;
    if (m_failure.isEmpty() && m_reply->error() == QNetworkReply::NoError)
        onReadyRead(); // what is still buffered
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    QString detail = m_failure;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (detail.isEmpty() && reply->error() != QNetworkReply::NoError)
        detail = reply->errorString();
    if (detail.isEmpty() && (status < 200 || status > 299))
        detail = QStringLiteral("HTTP status %1").arg(status);
    if (detail.isEmpty() && !m_file.flush())
        detail = m_file.errorString();
    m_file.close();
    reply->deleteLater();
    emit statusChanged(UpgradeTexts::kHintDisconnected);
    emit finished(detail.isEmpty(), detail);
}
