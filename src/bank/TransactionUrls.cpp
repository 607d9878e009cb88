#include "TransactionUrls.h"

#include "BankQuery.h"
#include "ForexErrors.h"
#include "TAccount.h"
#include "TBargaining.h"
#include "TBargainingHistory.h"
#include "TCurrency.h"
#include "TInCom.h"
#include "TSettings.h"
#include "TUser.h"

namespace {

BankQuery query(const TSettings &s, const char *txCode)
{
    return BankQuery(s.BankBaseUrl(), txCode);
}

QString codeOf(const TCurrency *c)
{
    return c ? c->Code : QString();
}

QString province(const TAccount &a)
{
    return BankQuery::ProvinceBranch(a.BranchId);
}

} // namespace

const TUser &TransactionUrls::UserOf(const TAccount &account)
{
    if (!account.User)
        throw EResponseError(QStringLiteral("账户没有所属用户，请重新登录！"));
    return *account.User;
}

const TAccount &TransactionUrls::OwnerOf(const TAccount *owner)
{
    if (!owner)
        throw EResponseError(QStringLiteral("请先选择一个账户！"));
    return *owner;
}

QString TransactionUrls::Login(const TSettings &s, const QString &loginNo, const QString &password,
                               const QString &verCode, const QString &digest)
{
    return query(s, "100101")
        .Add("USERID", loginNo)
        .Add("LOGPASS", password)
        .Add("PT_CONFIRM_PWD", verCode)
        .Add("VOD_PWD_MAP_GIGEST", digest)
        .Url();
}

QString TransactionUrls::AccountList(const TSettings &s, const TUser &user)
{
    return query(s, "310102").Add("SKEY", s.SessionKey).Add("USERID", user.UserId).Add("COOKIES", user.Cookies).Url();
}

QString TransactionUrls::SubAccounts(const TSettings &s, const TAccount &card)
{
    const TUser &user = UserOf(card);
    if (card.AccountType == QLatin1String("16"))
        return query(s, "310800")
            .Add("SKEY", s.SessionKey)
            .Add("BRANCHID", card.BranchId)
            .Add("USERID", user.UserId)
            .Add("ACC_NO", card.AccountNo)
            .Add("IS_UPDATE", 1)
            .Add("ROW_NO", 1)
            .Url();
    return query(s, "310600")
        .Add("SKEY", s.SessionKey)
        .Add("USERID", user.UserId)
        .Add("BRANCHID", province(card))
        .Add("ACC_NO", card.AccountNo)
        .Add("ROW_NO", 1)
        .Url();
}

QString TransactionUrls::UpdateSubAccounts(const TSettings &s, const TAccount &card)
{
    return query(s, "310700")
        .Add("SKEY", s.SessionKey)
        .Add("BRANCHID", province(card))
        .Add("USERID", UserOf(card).UserId)
        .Add("ACC_NO", card.AccountNo)
        .Add("IS_UPDATE", 1)
        .Add("ROW_NO", 1)
        .Url();
}

QString TransactionUrls::Balance(const TSettings &s, const TAccount &account)
{
    return query(s, "310100")
        .Add("SKEY", s.SessionKey)
        .Add("BRANCHID", province(account))
        .Add("USERID", UserOf(account).UserId)
        .Add("ACC_NO", account.AccountNo)
        .Add("ACC_SIGN", account.AccountNo)
        .Add("FLAG_CARD", account.FlagCard)
        .Url();
}

QString TransactionUrls::Statement(const TSettings &s, const TInCom &q, int page, int currentPage, const QString &aStr)
{
    const TAccount &sub = OwnerOf(q.Account);
    const TUser &user = UserOf(sub);
    return query(s, "310200")
        .Add("SKEY", s.SessionKey)
        .Add("USERID", user.UserId)
        .Add("BRANCHID", province(sub))
        .Add("ACC_NO", sub.AccountNo)
        .Add("ACC_SIGN", sub.AccSign)
        .Add("START_DATE", BankQuery::Date(q.BeginDate))
        .Add("END_DATE", BankQuery::Date(q.EndDate))
        .Add("PAGE", page)
        .Add("PDT_CODE", sub.PdtCode)
        .Add("A_STR", aStr)
        .Add("IS_UPDATE", 1)
        .Add("UPDATE_DETAIL", 1)
        .Add("STR_USERID", user.UserId)
        .Add("CURRENT_PAGE", currentPage)
        .Url();
}

