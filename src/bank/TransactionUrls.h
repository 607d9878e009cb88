#pragma once
// The address of every bank transaction the client sends, built from the
// settings (base address, session key, extra trade pairs) and the records.
// Parameters go in the bank's order; see BankQuery for the value encoding.
// An account or user that is missing where a transaction needs it raises
// EResponseError before anything is sent.

#include <QString>

class TSettings;
class TUser;
class TAccount;
class TInCom;
class TBargaining;
class TDelegate;
class TDelegateOpponent;
class TDelegateCancel;
class TBargainingHistory;

class TransactionUrls
{
public:
    // 100101
    static QString Login(const TSettings &s, const QString &loginNo, const QString &password, const QString &verCode,
                         const QString &digest);
    // 310102
    static QString AccountList(const TSettings &s, const TUser &user);
    // 310600, or 310800 for a card account of type "16"
    static QString SubAccounts(const TSettings &s, const TAccount &card);
    // 310700
    static QString UpdateSubAccounts(const TSettings &s, const TAccount &card);
    // 310100
    static QString Balance(const TSettings &s, const TAccount &account);
    // 310200: `page` wanted, `currentPage` last received, `aStr` of the
    // answer before (empty for the first page).
    static QString Statement(const TSettings &s, const TInCom &query, int page, int currentPage, const QString &aStr);
    // 320102 (demand) or 320902 (fixed-term)
    static QString RateRequest(const TSettings &s, const TBargaining &trade);
    // 320100 (demand) or 320903 (fixed-term)
    static QString DealConfirm(const TSettings &s, const TBargaining &trade);
    // 320200 or 321002
    static QString Delegate(const TSettings &s, const TDelegate &order);
    // 321104 or 321204
    static QString DelegateOpponent(const TSettings &s, const TDelegateOpponent &order);
    // 320400
    static QString DelegateCancel(const TSettings &s, const TDelegateCancel &cancel);
    // 320700
    static QString SingleContract(const TSettings &s, const TBargainingHistory &query);
    // 320600 (deals, transFlag 0) or 320800 (orders, transFlag 1), one page
    static QString DealList(const TSettings &s, const TAccount &account, double beginDate, double endDate, int page,
                            int transFlag);

    // The user of an account; raises EResponseError when there is none.
    static const TUser &UserOf(const TAccount &account);
    // The owner account of a request record; raises when there is none.
    static const TAccount &OwnerOf(const TAccount *owner);
};
