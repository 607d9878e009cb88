#pragma once

// A sandbox bank in the test process, driven through its route handlers
// without HTTP, with a small scenario of its own and a logged-in session.

#include "BankAnswer.h"
#include "SandboxBank.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>


class BankBench
{
public:
    using Params = QList<QPair<QString, QString>>;

    static const char *const kScenario;
    static inline const QString kBeijingCard = QStringLiteral("6200000000000000001");
    static inline const QString kZhejiangCard = QStringLiteral("6200000000000000002");
    static inline const QString kShanghaiCard = QStringLiteral("6200000000000000016");
    static inline const QString kShenzhenCard = QStringLiteral("6200000000000000442");
    static inline const QString kGuangdongCard = QStringLiteral("6200000000000000441");
    static inline const QString kPassbook = QStringLiteral("0200000000000000009");
    static inline const QString kTradePassword = QStringLiteral("tp6666");

    explicit BankBench(const QByteArray &scenario = kScenario);

    SandboxBank bank;
    QByteArray cookie;      // "JSESSIONID=..."
    QString skey;
    QString userId;
    QString cookies;

    // Loads the login page (new session cookie, nonce and code) and logs in
    // with values made the way the page's script makes them.
    BankAnswer login(const QString &loginNumber = QStringLiteral("alice"),
                     const QString &password = QStringLiteral("pw1234"));
    // A transaction query sent as it is, with the session cookie.
    BankAnswer send(const QByteArray &rawQuery, const QByteArray &withCookie = "session");
    // PT_STYLE, TXCODE, SKEY and USERID, then `params` in order, unescaped.
    BankAnswer tx(const QString &txcode, const Params &params);

    // The standard parameter lists of the client.
    BankAnswer quote(const QString &sell, const QString &buy, const QString &amount,
                     const QString &dir = QStringLiteral("1"), const QString &bill = QStringLiteral("1"),
                     const QString &card = kBeijingCard);
    BankAnswer confirm(const BankAnswer &quote, const QString &sell, const QString &buy, const QString &amount,
                       const QString &dir = QStringLiteral("1"), const QString &bill = QStringLiteral("1"),
                       const QString &card = kBeijingCard);
    BankAnswer order(const QString &sell, const QString &buy, const QString &amount, const QString &profit,
                     const QString &loss, const QString &dir = QStringLiteral("1"),
                     const QString &days = QStringLiteral("3"), const QString &card = kBeijingCard);

    // A sub-account's balance and usable balance as the bank holds them.
    QString balance(const QString &card, const QString &accSign);
    QString usable(const QString &card, const QString &accSign);
    // Everything a transaction may change, as text: balances, contracts.
    QString snapshot();
    void advanceClock(qint64 seconds);

    static QString province(const QString &card);
};
