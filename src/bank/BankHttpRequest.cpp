#include "BankHttpRequest.h"

#include "BankCookieJar.h"
#include "BankNetwork.h"

#include <QMetaEnum>
#include <QNetworkCookie>
#include <QNetworkProxy>
#include <QSslSocket>
#include <QTcpSocket>

namespace {

constexpr qsizetype kMaxHeadBytes = 64 * 1024;
// Chunk states in m_remaining: > 0 bytes of chunk data still to come,
// kChunkEnd the CR LF after the data, 0 a size line, kTrailer the trailer.
constexpr qint64 kChunkEnd = -2;
constexpr qint64 kTrailer = -3;

QString socketErrorName(QAbstractSocket::SocketError e)
{
    const char *key = QMetaEnum::fromType<QAbstractSocket::SocketError>().valueToKey(e);
    return key ? QString::fromLatin1(key) : QStringLiteral("SocketError %1").arg(int(e));
}

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

} // namespace

BankHttpRequest::BankHttpRequest(const QUrl &url, QObject *parent) : BankHttpRequest(url, Options{}, parent) {}

BankHttpRequest::BankHttpRequest(const QUrl &url, const Options &options, QObject *parent)
    : QObject(parent), m_url(url), m_options(options)
{
}

BankHttpRequest::~BankHttpRequest()
{
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
    }
}

QByteArray BankHttpRequest::header(const QByteArray &name) const
{
    for (const auto &[k, v] : m_headers)
        if (k.compare(name, Qt::CaseInsensitive) == 0)
            return v;
    return QByteArray();
}

void BankHttpRequest::start()
{
    if (m_started)
        return;
    m_started = true;
    connectSocket();
}

void BankHttpRequest::abort()
{
    if (!m_finished)
        fail(Error::Aborted, QStringLiteral("Aborted"));
}

void BankHttpRequest::FeedAnswer(const QByteArray &bytes)
{
    if (m_finished)
        return;
    m_started = true;
    m_options.maxRedirects = 0;
    m_in += bytes;
    if (m_in.size() + m_body.size() > BankNetwork::kMaxBodyBytes + kMaxHeadBytes) {
        fail(Error::TooLarge, QStringLiteral("TooLarge"));
        return;
    }
    parse();
}

void BankHttpRequest::FeedEnd()
{
    answerEnded();
}

void BankHttpRequest::connectSocket()
{
    const QString scheme = m_url.scheme().toLower();
    const bool tls = scheme == QLatin1String("https");
    if (!m_url.isValid() || (!tls && scheme != QLatin1String("http")) || m_url.host().isEmpty()) {
        fail(Error::Network, QStringLiteral("InvalidAddress"));
        return;
    }
    const quint16 port = quint16(m_url.port(tls ? 443 : 80));
    const QNetworkProxy proxy = BankNetwork::ProxyFor(m_url);
    const bool viaHttpProxy = !tls && proxy.type() == QNetworkProxy::HttpProxy;

    QSslSocket *ssl = nullptr;
    if (tls) {
        ssl = new QSslSocket(this);
        ssl->setSslConfiguration(BankNetwork::SslConfiguration());
        ssl->setPeerVerifyName(m_url.host());
        connect(ssl, &QSslSocket::encrypted, this, &BankHttpRequest::sendRequest);
        m_socket = ssl;
    } else {
        m_socket = new QTcpSocket(this);
        connect(m_socket, &QTcpSocket::connected, this, &BankHttpRequest::sendRequest);
    }
    connect(m_socket, &QTcpSocket::readyRead, this, &BankHttpRequest::onReadable);
    connect(m_socket, &QTcpSocket::disconnected, this, &BankHttpRequest::onClosed);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        if (e == QAbstractSocket::RemoteHostClosedError)
            onClosed();
        else
            fail(Error::Network, socketErrorName(e));
    });
    m_socket->setProperty("viaHttpProxy", viaHttpProxy);
    if (viaHttpProxy) {
        m_socket->setProxy(QNetworkProxy::NoProxy);
        m_socket->setProperty("proxyUser", proxy.user());
        m_socket->setProperty("proxyPassword", proxy.password());
        m_socket->connectToHost(proxy.hostName(), proxy.port());
    } else {
        m_socket->setProxy(proxy.type() == QNetworkProxy::DefaultProxy ? QNetworkProxy(QNetworkProxy::NoProxy) : proxy);
        if (ssl)
            ssl->connectToHostEncrypted(m_url.host(), port);
        else
            m_socket->connectToHost(m_url.host(), port);
    }
}

