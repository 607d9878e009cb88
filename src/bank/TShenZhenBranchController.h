#pragma once
// The Shenzhen branch. A deal query with a contract number asks for that one
// contract (transaction 320700).

#include "TBranchBankController.h"

class TShenZhenBranchController : public TBranchBankController
{
public:
    // `quoteServer`: the base address of the branch's quote server
    // ([BranchQuoteServers] of "DededEri.ini"), without trailing "/".
    explicit TShenZhenBranchController(const QString &quoteServer);

    QString BranchCode() const override;
};
