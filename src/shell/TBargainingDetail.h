#pragma once
// One contract or deal of a deal list.

#include "TForexObjList.h"
#include "platform/Formats.h"

#include <QString>

struct TCurrency;

struct TBargainingDetail {
    QString ContractNo;
    double ContractTime = Formats::kMissingDate;
    QString BillFlag;
    TCurrency *BuyCurrency = nullptr;
    TCurrency *SellCurrency = nullptr;
    double Ratio = 0;
    double ProfitRatio = 0;
    double BadRatio = 0;
    double BuyAmount = 0;
    double SaleAmount = 0;
    QString StatusCode;
    double DealTime = 0;
    QString BankDefine1;
    QString BankDefine2;
};

class TBargainDetailList : public TForexObjList<TBargainingDetail>
{
};
