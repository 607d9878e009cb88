#include "TUser.h"

TUser::TUser(TSettings *settings) : TForexBase(settings) {}

TUser::~TUser()
{
    // Sub-accounts are destroyed before the card accounts that hold them,
    // and the secrets are overwritten before the memory is released.
    LoginPassword.fill(QLatin1Char('\0'));
    TransPassword.fill(QLatin1Char('\0'));
    Accounts.Clear();
}
