#include "TBranchBankController.h"

#include "IntList.h"
#include "TForexNews.h"
#include "TMarket.h"
#include "TMarketList.h"
#include "platform/Formats.h"

#include <QMutex>
#include <QMutexLocker>
#include <algorithm>

namespace {
QMutex g_controllerLock;
std::shared_ptr<TBranchBankController> g_controller;
} // namespace

std::shared_ptr<TBranchBankController> CurrentBranchController()
{
    QMutexLocker l(&g_controllerLock);
    return g_controller;
}

void SetBranchController(std::shared_ptr<TBranchBankController> controller)
{
    std::shared_ptr<TBranchBankController> old;
    {
        QMutexLocker l(&g_controllerLock);
        old = std::exchange(g_controller, std::move(controller));
    }
    // `old` is released here, outside the lock.
}

TBranchBankController::TBranchBankController()
{
    static const char16_t *captions[] = {u"基本", u"优惠", u"大额", u"贵宾", u"至尊", u"", u""};
    for (int i = 0; i < 7; ++i) {
        Bands[size_t(i)] = {QString::fromUtf16(captions[i]), i < 5, QStringLiteral("买入"), QStringLiteral("卖出")};
        Levels[size_t(i)] = {QString::fromUtf16(captions[i]), i < 5};
    }
}

TBranchBankController::~TBranchBankController() = default;

// The feed record formats and merges are filled in with the quote feeds;
// until then the base parses nothing and leaves the lists as they are.
std::unique_ptr<TMarket> TBranchBankController::ParseBankQuote(const QString &) const
{
    return nullptr;
}

std::unique_ptr<TMarket> TBranchBankController::ParseInterQuote(const QString &, const TSettings &) const
{
    return nullptr;
}

QString TBranchBankController::BranchCode() const
{
    return QString();
}

bool TBranchBankController::IsCurrencySupported(const QString &) const
{
    return true;
}

void TBranchBankController::MergeBankQuotes(TMarketList &, const QString &) const {}

void TBranchBankController::MergeInterQuotes(TMarketList &, const QString &, TMarketList &, const TSettings &) const {}

void TBranchBankController::ParseKLine(TKLineList &, const QString &) const {}

QString TBranchBankController::KLineUrl(const QString &, int) const
{
    return QString();
}

// Titles come from the quote server's feed and are shown as HTML, so they
// are escaped: a title can never add markup of its own.
QString TBranchBankController::FormatNewsItem(const TForexNews &item) const
{
    return QStringLiteral("%1 (%2)<br><br>").arg(item.Title.toHtmlEscaped(), NewsTimeText(item));
}

QString TBranchBankController::NewsTimeText(const TForexNews &item)
{
    return Formats::formatDateTime(item.NewsTime);
}

QString TBranchBankController::FormatNewsLink(const QString &href, const TForexNews &item)
{
    return QStringLiteral("<a href=\"%1\" target=\"_blank\">%2</a> (%3)<br><br>")
        .arg(href.toHtmlEscaped(), item.Title.toHtmlEscaped(), NewsTimeText(item));
}

void TBranchBankController::SetStandardEndpoints(const QString &quoteServer, const QString &chartPath)
{
    BankQuoteUrl = quoteServer + QStringLiteral("/servlet/get?arg=jhData");
    IntlQuoteUrl = quoteServer + QStringLiteral("/servlet/get?arg=shihuaData");
    NewsUrl = quoteServer + QStringLiteral("/servlet/get?arg=newsData");
    News5Url = quoteServer + QStringLiteral("/servlet/get?arg=newsData5");
    ChartUrl = quoteServer + chartPath;
}

void TBranchBankController::HideBands(int from, int to)
{
    for (int b = std::max(from, 2); b <= std::min(to, 7); ++b)
        Bands[size_t(b - 1)].Visible = false;
}

void TBranchBankController::WithdrawLevels(int from, int to)
{
    for (int l = std::max(from, 1); l <= std::min(to, 6); ++l)
        Levels[size_t(l)].LevelOffered = false;
}

bool TBranchBankController::IndexVisible(const QString &indexCode, const IntList &visibility)
{
    const auto v = visibility.valueOf(indexCode);
    return !v || *v == 1;
}
