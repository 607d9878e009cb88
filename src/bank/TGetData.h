#pragma once
// The bank operations of the client. Each sends its bank transaction (or
// every page of a paged query) through one TWebDownloader, checks the
// answer and reads it into the records, on the GUI thread, blocking the
// caller while the event loop runs. Only one runs at a time (see
// TransactionGuard): one that tries to start meanwhile is refused with
// EResponseError. Every failure is an EResponseError whose text is ready to
// show, except where an operation says otherwise.

#include <QString>
#include <memory>

class TSettings;
class TUser;
class TAccount;
class TInCom;
class TBargaining;
class TDelegate;
class TDelegateOpponent;
class TDelegateCancel;
class TBargainingHistory;
class TBargainingToday;

class TGetData
{
public:
    // A page count beyond this is not believed: the query fails.
    static constexpr int kMaxPageCount = 1000;

    // 100101. Sets settings.SessionKey; returns the new user. A fetch that
    // brought no answer document is logged ("验证身份出错" and the page).
    static std::unique_ptr<TUser> Login(const QString &loginNo, const QString &password, const QString &verCode,
                                        const QString &digest, TSettings &settings);
    // 310102. Never raises: any failure ends the reading with a log entry;
    // the accounts read until then stay.
    static void LoadAccounts(TUser &user);
    // 310600 / 310800: appends the card account's sub-accounts.
    static void LoadSubAccounts(TAccount &card);
    // 310700
    static void UpdateSubAccounts(TAccount &card);
    // 310100
    static void LoadBalance(TAccount &account);
    // 310200, paged. A failure on a later page empties the statement, shows
    // the warning "通讯故障，请稍后再试" and ends normally.
    static void LoadStatement(TInCom &query);
    // Step "0001": 320102 / 320902; "0003": 320100 / 320903; "0002" sends
    // nothing. A sent trade clears IsFixedTerm.
    static void SendBargaining(TBargaining &trade);
    // 320200 / 321002
    static void SendDelegate(TDelegate &order);
    // 321104 / 321204 (SignStr := ContractNo first)
    static void SendDelegateOpponent(TDelegateOpponent &order);
    // 320400
    static void SendDelegateCancel(TDelegateCancel &cancel);
    // 320700 at the Shenzhen branch for a query with a contract number,
    // otherwise pages of 320600 ("3115") or 320800, each after the page
    // wait; sorted newest first at the end.
    static void LoadHistory(TBargainingHistory &query);
    // Today's pages of 320600 (no wait) or 320800 (page wait before each).
    static void LoadToday(TBargainingToday &query);

    // Keep-alive requests: start the navigation and return; no answer is
    // read, LastRequestTick is not touched, nothing is raised. Skipped while
    // a transaction is in progress.
    static void KeepAliveOrders(const TAccount &account);
    static void KeepAliveSubAccounts(const TAccount &account);
    static void NavigateNoWait(const QString &url);
    static bool IsPageUnavailable();

    // The image fetch of the login (see ImageFetcher).
    static void FetchToFile(const QString &url, const QString &path);

    // Makes these operations the bank gateway of the records' Execute.
    static void InstallGateway();
};
