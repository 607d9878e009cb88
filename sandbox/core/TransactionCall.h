#pragma once

#include "BankState.h"
#include "RawQuery.h"

#include <QDate>
#include <QString>
#include <QStringList>

// A refusal of the bank: becomes a ROOT/ERROR answer. Handlers throw it
// before they change anything, so a refused transaction leaves no trace.
struct BankRefusal
{
    QString code;
    QString message;
};

// One transaction being served: its parameters, the session and customer it
// belongs to, and the checks every handler shares.
class TransactionCall
{
public:
    TransactionCall(BankState &state, const RawQuery &query, const QString &txcode,
                    Session *session, Customer *customer);

    BankState &state;
    BankBook &book;
    const RawQuery &query;
    const QString txcode;
    Session *const session;
    Customer *const customer;
    const QDateTime now;

    [[noreturn]] static void refuse(const QString &code, const QString &message);
    [[noreturn]] void refuseValue(const QString &name) const;

    // A parameter that must be present (it may be empty).
    QString text(const QString &name) const;
    // A parameter that must be present and not empty.
    QString nonEmpty(const QString &name) const;
    QString choice(const QString &name, const QStringList &allowed) const;
    int integer(const QString &name, int min, int max) const;
    // "yyyymmdd".
    QDate date(const QString &name) const;
    // A positive amount of `currency`: at most four decimals, whole for yen.
    FixedAmount amount(const QString &name, const QString &currency) const;
    // A rate: positive, at most four decimals, below 10000. Empty text gives 0
    // when `allowEmpty`.
    FixedAmount rate(const QString &name, bool allowEmpty) const;
    // A currency code the bank knows.
    QString currencyCode(const QString &name) const;

    // ACC_NO as one of the customer's card accounts.
    CardAccount &card(const QString &name = QStringLiteral("ACC_NO")) const;
    // BRANCHID: the province form of the card's branch, or its full
    // identifier for the one transaction that sends it unchanged.
    void checkBranch(const CardAccount &card, bool fullIdentifier = false) const;
    // TRANS_PASSWD. `placeholder` is a value the bank accepts in its place.
    void checkTradePassword(const QString &placeholder = {}) const;
    // A pair the card's branch trades; returns the quoted pair.
    const QuotedRate &tradablePair(const CardAccount &card, const QString &sell,
                                   const QString &buy) const;
    BranchRules rules(const CardAccount &card) const { return book.rulesFor(card.branchId); }
    void checkForexCard(const CardAccount &card) const;
};
