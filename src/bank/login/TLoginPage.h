#pragma once
// The bank's login page, run in a browser engine the customer never sees.
// The page makes the verification picture's address and protects the
// password with its own script; this class loads it, reads the picture
// address, fills the form, runs the script and reads back what it produced.
//
// The page's cookies and the transport's cookie jar are one session: every
// cookie the page sets is copied into the jar, and the jar's cookies are
// given to the page before it loads and before its script runs.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

class QNetworkCookieJar;
class QWebEnginePage;
class QWebEngineProfile;

class TLoginPage : public QObject
{
    Q_OBJECT
public:
    // Waits on the page (load, script) end after this long.
    static inline int PageTimeoutMs = 30000;

    explicit TLoginPage(QNetworkCookieJar *jar, QObject *parent = nullptr);
    ~TLoginPage() override;

    // Loads the page; loadFinished reports the outcome.
    void load(const QUrl &url);
    // Blocks (the event loop runs) until the page has loaded; false on a
    // failed load or a time-out.
    bool loadAndWait(const QUrl &url);

    // The "src" of the element named "fujiama", when the page's body
    // mentions it; empty otherwise.
    QString pictureAddress();

    struct Protected {
        QString password; // "LOGPASS" as the script left it
        QString digest;   // "VOD_PWD_MAP_GIGEST"
    };
    // Fills "USERID", "LOGPASS", "PT_CONFIRM_PWD" of the form "jhform", runs
    // "jiamiMima();" and reads back the two values. nullopt when the form is
    // missing or the script fails.
    std::optional<Protected> protectPassword(const QString &loginNumber, const QString &password,
                                             const QString &verificationCode);

    QWebEnginePage *page() const { return m_page; }
    QUrl url() const;

signals:
    void loadFinished(bool ok);

private:
    // Runs a script and waits for its result (invalid on time-out).
    QVariant run(const QString &script);
    void pushJarCookies();

    QPointer<QNetworkCookieJar> m_jar;
    QWebEngineProfile *m_profile = nullptr;
    QWebEnginePage *m_page = nullptr;
    bool m_lastLoadOk = false;
};
