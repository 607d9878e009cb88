#include "BankBrowser.h"

#include "BankNetwork.h"
#include "BankTiming.h"
#include "PageText.h"

#include <QCoreApplication>
#include <QMetaEnum>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QTimer>

#include <algorithm>

namespace {
QPointer<BankBrowser> g_browser;
constexpr const char *kTooLargeProperty = "ostrelTooLarge";

// The reply's error as a name, never its text: that text carries the
// request address with its session key and passwords.
QString errorName(QNetworkReply *reply)
{
    const QMetaEnum e = QMetaEnum::fromType<QNetworkReply::NetworkError>();
    const char *key = e.valueToKey(reply->error());
    return key ? QString::fromLatin1(key) : QStringLiteral("NetworkError %1").arg(int(reply->error()));
}
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

BankBrowser::Outcome BankBrowser::OutcomeOf(QNetworkReply *reply)
{
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && status.toInt() >= 400)
        return Outcome::HttpError;
    if (reply->error() != QNetworkReply::NoError)
        return status.isValid() ? Outcome::HttpError : Outcome::NetworkError;
    return Outcome::Page;
}

QString BankBrowser::PageOfReply(QNetworkReply *reply, Outcome outcome, const QByteArray &body)
{
    const QString charset = PageText::CharsetFromContentType(reply->header(QNetworkRequest::ContentTypeHeader).toByteArray());
    switch (outcome) {
    case Outcome::None:
        return QString();
    case Outcome::Page:
        return PageText::Clean(PageText::Decode(body, charset));
    case Outcome::HttpError: {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        return PageText::Clean(PageText::Unavailable(QStringLiteral("HTTP %1").arg(status), PageText::Decode(body, charset)));
    }
    case Outcome::NetworkError:
        return PageText::Clean(PageText::Unavailable(errorName(reply)));
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
        const QUrl u = BankNetwork::ToUrl(url);
        if (!u.isValid() || u.scheme().isEmpty())
            return;
        QNetworkReply *reply = BankNetwork::Manager()->get(BankNetwork::MakeRequest(u));
        m_pending.push_back(reply);
        QPointer<QNetworkReply> guard(reply);
        connect(reply, &QNetworkReply::readyRead, this, [this, guard] {
            if (guard && guard->bytesAvailable() > BankNetwork::kMaxBodyBytes) {
                guard->setProperty(kTooLargeProperty, true);
                guard->abort();
            }
        });
        connect(reply, &QNetworkReply::finished, this, [this, reply] { finishNavigation(reply, false); });
        QTimer::singleShot(BankTiming::DownloadLimitMs(), this, [this, guard] {
            if (guard && !guard->isFinished())
                finishNavigation(guard, true);
        });
    } catch (...) {
        // A keep-alive navigation never reports anything.
    }
}

void BankBrowser::finishNavigation(QNetworkReply *reply, bool timedOut)
{
    const auto it = std::find(m_pending.begin(), m_pending.end(), reply);
    if (it == m_pending.end())
        return;
    m_pending.erase(it);
    reply->disconnect(this);
    Outcome outcome = timedOut ? Outcome::TimedOut : OutcomeOf(reply);
    QByteArray body;
    if (timedOut) {
        reply->abort();
    } else {
        body = reply->read(BankNetwork::kMaxBodyBytes + 1);
        if (body.size() > BankNetwork::kMaxBodyBytes || reply->property(kTooLargeProperty).toBool())
            outcome = Outcome::TooLarge;
    }
    ShowDocument(PageOfReply(reply, outcome, body));
    reply->deleteLater();
}
