#pragma once
// The Hubei branch: bank quotes and a native candle chart only. Its chart
// feed lives on a second host of the branch.

#include "TBranchBankController.h"

class THuBeiBranchController : public TBranchBankController
{
public:
    // `quoteServer`: the base address of the branch's quote server
    // ([BranchQuoteServers] of "DededEri.ini"), without trailing "/";
    // `chartServer`: the base address of its chart host.
    explicit THuBeiBranchController(const QString &quoteServer, const QString &chartServer);

    QString BranchCode() const override;
    // Every currency except "18".
    bool IsCurrencySupported(const QString &currencyCode) const override;
    // The branch has no international quotes: the lists stay as they are.
    void MergeInterQuotes(TMarketList &pairs, const QString &feedText, TMarketList &indices,
                          const TSettings &settings) const override;
    // Its chart base address, "/waihui/", the period word ("day", "month",
    // "5minute", "15minute", "30minute", "60minute" for 0..5), the pair
    // code and ".txt"; empty for another period.
    QString KLineUrl(const QString &pairCode, int period) const override;

private:
    QString m_chartServer;
};