QString TransactionUrls::RateRequest(const TSettings &s, const TBargaining &t)
{
    const TAccount &a = OwnerOf(t.Owner);
    const TUser &user = UserOf(a);
    const QString amount = BankQuery::Amount(t.ChangedAmount());
    if (t.IsFixedTerm)
        return query(s, "320902")
            .Add("SKEY", s.SessionKey)
            .Add("BRANCHID", province(a))
            .Add("USERID", user.UserId)
            .Add("ACC_NO", a.AccountNo)
            .Add("SUB_ACC", t.SubAcc)
            .Add("TRANS_DIR", t.TransDir)
            .Add("BILL_FLAG", t.BillFlag)
            .Add("BUY_CUR_TYPE", codeOf(t.BuyCurrency))
            .Add("PROID", t.ProId)
            .Add("TRANS_PASSWD", t.TransPassword)
            .Add("CHANGED_AMOUNT", amount)
            .Url();
    return query(s, "320102")
        .Add("SKEY", s.SessionKey)
        .Add("USERID", user.UserId)
        .Add("BRANCHID", province(a))
        .Add("TRANS_PASSWD", t.TransPassword)
        .Add("SUB_ACC", a.AccountNo)
        .Add("SELL_CUR_TYPE", codeOf(t.SellCurrency))
        .Add("BUY_CUR_TYPE", codeOf(t.BuyCurrency))
        .Add("BILL_FLAG", t.BillFlag)
        .Add("TRANS_DIR", t.TransDir)
        .Add("ACC_NO", a.AccountNo)
        .Add("CHANGED_AMOUNT", amount)
        .AddExtra(s.ExtraTransParams)
        .Url();
}

QString TransactionUrls::DealConfirm(const TSettings &s, const TBargaining &t)
{
    const TAccount &a = OwnerOf(t.Owner);
    const TUser &user = UserOf(a);
    const QString amount = BankQuery::Amount(t.ChangedAmount());
    if (t.IsFixedTerm)
        return query(s, "320903")
            .Add("SKEY", s.SessionKey)
            .Add("BRANCHID", province(a))
            .Add("USERID", user.UserId)
            .Add("PT_SIGN_STR", t.SignStr)
            .Add("ACC_NO", a.AccountNo)
            .Add("TRANS_DIR", t.TransDir)
            .Add("BILL_FLAG", t.BillFlag)
            .Add("PROID", t.ProId)
            .Add("BUY_CUR_TYPE", codeOf(t.BuyCurrency))
            .Add("SELL_CUR_TYPE", codeOf(t.SellCurrency))
            .Add("CHANGED_AMOUNT", amount)
            .Add("SUB_ACC", t.SubAcc)
            .Add("CONTRACT_NO", t.ContractNo)
            .Add("TRANS_PASSWD", t.TransPassword)
            .Url();
    return query(s, "320100")
        .Add("SKEY", s.SessionKey)
        .Add("USERID", user.UserId)
        .Add("BRANCHID", province(a))
        .Add("TRANS_PASSWD", t.TransPassword)
        .Add("SUB_ACC", a.AccountNo)
        .Add("SELL_CUR_TYPE", codeOf(t.SellCurrency))
        .Add("BUY_CUR_TYPE", codeOf(t.BuyCurrency))
        .Add("BILL_FLAG", t.BillFlag)
        .Add("TRANS_DIR", t.TransDir)
        .Add("ACC_NO", a.AccountNo)
        .Add("PT_SIGN_STR", t.SignStr)
        .Add("CONTRACT_NO", t.ContractNo)
        .Add("CHANGED_AMOUNT", amount)
        .AddExtra(s.ExtraTransParams)
        .Url();
}

QString TransactionUrls::Delegate(const TSettings &s, const TDelegate &o)
{
    const TAccount &a = OwnerOf(o.Owner);
    const TUser &user = UserOf(a);
    const QString amount = BankQuery::Amount(o.ChangedAmount());
    if (o.IsFixedTerm)
        return query(s, "321002")
            .Add("SKEY", s.SessionKey)
            .Add("BRANCHID", province(a))
            .Add("USERID", user.UserId)
            .Add("ACC_NO", a.AccountNo)
            .Add("SUB_ACC", o.SubAcc)
            .Add("TRANS_DIR", o.TransDir)
            .Add("BILL_FLAG", o.BillFlag)
            .Add("BUY_CUR_TYPE", codeOf(o.BuyCurrency))
            .Add("PROID", o.ProId)
            .Add("CHANGED_AMOUNT", amount)
            .Add("QUOTEPRICE", BankQuery::Rate(o.QuotePrice))
            .Add("SHUTRATE", BankQuery::Rate(o.ShutRate))
            .Add("VLAIDDAY", o.ValidDays())
            .Add("TRANS_PASSWD", o.TransPassword)
            .Url();
    return query(s, "320200")
        .Add("SKEY", s.SessionKey)
        .Add("USERID", user.UserId)
        .Add("BRANCHID", province(a))
        .Add("TRANS_PASSWD", o.TransPassword)
        .Add("ACC_NO", a.AccountNo)
        .Add("SUB_ACC", a.AccountNo)
        .Add("BUY_CUR_TYPE", codeOf(o.BuyCurrency))
        .Add("QUOTEPRICE", BankQuery::Rate(o.QuotePrice))
        .Add("SHUTRATE", BankQuery::Rate(o.ShutRate))
        .Add("VLAIDDAY", o.ValidDays())
        .Add("CHANGED_AMOUNT", amount)
        .Add("TRANS_DIR", o.TransDir)
        .Add("BILL_FLAG", o.BillFlag)
        .Add("SELL_CUR_TYPE", codeOf(o.SellCurrency))
        .AddExtra(s.ExtraTransParams)
        .Url();
}

