#pragma once
// The records of one trade, order, cancel or deal query.

#include "TForexBase.h"

#include <QString>

struct TCurrency;
class TAccount;

class TBargainingBase : public TForexBase
{
public:
    TBargainingBase(TSettings *settings, TAccount *owner) : TForexBase(settings), Owner(owner) {}

    QString TransPassword;
    TAccount *Owner = nullptr;
};

// An instant trade: a rate request ("0001"), then its confirmation ("0003")
// or giving it up ("0002").
class TBargaining : public TBargainingBase
{
public:
    using TBargainingBase::TBargainingBase;
    void Execute() override;

    // The amount sent as CHANGED_AMOUNT: SellAmount unless TransDir is "0".
    double ChangedAmount() const { return TransDir != QLatin1String("0") ? SellAmount : BuyAmount; }

    QString ContractNo;
    QString TransDir;
    QString Step;
    double Ratio = 0;
    QString SignStr;
    QString BillFlag;
    TCurrency *BuyCurrency = nullptr;
    TCurrency *SellCurrency = nullptr;
    double BuyAmount = 0;
    double SellAmount = 0;
    bool RepeatFlag = false;
    bool IsFixedTerm = false;
    QString SubAcc;
    QString SellCurrencyName;
    QString ProName;
    QString ProId;
};

// A take-profit ("338"), stop-loss ("339"), two-way ("340") or appended
// ("341") order.
class TDelegate : public TBargaining
{
public:
    TDelegate(TSettings *settings, TAccount *owner);
    void Execute() override;

    // Days from BeginDate to EndDate plus one.
    int ValidDays() const;

    QString OrderType;
    double QuotePrice = 0;
    double ShutRate = 0;
    double BeginDate = 0;
    double EndDate = 0;
};

// An appended order against an existing contract.
class TDelegateOpponent : public TDelegate
{
public:
    using TDelegate::TDelegate;
    void Execute() override;
};

// Cancellation of an order.
class TDelegateCancel : public TBargainingBase
{
public:
    using TBargainingBase::TBargainingBase;
    void Execute() override;

    QString ContractNo;
};
