#include "TJiLinBranchController.h"

#include "TForexNews.h"

#include <QUrl>

TJiLinBranchController::TJiLinBranchController(const QString &quoteServer) : m_quoteServer(quoteServer)
{
    SetStandardEndpoints(quoteServer, QStringLiteral("/kanpanqi.jsp"));
    Bands[0].Caption.clear();
    Bands[1].Caption.clear();
    Bands[1].BuyCaption = QStringLiteral("最高");
    Bands[1].SellCaption = QStringLiteral("最低");
    HideBands(3, 5);
    Levels[0].LevelName.clear();
    WithdrawLevels(1, 4);
    ShowDealDate = false;
}

QString TJiLinBranchController::BranchCode() const
{
    return QStringLiteral("220000000");
}

bool TJiLinBranchController::IsCurrencySupported(const QString &currencyCode) const
{
    return currencyCode != QLatin1String("18") && TBranchBankController::IsCurrencySupported(currencyCode);
}

QString TJiLinBranchController::FormatNewsItem(const TForexNews &item) const
{
    return FormatNewsLink(m_quoteServer + QStringLiteral("/show_detail.jsp?news_id=")
                              + QString::fromLatin1(QUrl::toPercentEncoding(item.TitleId)),
                          item);
}
