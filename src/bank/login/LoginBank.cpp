#include "LoginBank.h"

#include "ForexErrors.h"
#include "TSettings.h"
#include "TUser.h"
#include "bank/TGetData.h"

namespace LoginBank {

bool FetchPicture(const QString &url, const QString &file)
{
    try {
        TGetData::FetchToFile(url, file);
        return true;
    } catch (const EForexError &) {
        return false;
    }
}

std::unique_ptr<TUser> Login(const QString &loginNo, const QString &password, const QString &verCode,
                             const QString &digest)
{
    return TGetData::Login(loginNo, password, verCode, digest, *Settings);
}

void LoadAccounts(TUser &user)
{
    TGetData::LoadAccounts(user);
}

} // namespace LoginBank