QString TransactionUrls::DelegateOpponent(const TSettings &s, const TDelegateOpponent &o)
{
    const TAccount &a = OwnerOf(o.Owner);
    const TUser &user = UserOf(a);
    if (o.IsFixedTerm)
        // The fixed-term appended order carries the two rates the other way
        // round, as its bank transaction expects them.
        return query(s, "321204")
            .Add("SKEY", s.SessionKey)
            .Add("BRANCHID", province(a))
            .Add("USERID", user.UserId)
            .Add("ACC_NO", a.AccountNo)
            .Add("CONTRACT_NO1", o.ContractNo)
            .Add("BUY_CUR_TYPE", codeOf(o.BuyCurrency))
            .Add("QUOTEPRICE", BankQuery::Rate(o.ShutRate))
            .Add("SHUTRATE", BankQuery::Rate(o.QuotePrice))
            .Add("PROID", o.ProId)
            .Add("VLAIDDAY", o.ValidDays())
            .Add("TRANS_PASSWD", o.TransPassword)
            .Add("NETBANKNO", o.SignStr)
            .Url();
    return query(s, "321104")
        .Add("SKEY", s.SessionKey)
        .Add("BRANCHID", province(a))
        .Add("USERID", user.UserId)
        .Add("TRANS_PASSWD", o.TransPassword)
        .Add("CONTRACT_NO1", o.ContractNo)
        .Add("NETBANKNO", o.SignStr)
        .Add("ACC_NO", a.AccountNo)
        .Add("BUY_CUR_TYPE", codeOf(o.BuyCurrency))
        .Add("QUOTEPRICE", BankQuery::Rate(o.QuotePrice))
        .Add("SHUTRATE", BankQuery::Rate(o.ShutRate))
        .Add("VLAIDDAY", o.ValidDays())
        .AddExtra(s.ExtraTransParams)
        .Url();
}

QString TransactionUrls::DelegateCancel(const TSettings &s, const TDelegateCancel &c)
{
    const TAccount &a = OwnerOf(c.Owner);
    return query(s, "320400")
        .Add("SKEY", s.SessionKey)
        .Add("BRANCHID", province(a))
        .Add("USERID", UserOf(a).UserId)
        .Add("CONTRACT_NO", c.ContractNo)
        .Add("ACC_NO", a.AccountNo)
        .Add("TRANS_PASSWD", c.TransPassword)
        .Url();
}

QString TransactionUrls::SingleContract(const TSettings &s, const TBargainingHistory &q)
{
    const TAccount &a = OwnerOf(q.Owner);
    return query(s, "320700")
        .Add("SKEY", s.SessionKey)
        .Add("BRANCHID", province(a))
        .Add("USERID", UserOf(a).UserId)
        .Add("ACC_NO", a.AccountNo)
        .Add("CONTRACT_NO", q.ContractNo)
        .Add("TRANS_FLAG", q.TransFlag)
        .Url();
}

QString TransactionUrls::DealList(const TSettings &s, const TAccount &a, double beginDate, double endDate, int page,
                                  int transFlag)
{
    return query(s, transFlag == 0 ? "320600" : "320800")
        .Add("SKEY", s.SessionKey)
        .Add("BRANCHID", province(a))
        .Add("USERID", UserOf(a).UserId)
        .Add("ACC_NO", a.AccountNo)
        .Add("STARTDATE", BankQuery::Date(beginDate))
        .Add("ENDDATE", BankQuery::Date(endDate))
        .Add("PAGE", page)
        .Add("TRANS_FLAG", transFlag == 0 ? 0 : 1)
        .Url();
}
