#pragma once
// The page fetcher of one bank transaction (or one paged query), bound to
// the session's BankBrowser.
//
// Download blocks its caller until the page has arrived or the download
// limit (BankTiming, 90 s) has passed, while the event loop keeps running so
// timers and input are handled. Each fetch reads only its own reply: a
// keep-alive navigation finishing meanwhile can never become this fetch's
// page, and a fetch that runs out of time yields the "page cannot be
// displayed" text, never an earlier document. GUI thread only.

#include "BankBrowser.h"

#include <QString>

class TWebDownloader
{
public:
    explicit TWebDownloader(BankBrowser *browser = BankBrowser::Instance());
    ~TWebDownloader();
    TWebDownloader(const TWebDownloader &) = delete;
    TWebDownloader &operator=(const TWebDownloader &) = delete;

    // Fetches the URL; reports nothing, the caller always goes on to
    // GetPageText. May be called again for the next page of a query.
    void Download(const QString &url);
    // The cleaned text of the page the last Download produced; empty
    // before the first one.
    QString GetPageText() const { return m_pageText; }

    BankBrowser::Outcome LastOutcome() const { return m_outcome; }
    // True while Download waits.
    bool IsRunning() const { return m_running; }

    BankBrowser *Browser;
    // Set when the last Download's page has arrived (whatever it is).
    bool DocumentDone = false;

private:
    QString m_pageText;
    BankBrowser::Outcome m_outcome = BankBrowser::Outcome::None;
    bool m_running = false;
};

// The fetcher of the transaction in progress; null outside one.
TWebDownloader *CurrentDownloader();
void SetCurrentDownloader(TWebDownloader *downloader);
