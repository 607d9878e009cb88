#include "AnswerReaders.h"

#include "AnswerDocument.h"
#include "AnswerValues.h"
#include "EAnswerError.h"
#include "SharedInstances.h"
#include "TAccount.h"
#include "TBargaining.h"
#include "TBargainingHistory.h"
#include "TBeiJingBranchController.h"
#include "TCurrency.h"
#include "TCurrencyList.h"
#include "TInCom.h"
#include "TShangHaiBranchController.h"
#include "TUser.h"

namespace {

using V = AnswerValues;

const AnswerElement &rootOf(const AnswerDocument &doc)
{
    const AnswerElement *root = doc.Root();
    if (!root)
        throw EAnswerError(QStringLiteral("no ROOT"));
    return *root;
}

TCurrency *currencyByName(const QString &name)
{
    return CurrencyList ? CurrencyList->FindByName(name) : nullptr;
}

// Exact number into a double field; the field keeps its value when the text
// does not parse.
void exactInto(double &field, const QString &text)
{
    if (const auto v = V::ExactNumber(text))
        field = v->toDouble();
}

Fixed4 exactOrZero(const QString &text)
{
    return V::ExactNumber(text).value_or(Fixed4());
}

bool isShanghai(const TBranchBankController *b)
{
    return dynamic_cast<const TShangHaiBranchController *>(b) != nullptr;
}

bool isBeijing(const TBranchBankController *b)
{
    return dynamic_cast<const TBeiJingBranchController *>(b) != nullptr;
}

std::unique_ptr<TAccount> readQueryListEntry(const AnswerElement &e, TUser &user)
{
    auto a = std::make_unique<TAccount>(user.Settings, &user);
    a->BranchId = V::Text(e, "BBANK_NAME");
    a->AccountNo = V::Text(e, "ACCOUNTNO");
    a->AccountType = V::Text(e, "ACCOUNTTYPE");
    a->Currency = currencyByName(V::Text(e, "CASHTYPE"));
    const QString balance = V::Text(e, "BALANCE");
    const QString usable = V::Text(e, "USABLEBALANCE");
    const Fixed4 b = V::ExactNumber(balance).value_or(Fixed4());
    const Fixed4 u = V::ExactNumber(usable).value_or(Fixed4());
    a->Balance = b.toDouble();
    a->UseBalance = u.toDouble();
    a->FrozenBalance = (b - u).toDouble();
    a->FlagCard = V::Text(e, "FLAG_CARD");
    a->AccountStatus = V::Text(e, "ACCOUNTSTATUS");
    return a;
}

std::unique_ptr<TAccount> readOtherListEntry(const AnswerElement &e, TUser &user, const char *accountType)
{
    auto a = std::make_unique<TAccount>(user.Settings, &user);
    a->BranchId = V::Text(e, "BBANK_NAME");
    a->AccountNo = V::Text(e, "ACCNO");
    const int service = V::WholeNumber(V::Text(e, "service")).value_or(0);
    a->ForexEnabled = (service & 256) != 0;
    a->AccountType = QLatin1String(accountType);
    a->Currency = currencyByName(V::Text(e, "CASHTYPE"));
    return a;
}

// Fields every deal-list entry shares (after its skip tests).
void readDealFields(const AnswerElement &e, TBargainingDetail &d, const char *timeElement,
                    const TBranchBankController *branch)
{
    d.ContractTime = V::AnswerDateTime(V::Text(e, timeElement));
    d.BuyCurrency = currencyByName(V::Text(e, "BUYCASH"));
    d.SellCurrency = currencyByName(V::Text(e, "SALECASH"));
    d.BuyAmount = V::NumberOrZero(V::Text(e, "BUYAMOUNT"));
    d.SaleAmount = V::NumberOrZero(V::Text(e, "SALEAMOUNT"));
    d.ProfitRatio = V::NumberOrZero(V::Text(e, "PROFITRATIO"));
    d.BadRatio = V::NumberOrZero(V::Text(e, "BADRATIO"));
    // The bank-defined texts may be missing; they are then empty.
    const QString define1 = V::OptionalText(e, "BANKDEFINE1");
    const QString define2 = V::OptionalText(e, "BANKDEFINE2");
    if (isShanghai(branch)) {
        d.ProfitRatio = V::NumberOrZero(define1);
        d.BadRatio = V::NumberOrZero(define2);
    }
    d.BankDefine1 = define1;
    d.BankDefine2 = define2;
}

} // namespace

QString AnswerReaders::MapStatusCode(const QString &bankCode)
{
    if (bankCode == QLatin1String("0"))
        return QStringLiteral("4");
    if (bankCode == QLatin1String("1"))
        return QStringLiteral("1");
    if (bankCode == QLatin1String("2"))
        return QStringLiteral("2");
    if (bankCode == QLatin1String("3"))
        return QStringLiteral("6");
    return QString();
}

