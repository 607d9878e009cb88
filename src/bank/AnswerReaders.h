#pragma once
// The readers of the bank's answers: which element of each answer fills
// which field of the records. Each reader takes an answer that passed
// AnswerCheck::CheckAnswer. A missing element or a value that must parse
// and does not raises EAnswerError (an EResponseError); what the reader
// says it keeps on failure is stated per reader.

#include <QString>
#include <memory>

class AnswerDocument;
class TSettings;
class TUser;
class TAccount;
class TInCom;
class TBargaining;
class TDelegate;
class TDelegateOpponent;
class TBargainingHistory;
class TBranchBankController;

class AnswerReaders
{
public:
    // The four deal-list readers (320600 / 320800 for a query or today).
    enum class DealList {
        HistoryDeals,  // 320600 of a deal query: lenient page count, deal rate rule
        HistoryOrders, // 320800 of a deal query
        TodayDeals,    // 320600 of today's list: strict page count, no deal rate
        TodayOrders,   // 320800 of today's list: status tested before number
    };

    // 100101: the new user (UserId, UserName, Cookies, and the password
    // value that was sent); `sessionKey` receives SKEY. Nothing is set on
    // failure.
    static std::unique_ptr<TUser> Login(const AnswerDocument &doc, TSettings *settings, const QString &passwordSent,
                                        QString *sessionKey);
    // 310102: appends the card accounts of the four lists, list by list; a
    // missing list ends the reading there. On failure the accounts read
    // completely until then stay.
    static void Accounts(const AnswerDocument &doc, TUser &user);
    // 310600 / 310800: appends one sub-account per entry. All or nothing:
    // on failure no sub-account is appended.
    static void SubAccounts(const AnswerDocument &doc, TAccount &card);
    // 310100: the account's three balances from the sums of its entries.
    // All or nothing: on failure the balances stay as they were.
    static void Balance(const AnswerDocument &doc, TAccount &account);

    struct StatementPage {
        QString AStr;      // A_STR, sent with the next page request
        int PageCount = 0; // read on the first page only
    };
    // 310200, one page: appends its lines to query.Details. On the first
    // page a line without CHANGEDATE raises "信息提示", CR, "未找到记录"
    // (the lines before it stay) and PAGECOUNT is read.
    static StatementPage Statement(const AnswerDocument &doc, TInCom &query, bool firstPage,
                                   const TBranchBankController *branch);

    // 320102 / 320902: Ratio, SignStr, ContractNo (nothing set on failure).
    static void RateAnswer(const AnswerDocument &doc, TBargaining &trade);
    // 320100: BuyAmount, SellAmount (leading numbers), ContractNo.
    static void DealAnswer(const AnswerDocument &doc, TBargaining &trade);
    // 320200 (RESULTMSG/CONTRCTNO) / 321002 (RESULTMSG/CONTRACTNO):
    // ContractNo and SignStr.
    static void DelegateAnswer(const AnswerDocument &doc, TDelegate &order, bool fixedTerm);
    // 321104 / 321204: ContractNo and SignStr from RESULTMSG/NEWCONTRACTNO.
    static void DelegateOpponentAnswer(const AnswerDocument &doc, TDelegateOpponent &order);

    // One page of a deal or order list, appended to query.Details; returns
    // the page count (`previousCount` where a lenient reader finds none).
    // On failure the entries appended before stay.
    static int DealListPage(const AnswerDocument &doc, TBargainingHistory &query, DealList kind, int previousCount,
                            const TBranchBankController *branch);
    // 320700: one record from RESULTMSG, none when its CONTRACTNO is empty.
    static void SingleContract(const AnswerDocument &doc, TBargainingHistory &query);

    // The bank's status code as the client keeps it: "0" → "4", "1" → "1",
    // "2" → "2", "3" → "6", anything else → empty.
    static QString MapStatusCode(const QString &bankCode);
};
