#pragma once
// The Shandong branch.

#include "TBranchBankController.h"

class TShanDongBranchController : public TBranchBankController
{
public:
    // `quoteServer`: the base address of the branch's quote server
    // ([BranchQuoteServers] of "DededEri.ini"), without trailing "/".
    explicit TShanDongBranchController(const QString &quoteServer);

    QString BranchCode() const override;
};
