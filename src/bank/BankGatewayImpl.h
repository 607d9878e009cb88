#pragma once
// The bank gateway of the records' Execute operations, carried out by
// TGetData. TGetData::InstallGateway installs it.

#include "BankGateway.h"

class BankGatewayImpl : public BankGateway
{
public:
    void LoadSubAccounts(TAccount &cardAccount) override;
    void SendBargaining(TBargaining &trade) override;
    void SendDelegate(TDelegate &order) override;
    void SendDelegateOpponent(TDelegateOpponent &order) override;
    void SendDelegateCancel(TDelegateCancel &cancel) override;
    void LoadHistory(TBargainingHistory &query) override;
    void LoadToday(TBargainingToday &query) override;
};
