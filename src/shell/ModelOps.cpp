#include "ModelOps.h"

#include "SharedInstances.h"
#include "TAccount.h"
#include "TBargaining.h"
#include "TBargainingHistory.h"
#include "TBranchBankController.h"
#include "TCurrency.h"
#include "TCurrencyList.h"
#include "TMarketList.h"
#include "TSettings.h"

#include <QMutexLocker>

bool IsOnlyDemand(const TAccount &cardAccount)
{
    if (cardAccount.SubAccounts.IsEmpty())
        return false;
    for (const auto &sub : cardAccount.SubAccounts)
        if (sub->SaveType != DemandSaveType())
            return false;
    return true;
}

TAccount *FindSubAccount(const TAccount &cardAccount, const QString &currencyCode, const QString &billFlag)
{
    for (const auto &sub : cardAccount.SubAccounts)
        if (sub->Currency && sub->ChaoHui == billFlag && sub->Currency->Code == currencyCode)
            return sub.get();
    return nullptr;
}

namespace {

bool codeIs(const TCurrency *c, int code)
{
    if (!c)
        return false;
    bool ok = false;
    const int v = c->Code.toInt(&ok);
    return ok && v == code;
}

int asInt(const QString &code, bool *ok)
{
    return code.trimmed().toInt(ok);
}

} // namespace

CrossRateResult CrossRate(const QString &codeA, const QString &codeB, const TMarketList &quotes, double previousRate)
{
    bool okA = false, okB = false;
    const int a = asInt(codeA, &okA);
    const int b = asInt(codeB, &okB);
    if (okA && okB && a == b)
        return {-1, 1.0};
    if (okA && okB) {
        for (const auto &m : quotes)
            if (codeIs(m->Currency1, a) && codeIs(m->Currency2, b))
                return {2, m->SellPrice0};
        for (const auto &m : quotes)
            if (codeIs(m->Currency1, b) && codeIs(m->Currency2, a))
                return {1, m->BuyPrice0};
    }
    return {0, previousRate};
}

double ConvertWithRate(double amount, int kind, double rate)
{
    if (kind == 1)
        return rate == 0 ? 0 : amount / rate;
    return amount * rate;
}

double ConvertBackWithRate(double amount, int kind, double rate)
{
    if (kind == 1)
        return amount * rate;
    return rate == 0 ? 0 : amount / rate;
}

double PairRate(const QString &codeA, const QString &codeB, const TMarketList &quotes)
{
    bool okA = false, okB = false;
    const int a = asInt(codeA, &okA);
    const int b = asInt(codeB, &okB);
    if (okA && okB && a == b)
        return 1.0;
    if (!okA || !okB)
        return 0;
    for (const auto &m : quotes)
        if (codeIs(m->Currency1, a) && codeIs(m->Currency2, b)) {
            if (m->SellPrice0 != 0)
                return m->SellPrice0;
            break;
        }
    for (const auto &m : quotes)
        if (codeIs(m->Currency1, b) && codeIs(m->Currency2, a))
            return m->BuyPrice0;
    return 0;
}

