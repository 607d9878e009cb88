#pragma once

#include "FixedAmount.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>

// A rate the bank quoted for an instant trade, valid once and for a while.
struct Quote
{
    QString contractNo;
    QString sign;           // PT_SIGN_STR
    QString accountNo;
    QString subAcc;
    QString sell;
    QString buy;
    QString billFlag;
    QString transDir;
    QString productId;      // fixed-term trades
    bool fixedTerm = false;
    FixedAmount amount;     // CHANGED_AMOUNT as asked
    FixedAmount rate;
    QDateTime issued;
};

// One browser session of the bank, known by its cookie. The login page puts
// a nonce and a verification code in it; a login makes it a customer's
// session with a session key.
struct Session
{
    QByteArray id;          // value of the session cookie
    QString nonce;
    QString code;           // verification code shown, empty once used
    QDateTime lastActivity;
    QDateTime lastSubmit;
    QString userId;         // empty until a login succeeds
    QString skey;
    QString cookiesText;    // COOKIES of the login answer
    QMap<QString, Quote> quotes;

    bool isLoggedIn() const { return !userId.isEmpty(); }
};

class SessionRegistry
{
public:
    static constexpr const char *kCookieName = "JSESSIONID";

    // `bytes` random bytes as upper-case hex: session ids, keys, nonces.
    static QByteArray randomToken(int bytes);

    Session &create(const QDateTime &now);
    Session *find(const QByteArray &id);
    // Ends logged-in sessions idle for longer than `idleSeconds` and login
    // sessions idle for a day.
    void expireIdle(const QDateTime &now, int idleSeconds);
    void clear() { m_sessions.clear(); }
    QList<Session> &all() { return m_sessions; }

private:
    QList<Session> m_sessions;
};
