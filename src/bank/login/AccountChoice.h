#pragma once
// Applying the customer's choice of card account: the branch controller of
// its branch, the settings' branch and feed addresses, the owner of the
// single trade records.
//
// The controller is made first: when the branch has none, nothing of the
// session changes, so a refused branch never leaves the session half
// switched to the new account.

#include <QString>
#include <QStringList>
#include <vector>

class TAccount;
class TUser;

namespace AccountChoice {

// The card accounts offered: AccountType "16", "91" or "12", in order.
std::vector<TAccount *> Offered(const TUser &user);

// The region name of a branch identifier (empty when unknown).
QString RegionName(const QString &branchId);

enum class Result { Applied, NoBranch };
// Makes `account` the current account. NoBranch leaves everything as it was.
Result Apply(TAccount *account);

inline const QString kNoSelection = QStringLiteral("请选择一个账户！");
inline const QString kNoBranch = QStringLiteral("该银行尚未开通此功能！");

} // namespace AccountChoice
