#pragma once
// One HTTP/1.1 GET of the bank session, on a connection of its own.
//
// The bank's requests do not go through QNetworkAccessManager's HTTP
// engine: that engine sends a GET again when the server closes the
// connection before answering, and a transaction the bank may already have
// carried out (a trade, an order) must never go out twice. Each request here
// opens its own connection ("Connection: close"), sends once, and reports
// whatever happened. It shares the process-wide cookie jar, the system's
// proxy configuration and the TLS configuration of BankNetwork; certificate
// errors are never ignored.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QUrl>

class QTcpSocket;

class BankHttpRequest : public QObject
{
    Q_OBJECT
public:
    enum class Error {
        None,
        Network,  // no connection, refused, dropped, TLS failure, bad address
        Protocol, // an answer that is not HTTP
        TooLarge, // the body exceeded BankNetwork::kMaxBodyBytes
        Aborted,
    };

    struct Options {
        QByteArray userAgent = "Mozilla/4.0 (compatible; Ostrel)";
        QByteArray acceptEncoding; // none: the server sends the body as it is
        int maxRedirects = 5;
    };

    explicit BankHttpRequest(const QUrl &url, QObject *parent = nullptr);
    BankHttpRequest(const QUrl &url, const Options &options, QObject *parent = nullptr);
    ~BankHttpRequest() override;

    // Starts the exchange; finished() follows (possibly before start returns
    // for an address that cannot be used).
    void start();
    void abort();
    bool isFinished() const { return m_finished; }

    Error error() const { return m_error; }
    // A name for the error, without the address (which carries secrets).
    QString errorName() const { return m_errorName; }
    int status() const { return m_status; }
    // The value of a response header (name in any case); the first one.
    QByteArray header(const QByteArray &name) const;
    const QByteArray &body() const { return m_body; }
    QUrl url() const { return m_url; }

    // Hands answer bytes over as if they came from the connection, and then
    // the end of the connection (tests and fuzzing; no connection is
    // opened, redirects are not followed).
    void FeedAnswer(const QByteArray &bytes);
    void FeedEnd();

signals:
    void finished();
    // Emitted whenever bytes of the answer arrive.
    void progress();

private:
    void connectSocket();
    void sendRequest();
    void onReadable();
    void onClosed();
    void answerEnded();
    void parse();
    bool parseHead(const QByteArray &head);
    bool parseChunks();
    void fail(Error error, const QString &name);
    void finish();
    void dropSocket();

    enum class Body { None, Length, Chunked, UntilClose };

    QUrl m_url;
    Options m_options;
    QTcpSocket *m_socket = nullptr;
    QByteArray m_in;
    bool m_headDone = false;
    Body m_bodyMode = Body::None;
    qint64 m_remaining = 0;
    bool m_finished = false;
    bool m_started = false;
    int m_redirects = 0;
    Error m_error = Error::None;
    QString m_errorName;
    int m_status = 0;
    QList<QPair<QByteArray, QByteArray>> m_headers;
    QByteArray m_body;
};
