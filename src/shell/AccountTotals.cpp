#include "AccountTotals.h"

#include "AccountTexts.h"
#include "ModelOps.h"
#include "TAccount.h"
#include "TCurrency.h"
#include "TCurrencyList.h"
#include "TMarketList.h"

#include <cmath>

namespace AccountTotals {

namespace {

bool toCode(const QString &text, int *out)
{
    bool ok = false;
    *out = text.trimmed().toInt(&ok);
    return ok;
}

bool isCode(const TCurrency *c, int code)
{
    int v = 0;
    return c && toCode(c->Code, &v) && v == code;
}

struct Group {
    QString code;
    double usable = 0;
    double total = 0;
};

// Groups in first-seen order.
Group &groupFor(std::vector<Group> &groups, const QString &code)
{
    for (Group &g : groups)
        if (g.code == code)
            return g;
    groups.push_back({code, 0, 0});
    return groups.back();
}

} // namespace

double Round2(double value)
{
    return std::round(value * 100.0) / 100.0;
}

void SortSubAccounts(TAccountList &subs)
{
    subs.StableSort([](const TAccount &a, const TAccount &b) {
        int ca = -1, cb = -1;
        if (!a.Currency || !toCode(a.Currency->Code, &ca))
            ca = -1;
        if (!b.Currency || !toCode(b.Currency->Code, &cb))
            cb = -1;
        if (ca != cb)
            return ca < cb;
        return a.ChaoHui < b.ChaoHui;
    });
}

double ConversionFactor(const QString &code, const QString &target, const TMarketList &quotes)
{
    int a = 0, b = 0;
    if (!toCode(code, &a) || !toCode(target, &b))
        return 0;
    if (a == b)
        return 1.0;
    for (const auto &m : quotes)
        if (isCode(m->Currency1, a) && isCode(m->Currency2, b)) {
            if (m->SellPrice0 > 0)
                return m->SellPrice0;
            break;
        }
    for (const auto &m : quotes)
        if (isCode(m->Currency1, b) && isCode(m->Currency2, a))
            return m->BuyPrice0 > 0 ? 1.0 / m->BuyPrice0 : 0;
    return 0;
}

Totals FrameTotals(TAccountList &subs, const QString &target, const TMarketList &quotes)
{
    SortSubAccounts(subs);
    Totals t;
    if (target.trimmed().isEmpty())
        return t;
    std::vector<Group> groups;
    for (const auto &sub : subs) {
        Group &g = groupFor(groups, AccountTexts::CurrencyCode(*sub));
        g.usable += sub->UseBalance;
        g.total += sub->Balance;
    }
    for (const Group &g : groups) {
        const double f = ConversionFactor(g.code, target, quotes);
        if (!(f > 0))
            return Totals{};
        t.usable += g.usable * f;
        t.total += g.total * f;
    }
    t.valid = true;
    return t;
}

std::vector<Holding> HoldingsOf(const TAccountList &subs)
{
    std::vector<Holding> out;
    for (const auto &sub : subs)
        out.push_back({AccountTexts::CurrencyCode(*sub),
                       sub->Currency ? sub->Currency->Name : TCurrencyList::UnknownName(), sub->ChaoHui,
                       sub->UseBalance, sub->Balance});
    return out;
}

Selection ConvertSelected(const std::vector<Holding> &chosen, const QString &target, const TMarketList &quotes)
{
    Selection s;
    if (target.trimmed().isEmpty() || chosen.empty())
        return s;
    std::vector<Group> groups;
    for (const Holding &h : chosen) {
        Group &g = groupFor(groups, h.code);
        g.usable += h.usable;
        g.total += h.total;
    }
    bool allRated = true;
    for (const Group &g : groups) {
        CrossRateResult cr = CrossRate(target, g.code, quotes);
        double rate = cr.rate;
        if (cr.kind == 0 || !(rate > 0)) {
            allRated = false;
            continue;
        }
        if (cr.kind == 2)
            rate = 1.0 / rate;
        Share share{g.code, Round2(g.usable * rate), Round2(g.total * rate)};
        s.totals.usable += share.usable;
        s.totals.total += share.total;
        s.shares.push_back(share);
    }
    s.totals.valid = allRated;
    if (!allRated) {
        s.totals.usable = 0;
        s.totals.total = 0;
    }
    return s;
}

} // namespace AccountTotals
