#include "AccountChoice.h"

#include "ForexErrors.h"
#include "SharedInstances.h"
#include "TAccount.h"
#include "TBargaining.h"
#include "TBargainingHistory.h"
#include "TBranchBankController.h"
#include "TSettings.h"
#include "TUser.h"
#include "bank/BranchDirectory.h"

namespace AccountChoice {

std::vector<TAccount *> Offered(const TUser &user)
{
    std::vector<TAccount *> out;
    for (const auto &a : user.Accounts)
        if (a->AccountType == QLatin1String("16") || a->AccountType == QLatin1String("91")
            || a->AccountType == QLatin1String("12"))
            out.push_back(a.get());
    return out;
}

QString RegionName(const QString &branchId)
{
    return BranchDirectory::ProvinceName(branchId);
}

Result Apply(TAccount *account)
{
    if (!account)
        return Result::NoBranch;
    std::shared_ptr<TBranchBankController> controller = CurrentBranchController();
    if (!controller || !BranchDirectory::Serves(*controller, account->BranchId)) {
        try {
            controller = BranchDirectory::CreateForBranch(account->BranchId);
        } catch (const ENoBranchError &) {
            return Result::NoBranch;
        }
    }
    CurrentAccount = account;
    Settings->BranchCode = account->BranchId;
    SetBranchController(controller);
    Settings->TakeBranchEndpoints();
    for (TBargainingBase *record : std::initializer_list<TBargainingBase *>{
             BargainingHistory, BargainingToday, Bargaining, Delegate, DelegateOpponent, DelegateCancel})
        if (record)
            record->Owner = account;
    return Result::Applied;
}

} // namespace AccountChoice
