#pragma once

#include "BankBook.h"

#include <QDate>
#include <QDateTime>

// The movements of money: postings with their statement lines, the money
// orders hold, dealing, cancelling and expiring orders.
class Ledger
{
public:
    static inline const QString kPlace = QStringLiteral("网上银行");

    // Adds `delta` (signed) to the balance and writes the statement line.
    static void post(SubAccount &sub, FixedAmount delta, const QString &memo,
                     const QDateTime &time, const QString &place = kPlace);

    // The card a contract belongs to; null when its owner is gone.
    static CardAccount *cardOf(BankBook &book, const Contract &contract);
    // Where the bought money of a deal goes: the demand sub-account of that
    // currency and flag (opened when missing), or a new fixed-term deposit.
    static SubAccount &buyTarget(BankBook &book, CardAccount &card, const Contract &contract);

    // Deals an open order at `rate`; an order with an appended order makes
    // that one hold the money just bought. Returns an error text or empty.
    static QString executeOrder(BankBook &book, Contract &order, FixedAmount rate,
                                const QDateTime &now);
    // Cancels or expires an open order (status kCancelled or kExpired),
    // releases what it holds and ends its appended order with it.
    static void closeOrder(BankBook &book, Contract &order, const QString &status);
    // Expires every open order whose last day lies before `today`.
    static void sweepExpired(BankBook &book, const QDate &today);
};
