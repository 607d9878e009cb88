#pragma once
// One record type for a card account (element of TUser::Accounts) and a
// currency sub-account (element of a card account's SubAccounts).

#include "TForexBase.h"
#include "TForexObjList.h"

#include <QString>

struct TCurrency;
class TUser;
class TAccount;

class TAccountList : public TForexObjList<TAccount>
{
};

class TAccount : public TForexBase
{
public:
    // Creates each single trade record (Bargaining, Delegate …) that does
    // not exist yet, with this account as its owner.
    TAccount(TSettings *settings, TUser *user);
    // Destroys exactly the single records this account still owns.
    ~TAccount() override;

    // Card account: fetches its sub-accounts and appends them.
    void Execute() override;

    bool ForexEnabled = false;
    QString AccountNo;
    QString AccountType;
    QString AccountStatus;
    TCurrency *Currency = nullptr;
    QString ChaoHui;
    double Balance = 0;
    double UseBalance = 0;
    double FrozenBalance = 0;
    QString SaveType;
    TUser *User = nullptr;
    TAccountList SubAccounts;
    QString AccSign;
    QString FlagCard;
    QString PdtCode;
    QString BranchId;

    // Province code of BranchId: its first three characters + "000000".
    QString ProvinceCode() const;
};

// The text of the demand-savings deposit kind.
inline QString DemandSaveType()
{
    return QStringLiteral("活期储蓄");
}
