#pragma once
// The logged-in customer.

#include "TAccount.h"
#include "TForexBase.h"

#include <QString>

class TUser : public TForexBase
{
public:
    explicit TUser(TSettings *settings);
    ~TUser() override;
    void Execute() override;

    QString UserId;
    QString LoginPassword; // the login page's encoded value; memory only
    QString TransPassword; // kept for the session when SaveDealPwd is on
    TAccountList Accounts;
    QString Cookies;
    QString UserName;
};
