#pragma once
// A small HTTP/1.1 server on the loopback interface for the transport and
// operation tests. It answers on the thread that runs the event loop (the
// bank layer's fetches run one while they wait), records every request and
// answers by a handler. Optionally TLS with a given certificate.

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QTcpServer;
class QTcpSocket;

struct TestRequest {
    QByteArray method;
    QByteArray target; // path and query exactly as sent
    QMap<QByteArray, QByteArray> headers; // names lower case
    qint64 atMs = 0;   // since the server started
    QByteArray path() const { return target.left(target.indexOf('?') < 0 ? target.size() : target.indexOf('?')); }
    QByteArray query() const { return target.indexOf('?') < 0 ? QByteArray() : target.mid(target.indexOf('?') + 1); }
    // The raw value of a query parameter (still percent-encoded).
    QByteArray param(const QByteArray &name) const;
};

struct TestResponse {
    int status = 200;
    QByteArray contentType = "text/xml; charset=GBK";
    QByteArray body;
    QList<std::pair<QByteArray, QByteArray>> headers;
    int delayMs = 0;        // wait before answering
    bool never = false;     // never answer (the socket stays open)
    bool closeWithoutAnswer = false;
    // Sent in pieces of `chunkBytes` every `chunkGapMs` (0: all at once).
    int chunkBytes = 0;
    int chunkGapMs = 0;

    TestResponse &delayed(int ms) { delayMs = ms; return *this; }
    TestResponse &neverAnswer() { never = true; return *this; }
    TestResponse &hangUp() { closeWithoutAnswer = true; return *this; }
    TestResponse &withHeader(const QByteArray &k, const QByteArray &v) { headers.append({k, v}); return *this; }
    TestResponse &chunked(int bytes, int gapMs) { chunkBytes = bytes; chunkGapMs = gapMs; return *this; }
};

inline TestResponse reply(int status, const QByteArray &contentType = "text/xml", const QByteArray &body = {})
{
    TestResponse r;
    r.status = status;
    r.contentType = contentType;
    r.body = body;
    return r;
}

class TestHttpServer : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<TestResponse(const TestRequest &)>;

    // Plain HTTP, or TLS with the PEM certificate and key files.
    explicit TestHttpServer(Handler handler = {}, const QString &certFile = QString(), const QString &keyFile = QString());
    ~TestHttpServer() override;

    quint16 port() const;
    // "http://127.0.0.1:port" (or https).
    QString base() const;
    void setHandler(Handler handler) { m_handler = std::move(handler); }
    const std::vector<TestRequest> &requests() const { return m_requests; }
    void clearRequests() { m_requests.clear(); }

private:
    void onConnection(QTcpSocket *socket);
    void onReadable(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const TestResponse &r);

    std::unique_ptr<QTcpServer> m_server;
    bool m_tls = false;
    Handler m_handler;
    std::vector<TestRequest> m_requests;
    QMap<QTcpSocket *, QByteArray> m_buffers;
    QElapsedTimer m_clock;
};

// An XML answer in GBK bytes, with the usual declaration.
QByteArray gbkXml(const QString &xml);
