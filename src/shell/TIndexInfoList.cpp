#include "TIndexInfoList.h"

#include <cmath>

double TIndexInfo::PriceUnit() const
{
    const double u = std::pow(10.0, -Decimals);
    return std::isfinite(u) && u > 0 ? u : 1.0;
}

QStringList TIndexInfoList::FixedTable()
{
    return {
        QStringLiteral("NIXI,日经指数,0"), QStringLiteral("DINI,美元指数,2"), QStringLiteral("DJII,道琼工业,1"),
        QStringLiteral("NSDI,纳斯达克,2"), QStringLiteral("TRAI,道琼运输,1"), QStringLiteral("COMI,道琼综合,1"),
        QStringLiteral("NQCI,科技指数,2"), QStringLiteral("E000,深圳成分,1"), QStringLiteral("D000,上证指数,2"),
        QStringLiteral("MMCI,主要市场,2"), QStringLiteral("MCAI,巴黎证商,2"), QStringLiteral("FTLI,伦敦指数,1"),
        QStringLiteral("DAXI,法兰克福,2"), QStringLiteral("TAXI,台股指数,2"), QStringLiteral("PITI,东证指数,2"),
        QStringLiteral("HSKI,恒生指数,0"), QStringLiteral("FITI,加权指数,2"), QStringLiteral("FFTI,金融指数,2"),
        QStringLiteral("FETI,电子指数,2"), QStringLiteral("CRNI,#CRB指数,2"), QStringLiteral("S5CI,S&P指数,2"),
        QStringLiteral("RTNI,罗素2000,2"), QStringLiteral("UTLI,道琼公共,2"),
    };
}

TIndexInfoList::TIndexInfoList()
{
    AddEntries(FixedTable());
}

void TIndexInfoList::AddEntries(const QStringList &entries)
{
    for (const QString &e : entries) {
        const QStringList parts = e.split(QLatin1Char(','));
        if (parts.size() != 3)
            continue;
        TIndexInfo *info = Emplace();
        info->Code = parts[0];
        info->Name = parts[1];
        bool ok = false;
        const int d = parts[2].trimmed().toInt(&ok);
        info->Decimals = ok ? d : 0;
    }
}

int TIndexInfoList::FindByCode(const QString &code) const
{
    int i = 0;
    for (const auto &info : *this) {
        if (info->Code.compare(code, Qt::CaseInsensitive) == 0)
            return i;
        ++i;
    }
    return -1;
}

TIndexInfo *TIndexInfoList::IndexFor(const QString &code)
{
    const int i = FindByCode(code);
    if (i >= 0)
        return Item(i);
    TIndexInfo *info = Emplace();
    info->Code = code;
    info->Name = code;
    info->Decimals = 0;
    return info;
}
