#pragma once
// The Zhejiang branch, which speaks the short bank-quote and the unscaled
// international record variants.

#include "TBranchBankController.h"

class TZheJiangBranchController : public TBranchBankController
{
public:
    // `quoteServer`: the base address of the branch's quote server
    // ([BranchQuoteServers] of "DededEri.ini"), without trailing "/".
    explicit TZheJiangBranchController(const QString &quoteServer);

    QString BranchCode() const override;
    // The short bank-quote record variant.
    std::unique_ptr<TMarket> ParseBankQuote(const QString &record) const override;
    // The unscaled international record variant.
    std::unique_ptr<TMarket> ParseInterQuote(const QString &record, const TSettings &settings) const override;
    // Every currency except "18".
    bool IsCurrencySupported(const QString &currencyCode) const override;
};
