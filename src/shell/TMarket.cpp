#include "TMarket.h"

#include "TCurrency.h"

namespace {
template <typename M>
auto slot(M &m, int level, bool buy) -> decltype(&m.BuyPrice0)
{
    switch (level) {
    case 0: return buy ? &m.BuyPrice0 : &m.SellPrice0;
    case 1: return buy ? &m.BuyPrice1 : &m.SellPrice1;
    case 2: return buy ? &m.BuyPrice2 : &m.SellPrice2;
    case 3: return buy ? &m.BuyPrice3 : &m.SellPrice3;
    case 4: return buy ? &m.BuyPrice4 : &m.SellPrice4;
    case 5: return buy ? &m.BuyPrice5 : &m.SellPrice5;
    case 6: return buy ? &m.BuyPrice6 : &m.SellPrice6;
    default: return nullptr;
    }
}
} // namespace

double TMarket::BuyPrice(int level) const
{
    auto p = slot(*this, level, true);
    return p ? *p : 0;
}

double TMarket::SellPrice(int level) const
{
    auto p = slot(*this, level, false);
    return p ? *p : 0;
}

void TMarket::SetBuyPrice(int level, double v)
{
    if (auto p = slot(*this, level, true))
        *p = v;
}

void TMarket::SetSellPrice(int level, double v)
{
    if (auto p = slot(*this, level, false))
        *p = v;
}

QString TMarket::Code1() const
{
    return Currency1 ? Currency1->Code : QString();
}

QString TMarket::Code2() const
{
    return Currency2 ? Currency2->Code : QString();
}
