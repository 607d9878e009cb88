#include "BankTiming.h"

#include <atomic>

namespace {
std::atomic<int> g_downloadLimitMs{BankTiming::kDefaultDownloadLimitMs};
std::atomic<int> g_fetchStallLimitMs{BankTiming::kDefaultFetchStallLimitMs};
std::atomic<int> g_pageWaitMs{BankTiming::kDefaultPageWaitMs};
} // namespace

int BankTiming::DownloadLimitMs()
{
    return g_downloadLimitMs.load();
}

int BankTiming::FetchStallLimitMs()
{
    return g_fetchStallLimitMs.load();
}

int BankTiming::PageWaitMs()
{
    return g_pageWaitMs.load();
}

BankTiming::Override::Override(int downloadLimitMs, int fetchStallLimitMs, int pageWaitMs)
    : m_download(g_downloadLimitMs.exchange(downloadLimitMs)),
      m_stall(g_fetchStallLimitMs.exchange(fetchStallLimitMs)),
      m_page(g_pageWaitMs.exchange(pageWaitMs))
{
}

BankTiming::Override::~Override()
{
    g_downloadLimitMs.store(m_download);
    g_fetchStallLimitMs.store(m_stall);
    g_pageWaitMs.store(m_page);
}
