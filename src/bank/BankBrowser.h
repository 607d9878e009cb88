#pragma once
// The hidden page host of the bank session, without a window: it holds the
// document the session showed last (the last page fetch or keep-alive
// navigation that finished) and starts the keep-alive navigations. Every
// page fetch (TWebDownloader) is bound to it. GUI thread only.

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

class BankHttpRequest;

class BankBrowser : public QObject
{
    Q_OBJECT
public:
    // What a finished fetch produced.
    enum class Outcome {
        None,         // nothing fetched yet
        Page,         // a page arrived with a success status
        HttpError,    // the server answered with an error status
        NetworkError, // no answer: refused, unreachable, TLS failure …
        TimedOut,     // the time limit passed first
        TooLarge,     // the body exceeded BankNetwork::kMaxBodyBytes
    };

    // The one instance, created on first use and owned by the application.
    static BankBrowser *Instance();

    // The cleaned text (see PageText) of the document shown now; empty
    // when there is none.
    QString CurrentPageText() const { return m_pageText; }
    bool HasDocument() const { return m_hasDocument; }
    void ShowDocument(const QString &cleanedText);
    // True when the document shown is the page for a page that cannot be
    // displayed.
    bool IsPageUnavailable() const;

    // Starts a GET of the URL and returns at once; its page becomes the
    // document shown when it finishes. Every error is swallowed.
    void NavigateNoWait(const QString &url);
    // Navigations started by NavigateNoWait that have not finished yet.
    int PendingNavigations() const { return int(m_pending.size()); }

    // The page text of a finished (or abandoned) request, cleaned.
    static QString PageOfReply(const BankHttpRequest &request, Outcome outcome);
    // The outcome of a request that finished by itself.
    static Outcome OutcomeOf(const BankHttpRequest &request);

signals:
    void documentShown();

private:
    explicit BankBrowser(QObject *parent);
    void finishNavigation(BankHttpRequest *request, bool timedOut);

    QString m_pageText;
    bool m_hasDocument = false;
    std::vector<BankHttpRequest *> m_pending;
};
