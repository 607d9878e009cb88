#include "TBargainingHistory.h"

#include "platform/Formats.h"

TBargainingHistory::TBargainingHistory(TSettings *settings, TAccount *owner) : TBargainingBase(settings, owner) {}

void TBargainingHistory::SortNewestFirst()
{
    auto key = [](const TBargainingDetail &d) { return d.ContractTime != 0 ? d.ContractTime : d.DealTime; };
    Details.StableSort([&](const TBargainingDetail &a, const TBargainingDetail &b) { return key(a) > key(b); });
}

TBargainingDetail *TBargainingHistory::FindDetail(const QString &contractNo) const
{
    for (const auto &d : Details)
        if (d->ContractNo == contractNo)
            return d.get();
    return nullptr;
}

TBargainingDetail *TBargainingHistory::FindDealtDetail(const QString &contractNo) const
{
    for (const auto &d : Details)
        if (d->ContractNo == contractNo && d->StatusCode == QLatin1String("4"))
            return d.get();
    return nullptr;
}

TBargainingToday::TBargainingToday(TSettings *settings, TAccount *owner) : TBargainingHistory(settings, owner)
{
    BeginDate = Formats::today();
    EndDate = BeginDate;
}

QStringList TBargainingToday::DealtContracts() const
{
    QStringList out;
    for (const auto &d : Details)
        if (d->StatusCode == QLatin1String("4"))
            out << d->ContractNo;
    return out;
}

QStringList TBargainingToday::DealtOrCancelledContracts() const
{
    QStringList out;
    for (const auto &d : Details)
        if (d->StatusCode == QLatin1String("4") || d->StatusCode == QLatin1String("6"))
            out << d->ContractNo;
    return out;
}
