#include "ImageFetcher.h"

#include "BankBrowser.h"
#include "BankNetwork.h"
#include "BankTiming.h"
#include "BodyInflater.h"
#include "ForexErrors.h"
#include "TransactionGuard.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSaveFile>
#include <QTimer>

namespace {

[[noreturn]] void fail(const QString &reason)
{
    throw EConnectError(QStringLiteral("无法获取图片：") + reason);
}

// The reply is deleted however the fetch ends.
struct ReplyDeleter {
    void operator()(QNetworkReply *r) const
    {
        if (r) {
            if (!r->isFinished())
                r->abort();
            r->deleteLater();
        }
    }
};

} // namespace

void ImageFetcher::FetchToFile(const QString &url, const QString &path)
{
    if (url.trimmed().isEmpty())
        fail(QStringLiteral("empty address"));
    const QUrl u = BankNetwork::ToUrl(url);
    if (!u.isValid() || u.host().isEmpty())
        fail(QStringLiteral("bad address"));

    TransactionGuard::Lock lock;
    QNetworkRequest request = BankNetwork::MakeRequest(u);
    request.setRawHeader("Accept-Encoding", "gzip, deflate");
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("tiehttp"));
    std::unique_ptr<QNetworkReply, ReplyDeleter> reply(BankNetwork::Manager()->get(request));

    QEventLoop loop;
    QTimer stall;
    stall.setSingleShot(true);
    stall.setTimerType(Qt::PreciseTimer);
    bool tooLarge = false;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&stall, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(reply.get(), &QNetworkReply::downloadProgress, &loop,
                     [&] { stall.start(BankTiming::FetchStallLimitMs()); });
    QObject::connect(reply.get(), &QNetworkReply::readyRead, &loop, [&] {
        if (reply->bytesAvailable() > BankNetwork::kMaxBodyBytes) {
            tooLarge = true;
            reply->abort();
        }
    });
    stall.start(BankTiming::FetchStallLimitMs());
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    stall.stop();

    if (!reply->isFinished())
        fail(QStringLiteral("no progress within the time limit"));
    if (tooLarge)
        fail(QStringLiteral("body too large"));
    if (BankBrowser::OutcomeOf(reply.get()) != BankBrowser::Outcome::Page)
        fail(QStringLiteral("HTTP %1 / error %2")
                 .arg(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt())
                 .arg(int(reply->error())));

    QByteArray body = reply->read(BankNetwork::kMaxBodyBytes + 1);
    if (body.size() > BankNetwork::kMaxBodyBytes)
        fail(QStringLiteral("body too large"));
    const QByteArray encoding = reply->rawHeader("Content-Encoding").trimmed().toLower();
    const bool encoded = encoding == "gzip" || encoding == "x-gzip" || encoding == "deflate";
    if (encoded || BodyInflater::LooksGzip(body)) {
        auto inflated = BodyInflater::Inflate(body, BankNetwork::kMaxBodyBytes, encoding == "deflate");
        if (!inflated)
            fail(QStringLiteral("compressed body does not inflate"));
        body = std::move(*inflated);
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(body) != body.size() || !file.commit())
        fail(QStringLiteral("cannot write the file"));
}
