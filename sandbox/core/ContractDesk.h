#pragma once

#include "TransactionCall.h"
#include "XmlAnswer.h"

// The contract queries: pages of completed deals and of orders, and the
// single-contract query of the branches that offer it.
class ContractDesk
{
public:
    static XmlAnswer contractList(TransactionCall &call);   // 320600, 320800
    static XmlAnswer singleContract(TransactionCall &call); // 320700

    // One CONTRACTLIST entry (or the children of RESULTMSG), with the rate
    // fields the card's branch uses.
    static void writeContract(XmlElement &entry, const BankBook &book, const Contract &contract,
                              const BranchRules &rules, bool asDeal);
};
