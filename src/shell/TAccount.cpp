#include "TAccount.h"

#include "SharedInstances.h"
#include "TBargaining.h"
#include "TBargainingHistory.h"
#include "TUser.h"

namespace {
template <typename T>
void createIfMissing(T *&global, TSettings *settings, TAccount *owner)
{
    if (!global)
        global = new T(settings, owner);
}

template <typename T>
void destroyIfOwned(T *&global, const TAccount *owner)
{
    if (global && global->Owner == owner) {
        delete global;
        global = nullptr;
    }
}
} // namespace

TAccount::TAccount(TSettings *settings, TUser *user) : TForexBase(settings), User(user)
{
    createIfMissing(BargainingHistory, settings, this);
    createIfMissing(BargainingToday, settings, this);
    createIfMissing(Bargaining, settings, this);
    createIfMissing(Delegate, settings, this);
    createIfMissing(DelegateOpponent, settings, this);
    createIfMissing(DelegateCancel, settings, this);
}

TAccount::~TAccount()
{
    destroyIfOwned(BargainingHistory, this);
    destroyIfOwned(BargainingToday, this);
    destroyIfOwned(Bargaining, this);
    destroyIfOwned(Delegate, this);
    destroyIfOwned(DelegateOpponent, this);
    destroyIfOwned(DelegateCancel, this);
    if (CurrentAccount == this)
        CurrentAccount = nullptr;
}

QString TAccount::ProvinceCode() const
{
    return BranchId.left(3) + QStringLiteral("000000");
}
