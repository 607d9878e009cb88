#include "TLiaoNingBranchController.h"

#include "TMarket.h"
#include "TForexNews.h"

#include <QUrl>

TLiaoNingBranchController::TLiaoNingBranchController(const QString &quoteServer) : m_quoteServer(quoteServer)
{
    BankQuoteUrl = quoteServer + QStringLiteral("/httpQuote/BankQuotes.txt");
    IntlQuoteUrl = quoteServer + QStringLiteral("/httpQuote/interQuotes.txt");
    NewsUrl = quoteServer + QStringLiteral("/httpQuote/NewsInDay.xml");
    News5Url = quoteServer + QStringLiteral("/httpQuote/NewsIn5Min.xml");
    ChartUrl = quoteServer + QStringLiteral("/fxlanchuan/index.jsp");
    HideBands(2, 5);
    Levels[0].LevelName.clear();
    WithdrawLevels(1, 4);
}

QString TLiaoNingBranchController::BranchCode() const
{
    return QStringLiteral("211000000");
}

// The record format is filled in with the quote feeds; until then the
// short variant parses nothing, like the base.
std::unique_ptr<TMarket> TLiaoNingBranchController::ParseBankQuote(const QString &record) const
{
    return TBranchBankController::ParseBankQuote(record);
}

// The record format is filled in with the quote feeds; until then the
// unscaled variant parses nothing, like the base.
std::unique_ptr<TMarket> TLiaoNingBranchController::ParseInterQuote(const QString &record, const TSettings &settings) const
{
    return TBranchBankController::ParseInterQuote(record, settings);
}

QString TLiaoNingBranchController::FormatNewsItem(const TForexNews &item) const
{
    return FormatNewsLink(m_quoteServer + QStringLiteral("/httpQuote/newsContent/")
                              + QString::fromLatin1(QUrl::toPercentEncoding(item.TitleId)) + QStringLiteral(".html"),
                          item);
}
