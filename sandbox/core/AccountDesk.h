#pragma once

#include "TransactionCall.h"
#include "XmlAnswer.h"

// The account transactions: the card list, sub-accounts, the update of the
// sub-account information, balances and the statement.
class AccountDesk
{
public:
    static XmlAnswer cardAccounts(TransactionCall &call);    // 310102
    static XmlAnswer subAccounts(TransactionCall &call);     // 310600, 310800
    static XmlAnswer updateSubAccounts(TransactionCall &call); // 310700
    static XmlAnswer balances(TransactionCall &call);        // 310100
    static XmlAnswer statement(TransactionCall &call);       // 310200

    // The paging string of a statement page: page N+1 must bring back the
    // one page N carried.
    static QString pagingString(const QByteArray &secret, const QStringList &queryKey, int page);
};
