#include "TestHttpServer.h"

#include "platform/GbkText.h"

#include <QFile>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

QByteArray TestRequest::param(const QByteArray &name) const
{
    for (const QByteArray &pair : query().split('&')) {
        const qsizetype eq = pair.indexOf('=');
        if (eq >= 0 && pair.left(eq) == name)
            return pair.mid(eq + 1);
    }
    return QByteArray();
}

QByteArray gbkXml(const QString &xml)
{
    return Gbk::encode(QStringLiteral("<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n") + xml);
}

TestHttpServer::TestHttpServer(Handler handler, const QString &certFile, const QString &keyFile)
    : m_handler(std::move(handler))
{
    m_clock.start();
    if (!certFile.isEmpty()) {
        auto *ssl = new QSslServer;
        QSslConfiguration config = QSslConfiguration::defaultConfiguration();
        QFile c(certFile), k(keyFile);
        c.open(QIODevice::ReadOnly);
        k.open(QIODevice::ReadOnly);
        config.setLocalCertificate(QSslCertificate(c.readAll(), QSsl::Pem));
        config.setPrivateKey(QSslKey(k.readAll(), QSsl::Rsa, QSsl::Pem));
        config.setPeerVerifyMode(QSslSocket::VerifyNone);
        ssl->setSslConfiguration(config);
        m_server.reset(ssl);
        m_tls = true;
    } else {
        m_server = std::make_unique<QTcpServer>();
    }
    connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, this, [this] {
        while (QTcpSocket *s = m_server->nextPendingConnection())
            onConnection(s);
    });
    m_server->listen(QHostAddress::LocalHost, 0);
}

TestHttpServer::~TestHttpServer()
{
    for (auto it = m_buffers.begin(); it != m_buffers.end(); ++it)
        it.key()->disconnect(this);
}

quint16 TestHttpServer::port() const
{
    return m_server->serverPort();
}

QString TestHttpServer::base() const
{
    return QStringLiteral("%1://127.0.0.1:%2").arg(m_tls ? QStringLiteral("https") : QStringLiteral("http")).arg(port());
}

void TestHttpServer::onConnection(QTcpSocket *socket)
{
    socket->setParent(this);
    m_buffers.insert(socket, QByteArray());
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadable(socket); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
        m_buffers.remove(socket);
        socket->deleteLater();
    });
    if (socket->bytesAvailable() > 0)
        onReadable(socket);
}

void TestHttpServer::onReadable(QTcpSocket *socket)
{
    QByteArray &buf = m_buffers[socket];
    buf += socket->readAll();
    for (;;) {
        const qsizetype end = buf.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QByteArray head = buf.left(end);
        buf.remove(0, end + 4);
        const QList<QByteArray> lines = head.split('\n');
        TestRequest req;
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        req.method = first.value(0);
        req.target = first.value(1);
        req.atMs = m_clock.elapsed();
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QByteArray l = lines[i].trimmed();
            const qsizetype colon = l.indexOf(':');
            if (colon > 0)
                req.headers.insert(l.left(colon).trimmed().toLower(), l.mid(colon + 1).trimmed());
        }
        m_requests.push_back(req);
        TestResponse r = m_handler ? m_handler(req) : TestResponse{};
        if (r.never)
            continue;
        if (r.closeWithoutAnswer) {
            socket->abort();
            return;
        }
        QPointer<QTcpSocket> guard(socket);
        if (r.delayMs > 0)
            QTimer::singleShot(r.delayMs, this, [this, guard, r] {
                if (guard)
                    answer(guard, r);
            });
        else
            answer(socket, r);
    }
}

void TestHttpServer::answer(QTcpSocket *socket, const TestResponse &r)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(r.status) + " X\r\n";
    if (!r.contentType.isEmpty())
        head += "Content-Type: " + r.contentType + "\r\n";
    for (const auto &[k, v] : r.headers)
        head += k + ": " + v + "\r\n";
    head += "Content-Length: " + QByteArray::number(r.body.size()) + "\r\n\r\n";
    socket->write(head);
    if (r.chunkBytes <= 0) {
        socket->write(r.body);
        return;
    }
    // The body in pieces with pauses between them.
    QPointer<QTcpSocket> guard(socket);
    auto sent = std::make_shared<qsizetype>(0);
    auto step = std::make_shared<std::function<void()>>();
    *step = [this, guard, r, sent, step] {
        if (!guard)
            return;
        guard->write(r.body.mid(*sent, r.chunkBytes));
        *sent += r.chunkBytes;
        if (*sent < r.body.size())
            QTimer::singleShot(r.chunkGapMs, this, *step);
    };
    (*step)();
}
