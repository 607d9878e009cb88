#pragma once
// The waits of the bank session, as named values. The defaults are the
// bank's; tests shorten them with BankTiming::Override so that no test waits
// for real seconds.

class BankTiming
{
public:
    // A page fetch gives up when this much time has passed since it started.
    static constexpr int kDefaultDownloadLimitMs = 90000;
    // The image fetch gives up after this much time without progress.
    static constexpr int kDefaultFetchStallLimitMs = 90000;
    // Paged queries wait this long before each of their page requests.
    static constexpr int kDefaultPageWaitMs = 2000;

    static int DownloadLimitMs();
    static int FetchStallLimitMs();
    static int PageWaitMs();

    // Replaces the values while it lives; the previous ones come back when it
    // is destroyed.
    class Override
    {
    public:
        Override(int downloadLimitMs, int fetchStallLimitMs, int pageWaitMs);
        ~Override();
        Override(const Override &) = delete;
        Override &operator=(const Override &) = delete;

    private:
        int m_download, m_stall, m_page;
    };
};
