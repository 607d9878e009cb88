#pragma once
// The Fujian branch.

#include "TBranchBankController.h"

class TFuJianBranchController : public TBranchBankController
{
public:
    // `quoteServer`: the base address of the branch's quote server
    // ([BranchQuoteServers] of "DededEri.ini"), without trailing "/".
    explicit TFuJianBranchController(const QString &quoteServer);

    QString BranchCode() const override;
};