std::unique_ptr<TUser> AnswerReaders::Login(const AnswerDocument &doc, TSettings *settings, const QString &passwordSent,
                                            QString *sessionKey)
{
    const AnswerElement &root = rootOf(doc);
    const QString userId = V::Text(root, "USERID");
    const QString userName = V::Text(root, "USERNAME");
    const QString cookies = V::Text(root, "COOKIES");
    const QString skey = V::Text(root, "SKEY");
    auto user = std::make_unique<TUser>(settings);
    user->UserId = userId;
    user->UserName = userName;
    user->Cookies = cookies;
    user->LoginPassword = passwordSent;
    if (sessionKey)
        *sessionKey = skey;
    return user;
}

void AnswerReaders::Accounts(const AnswerDocument &doc, TUser &user)
{
    const AnswerElement &root = rootOf(doc);
    if (const AnswerElement *list = root.Child(u"ACCQUERYLIST")) {
        for (const auto &e : list->Children())
            user.Accounts.Add(readQueryListEntry(*e, user));
    } else {
        return;
    }
    const std::pair<const char16_t *, const char *> others[] = {
        {u"CHILDACCTLIST", "91"}, {u"FINAACCTLIST", "16"}, {u"LKTACCTLIST", "12"}};
    for (const auto &[name, type] : others) {
        const AnswerElement *list = root.Child(QStringView(name));
        if (!list)
            return;
        for (const auto &e : list->Children())
            user.Accounts.Add(readOtherListEntry(*e, user, type));
    }
}

void AnswerReaders::SubAccounts(const AnswerDocument &doc, TAccount &card)
{
    const AnswerElement &list = V::Element(rootOf(doc), "ACCOUNTINFOLIST");
    std::vector<std::unique_ptr<TAccount>> read;
    read.reserve(size_t(list.ChildCount()));
    for (const auto &e : list.Children()) {
        auto a = std::make_unique<TAccount>(card.Settings, card.User);
        a->BranchId = card.BranchId;
        a->Currency = currencyByName(V::Text(*e, "CASHTYPE"));
        a->SaveType = V::Text(*e, "SAVETYPE");
        a->ChaoHui = V::Text(*e, "CHAOHUI");
        a->AccountNo = V::Text(*e, "ACC_NO");
        a->AccSign = V::Text(*e, "ACC_SIGN");
        a->PdtCode = V::Text(*e, "PDT_CODE");
        exactInto(a->Balance, V::Text(*e, "BALANCE"));
        exactInto(a->UseBalance, V::Text(*e, "USEBALANCE"));
        read.push_back(std::move(a));
    }
    for (auto &a : read)
        card.SubAccounts.Add(std::move(a));
}

void AnswerReaders::Balance(const AnswerDocument &doc, TAccount &account)
{
    const AnswerElement &list = V::Element(rootOf(doc), "ACCQUERYLIST");
    Fixed4 balance;
    Fixed4 usable;
    for (const auto &e : list.Children()) {
        balance += exactOrZero(V::Text(*e, "BALANCE"));
        usable += exactOrZero(V::Text(*e, "USABLEBALANCE"));
    }
    account.Balance = balance.toDouble();
    account.UseBalance = usable.toDouble();
    account.FrozenBalance = (balance - usable).toDouble();
}

AnswerReaders::StatementPage AnswerReaders::Statement(const AnswerDocument &doc, TInCom &query, bool firstPage,
                                                      const TBranchBankController *branch)
{
    const AnswerElement &root = rootOf(doc);
    StatementPage page;
    page.AStr = V::Text(root, "A_STR");
    const AnswerElement &list = V::Element(root, "DETAILLIST");
    const TAccount *sub = query.Account;
    const QString currencyCode = sub && sub->Currency ? sub->Currency->Code : QString();
    const QString saveType = sub ? sub->SaveType : QString();
    const bool shanghai = isShanghai(branch);
    for (const auto &e : list.Children()) {
        const QString changeDate = V::Text(*e, "CHANGEDATE");
        if (firstPage && changeDate.trimmed().isEmpty())
            throw EResponseError(QStringLiteral("信息提示") + QLatin1Char('\r') + QStringLiteral("未找到记录"));
        if (shanghai && V::Text(*e, "CURRTYPE") != currencyCode)
            continue;
        auto d = std::make_unique<TInComDetail>();
        d->CurrencyCode = currencyCode;
        d->SaveType = saveType;
        d->ChangePlace = V::Text(*e, "CHANGEPLACE");
        const Fixed4 amount = V::StrictNumber(V::Text(*e, "CHANGEAMOUNT"), "CHANGEAMOUNT");
        d->ChangeAmount = V::Text(*e, "INOUT") == QLatin1String("1") ? amount : -amount;
        d->ChangeDate = V::AnswerDate(changeDate);
        d->Memo = V::Text(*e, "MEMO");
        d->Balance = V::StrictNumber(V::Text(*e, "BALANCE"), "BALANCE");
        query.Details.Add(std::move(d));
    }
    if (firstPage && list.ChildCount() > 0)
        page.PageCount = V::StrictWholeNumber(V::Text(root, "PAGECOUNT"), "PAGECOUNT");
    return page;
}

