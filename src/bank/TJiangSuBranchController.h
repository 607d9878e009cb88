#pragma once
// The Jiangsu branch.

#include "TBranchBankController.h"

class TJiangSuBranchController : public TBranchBankController
{
public:
    // `quoteServer`: the base address of the branch's quote server
    // ([BranchQuoteServers] of "DededEri.ini"), without trailing "/".
    explicit TJiangSuBranchController(const QString &quoteServer);

    QString BranchCode() const override;
    // Every currency except "18".
    bool IsCurrencySupported(const QString &currencyCode) const override;
};