void BankHttpRequest::sendRequest()
{
    if (!m_socket || m_finished)
        return;
    const bool viaHttpProxy = m_socket->property("viaHttpProxy").toBool();
    QByteArray target = viaHttpProxy ? m_url.toEncoded(QUrl::RemoveFragment)
                                     : m_url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::RemoveFragment);
    if (target.isEmpty() || target.startsWith('?'))
        target.prepend('/');
    const bool tls = m_url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
    QByteArray host = QUrl::toAce(m_url.host());
    if (m_url.port() > 0 && m_url.port() != (tls ? 443 : 80))
        host += ':' + QByteArray::number(m_url.port());

    QByteArray r = "GET " + target + " HTTP/1.1\r\nHost: " + host + "\r\n";
    r += "User-Agent: " + m_options.userAgent + "\r\n";
    r += "Accept: */*\r\nCache-Control: no-cache\r\nPragma: no-cache\r\nConnection: close\r\n";
    if (!m_options.acceptEncoding.isEmpty())
        r += "Accept-Encoding: " + m_options.acceptEncoding + "\r\n";
    if (BankCookieJar *jar = BankNetwork::CookieJar()) {
        QByteArray cookies;
        for (const QNetworkCookie &c : jar->cookiesForUrl(m_url)) {
            if (!cookies.isEmpty())
                cookies += "; ";
            cookies += c.toRawForm(QNetworkCookie::NameAndValueOnly);
        }
        if (!cookies.isEmpty())
            r += "Cookie: " + cookies + "\r\n";
    }
    if (viaHttpProxy) {
        const QString user = m_socket->property("proxyUser").toString();
        if (!user.isEmpty())
            r += "Proxy-Authorization: Basic "
                + (user + QLatin1Char(':') + m_socket->property("proxyPassword").toString()).toUtf8().toBase64() + "\r\n";
    }
    r += "\r\n";
    m_socket->write(r);
}

void BankHttpRequest::onReadable()
{
    if (!m_socket || m_finished)
        return;
    m_in += m_socket->readAll();
    emit progress();
    if (m_finished)
        return;
    if (m_in.size() + m_body.size() > BankNetwork::kMaxBodyBytes + kMaxHeadBytes) {
        fail(Error::TooLarge, QStringLiteral("TooLarge"));
        return;
    }
    parse();
}

void BankHttpRequest::onClosed()
{
    if (m_finished || !m_socket)
        return;
    if (m_socket->bytesAvailable() > 0) {
        m_in += m_socket->readAll();
        parse();
    }
    answerEnded();
}

// The connection ended: complete for a body that runs until the end or a
// chunked body past its last chunk, otherwise a failure.
void BankHttpRequest::answerEnded()
{
    if (m_finished)
        return;
    if (m_headDone && m_bodyMode == Body::UntilClose) {
        m_body += m_in;
        m_in.clear();
        if (m_body.size() > BankNetwork::kMaxBodyBytes) {
            fail(Error::TooLarge, QStringLiteral("TooLarge"));
            return;
        }
        dropSocket();
        finish();
        return;
    }
    if (m_headDone && m_bodyMode == Body::Chunked && m_remaining == kTrailer) {
        dropSocket();
        finish();
        return;
    }
    fail(Error::Network, QStringLiteral("RemoteHostClosedError"));
}

bool BankHttpRequest::parseHead(const QByteArray &head)
{
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> status = lines.value(0).trimmed().split(' ');
    if (status.size() < 2 || !status[0].startsWith("HTTP/1."))
        return false;
    bool ok = false;
    m_status = status[1].toInt(&ok);
    if (!ok || m_status < 100 || m_status > 999)
        return false;
    m_headers.clear();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.isEmpty())
            continue;
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return false;
        m_headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    return true;
}

