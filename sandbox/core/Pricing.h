#pragma once

#include "BankBook.h"

// Conversions between the two currencies of a quoted pair.
class Pricing
{
public:
    struct Conversion
    {
        FixedAmount sellAmount;
        FixedAmount buyAmount;
        FixedAmount rate;
    };

    // The rate the bank deals at now when the customer sells `sell`: its
    // buying price when `sell` is the pair's base, its selling price otherwise.
    static FixedAmount marketRate(const QuotedRate &pair, const QString &sell);

    // Completes a trade of `amount` (sold when transDir is "1", bought when
    // "0") at `rate` (market convention of the pair). What the customer
    // receives is rounded to the nearest, what the customer pays is rounded
    // up, both to the currency's decimals.
    static Conversion convert(const BankBook &book, const QuotedRate &pair, const QString &sell,
                              const QString &buy, const QString &transDir, FixedAmount amount,
                              FixedAmount rate);
};