namespace {

QString codeOf(const TCurrency *c)
{
    return c ? c->Code : QString();
}

void subtractClamped(double &balance, double amount)
{
    balance -= amount;
    if (balance < 0)
        balance = 0;
}

void addClamped(double &balance, double amount)
{
    balance += amount;
    if (balance < 0)
        balance = 0;
}

// CrossRate against the bank quotes, under their feed lock.
CrossRateResult lockedCrossRate(const QString &a, const QString &b)
{
    if (!BankMarketList)
        return {0, 0};
    if (BankFeedLock) {
        QMutexLocker l(BankFeedLock);
        return CrossRate(a, b, *BankMarketList);
    }
    return CrossRate(a, b, *BankMarketList);
}

bool applyCancel(TAccount &card, const TDelegateCancel &cancel)
{
    TBargainingDetail *order = nullptr;
    if (BargainingToday)
        order = BargainingToday->FindDetail(cancel.ContractNo);
    if (!order && BargainingHistory)
        order = BargainingHistory->FindDetail(cancel.ContractNo);
    if (!order)
        return false;
    TAccount *sub = FindSubAccount(card, codeOf(order->SellCurrency), order->BillFlag);
    if (!sub)
        return false;
    double released = order->SaleAmount;
    if (!(released > 0)) {
        const double rate = order->ProfitRatio > 0 ? order->ProfitRatio : order->BadRatio;
        const auto cr = lockedCrossRate(codeOf(order->BuyCurrency), codeOf(order->SellCurrency));
        released = ConvertWithRate(order->BuyAmount, cr.kind, rate);
    }
    addClamped(sub->UseBalance, released);
    return true;
}

bool applyOrder(TAccount &card, const TDelegate &order)
{
    TAccount *sub = FindSubAccount(card, codeOf(order.SellCurrency), order.BillFlag);
    if (!sub)
        return false;
    double frozen = order.SellAmount;
    if (!(frozen > 0)) {
        const double rate = order.QuotePrice > 0 ? order.QuotePrice : order.ShutRate;
        const auto cr = lockedCrossRate(codeOf(order.BuyCurrency), codeOf(order.SellCurrency));
        frozen = ConvertWithRate(order.BuyAmount, cr.kind, rate);
    }
    subtractClamped(sub->UseBalance, frozen);
    return true;
}

bool applyTrade(TAccount &card, const TBargaining &trade)
{
    const QString buyCode = codeOf(trade.BuyCurrency);
    const QString sellCode = codeOf(trade.SellCurrency);
    const auto cr = lockedCrossRate(buyCode, sellCode);

    const double sold = trade.SellAmount != 0 ? trade.SellAmount : ConvertWithRate(trade.BuyAmount, cr.kind, cr.rate);
    if (TAccount *sellSub = FindSubAccount(card, sellCode, trade.BillFlag)) {
        subtractClamped(sellSub->Balance, sold);
        subtractClamped(sellSub->UseBalance, sold);
    }

    const double bought =
        trade.BuyAmount != 0 ? trade.BuyAmount : ConvertBackWithRate(trade.SellAmount, cr.kind, cr.rate);
    if (TAccount *buySub = FindSubAccount(card, buyCode, trade.BillFlag)) {
        addClamped(buySub->Balance, bought);
        addClamped(buySub->UseBalance, bought);
    } else {
        auto sub = std::make_unique<TAccount>(card.Settings, card.User);
        sub->Currency = CurrencyList ? CurrencyList->FindByCode(buyCode) : trade.BuyCurrency;
        sub->ChaoHui = trade.BillFlag;
        sub->Balance = bought < 0 ? 0 : bought;
        sub->UseBalance = sub->Balance;
        sub->BranchId = card.BranchId;
        // The trade was made on a demand-only account, so the new holding is
        // demand savings too; without this the account would stop counting
        // as demand-only and later local updates would be skipped.
        sub->SaveType = DemandSaveType();
        card.SubAccounts.Add(std::move(sub));
    }
    return true;
}

} // namespace

bool ApplyDealToBalances(TAccount *cardAccount, const TForexBase &record)
{
    if (!cardAccount || !CurrentAccount || !OnlyDemandDeposits)
        return false;
    if (auto *cancel = dynamic_cast<const TDelegateCancel *>(&record))
        return applyCancel(*cardAccount, *cancel);
    if (dynamic_cast<const TDelegateOpponent *>(&record))
        return false;
    if (auto *order = dynamic_cast<const TDelegate *>(&record))
        return applyOrder(*cardAccount, *order);
    if (auto *trade = dynamic_cast<const TBargaining *>(&record)) {
        if (trade->Step == QLatin1String("0003"))
            return applyTrade(*cardAccount, *trade);
    }
    return false;
}

void HandBankQuoteText(const QString &text)
{
    const auto controller = CurrentBranchController();
    if (!controller || !BankMarketList)
        return;
    try {
        QMutexLocker l(BankFeedLock);
        controller->MergeBankQuotes(*BankMarketList, text);
    } catch (...) {
    }
}

void HandIntlQuoteText(const QString &text)
{
    const auto controller = CurrentBranchController();
    if (!controller || !IntlMarketList || !IndexMarketList || !Settings)
        return;
    try {
        QMutexLocker l(IntlFeedLock);
        controller->MergeInterQuotes(*IntlMarketList, text, *IndexMarketList, *Settings);
    } catch (...) {
    }
}