void AnswerReaders::RateAnswer(const AnswerDocument &doc, TBargaining &trade)
{
    const AnswerElement &root = rootOf(doc);
    const double ratio = V::NumberOrZero(V::Text(root, "RATIO").trimmed());
    const QString sign = V::Text(root, "PT_SIGN_STR");
    const QString contract = V::Text(root, "CONTRACT_NO");
    trade.Ratio = ratio;
    trade.SignStr = sign;
    trade.ContractNo = contract;
}

void AnswerReaders::DealAnswer(const AnswerDocument &doc, TBargaining &trade)
{
    const AnswerElement &result = V::Element(rootOf(doc), "RESULTMSG");
    const double bought = V::LeadingNumber(V::Text(result, "BUY_CUR"));
    const double sold = V::LeadingNumber(V::Text(result, "SALE_CUR"));
    const QString contract = V::Text(result, "CONTRCTNO");
    trade.BuyAmount = bought;
    trade.SellAmount = sold;
    trade.ContractNo = contract;
}

void AnswerReaders::DelegateAnswer(const AnswerDocument &doc, TDelegate &order, bool fixedTerm)
{
    const AnswerElement &result = V::Element(rootOf(doc), "RESULTMSG");
    const QString contract = V::Text(result, fixedTerm ? "CONTRACTNO" : "CONTRCTNO");
    order.ContractNo = contract;
    order.SignStr = contract;
}

void AnswerReaders::DelegateOpponentAnswer(const AnswerDocument &doc, TDelegateOpponent &order)
{
    const AnswerElement &result = V::Element(rootOf(doc), "RESULTMSG");
    const QString contract = V::Text(result, "NEWCONTRACTNO");
    order.ContractNo = contract;
    order.SignStr = contract;
}

int AnswerReaders::DealListPage(const AnswerDocument &doc, TBargainingHistory &query, DealList kind, int previousCount,
                                const TBranchBankController *branch)
{
    const AnswerElement &root = rootOf(doc);
    int pageCount = previousCount;
    if (kind == DealList::HistoryDeals) {
        if (const AnswerElement *pc = root.Child(u"PAGECOUNT"))
            pageCount = V::WholeNumber(pc->Text()).value_or(previousCount);
    } else {
        pageCount = V::StrictWholeNumber(V::Text(root, "PAGECOUNT"), "PAGECOUNT");
    }
    const bool deals = kind == DealList::HistoryDeals || kind == DealList::TodayDeals;
    const AnswerElement &list = V::Element(root, "CONTRACTLIST");
    for (const auto &e : list.Children()) {
        QString contractNo;
        QString status;
        if (kind == DealList::TodayOrders) {
            status = V::Text(*e, "STATUSCODE");
            if (status == QLatin1String("1"))
                continue;
            contractNo = V::Text(*e, "CONTRACTNO");
            if (contractNo.isEmpty())
                continue;
        } else {
            contractNo = V::Text(*e, "CONTRACTNO");
            if (contractNo.isEmpty())
                continue;
            if (!deals) {
                status = V::Text(*e, "STATUSCODE");
                if (status == QLatin1String("1"))
                    continue;
            }
        }
        auto d = std::make_unique<TBargainingDetail>();
        d->ContractNo = contractNo;
        readDealFields(*e, *d, deals ? "BUYTIME" : "CONTRACTTIME", branch);
        if (deals) {
            if (kind == DealList::HistoryDeals) {
                if (isBeijing(branch)) {
                    const double r1 = V::NumberOrZero(d->BankDefine1);
                    d->Ratio = r1 != 0 ? r1 : V::NumberOrZero(d->BankDefine2);
                } else {
                    d->Ratio = d->ProfitRatio != 0 ? d->ProfitRatio : d->BadRatio;
                }
            }
            d->StatusCode = QStringLiteral("1");
        } else {
            d->StatusCode = MapStatusCode(status);
        }
        query.Details.Add(std::move(d));
    }
    return pageCount;
}

void AnswerReaders::SingleContract(const AnswerDocument &doc, TBargainingHistory &query)
{
    const AnswerElement &result = V::Element(rootOf(doc), "RESULTMSG");
    const QString contractNo = V::Text(result, "CONTRACTNO");
    if (contractNo.isEmpty())
        return;
    auto d = std::make_unique<TBargainingDetail>();
    d->ContractNo = contractNo;
    d->StatusCode = MapStatusCode(V::Text(result, "STATUSCODE"));
    readDealFields(result, *d, "CONTRACTTIME", nullptr);
    query.Details.Add(std::move(d));
}
