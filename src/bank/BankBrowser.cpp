#include "BankBrowser.h"

#include "BankHttpRequest.h"
#include "BankNetwork.h"
#include "BodyInflater.h"
#include "BankTiming.h"
#include "PageText.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>

#include <algorithm>

namespace {
QPointer<BankBrowser> g_browser;
} // namespace

BankBrowser::BankBrowser(QObject *parent) : QObject(parent) {}

BankBrowser *BankBrowser::Instance()
{
    if (!g_browser)
        g_browser = new BankBrowser(QCoreApplication::instance());
    return g_browser;
}

void BankBrowser::ShowDocument(const QString &cleanedText)
{
    m_pageText = cleanedText;
    m_hasDocument = true;
    emit documentShown();
}

bool BankBrowser::IsPageUnavailable() const
{
    return m_hasDocument && m_pageText.contains(PageText::UnavailablePhrase());
}

BankBrowser::Outcome BankBrowser::OutcomeOf(const BankHttpRequest &request)
{
    switch (request.error()) {
    case BankHttpRequest::Error::None:
        return request.status() >= 400 ? Outcome::HttpError : Outcome::Page;
    case BankHttpRequest::Error::TooLarge:
        return Outcome::TooLarge;
    default:
        return Outcome::NetworkError;
    }
}

QString BankBrowser::PageOfReply(const BankHttpRequest &request, Outcome outcome)
{
    const QString charset = PageText::CharsetFromContentType(request.header("Content-Type"));
    QByteArray body = request.body();
    const QByteArray encoding = request.header("Content-Encoding").trimmed().toLower();
    if (encoding == "gzip" || encoding == "x-gzip" || encoding == "deflate") {
        const auto inflated = BodyInflater::Inflate(body, BankNetwork::kMaxBodyBytes, encoding == "deflate");
        if (!inflated)
            return PageText::Clean(PageText::Unavailable(QStringLiteral("BadContentEncoding")));
        body = *inflated;
    }
    switch (outcome) {
    case Outcome::None:
        return QString();
    case Outcome::Page:
        return PageText::Clean(PageText::Decode(body, charset));
    case Outcome::HttpError:
        return PageText::Clean(PageText::Unavailable(QStringLiteral("HTTP %1").arg(request.status()),
                                                     PageText::Decode(body, charset)));
    case Outcome::NetworkError:
        return PageText::Clean(PageText::Unavailable(request.errorName()));
    case Outcome::TimedOut:
        return PageText::Clean(PageText::Unavailable(QStringLiteral("TimedOut")));
    case Outcome::TooLarge:
        return PageText::Clean(PageText::Unavailable(QStringLiteral("TooLarge")));
    }
    return QString();
}

void BankBrowser::NavigateNoWait(const QString &url)
{
    try {
        auto *request = new BankHttpRequest(BankNetwork::ToUrl(url), this);
        m_pending.push_back(request);
        QPointer<BankHttpRequest> guard(request);
        connect(request, &BankHttpRequest::finished, this, [this, request] { finishNavigation(request, false); });
        QTimer::singleShot(BankTiming::DownloadLimitMs(), this, [this, guard] {
            if (guard && !guard->isFinished())
                finishNavigation(guard, true);
        });
        request->start();
    } catch (...) {
        // A keep-alive navigation never reports anything.
    }
}

void BankBrowser::finishNavigation(BankHttpRequest *request, bool timedOut)
{
    const auto it = std::find(m_pending.begin(), m_pending.end(), request);
    if (it == m_pending.end())
        return;
    m_pending.erase(it);
    request->disconnect(this);
    if (timedOut)
        request->abort();
    ShowDocument(PageOfReply(*request, timedOut ? Outcome::TimedOut : OutcomeOf(*request)));
    request->deleteLater();
}
