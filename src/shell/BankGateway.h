#pragma once
// What the records' Execute operations need of the bank layer. The bank
// session core installs its implementation at start-up; without one every
// Execute raises EResponseError, so nothing is ever reported as done that
// was not sent.

class TAccount;
class TBargaining;
class TDelegate;
class TDelegateOpponent;
class TDelegateCancel;
class TBargainingHistory;
class TBargainingToday;

class BankGateway
{
public:
    virtual ~BankGateway() = default;
    virtual void LoadSubAccounts(TAccount &cardAccount) = 0;
    virtual void SendBargaining(TBargaining &trade) = 0;
    virtual void SendDelegate(TDelegate &order) = 0;
    virtual void SendDelegateOpponent(TDelegateOpponent &order) = 0;
    virtual void SendDelegateCancel(TDelegateCancel &cancel) = 0;
    virtual void LoadHistory(TBargainingHistory &query) = 0;
    virtual void LoadToday(TBargainingToday &query) = 0;

    static BankGateway *Current();
    // Not owned; pass nullptr to remove.
    static void Install(BankGateway *gateway);
};
