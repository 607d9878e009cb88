#include "QuoteLayouts.h"

#include "TCurrency.h"
#include "TCurrencyList.h"
#include "TIndexInfo.h"
#include "TMarketList.h"

namespace QuoteLayouts {

void RebuildFromCustom(TMarketList &list, const IntList &currCustom, TCurrencyList &currencies)
{
    list.Clear();
    for (const IntList::Entry &e : currCustom.entries()) {
        const int slash = e.name.indexOf(QLatin1Char('/'));
        if (slash < 0)
            continue;
        auto *m = list.Emplace();
        m->Currency1 = currencies.FindByCode(e.name.left(slash).trimmed());
        m->Currency2 = currencies.FindByCode(e.name.mid(slash + 1).trimmed());
        m->Visible = e.value == 1;
    }
}

IntList CollectCustom(const TMarketList &list)
{
    IntList out;
    for (const auto &m : list)
        out.append(m->Code1() + QLatin1Char('/') + m->Code2(), m->Visible ? 1 : 0);
    return out;
}

IntList CollectIndexShow(const TMarketList &indices)
{
    IntList out;
    for (const auto &m : indices)
        if (m->IndexInfo)
            out.append(m->IndexInfo->Code, m->Visible ? 1 : 0);
    return out;
}

namespace {
int codeNumber(const QString &code)
{
    bool ok = false;
    const int v = code.trimmed().toInt(&ok);
    return ok ? v : -1;
}
} // namespace

bool MarkPairVisible(TMarketList &list, int a, int b)
{
    for (const auto &m : list) {
        const int c1 = codeNumber(m->Code1()), c2 = codeNumber(m->Code2());
        if ((c1 == a && c2 == b) || (c1 == b && c2 == a)) {
            m->Visible = true;
            return true;
        }
    }
    return false;
}

} // namespace QuoteLayouts
