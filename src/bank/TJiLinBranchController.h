#pragma once
// The Jilin branch.

#include "TBranchBankController.h"

class TJiLinBranchController : public TBranchBankController
{
public:
    // `quoteServer`: the base address of the branch's quote server
    // ([BranchQuoteServers] of "DededEri.ini"), without trailing "/".
    explicit TJiLinBranchController(const QString &quoteServer);

    QString BranchCode() const override;
    // Every currency except "18".
    bool IsCurrencySupported(const QString &currencyCode) const override;
    // The title links to the item's page "/show_detail.jsp?news_id=" on
    // the quote server.
    QString FormatNewsItem(const TForexNews &item) const override;

private:
    QString m_quoteServer;
};
