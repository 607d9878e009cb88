#pragma once
// The Shanghai branch. Its bank quotes come from the bank's own transaction
// endpoint (over HTTPS) rather than from its quote server.

#include "TBranchBankController.h"

class TShangHaiBranchController : public TBranchBankController
{
public:
    // `quoteServer`: the base address of the branch's quote server
    // ([BranchQuoteServers] of "DededEri.ini"), without trailing "/";
    // `bankEndpoint`: the bank's transaction endpoint over HTTPS.
    explicit TShangHaiBranchController(const QString &quoteServer, const QString &bankEndpoint);

    QString BranchCode() const override;
    // Every currency except "18".
    bool IsCurrencySupported(const QString &currencyCode) const override;
};
