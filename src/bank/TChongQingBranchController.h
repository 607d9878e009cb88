#pragma once
// The Chongqing branch, which speaks the long bank-quote record variant and
// names its price levels by deal size.

#include "TBranchBankController.h"

class TChongQingBranchController : public TBranchBankController
{
public:
    // `quoteServer`: the base address of the branch's quote server
    // ([BranchQuoteServers] of "DededEri.ini"), without trailing "/".
    explicit TChongQingBranchController(const QString &quoteServer);

    QString BranchCode() const override;
    // The long bank-quote record variant.
    std::unique_ptr<TMarket> ParseBankQuote(const QString &record) const override;
    // Every currency except "18".
    bool IsCurrencySupported(const QString &currencyCode) const override;
    // The title links to the item's page "/show_detail.jsp?news_id=" on
    // the quote server.
    QString FormatNewsItem(const TForexNews &item) const override;

private:
    QString m_quoteServer;
};
