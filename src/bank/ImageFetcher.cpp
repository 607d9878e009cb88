#include "ImageFetcher.h"

#include "BankBrowser.h"
#include "BankHttpRequest.h"
#include "BankNetwork.h"
#include "BankTiming.h"
#include "BodyInflater.h"
#include "ForexErrors.h"
#include "TransactionGuard.h"

#include <QEventLoop>
#include <QSaveFile>
#include <QTimer>

namespace {

[[noreturn]] void fail(const QString &reason)
{
    throw EConnectError(QStringLiteral("无法获取图片：") + reason);
}

} // namespace

void ImageFetcher::FetchToFile(const QString &url, const QString &path)
{
    if (url.trimmed().isEmpty())
        fail(QStringLiteral("empty address"));
    const QUrl u = BankNetwork::ToUrl(url);
    if (!u.isValid() || u.host().isEmpty())
        fail(QStringLiteral("bad address"));

    TransactionGuard::Lock lock;
    BankHttpRequest::Options options;
    options.userAgent = "tiehttp";
    options.acceptEncoding = "gzip, deflate";
    BankHttpRequest request(u, options);

    QEventLoop loop;
    QTimer stall;
    stall.setSingleShot(true);
    stall.setTimerType(Qt::PreciseTimer);
    QObject::connect(&request, &BankHttpRequest::finished, &loop, &QEventLoop::quit);
    QObject::connect(&stall, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&request, &BankHttpRequest::progress, &loop, [&] { stall.start(BankTiming::FetchStallLimitMs()); });
    stall.start(BankTiming::FetchStallLimitMs());
    request.start();
    if (!request.isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    stall.stop();

    if (!request.isFinished()) {
        request.abort();
        fail(QStringLiteral("no progress within the time limit"));
    }
    if (BankBrowser::OutcomeOf(request) != BankBrowser::Outcome::Page)
        fail(QStringLiteral("HTTP %1 / %2").arg(request.status()).arg(request.errorName()));

    QByteArray body = request.body();
    const QByteArray encoding = request.header("Content-Encoding").trimmed().toLower();
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
