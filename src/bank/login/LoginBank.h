#pragma once
// What the login window needs of the bank session: the picture fetch, the
// login transaction and the account list.

#include <QString>
#include <memory>

class TUser;

namespace LoginBank {
// Fetches the picture into `file`; false when nothing usable arrived.
bool FetchPicture(const QString &url, const QString &file);
// Transaction 100101; raises EResponseError. The user's account list is empty.
std::unique_ptr<TUser> Login(const QString &loginNo, const QString &password, const QString &verCode,
                             const QString &digest);
// Transaction 310102; its failures are logged, not raised.
void LoadAccounts(TUser &user);
} // namespace LoginBank