bool BankHttpRequest::parseChunks()
{
    for (;;) {
        if (m_remaining > 0) {
            const qsizetype take = qsizetype(qMin<qint64>(m_remaining, m_in.size()));
            m_body += m_in.left(take);
            m_in.remove(0, take);
            m_remaining -= take;
            if (m_remaining > 0)
                return false;
            m_remaining = kChunkEnd;
        }
        if (m_remaining == kChunkEnd) {
            if (m_in.size() < 2)
                return false;
            m_in.remove(0, 2);
            m_remaining = 0;
        }
        if (m_remaining == kTrailer) {
            if (m_in.startsWith("\r\n") || m_in.contains("\r\n\r\n")) {
                m_in.clear();
                return true;
            }
            if (m_in.size() > kMaxHeadBytes)
                fail(Error::Protocol, QStringLiteral("ProtocolError"));
            return false;
        }
        const qsizetype eol = m_in.indexOf("\r\n");
        if (eol < 0) {
            if (m_in.size() > kMaxHeadBytes)
                fail(Error::Protocol, QStringLiteral("ProtocolError"));
            return false;
        }
        QByteArray sizeText = m_in.left(eol);
        const qsizetype semi = sizeText.indexOf(';');
        if (semi >= 0)
            sizeText.truncate(semi);
        bool ok = false;
        const qint64 size = sizeText.trimmed().toLongLong(&ok, 16);
        m_in.remove(0, eol + 2);
        if (!ok || size < 0) {
            fail(Error::Protocol, QStringLiteral("ProtocolError"));
            return false;
        }
        if (m_body.size() + size > BankNetwork::kMaxBodyBytes) {
            fail(Error::TooLarge, QStringLiteral("TooLarge"));
            return false;
        }
        m_remaining = size == 0 ? kTrailer : size;
    }
}

void BankHttpRequest::parse()
{
    while (!m_headDone) {
        const qsizetype end = m_in.indexOf("\r\n\r\n");
        if (end < 0) {
            if (m_in.size() > kMaxHeadBytes)
                fail(Error::Protocol, QStringLiteral("ProtocolError"));
            return;
        }
        const QByteArray head = m_in.left(end);
        m_in.remove(0, end + 4);
        if (!parseHead(head)) {
            fail(Error::Protocol, QStringLiteral("ProtocolError"));
            return;
        }
        if (m_status >= 100 && m_status < 200)
            continue; // an interim answer; the real one follows
        m_headDone = true;
        if (BankCookieJar *jar = BankNetwork::CookieJar())
            for (const auto &[k, v] : m_headers)
                if (k.compare("Set-Cookie", Qt::CaseInsensitive) == 0)
                    jar->setCookiesFromUrl(QNetworkCookie::parseCookies(v), m_url);
        const QByteArray te = header("Transfer-Encoding").toLower();
        const QByteArray length = header("Content-Length");
        if (m_status == 204 || m_status == 304) {
            m_bodyMode = Body::None;
        } else if (te.contains("chunked")) {
            m_bodyMode = Body::Chunked;
            m_remaining = 0;
        } else if (!length.isEmpty()) {
            bool ok = false;
            m_remaining = length.trimmed().toLongLong(&ok);
            if (!ok || m_remaining < 0) {
                fail(Error::Protocol, QStringLiteral("ProtocolError"));
                return;
            }
            if (m_remaining > BankNetwork::kMaxBodyBytes) {
                fail(Error::TooLarge, QStringLiteral("TooLarge"));
                return;
            }
            m_bodyMode = Body::Length;
        } else {
            m_bodyMode = Body::UntilClose;
        }
    }

    bool complete = false;
    switch (m_bodyMode) {
    case Body::None:
        complete = true;
        break;
    case Body::Length: {
        const qsizetype take = qsizetype(qMin<qint64>(m_remaining, m_in.size()));
        m_body += m_in.left(take);
        m_in.remove(0, take);
        m_remaining -= take;
        complete = m_remaining == 0;
        break;
    }
    case Body::Chunked:
        complete = parseChunks();
        if (m_finished)
            return;
        break;
    case Body::UntilClose:
        m_body += m_in;
        m_in.clear();
        if (m_body.size() > BankNetwork::kMaxBodyBytes)
            fail(Error::TooLarge, QStringLiteral("TooLarge"));
        return; // ends when the server closes
    }
    if (!complete)
        return;

    const QByteArray location = header("Location");
    if (isRedirect(m_status) && !location.isEmpty() && m_redirects < m_options.maxRedirects) {
        const QUrl next = m_url.resolved(QUrl::fromEncoded(location, QUrl::TolerantMode));
        const bool lessSafe = m_url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0
            && next.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) != 0;
        if (next.isValid() && !lessSafe) {
            dropSocket();
            ++m_redirects;
            m_url = next;
            m_in.clear();
            m_body.clear();
            m_headers.clear();
            m_headDone = false;
            m_status = 0;
            connectSocket();
            return;
        }
    }
    dropSocket();
    finish();
}

void BankHttpRequest::fail(Error error, const QString &name)
{
    if (m_finished)
        return;
    m_error = error;
    m_errorName = name;
    dropSocket();
    finish();
}

void BankHttpRequest::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    emit finished();
}

void BankHttpRequest::dropSocket()
{
    if (!m_socket)
        return;
    QTcpSocket *s = m_socket;
    m_socket = nullptr;
    s->disconnect(this);
    s->abort();
    s->deleteLater();
}
