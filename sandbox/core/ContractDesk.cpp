#include "ContractDesk.h"

#include <algorithm>

namespace {

const QString kTimeFormat = QStringLiteral("yyyy/MM/dd HH:mm:ss");

QString rateText(FixedAmount r)
{
    return r.toFixed(4);
}

QString timeText(const QDateTime &t)
{
    return t.isValid() ? t.toString(kTimeFormat) : QString();
}

QString orderType(const Contract &c)
{
    if (c.kind == ContractKind::InstantDeal)
        return QString();
    if (c.kind == ContractKind::AppendedOrder)
        return QStringLiteral("341");
    if (!c.quotePrice.isZero() && !c.shutRate.isZero())
        return QStringLiteral("340");
    return c.quotePrice.isZero() ? QStringLiteral("339") : QStringLiteral("338");
}

// An executed order dealt on its take-profit side, or on its stop-loss side.
bool tookProfit(const BankBook &book, const Contract &c)
{
    if (c.quotePrice.isZero())
        return false;
    if (c.shutRate.isZero())
        return true;
    const QuotedRate *pair = book.rate(c.sellCurrency, c.buyCurrency);
    const bool sellsBase = pair && pair->base == c.sellCurrency;
    return sellsBase ? c.dealRate >= c.quotePrice : c.dealRate <= c.quotePrice;
}

} // namespace

void ContractDesk::writeContract(XmlElement &e, const BankBook &book, const Contract &c,
                                 const BranchRules &rules, bool asDeal)
{
    e.add(QStringLiteral("CONTRACTNO"), c.contractNo);
    e.add(QStringLiteral("STATUSCODE"), c.status);
    e.add(QStringLiteral("CONTRACTTIME"), timeText(c.placed));
    if (asDeal)
        e.add(QStringLiteral("BUYTIME"), timeText(c.dealt));
    e.add(QStringLiteral("BUYCASH"), book.currencyName(c.buyCurrency));
    e.add(QStringLiteral("SALECASH"), book.currencyName(c.sellCurrency));
    e.add(QStringLiteral("BUYAMOUNT"), c.buyAmount.toText(book.decimalsOf(c.buyCurrency)));
    e.add(QStringLiteral("SALEAMOUNT"), c.sellAmount.toText(book.decimalsOf(c.sellCurrency)));

    // The rate fields. Deals in the standard form carry their deal rate on
    // the side that dealt; Beijing puts it in BANKDEFINE1 and keeps the order
    // rates; Shanghai puts the deal rate and the order rate in BANKDEFINE1/2.
    const bool dealt = c.status == QLatin1String(Contract::kDealt);
    FixedAmount profit = c.quotePrice;
    FixedAmount loss = c.shutRate;
    if (asDeal && rules.rateFields != RateFields::Beijing) {
        const bool profitSide = c.kind == ContractKind::InstantDeal || tookProfit(book, c);
        profit = profitSide ? c.dealRate : FixedAmount{};
        loss = profitSide ? FixedAmount{} : c.dealRate;
    }
    QString define1 = rules.businessNumbers ? c.businessNo : QString();
    QString define2;
    const FixedAmount orderRate = c.quotePrice.isZero() ? c.shutRate : c.quotePrice;
    switch (rules.rateFields) {
    case RateFields::Standard:
        break;
    case RateFields::Beijing:
        define1 = dealt ? rateText(c.dealRate) : QString();
        break;
    case RateFields::Shanghai:
        define1 = rateText(dealt ? c.dealRate : FixedAmount{});
        define2 = rateText(orderRate);
        break;
    }
    e.add(QStringLiteral("PROFITRATIO"), rateText(profit));
    e.add(QStringLiteral("BADRATIO"), rateText(loss));
    e.add(QStringLiteral("BANKDEFINE1"), define1);
    e.add(QStringLiteral("BANKDEFINE2"), define2);
    e.add(QStringLiteral("CHAOHUI"), c.billFlag);
    e.add(QStringLiteral("ORDERTYPE"), orderType(c));
    if (c.lastDay.isValid())
        e.add(QStringLiteral("ENDDATE"), c.lastDay.toString(QStringLiteral("yyyy/MM/dd")));
}

XmlAnswer ContractDesk::contractList(TransactionCall &call)
{
    const bool deals = call.txcode == QLatin1String("320600");
    CardAccount &card = call.card();
    call.checkBranch(card);
    const QDate start = call.date(QStringLiteral("STARTDATE"));
    const QDate end = call.date(QStringLiteral("ENDDATE"));
    if (start > end)
        call.refuse(QStringLiteral("0121"), QStringLiteral("起始日期不能晚于结束日期"));
    const int page = call.integer(QStringLiteral("PAGE"), 1, 100000);
    call.choice(QStringLiteral("TRANS_FLAG"), {deals ? QStringLiteral("0") : QStringLiteral("1")});

    QList<const Contract *> found;
    for (const Contract &c : call.book.contracts) {
        if (c.userId != call.customer->userId || c.accountNo != card.accountNo)
            continue;
        if (deals && c.status != QLatin1String(Contract::kDealt))
            continue;
        if (!deals && c.kind == ContractKind::InstantDeal)
            continue;
        const QDate day = (deals ? c.dealt : c.placed).date();
        if (day >= start && day <= end)
            found.append(&c);
    }
    std::stable_sort(found.begin(), found.end(), [deals](const Contract *a, const Contract *b) {
        return deals ? a->dealt > b->dealt : a->placed > b->placed;
    });

    const int size = call.book.settings.dealPageSize;
    const int pageCount = int((found.size() + size - 1) / size);
    if (page > qMax(1, pageCount))
        call.refuse(QStringLiteral("0271"), QStringLiteral("页码超出范围"));

    const BranchRules rules = call.rules(card);
    XmlAnswer a;
    a.add(QStringLiteral("PAGECOUNT"), QString::number(pageCount));
    XmlElement &list = a.add(QStringLiteral("CONTRACTLIST"));
    for (qsizetype i = qsizetype(page - 1) * size; i < qMin<qsizetype>(found.size(), qsizetype(page) * size); ++i)
        writeContract(list.add(QStringLiteral("CONTRACT")), call.book, *found[i], rules, deals);
    return a;
}

XmlAnswer ContractDesk::singleContract(TransactionCall &call)
{
    CardAccount &card = call.card();
    call.checkBranch(card);
    const BranchRules rules = call.rules(card);
    if (!rules.contractQuery)
        call.refuse(QStringLiteral("0900"), QStringLiteral("本分行不支持按合同号查询"));
    const QString no = call.nonEmpty(QStringLiteral("CONTRACT_NO"));
    const bool orders = call.choice(QStringLiteral("TRANS_FLAG"), {QStringLiteral("0"), QStringLiteral("1")})
                        == QLatin1String("1");

    XmlAnswer a;
    XmlElement &r = a.add(QStringLiteral("RESULTMSG"));
    const Contract *c = call.book.contract(no);
    if (c && c->userId == call.customer->userId && c->accountNo == card.accountNo
        && (c->kind == ContractKind::InstantDeal) != orders) {
        writeContract(r, call.book, *c, rules, !orders);
    } else {
        // Not found: the bank answers with an empty contract.
        r.add(QStringLiteral("CONTRACTNO"));
    }
    return a;
}
