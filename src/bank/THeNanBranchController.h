#pragma once
// The Henan branch.

#include "TBranchBankController.h"

class THeNanBranchController : public TBranchBankController
{
public:
    // `quoteServer`: the base address of the branch's quote server
    // ([BranchQuoteServers] of "DededEri.ini"), without trailing "/".
    explicit THeNanBranchController(const QString &quoteServer);

    QString BranchCode() const override;
};
