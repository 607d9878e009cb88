#pragma once
// Account detail (statement) query and its lines.

#include "TForexBase.h"
#include "TForexObjList.h"
#include "platform/Fixed4.h"
#include "platform/Formats.h"

#include <QString>

class TAccount;

struct TInComDetail {
    QString UserId;
    QString AccountNo;
    int RecordId = 0;
    QString CurrencyCode;
    QString SaveType;
    double ChangeDate = Formats::kMissingDate;
    QString ChangePlace;
    QString Kind;
    Fixed4 ChangeAmount;
    bool IsByHand = false;
    bool IsEdit = false;
    QString BargainCode;
    Fixed4 Balance;
    QString Memo;
};

class TIncomList : public TForexObjList<TInComDetail>
{
};

class TInCom : public TForexBase
{
public:
    using TForexBase::TForexBase;
    // The account detail view runs the query itself.
    void Execute() override {}

    double BeginDate = 0;
    double EndDate = 0;
    TAccount *Account = nullptr;
    TIncomList Details;
};
