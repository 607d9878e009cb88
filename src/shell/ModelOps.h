#pragma once
// Operations of the data model that work on the records alone.

#include <QString>

class TAccount;
class TForexBase;
class TMarketList;

// false when the account has no sub-accounts; true when every sub-account is
// a demand savings account ("活期储蓄").
bool IsOnlyDemand(const TAccount &cardAccount);

// First sub-account with a currency whose ChaoHui is `billFlag` and whose
// currency code is `currencyCode`; nullptr when none.
TAccount *FindSubAccount(const TAccount &cardAccount, const QString &currencyCode, const QString &billFlag);

struct CrossRateResult {
    int kind = 0;     // -1 same currency, 2 direct pair, 1 reversed pair, 0 none
    double rate = 0;
};
// Cross rate between two currency codes (compared as integers) from the
// bank quotes; `rate` stays `previousRate` when no pair is quoted.
CrossRateResult CrossRate(const QString &codeA, const QString &codeB, const TMarketList &quotes,
                          double previousRate = 0);
// Converts with a cross rate: divides when kind is 1, multiplies otherwise;
// a division by a zero rate gives 0.
double ConvertWithRate(double amount, int kind, double rate);
// The conversion the other way round (multiply when kind 1, else divide).
double ConvertBackWithRate(double amount, int kind, double rate);

// Price for a pair: 1 for equal codes, the direct record's SellPrice0, else
// the reversed record's BuyPrice0 (not inverted), else 0.
double PairRate(const QString &codeA, const QString &codeB, const TMarketList &quotes);

// Local balance update after a successful bank operation (trade, order,
// cancel). Applies only when CurrentAccount exists and OnlyDemandDeposits
// is true. No balance goes below 0.
bool ApplyDealToBalances(TAccount *cardAccount, const TForexBase &record);

// Feed hand-over to the current branch controller; nothing without one,
// parse errors are swallowed.
void HandBankQuoteText(const QString &text);
void HandIntlQuoteText(const QString &text);
