#pragma once
// The Liaoning branch, which speaks the short bank-quote and the unscaled
// international record variants.

#include "TBranchBankController.h"

class TLiaoNingBranchController : public TBranchBankController
{
public:
    // `quoteServer`: the base address of the branch's quote server
    // ([BranchQuoteServers] of "DededEri.ini"), without trailing "/".
    explicit TLiaoNingBranchController(const QString &quoteServer);

    QString BranchCode() const override;
    // The short bank-quote record variant.
    std::unique_ptr<TMarket> ParseBankQuote(const QString &record) const override;
    // The unscaled international record variant.
    std::unique_ptr<TMarket> ParseInterQuote(const QString &record, const TSettings &settings) const override;
    // The title links to the item's page "/httpQuote/newsContent/<id>.html"
    // on the quote server.
    QString FormatNewsItem(const TForexNews &item) const override;

private:
    QString m_quoteServer;
};
