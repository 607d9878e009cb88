#include "TWebDownloader.h"

#include "BankHttpRequest.h"
#include "BankNetwork.h"
#include "BankTiming.h"

#include <QEventLoop>
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

    BankHttpRequest request(BankNetwork::ToUrl(url));
    QEventLoop loop;
    QObject::connect(&request, &BankHttpRequest::finished, &loop, &QEventLoop::quit);
    QTimer limit;
    limit.setSingleShot(true);
    limit.setTimerType(Qt::PreciseTimer);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(BankTiming::DownloadLimitMs());
    request.start();
    if (!request.isFinished())
        loop.exec();
    limit.stop();

    if (!request.isFinished()) {
        // Out of time: the request is abandoned and this fetch has no answer.
        request.disconnect(&loop);
        request.abort();
        m_outcome = BankBrowser::Outcome::TimedOut;
    } else {
        m_outcome = BankBrowser::OutcomeOf(request);
    }
    m_pageText = BankBrowser::PageOfReply(request, m_outcome);
    DocumentDone = true;
    m_running = false;
    if (Browser)
        Browser->ShowDocument(m_pageText);
}
