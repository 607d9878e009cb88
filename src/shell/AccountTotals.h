#pragma once
// The converted totals of the account frame: every sub-account's usable
// and total balance brought into one target currency with the bank quotes.

#include <QString>
#include <vector>

class TAccount;
class TAccountList;
class TMarketList;

namespace AccountTotals {

// Sorts sub-accounts by currency code (as numbers), then by ChaoHui (as
// text); a sub-account without a currency sorts first. Stable.
void SortSubAccounts(TAccountList &subAccounts);

// The factor that brings an amount of currency `code` into `target`: 1 for
// equal codes; a quote code/target multiplies by its SellPrice0 (when above
// 0); else a quote target/code divides by its BuyPrice0 (that quote prices
// the target in units of `code`). 0 when there is no usable quote.
double ConversionFactor(const QString &code, const QString &target, const TMarketList &quotes);

struct Totals {
    bool valid = false; // false: both totals show "-"
    double usable = 0;
    double total = 0;
};

// The frame's totals: the sub-accounts are sorted in place, summed per
// currency, each currency sum converted. Invalid when no target is chosen
// or any currency has no rate.
Totals FrameTotals(TAccountList &subAccounts, const QString &target, const TMarketList &quotes);

// A copy of one sub-account's amounts, so that a dialog open meanwhile
// never reads sub-accounts a refresh has freed.
struct Holding {
    QString code;    // currency code
    QString name;    // currency name ("未知货币" for an unknown currency)
    QString chaoHui;
    double usable = 0;
    double total = 0;
};
std::vector<Holding> HoldingsOf(const TAccountList &subAccounts);

struct Share {
    QString code;
    double usable = 0;
    double total = 0; // converted, rounded to 2 decimals
};
struct Selection {
    Totals totals;
    std::vector<Share> shares; // per currency with a rate, in first-seen order
};

// "折 算": the chosen sub-accounts grouped by currency; CrossRate(target,
// currency) gives the rate (inverted for a direct quote target/currency).
// A currency without a rate above 0 is left out of the shares and makes
// the totals invalid. Converted amounts are rounded to 2 decimals.
Selection ConvertSelected(const std::vector<Holding> &chosen, const QString &target,
                          const TMarketList &quotes);

// Half away from zero.
double Round2(double value);

} // namespace AccountTotals
