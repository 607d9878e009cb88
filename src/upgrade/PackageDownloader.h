#pragma once
// Downloads one package into a file with QNetworkAccessManager: optional
// HTTP proxy, a read time-out that restarts whenever data arrives, status
// texts and progress for the window, and a size cap. Only a 2xx answer
// counts as a package.
//
// Status texts: "正在分析地址..." and "正在联接主机..." when the request
// starts, "联接主机成功,正在传输...." when the answer's headers arrive,
// "正在传输..." with the first data, "断开联接" at the end and "取消传输..."
// when the transfer is aborted.

#include <QFile>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>

class QNetworkAccessManager;

class PackageDownloader : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 kMaxPackageBytes = 512LL * 1024 * 1024;

    explicit PackageDownloader(QObject *parent = nullptr);
    ~PackageDownloader() override;

    void setProxy(const QString &host, quint16 port);
    void setReadTimeout(int ms) { m_readTimeoutMs = ms; }

    // The address as requested: every space written as "%20". Only http and
    // https addresses are taken (an invalid URL for anything else).
    static QUrl urlFor(const QString &address);
    // The package file's name in the working folder: the address's last
    // component (after the last "/" or "\"), or "package.zip" when that is
    // empty or not a plain file name.
    static QString fileNameFor(const QString &address);

    void start(const QString &address, const QString &file);
    void abort();
    bool isRunning() const { return m_reply != nullptr; }

signals:
    void statusChanged(const QString &text);
    void progress(qint64 received, qint64 total);
    // ok: the whole body is in the file. detail says what went wrong.
    void finished(bool ok, const QString &detail);

private:
    void onReadyRead();
    void onFinished();
    void fail(const QString &detail);

    QNetworkAccessManager *m_manager = nullptr;
    QPointer<QNetworkReply> m_reply;
    QFile m_file;
    QTimer m_readTimer;
    int m_readTimeoutMs = 10000;
    qint64 m_received = 0;
    bool m_connected = false;
    bool m_transferring = false;
    QString m_failure;
};
