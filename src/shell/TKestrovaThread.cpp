#include "TKestrovaThread.h"

#include "BackgroundThreads.h"
#include "TSettings.h"
#include "platform/Formats.h"
#include "platform/GbkText.h"
#include "platform/ProgramDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QDomDocument>
#include <QEventLoop>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QTimer>

TKestrovaThread::TKestrovaThread(QString baseUrl, QObject *parent) : QThread(parent), m_baseUrl(std::move(baseUrl))
{
    while (m_baseUrl.endsWith(QLatin1Char('/')))
        m_baseUrl.chop(1);
}

TKestrovaThread *TKestrovaThread::Start(TSettings *settings)
{
    if (!settings || settings->CalculatorSvr.trimmed().isEmpty())
        return nullptr;
    auto *t = new TKestrovaThread(settings->CalculatorSvr.trimmed());
    // Delivered on the GUI thread: the receiver lives there.
    QObject::connect(t, &TKestrovaThread::serverTimeFetched, QCoreApplication::instance(),
                     [settings](double days) { settings->ServerTime = days; });
    QObject::connect(t, &QThread::finished, t, &QObject::deleteLater);
    BackgroundThreads::add(t);
    t->start();
    return t;
}

bool TKestrovaThread::ParseServerTime(const QString &text, double *days)
{
    const qsizetype at = text.indexOf(QLatin1String("<TIME>"));
    if (at < 0)
        return false;
    const QString stamp = text.mid(at + 6, 19);
    return stamp.size() == 19 && Formats::parseDateTime(stamp, days);
}

bool TKestrovaThread::StringElement(const QByteArray &answer, QString *text)
{
    QDomDocument doc;
    if (!doc.setContent(answer))
        return false;
    const QDomNodeList nodes = doc.elementsByTagName(QStringLiteral("string"));
    if (nodes.isEmpty())
        return false;
    *text = nodes.at(0).toElement().text();
    return true;
}

QByteArray TKestrovaThread::DataFileBytes(const QString &text)
{
    QString body = text;
    body.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    body.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    const QString declaration = QStringLiteral("<?xml version=\"1.0\" encoding=\"gb2312\" ?>\r\n");
    QDomDocument doc;
    // Checked as XML before anything is written.
    if (!doc.setContent(body))
        return QByteArray();
    return Gbk::encode(declaration + body);
}

bool TKestrovaThread::fetch(const QString &path, QByteArray *body)
{
    QNetworkAccessManager manager;
    QNetworkRequest request(QUrl(m_baseUrl + path));
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setTransferTimeout(FetchTimeoutMs);
    QNetworkReply *reply = manager.get(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    // Shut-down asks the thread to stop; the poll aborts the request.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (isInterruptionRequested())
            reply->abort();
    });
    poll.start(50);
    if (!reply->isFinished())
        loop.exec();
    const bool ok = reply->error() == QNetworkReply::NoError && !isInterruptionRequested();
    if (ok)
        *body = reply->readAll();
    delete reply;
    return ok;
}

void TKestrovaThread::run()
{
    QByteArray answer;
    QString text;
    double days = 0;
    // Step 1: the server's time.
    if (!fetch(kServerTimePath, &answer) || !StringElement(answer, &text) || !ParseServerTime(text, &days))
        return;
    emit serverTimeFetched(days);

    // Steps 2 and 3: the two data files.
    for (const auto &[path, file] : {std::pair{kExchangeRatePath, kExchangeRateFile}, std::pair{kSaveRatePath, kSaveRateFile}}) {
        if (isInterruptionRequested() || !fetch(path, &answer) || !StringElement(answer, &text))
            return;
        const QByteArray bytes = DataFileBytes(text);
        if (bytes.isEmpty())
            return;
        const QString target = programFile(file);
        QDir().mkpath(QFileInfo(target).absolutePath());
        QSaveFile out(target);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
            return;
        emit dataFileWritten(target);
    }
}
