#pragma once
// The session bank of the client: the account transactions and keep-alives
// of TGetData, the busy state of its transaction guard.

#include "SessionBank.h"

class TGetDataSessionBank : public SessionBank
{
public:
    void LoadSubAccounts(TAccount &cardAccount) override;
    void UpdateSubAccounts(TAccount &cardAccount) override;
    void LoadBalance(TAccount &account) override;
    void LoadStatement(TInCom &query) override;
    void KeepAliveOrders(TAccount &account) override;
    void KeepAliveSubAccounts(TAccount &account) override;
    bool IsPageUnavailable() const override;
    bool Busy() const override;

    // Installs one instance (once) and forwards the guard's busy changes to
    // SessionBusy.
    static void InstallForClient();
};
