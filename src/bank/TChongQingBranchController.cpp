#include "TChongQingBranchController.h"

#include "TMarket.h"
#include "TForexNews.h"

#include <QUrl>

TChongQingBranchController::TChongQingBranchController(const QString &quoteServer) : m_quoteServer(quoteServer)
{
    SetStandardEndpoints(quoteServer, QStringLiteral("/kanpanqi.jsp"));
    SpreadPageUrl = quoteServer + QStringLiteral("/rate.html");
    HasFixedTerm = true;
    static const char16_t *bands[] = {u"基本点差", u"3千美元", u"1万美元", u"3万美元", u"10万美元"};
    // Level 2 shows the prices of band 3 under another name.
    static const char16_t *levels[] = {u"基本点差", u"3千美元", u"10万美元", u"1万美元", u"3万美元"};
    for (int i = 0; i < 5; ++i) {
        Bands[size_t(i)].Caption = QString::fromUtf16(bands[i]);
        Bands[size_t(i)].Visible = true;
        Levels[size_t(i)].LevelName = QString::fromUtf16(levels[i]);
        Levels[size_t(i)].LevelOffered = true;
    }
}

QString TChongQingBranchController::BranchCode() const
{
    return QStringLiteral("511000000");
}

// The record format is filled in with the quote feeds; until then the
// long variant parses nothing, like the base.
std::unique_ptr<TMarket> TChongQingBranchController::ParseBankQuote(const QString &record) const
{
    return TBranchBankController::ParseBankQuote(record);
}

bool TChongQingBranchController::IsCurrencySupported(const QString &currencyCode) const
{
    return currencyCode != QLatin1String("18") && TBranchBankController::IsCurrencySupported(currencyCode);
}

QString TChongQingBranchController::FormatNewsItem(const TForexNews &item) const
{
    return FormatNewsLink(m_quoteServer + QStringLiteral("/show_detail.jsp?news_id=")
                              + QString::fromLatin1(QUrl::toPercentEncoding(item.TitleId)),
                          item);
}
