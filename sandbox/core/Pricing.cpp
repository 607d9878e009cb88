#include "Pricing.h"

FixedAmount Pricing::marketRate(const QuotedRate &pair, const QString &sell)
{
    return sell == pair.base ? pair.bid : pair.ask;
}

Pricing::Conversion Pricing::convert(const BankBook &book, const QuotedRate &pair,
                                     const QString &sell, const QString &buy,
                                     const QString &transDir, FixedAmount amount, FixedAmount rate)
{
    using R = FixedAmount::Rounding;
    Conversion c;
    c.rate = rate;
    const bool sellIsBase = sell == pair.base;
    const int sellDecimals = book.decimalsOf(sell);
    const int buyDecimals = book.decimalsOf(buy);
    if (transDir == QLatin1String("0")) {
        c.buyAmount = amount;
        c.sellAmount = sellIsBase ? FixedAmount::divide(amount, rate, sellDecimals, R::Up)
                                  : FixedAmount::multiply(amount, rate, sellDecimals, R::Up);
    } else {
        c.sellAmount = amount;
        c.buyAmount = sellIsBase ? FixedAmount::multiply(amount, rate, buyDecimals, R::HalfUp)
                                 : FixedAmount::divide(amount, rate, buyDecimals, R::HalfUp);
    }
    return c;
}
