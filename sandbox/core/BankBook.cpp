#include "BankBook.h"

QString BankBook::provinceCode(const QString &branchId)
{
    return branchId.left(3) + QStringLiteral("000000");
}

BranchRules BankBook::rulesFor(const QString &branchId) const
{
    const QString code = provinceCode(branchId);
    for (const BranchRules &b : branches)
        if (b.provinceCode == code)
            return b;
    BranchRules r;
    r.provinceCode = code;
    return r;
}

const CurrencyInfo *BankBook::currency(const QString &code) const
{
    for (const CurrencyInfo &c : currencies)
        if (c.code == code)
            return &c;
    return nullptr;
}

const CurrencyInfo *BankBook::currencyByName(const QString &name) const
{
    for (const CurrencyInfo &c : currencies)
        if (c.name == name)
            return &c;
    return nullptr;
}

QString BankBook::currencyName(const QString &code) const
{
    const CurrencyInfo *c = currency(code);
    return c ? c->name : QString();
}

int BankBook::decimalsOf(const QString &code) const
{
    const CurrencyInfo *c = currency(code);
    return c ? c->decimals : 2;
}

const QuotedRate *BankBook::rate(const QString &a, const QString &b) const
{
    for (const QuotedRate &r : rates)
        if ((r.base == a && r.quote == b) || (r.base == b && r.quote == a))
            return &r;
    return nullptr;
}

QuotedRate *BankBook::rate(const QString &a, const QString &b)
{
    return const_cast<QuotedRate *>(std::as_const(*this).rate(a, b));
}

const DepositProduct *BankBook::product(const QString &id) const
{
    for (const DepositProduct &p : products)
        if (p.id == id)
            return &p;
    return nullptr;
}

Customer *BankBook::customerByLoginNumber(const QString &loginNumber)
{
    for (Customer &c : customers)
        if (c.loginNumbers.contains(loginNumber))
            return &c;
    return nullptr;
}

Customer *BankBook::customerByUserId(const QString &userId)
{
    for (Customer &c : customers)
        if (c.userId == userId)
            return &c;
    return nullptr;
}

CardAccount *BankBook::card(Customer &customer, const QString &accountNo)
{
    for (CardAccount &a : customer.accounts)
        if (a.accountNo == accountNo)
            return &a;
    return nullptr;
}

SubAccount *BankBook::subBySign(CardAccount &card, const QString &accSign)
{
    for (SubAccount &s : card.subAccounts)
        if (s.accSign == accSign)
            return &s;
    return nullptr;
}

SubAccount *BankBook::demandSub(CardAccount &card, const QString &currency, const QString &billFlag)
{
    for (SubAccount &s : card.subAccounts)
        if (s.isDemand() && s.currency == currency && s.chaoHui == billFlag)
            return &s;
    return nullptr;
}

SubAccount &BankBook::openSub(CardAccount &card, const QString &currency, const QString &billFlag,
                              const QString &saveType, const QString &pdtCode,
                              const QString &productId)
{
    SubAccount s;
    do {
        s.accSign = QString::number(card.nextSign++).rightJustified(5, u'0');
    } while (subBySign(card, s.accSign));
    s.currency = currency;
    s.chaoHui = billFlag;
    s.saveType = saveType;
    s.pdtCode = pdtCode;
    s.productId = productId;
    card.subAccounts.append(s);
    return card.subAccounts.last();
}

Contract *BankBook::contract(const QString &contractNo)
{
    for (Contract &c : contracts)
        if (c.contractNo == contractNo)
            return &c;
    return nullptr;
}

QString BankBook::newContractNo(const QDateTime &now)
{
    QString no;
    do {
        no = now.toString(QStringLiteral("yyMMdd")) + QString::number(contractSerial++).rightJustified(6, u'0');
    } while (contract(no));
    return no;
}

QString BankBook::businessNumber(const CardAccount &card, const QString &contractNo) const
{
    return rulesFor(card.branchId).businessNumbers ? QStringLiteral("YW") + contractNo : QString();
}
