#pragma once
// What the main window and the account views need of the bank session:
// the account transactions, the keep-alive navigations and whether a
// transaction is waiting. The bank session core installs its
// implementation; tests install their own. Without one, the sub-account
// fetch goes through the records' gateway (TAccount::Execute) and every
// other transaction raises EResponseError, so nothing is reported as done
// that was not sent.
//
// GUI thread only.

#include <QObject>

class TAccount;
class TInCom;

class SessionBank
{
public:
    virtual ~SessionBank();

    // 310600 / 310800: appends the card account's sub-accounts.
    virtual void LoadSubAccounts(TAccount &cardAccount);
    // 310700: has the bank update the sub-account information.
    virtual void UpdateSubAccounts(TAccount &cardAccount);
    // 310100: fills Balance, UseBalance and FrozenBalance of the account.
    virtual void LoadBalance(TAccount &account);
    // 310200, every page: fills query.Details.
    virtual void LoadStatement(TInCom &query);
    // Keep-alive navigations (320800 for today, 310700); they return at
    // once, read no answer and raise nothing.
    virtual void KeepAliveOrders(TAccount &account);
    virtual void KeepAliveSubAccounts(TAccount &account);
    // The document the session shows now is the page for a page that
    // cannot be displayed.
    virtual bool IsPageUnavailable() const;
    // A bank transaction is waiting for its answer.
    virtual bool Busy() const;

    // The implementation in use (a default one when none is installed).
    static SessionBank &Current();
    // Not owned; nullptr restores the default.
    static void Install(SessionBank *bank);
};

// Tells the windows when the bank session becomes busy or free, so their
// bank buttons stay disabled and their timers skip while a transaction
// waits. The session core's adapter forwards its guard's changes here.
class SessionBusy : public QObject
{
    Q_OBJECT
public:
    static SessionBusy *Instance();
    static bool Busy() { return SessionBank::Current().Busy(); }
    // Emits busyChanged; called by whoever knows the session's state.
    static void Notify(bool busy);

signals:
    void busyChanged(bool busy);

private:
    explicit SessionBusy(QObject *parent);
};
