#pragma once
// A deal-list query and its result; today's deals.

#include "TBargaining.h"
#include "TBargainingDetail.h"

#include <QStringList>

class TBargainingHistory : public TBargainingBase
{
public:
    TBargainingHistory(TSettings *settings, TAccount *owner);
    void Execute() override;

    // Newest first: by ContractTime, or DealTime where ContractTime is 0.
    void SortNewestFirst();
    TBargainingDetail *FindDetail(const QString &contractNo) const;
    TBargainingDetail *FindDealtDetail(const QString &contractNo) const; // StatusCode "4"

    // "3115" lists completed deals; anything else (the screens use "3116") orders.
    bool ListsDeals() const { return TransType == QLatin1String("3115"); }

    QString ContractNo;
    int TransFlag = 0;
    QString TransType;
    double BeginDate = 0;
    double EndDate = 0;
    TBargainDetailList Details;
};

class TBargainingToday : public TBargainingHistory
{
public:
    TBargainingToday(TSettings *settings, TAccount *owner);
    void Execute() override;

    QStringList DealtContracts() const;           // StatusCode "4"
    QStringList DealtOrCancelledContracts() const; // StatusCode "4" or "6"
};
