#pragma once

#include "FixedAmount.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// The records the sandbox bank keeps. Texts are what the bank sends; amounts
// are fixed-point with four decimals.

inline const QString kDemandSaveType = QStringLiteral("活期储蓄");

struct CurrencyInfo
{
    QString code;           // two digits, the bank's currency code
    QString name;           // Chinese name; answers name currencies by it
    int decimals = 2;       // 0 for yen: its amounts are whole
    FixedAmount rmbRate;    // value of one unit in renminbi, for market values
};

// One quoted pair, in market convention: one `base` is worth `bid` (the bank
// buys base) or `ask` (the bank sells base) units of `quote`.
struct QuotedRate
{
    QString base;
    QString quote;
    FixedAmount bid;
    FixedAmount ask;
};

// A fixed-term deposit product a fixed-term trade can put the bought money in.
struct DepositProduct
{
    QString id;             // sent as PROID
    QString saveType;
    QString pdtCode;
};

enum class RateFields {
    Standard,   // deal rate in PROFITRATIO / BADRATIO
    Beijing,    // deal rate in BANKDEFINE1, order rates in PROFITRATIO / BADRATIO
    Shanghai,   // BANKDEFINE1 = deal rate, BANKDEFINE2 = order rate
};

// What a provincial branch of the bank offers and how its answers differ.
struct BranchRules
{
    QString provinceCode;
    QString name;
    bool fixedTerm = false;             // fixed-term trades and orders
    bool fixedTermIn = true;            // fixed-term trades with the amount bought
    bool appendedOrders = true;
    bool contractQuery = false;         // single-contract query 320700
    bool businessNumbers = false;       // BANKDEFINE1 carries a business number
    bool statementAllCurrencies = false; // statements list the card's every currency
    RateFields rateFields = RateFields::Standard;
    QStringList unsupportedCurrencies;
};

struct StatementLine
{
    QDateTime time;
    FixedAmount amount;     // magnitude
    bool income = true;
    QString memo;
    QString place;
    FixedAmount balanceAfter;
};

struct SubAccount
{
    QString accSign;        // unique within the card
    QString currency;       // code
    QString chaoHui;        // "0" cash, "1" remittance
    QString saveType;
    QString pdtCode;
    QString productId;      // fixed-term product, empty for demand savings
    FixedAmount balance;
    FixedAmount frozen;     // held by open orders
    QList<StatementLine> statement; // oldest first

    bool isDemand() const { return saveType == kDemandSaveType; }
    FixedAmount usable() const { return balance - frozen; }
};

struct CardAccount
{
    QString list;           // the 310102 list it is reported in
    QString accountNo;
    QString accountType;
    QString branchId;       // nine digits
    QString flagCard;
    QString status;
    QString cashType;       // currency code of the card
    int service = 0;        // bit 256: foreign exchange enabled
    bool forex = false;     // holds currency sub-accounts and may trade
    FixedAmount ownBalance; // accounts without sub-accounts
    FixedAmount ownUsable;
    QList<SubAccount> subAccounts;
    int nextSign = 1;
};

struct Customer
{
    QStringList loginNumbers;   // identity number and nickname
    QString loginPassword;
    QString tradePassword;
    QString userId;             // the bank's own user identifier
    QString userName;
    bool locked = false;
    QList<CardAccount> accounts;
};

enum class ContractKind { InstantDeal, Order, AppendedOrder };

// An instant deal, an order or an appended order.
struct Contract
{
    // Bank status codes.
    static constexpr const char *kOpen = "0";
    static constexpr const char *kDealt = "1";
    static constexpr const char *kCancelled = "2";
    static constexpr const char *kOpenAppended = "3";
    static constexpr const char *kExpired = "4";

    QString contractNo;
    QString businessNo;     // branch business number (Shenzhen)
    ContractKind kind = ContractKind::InstantDeal;
    QString userId;
    QString accountNo;      // card account
    QString sellSign;       // sub-account the sold money comes from
    QString sellCurrency;
    QString buyCurrency;
    QString billFlag;
    QString transDir;       // "1" amount sold given, "0" amount bought given
    FixedAmount sellAmount; // entered (transDir "1") or dealt
    FixedAmount buyAmount;  // entered (transDir "0") or dealt
    FixedAmount quotePrice; // take-profit rate, 0 when none
    FixedAmount shutRate;   // stop-loss rate, 0 when none
    FixedAmount dealRate;   // 0 until dealt
    FixedAmount frozen;     // held on the sell sub-account while open
    QDateTime placed;
    QDateTime dealt;
    int validDays = 0;
    QDate lastDay;
    QString status = QString::fromLatin1(kDealt);
    QString parent;         // appended order: the contract it was placed on
    QString child;          // order: its appended order
    bool fixedTerm = false;
    QString productId;

    bool isOpen() const
    {
        return status == QLatin1String(kOpen) || status == QLatin1String(kOpenAppended);
    }
    // An appended order waits for its parent to be dealt before it holds money.
    bool isDormant() const { return kind == ContractKind::AppendedOrder && sellAmount.isZero(); }
};

// Run-time settings of the bank; the scenario sets them, the control path
// may change them.
struct BankSettings
{
    QString transactionPath = QStringLiteral("/app/vodMain");
    QString loginPath = QStringLiteral("/app/vodLogin");
    QString picturePath = QStringLiteral("/app/fujiama.gif");
    int quoteValidMs = 15000;
    int sessionIdleSeconds = 900;
    int submitIntervalMs = 0;   // 0: the bank does not check
    QStringList submitCodes = {QStringLiteral("320102"), QStringLiteral("320902"),
                               QStringLiteral("320200"), QStringLiteral("321002"),
                               QStringLiteral("321104"), QStringLiteral("321204"),
                               QStringLiteral("320400")};
    int statementPageSize = 10;
    int dealPageSize = 10;
    int maxOrderDays = 30;
    int codeDigits = 4;
};
