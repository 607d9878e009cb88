#pragma once
// The Beijing branch.

#include "TBranchBankController.h"

class TBeiJingBranchController : public TBranchBankController
{
public:
    // `quoteServer`: the base address of the branch's quote server
    // ([BranchQuoteServers] of "DededEri.ini"), without trailing "/".
    explicit TBeiJingBranchController(const QString &quoteServer);

    QString BranchCode() const override;
    // Every currency except "18".
    bool IsCurrencySupported(const QString &currencyCode) const override;
};
