#include "TWebDownloader.h"

#include "BankNetwork.h"
#include "BankTiming.h"
#include "PageText.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QTimer>

namespace {
TWebDownloader *g_current = nullptr;
} // namespace

TWebDownloader *CurrentDownloader()
{
    return g_current;
}

void SetCurrentDownloader(TWebDownloader *downloader)
{
    g_current = downloader;
}

TWebDownloader::TWebDownloader(BankBrowser *browser) : Browser(browser) {}

TWebDownloader::~TWebDownloader()
{
    if (g_current == this)
        g_current = nullptr;
}

void TWebDownloader::Download(const QString &url)
{
    if (m_running)
        return; // one fetch at a time per fetcher
    m_running = true;
    DocumentDone = false;
    m_pageText.clear();
    m_outcome = BankBrowser::Outcome::None;

    const QUrl u = BankNetwork::ToUrl(url);
    if (!u.isValid() || u.scheme().isEmpty() || u.host().isEmpty()) {
        m_outcome = BankBrowser::Outcome::NetworkError;
        m_pageText = PageText::Clean(PageText::Unavailable(QStringLiteral("InvalidAddress")));
        DocumentDone = true;
        m_running = false;
        if (Browser)
            Browser->ShowDocument(m_pageText);
        return;
    }

    QNetworkReply *reply = BankNetwork::Manager()->get(BankNetwork::MakeRequest(u));
    QEventLoop loop;
    bool tooLarge = false;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        if (reply->bytesAvailable() > BankNetwork::kMaxBodyBytes) {
            tooLarge = true;
            reply->abort();
        }
    });
    QTimer limit;
    limit.setSingleShot(true);
    limit.setTimerType(Qt::PreciseTimer);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(BankTiming::DownloadLimitMs());
    if (!reply->isFinished())
        loop.exec();
    limit.stop();

    QByteArray body;
    if (!reply->isFinished()) {
        // Out of time: the reply is abandoned and this fetch has no answer.
        reply->disconnect(&loop);
        reply->abort();
        m_outcome = BankBrowser::Outcome::TimedOut;
    } else if (tooLarge) {
        m_outcome = BankBrowser::Outcome::TooLarge;
    } else {
        m_outcome = BankBrowser::OutcomeOf(reply);
        body = reply->read(BankNetwork::kMaxBodyBytes + 1);
        if (body.size() > BankNetwork::kMaxBodyBytes) {
            body.clear();
            m_outcome = BankBrowser::Outcome::TooLarge;
        }
    }
    m_pageText = BankBrowser::PageOfReply(reply, m_outcome, body);
    reply->disconnect(&loop);
    reply->deleteLater();
    DocumentDone = true;
    m_running = false;
    if (Browser)
        Browser->ShowDocument(m_pageText);
}
