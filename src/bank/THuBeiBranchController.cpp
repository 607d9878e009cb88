#include "THuBeiBranchController.h"

THuBeiBranchController::THuBeiBranchController(const QString &quoteServer, const QString &chartServer) : m_chartServer(chartServer)
{
    BankQuoteUrl = quoteServer + QStringLiteral("/waihui/yhbj.txt");
    HideBands(3, 5);
    WithdrawLevels(2, 4);
    HasInterQuotes = false;
    HasIndices = false;
    HasNews = false;
    ShowUpDown = false;
    ChartMode = 0;
    PriceDivisor = 1;
}

QString THuBeiBranchController::BranchCode() const
{
    return QStringLiteral("420000000");
}

bool THuBeiBranchController::IsCurrencySupported(const QString &currencyCode) const
{
    return currencyCode != QLatin1String("18") && TBranchBankController::IsCurrencySupported(currencyCode);
}

void THuBeiBranchController::MergeInterQuotes(TMarketList &, const QString &, TMarketList &, const TSettings &) const {}

QString THuBeiBranchController::KLineUrl(const QString &pairCode, int period) const
{
    static const char *words[] = {"day", "month", "5minute", "15minute", "30minute", "60minute"};
    if (period < 0 || period > 5 || m_chartServer.isEmpty())
        return QString();
    return m_chartServer + QStringLiteral("/waihui/") + QLatin1String(words[period]) + pairCode + QStringLiteral(".txt");
}
