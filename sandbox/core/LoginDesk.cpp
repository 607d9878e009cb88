#include "LoginDesk.h"

#include "LoginPage.h"
#include "TransactionCall.h"
#include "VerificationPicture.h"

#include <QRandomGenerator>

namespace {

QString randomDigits(int n)
{
    QString s;
    for (int i = 0; i < n; ++i)
        s += QChar(u'0' + QRandomGenerator::global()->bounded(10));
    return s;
}

QString randomHex(int bytes)
{
    return QString::fromLatin1(SessionRegistry::randomToken(bytes));
}

// The session of the request's cookie, or a new one (with `fresh` set).
Session &sessionOf(BankState &state, const HttpRequestView &request, bool *fresh)
{
    Session *s = state.sessions.find(request.cookie(SessionRegistry::kCookieName));
    *fresh = s == nullptr;
    return s ? *s : state.sessions.create(state.clock.now());
}

void noCache(HttpReply &reply)
{
    reply.addHeader("Cache-Control", "no-cache, no-store");
    reply.addHeader("Pragma", "no-cache");
}

QString hostOf(const HttpRequestView &request)
{
    const QByteArray host = request.header("host");
    return host.isEmpty() ? QStringLiteral("127.0.0.1") : QString::fromLatin1(host);
}

} // namespace

QByteArray LoginDesk::sessionCookie(const Session &session)
{
    return QByteArray(SessionRegistry::kCookieName) + '=' + session.id + "; Path=/";
}

HttpReply LoginDesk::page(BankState &state, const HttpRequestView &request)
{
    bool fresh = false;
    Session &s = sessionOf(state, request, &fresh);
    s.nonce = randomHex(16).toLower();
    s.code = randomDigits(state.book.settings.codeDigits);
    s.lastActivity = state.clock.now();
    state.lastCode = s.code;
    state.lastSessionId = s.id;

    const QString base = QStringLiteral("http://") + hostOf(request);
    LoginPage::Form form;
    form.nonce = s.nonce;
    form.actionUrl = base + state.book.settings.transactionPath;
    form.pictureUrl = base + state.book.settings.picturePath + QStringLiteral("?r=") + randomHex(6);
    HttpReply reply = HttpReply::make(200, BankPages::kContentType, LoginPage::html(form));
    reply.addHeader("Set-Cookie", sessionCookie(s));
    noCache(reply);
    return reply;
}

HttpReply LoginDesk::picture(BankState &state, const HttpRequestView &request)
{
    bool fresh = false;
    Session &s = sessionOf(state, request, &fresh);
    // A picture asked for outside a page (no session, or its code used up)
    // gets a code of its own, as the bank's picture servlet would.
    if (s.code.isEmpty())
        s.code = randomDigits(state.book.settings.codeDigits);
    s.lastActivity = state.clock.now();
    HttpReply reply = HttpReply::make(200, "image/gif", VerificationPicture::render(s.code));
    if (fresh)
        reply.addHeader("Set-Cookie", sessionCookie(s));
    noCache(reply);
    return reply;
}

XmlAnswer LoginDesk::login(BankState &state, const RawQuery &query, const HttpRequestView &request)
{
    for (const char *name : {"USERID", "LOGPASS", "PT_CONFIRM_PWD", "VOD_PWD_MAP_GIGEST"})
        if (!query.has(QLatin1String(name)))
            TransactionCall::refuse(QStringLiteral("0101"), QStringLiteral("缺少参数%1").arg(QLatin1String(name)));
    const QString loginNumber = query.text(QStringLiteral("USERID"));
    const QString protectedPassword = query.text(QStringLiteral("LOGPASS"));
    const QString code = query.text(QStringLiteral("PT_CONFIRM_PWD")).trimmed();
    const QString digest = query.text(QStringLiteral("VOD_PWD_MAP_GIGEST"));

    Session *s = state.sessions.find(request.cookie(SessionRegistry::kCookieName));
    if (!s || s->code.isEmpty() || code != s->code)
        throw BankPageRefusal{BankPages::Kind::WrongCode};

    QString password;
    if (s->nonce.isEmpty() || digest != LoginPage::digest(s->nonce, loginNumber, protectedPassword, code)
        || !LoginPage::recoverPassword(s->nonce, protectedPassword, &password))
        TransactionCall::refuse(QStringLiteral("1002"), QStringLiteral("登录信息校验失败，请刷新登录页面后重新登录"));

    Customer *customer = state.book.customerByLoginNumber(loginNumber);
    if (!customer || customer->loginPassword != password)
        TransactionCall::refuse(QStringLiteral("1003"), QStringLiteral("证件号码/昵称或登录密码错误"));
    if (customer->locked)
        TransactionCall::refuse(QStringLiteral("1004"), QStringLiteral("该客户已被锁定，请到柜台办理解锁"));

    s->userId = customer->userId;
    s->skey = randomHex(16);
    s->cookiesText = randomHex(12);
    s->code.clear(); // a code logs in once
    s->quotes.clear();
    s->lastSubmit = {};
    s->lastActivity = state.clock.now();

    XmlAnswer a;
    a.add(QStringLiteral("USERID"), customer->userId);
    a.add(QStringLiteral("USERNAME"), customer->userName);
    a.add(QStringLiteral("COOKIES"), s->cookiesText);
    a.add(QStringLiteral("SKEY"), s->skey);
    return a;
}
