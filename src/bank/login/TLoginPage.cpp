#include "TLoginPage.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QTimer>
#include <QWebEngineCookieStore>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace {

// A cookie jar whose list can be read from outside.
class JarAccess : public QNetworkCookieJar
{
public:
    using QNetworkCookieJar::allCookies;
};

QString jsString(const QString &s)
{
    // JSON string literal: safe inside a script whatever the text holds.
    const QByteArray json = QJsonDocument(QJsonArray{s}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

} // namespace

TLoginPage::TLoginPage(QNetworkCookieJar *jar, QObject *parent) : QObject(parent), m_jar(jar)
{
    // An off-the-record profile: nothing of the page reaches the disk.
    m_profile = new QWebEngineProfile(this);
    m_profile->setHttpCacheType(QWebEngineProfile::NoCache);
    m_profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    m_page = new QWebEnginePage(m_profile, this);
    QWebEngineSettings *s = m_page->settings();
    s->setAttribute(QWebEngineSettings::JavascriptEnabled, true);
    s->setAttribute(QWebEngineSettings::AutoLoadImages, true);
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    m_page->setAudioMuted(true);

    QWebEngineCookieStore *store = m_profile->cookieStore();
    connect(store, &QWebEngineCookieStore::cookieAdded, this, [this](const QNetworkCookie &c) {
        if (m_jar)
            m_jar->insertCookie(c);
    });
    connect(store, &QWebEngineCookieStore::cookieRemoved, this, [this](const QNetworkCookie &c) {
        if (m_jar)
            m_jar->deleteCookie(c);
    });
    connect(m_page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        m_lastLoadOk = ok;
        emit loadFinished(ok);
    });
}

TLoginPage::~TLoginPage()
{
    // The page must go before its profile.
    delete m_page;
    m_page = nullptr;
}

QUrl TLoginPage::url() const
{
    return m_page->url();
}

void TLoginPage::pushJarCookies()
{
    if (!m_jar)
        return;
    QWebEngineCookieStore *store = m_profile->cookieStore();
    for (const QNetworkCookie &c : static_cast<JarAccess *>(m_jar.data())->allCookies())
        store->setCookie(c);
}

void TLoginPage::load(const QUrl &url)
{
    pushJarCookies();
    m_page->load(url);
}

bool TLoginPage::loadAndWait(const QUrl &url)
{
    QEventLoop loop;
    bool done = false;
    auto c = connect(this, &TLoginPage::loadFinished, &loop, [&](bool) {
        done = true;
        loop.quit();
    });
    QTimer::singleShot(PageTimeoutMs, &loop, &QEventLoop::quit);
    load(url);
    if (!done)
        loop.exec();
    disconnect(c);
    return done && m_lastLoadOk;
}

QVariant TLoginPage::run(const QString &script)
{
    QEventLoop loop;
    QVariant result;
    bool done = false;
    QPointer<QEventLoop> waiting(&loop);
    m_page->runJavaScript(script, [waiting, &result, &done](const QVariant &v) {
        // After a time-out the wait is over and its variables are gone.
        if (!waiting)
            return;
        result = v;
        done = true;
        waiting->quit();
    });
    QTimer::singleShot(PageTimeoutMs, &loop, &QEventLoop::quit);
    if (!done)
        loop.exec();
    return done ? result : QVariant();
}

QString TLoginPage::pictureAddress()
{
    const QVariant v = run(QStringLiteral(
        "(function(){var b=document.body?document.body.innerHTML:'';"
        "if(b.indexOf('fujiama')<0)return '';"
        "var e=document.getElementsByName('fujiama')[0]||document.getElementById('fujiama');"
        "return (e&&e.src)?String(e.src):'';})()"));
    return v.toString();
}

std::optional<TLoginPage::Protected> TLoginPage::protectPassword(const QString &loginNumber, const QString &password,
                                                                 const QString &verificationCode)
{
    pushJarCookies();
    const QString script = QStringLiteral(
        "(function(){try{var f=document.forms['jhform'];if(!f)return null;"
        "f.elements['USERID'].value=%1;f.elements['LOGPASS'].value=%2;f.elements['PT_CONFIRM_PWD'].value=%3;"
        "if(typeof jiamiMima!=='function')return null;"
        "jiamiMima();"
        "var d=f.elements['VOD_PWD_MAP_GIGEST'];"
        "return [String(f.elements['LOGPASS'].value),d?String(d.value):''];"
        "}catch(e){return null;}})()")
                               .arg(jsString(loginNumber), jsString(password), jsString(verificationCode));
    const QVariant v = run(script);
    const QVariantList list = v.toList();
    if (list.size() != 2)
        return std::nullopt;
    return Protected{list[0].toString(), list[1].toString()};
}
