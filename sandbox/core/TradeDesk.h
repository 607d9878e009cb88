#pragma once

#include "TransactionCall.h"
#include "XmlAnswer.h"

// The trading transactions: instant trades (a quote, then its confirmation),
// orders, appended orders and cancels, for demand and fixed-term money.
class TradeDesk
{
public:
    static XmlAnswer quote(TransactionCall &call);          // 320102, 320902
    static XmlAnswer confirm(TransactionCall &call);        // 320100, 320903
    static XmlAnswer placeOrder(TransactionCall &call);     // 320200, 321002
    static XmlAnswer appendOrder(TransactionCall &call);    // 321104, 321204
    static XmlAnswer cancelOrder(TransactionCall &call);    // 320400

    // What the bank accepts as the trade password of a cancel sent from a
    // page without a password field.
    static inline const QString kCancelPlaceholder = QStringLiteral("qbxmrt");
};
