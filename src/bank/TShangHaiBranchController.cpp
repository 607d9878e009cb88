#include "TShangHaiBranchController.h"

TShangHaiBranchController::TShangHaiBranchController(const QString &quoteServer, const QString &bankEndpoint)
{
    BankQuoteUrl = bankEndpoint.isEmpty() ? QString() : bankEndpoint + QStringLiteral("?PT_STYLE=9&TXCODE=R00001");
    IntlQuoteUrl = quoteServer + QStringLiteral("/servlet/get?arg=shihuaData");
    NewsUrl = quoteServer + QStringLiteral("/servlet/get?arg=newsData");
    News5Url = quoteServer + QStringLiteral("/servlet/get?arg=newsData5");
    ChartUrl = quoteServer + QStringLiteral("/kanpanqi/fx/kanpanqi.jsp");
    HideBands(2, 5);
    WithdrawLevels(1, 4);
    PriceDivisor = 1;
    HasFixedTerm = true;
    AllowAppend = false;
}

QString TShangHaiBranchController::BranchCode() const
{
    return QStringLiteral("310000000");
}

bool TShangHaiBranchController::IsCurrencySupported(const QString &currencyCode) const
{
    return currencyCode != QLatin1String("18") && TBranchBankController::IsCurrencySupported(currencyCode);
}
