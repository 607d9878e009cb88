#include "TBranchBankController.h"

#include "IntList.h"
#include "TForexNews.h"
#include "TMarket.h"
#include "TMarketList.h"
#include "platform/Formats.h"

#include <QMutex>
#include <QMutexLocker>

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

QString TBranchBankController::FormatNewsItem(const TForexNews &item) const
{
    return QStringLiteral("%1 (%2)<br><br>").arg(item.Title, Formats::formatDateTime(item.NewsTime));
}

bool TBranchBankController::IndexVisible(const QString &indexCode, const IntList &visibility)
{
    const auto v = visibility.valueOf(indexCode);
    return !v || *v == 1;
}
