#include "TransactionCall.h"

TransactionCall::TransactionCall(BankState &s, const RawQuery &q, const QString &code,
                                 Session *sess, Customer *cust)
    : state(s), book(s.book), query(q), txcode(code), session(sess), customer(cust), now(s.clock.now())
{
}

void TransactionCall::refuse(const QString &code, const QString &message)
{
    throw BankRefusal{code, message};
}

void TransactionCall::refuseValue(const QString &name) const
{
    refuse(QStringLiteral("0110"), QStringLiteral("参数%1的值不正确").arg(name));
}

QString TransactionCall::text(const QString &name) const
{
    if (!query.has(name))
        refuse(QStringLiteral("0101"), QStringLiteral("缺少参数%1").arg(name));
    return query.text(name);
}

QString TransactionCall::nonEmpty(const QString &name) const
{
    const QString v = text(name);
    if (v.isEmpty())
        refuseValue(name);
    return v;
}

QString TransactionCall::choice(const QString &name, const QStringList &allowed) const
{
    const QString v = text(name);
    if (!allowed.contains(v))
        refuseValue(name);
    return v;
}

int TransactionCall::integer(const QString &name, int min, int max) const
{
    const QString v = text(name);
    if (v.isEmpty() || v.size() > 9)
        refuseValue(name);
    for (QChar c : v)
        if (c < u'0' || c > u'9')
            refuseValue(name);
    const int n = v.toInt();
    if (n < min || n > max)
        refuseValue(name);
    return n;
}

QDate TransactionCall::date(const QString &name) const
{
    const QString v = text(name);
    const QDate d = QDate::fromString(v, QStringLiteral("yyyyMMdd"));
    if (v.size() != 8 || !d.isValid())
        refuse(QStringLiteral("0120"), QStringLiteral("日期%1不正确").arg(name));
    return d;
}

FixedAmount TransactionCall::amount(const QString &name, const QString &currency) const
{
    const QString v = text(name);
    const auto a = FixedAmount::parse(v, 4);
    if (!a || a->isZero())
        refuse(QStringLiteral("0130"), QStringLiteral("交易金额必须是不超过四位小数的正数"));
    if (book.decimalsOf(currency) == 0 && a->decimals() > 0)
        refuse(QStringLiteral("0131"), QStringLiteral("%1金额必须是整数").arg(book.currencyName(currency)));
    return *a;
}

FixedAmount TransactionCall::rate(const QString &name, bool allowEmpty) const
{
    const QString v = text(name);
    if (v.isEmpty() && allowEmpty)
        return {};
    const auto r = FixedAmount::parse(v, 4);
    if (!r || r->isZero() || *r >= FixedAmount::fromInt(10000))
        refuse(QStringLiteral("0140"), QStringLiteral("汇率%1不正确").arg(name));
    return *r;
}

QString TransactionCall::currencyCode(const QString &name) const
{
    const QString v = text(name);
    if (!book.currency(v))
        refuse(QStringLiteral("0150"), QStringLiteral("币种%1不正确").arg(name));
    return v;
}

CardAccount &TransactionCall::card(const QString &name) const
{
    const QString no = nonEmpty(name);
    CardAccount *c = customer ? BankBook::card(*customer, no) : nullptr;
    if (!c)
        refuse(QStringLiteral("0200"), QStringLiteral("账户不存在或不属于该客户"));
    return *c;
}

void TransactionCall::checkBranch(const CardAccount &card, bool fullIdentifier) const
{
    const QString expected = fullIdentifier ? card.branchId : BankBook::provinceCode(card.branchId);
    if (text(QStringLiteral("BRANCHID")) != expected)
        refuse(QStringLiteral("0210"), QStringLiteral("分行号与账户不符"));
}

void TransactionCall::checkTradePassword(const QString &placeholder) const
{
    const QString given = text(QStringLiteral("TRANS_PASSWD"));
    if (given.isEmpty() || (given != customer->tradePassword && given != placeholder))
        refuse(QStringLiteral("0220"), QStringLiteral("交易密码错误"));
}

void TransactionCall::checkForexCard(const CardAccount &card) const
{
    if (!card.forex)
        refuse(QStringLiteral("0230"), QStringLiteral("该账户未开通个人外汇买卖"));
    if (card.status != QLatin1String("0"))
        refuse(QStringLiteral("0231"), QStringLiteral("账户状态不正常"));
}

const QuotedRate &TransactionCall::tradablePair(const CardAccount &card, const QString &sell,
                                                const QString &buy) const
{
    if (sell == buy)
        refuse(QStringLiteral("0300"), QStringLiteral("买入币种与卖出币种不能相同"));
    const BranchRules r = rules(card);
    if (r.unsupportedCurrencies.contains(sell) || r.unsupportedCurrencies.contains(buy))
        refuse(QStringLiteral("0301"), QStringLiteral("本分行不支持该币种的外汇买卖"));
    const QuotedRate *pair = book.rate(sell, buy);
    if (!pair)
        refuse(QStringLiteral("0302"), QStringLiteral("不支持该币种组合的外汇买卖"));
    return *pair;
}
