#include "TZheJiangBranchController.h"

#include "TMarket.h"

TZheJiangBranchController::TZheJiangBranchController(const QString &quoteServer)
{
    BankQuoteUrl = quoteServer + QStringLiteral("/httpQuote/bankQuotes.txt");
    IntlQuoteUrl = quoteServer + QStringLiteral("/httpQuote/internationalQuotes.txt");
    NewsUrl = quoteServer + QStringLiteral("/httpQuote/newsDay.xml");
    News5Url = quoteServer + QStringLiteral("/httpQuote/news5Min.xml");
    ChartUrl = quoteServer + QStringLiteral("/fxlanchuan/");
    HideBands(2, 5);
    Levels[0].LevelName.clear();
    WithdrawLevels(1, 4);
}

QString TZheJiangBranchController::BranchCode() const
{
    return QStringLiteral("330000000");
}

// The record format is filled in with the quote feeds; until then the
// short variant parses nothing, like the base.
std::unique_ptr<TMarket> TZheJiangBranchController::ParseBankQuote(const QString &record) const
{
    return TBranchBankController::ParseBankQuote(record);
}

// The record format is filled in with the quote feeds; until then the
// unscaled variant parses nothing, like the base.
std::unique_ptr<TMarket> TZheJiangBranchController::ParseInterQuote(const QString &record, const TSettings &settings) const
{
    return TBranchBankController::ParseInterQuote(record, settings);
}

bool TZheJiangBranchController::IsCurrencySupported(const QString &currencyCode) const
{
    return currencyCode != QLatin1String("18") && TBranchBankController::IsCurrencySupported(currencyCode);
}
