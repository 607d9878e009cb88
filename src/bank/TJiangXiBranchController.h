#pragma once
// The Jiangxi group: one controller for the branches 360000000, 351000000,
// 340000000 and 510000000, all with the code 360000000.

#include "TBranchBankController.h"

class TJiangXiBranchController : public TBranchBankController
{
public:
    // `quoteServer`: the base address of the branch's quote server
    // ([BranchQuoteServers] of "DededEri.ini"), without trailing "/".
    explicit TJiangXiBranchController(const QString &quoteServer);

    QString BranchCode() const override;
};
