#include "AccountDesk.h"

#include <QCryptographicHash>
#include <algorithm>

namespace {

const QString kOne = QStringLiteral("1");

// The card-level balance of a card account: its own figures when it has no
// sub-accounts, else those of its demand cash sub-account in the card's
// currency.
void cardBalance(CardAccount &card, FixedAmount *balance, FixedAmount *usable)
{
    if (card.subAccounts.isEmpty()) {
        *balance = card.ownBalance;
        *usable = card.ownUsable;
        return;
    }
    *balance = {};
    *usable = {};
    if (SubAccount *s = BankBook::demandSub(card, card.cashType, QStringLiteral("0"))) {
        *balance = s->balance;
        *usable = s->usable();
    }
}

} // namespace

XmlAnswer AccountDesk::cardAccounts(TransactionCall &call)
{
    if (call.text(QStringLiteral("COOKIES")) != call.session->cookiesText)
        call.refuse(QStringLiteral("0240"), QStringLiteral("登录信息已失效，请重新登录"));

    XmlAnswer a;
    static const struct
    {
        const char *list;
        const char *entry;
    } lists[] = {{"ACCQUERYLIST", "ACCQUERY"},
                 {"CHILDACCTLIST", "CHILDACCT"},
                 {"FINAACCTLIST", "FINAACCT"},
                 {"LKTACCTLIST", "LKTACCT"}};
    for (const auto &l : lists) {
        XmlElement &list = a.add(QString::fromLatin1(l.list));
        for (CardAccount &card : call.customer->accounts) {
            if (card.list != QLatin1String(l.list))
                continue;
            XmlElement &e = list.add(QString::fromLatin1(l.entry));
            e.add(QStringLiteral("BBANK_NAME"), card.branchId);
            if (card.list == QLatin1String("ACCQUERYLIST")) {
                FixedAmount balance, usable;
                cardBalance(card, &balance, &usable);
                e.add(QStringLiteral("ACCOUNTNO"), card.accountNo);
                e.add(QStringLiteral("ACCOUNTTYPE"), card.accountType);
                e.add(QStringLiteral("CASHTYPE"), call.book.currencyName(card.cashType));
                e.add(QStringLiteral("BALANCE"), balance.toText());
                e.add(QStringLiteral("USABLEBALANCE"), usable.toText());
                e.add(QStringLiteral("FLAG_CARD"), card.flagCard);
                e.add(QStringLiteral("ACCOUNTSTATUS"), card.status);
            } else {
                e.add(QStringLiteral("ACCNO"), card.accountNo);
                e.add(QStringLiteral("service"), QString::number(card.service));
                e.add(QStringLiteral("CASHTYPE"), call.book.currencyName(card.cashType));
                e.add(QStringLiteral("ACCOUNTSTATUS"), card.status);
            }
        }
    }
    return a;
}

XmlAnswer AccountDesk::subAccounts(TransactionCall &call)
{
    const bool financial = call.txcode == QLatin1String("310800");
    CardAccount &card = call.card();
    call.checkBranch(card, financial);
    if (financial)
        call.choice(QStringLiteral("IS_UPDATE"), {kOne});
    const int firstRow = call.integer(QStringLiteral("ROW_NO"), 1, 100000);
    if ((card.accountType == QLatin1String("16")) != financial)
        call.refuse(QStringLiteral("0250"), QStringLiteral("账户类型与交易不符"));
    call.checkForexCard(card);

    XmlAnswer a;
    XmlElement &list = a.add(QStringLiteral("ACCOUNTINFOLIST"));
    for (qsizetype i = firstRow - 1; i < card.subAccounts.size(); ++i) {
        const SubAccount &s = card.subAccounts[i];
        XmlElement &e = list.add(QStringLiteral("ACCOUNTINFO"));
        e.add(QStringLiteral("CASHTYPE"), call.book.currencyName(s.currency));
        e.add(QStringLiteral("SAVETYPE"), s.saveType);
        e.add(QStringLiteral("CHAOHUI"), s.chaoHui);
        e.add(QStringLiteral("ACC_NO"), card.accountNo);
        e.add(QStringLiteral("ACC_SIGN"), s.accSign);
        e.add(QStringLiteral("PDT_CODE"), s.pdtCode);
        const int decimals = call.book.decimalsOf(s.currency);
        e.add(QStringLiteral("BALANCE"), s.balance.toText(decimals));
        e.add(QStringLiteral("USEBALANCE"), s.usable().toText(decimals));
        e.add(QStringLiteral("FROZENBALANCE"), s.frozen.toText(decimals));
    }
    return a;
}

XmlAnswer AccountDesk::updateSubAccounts(TransactionCall &call)
{
    CardAccount &card = call.card();
    call.checkBranch(card);
    call.choice(QStringLiteral("IS_UPDATE"), {kOne});
    call.integer(QStringLiteral("ROW_NO"), 1, 100000);
    call.checkForexCard(card);
    XmlAnswer a;
    XmlElement &r = a.add(QStringLiteral("RESULTMSG"));
    r.add(QStringLiteral("ACC_NO"), card.accountNo);
    r.add(QStringLiteral("RESULT"), QStringLiteral("子账户信息更新成功"));
    return a;
}

XmlAnswer AccountDesk::balances(TransactionCall &call)
{
    CardAccount &card = call.card();
    call.checkBranch(card);
    if (call.text(QStringLiteral("ACC_SIGN")) != card.accountNo)
        call.refuseValue(QStringLiteral("ACC_SIGN"));
    if (call.text(QStringLiteral("FLAG_CARD")) != card.flagCard)
        call.refuseValue(QStringLiteral("FLAG_CARD"));

    XmlAnswer a;
    XmlElement &list = a.add(QStringLiteral("ACCQUERYLIST"));
    auto entry = [&](const QString &currency, FixedAmount balance, FixedAmount usable) {
        XmlElement &e = list.add(QStringLiteral("ACCQUERY"));
        e.add(QStringLiteral("ACCOUNTNO"), card.accountNo);
        e.add(QStringLiteral("CASHTYPE"), call.book.currencyName(currency));
        e.add(QStringLiteral("BALANCE"), balance.toText());
        e.add(QStringLiteral("USABLEBALANCE"), usable.toText());
    };
    if (card.subAccounts.isEmpty()) {
        entry(card.cashType, card.ownBalance, card.ownUsable);
    } else {
        // Market values in renminbi, one entry per sub-account.
        for (const SubAccount &s : card.subAccounts) {
            const CurrencyInfo *c = call.book.currency(s.currency);
            const FixedAmount rate = c ? c->rmbRate : FixedAmount{};
            entry(QStringLiteral("01"), FixedAmount::multiply(s.balance, rate, 2),
                  FixedAmount::multiply(s.usable(), rate, 2));
        }
    }
    return a;
}

QString AccountDesk::pagingString(const QByteArray &secret, const QStringList &queryKey, int page)
{
    const QByteArray text = secret + '|' + queryKey.join(u'|').toUtf8() + '|' + QByteArray::number(page);
    return QString::fromLatin1(
        QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex().left(20).toUpper());
}

XmlAnswer AccountDesk::statement(TransactionCall &call)
{
    CardAccount &card = call.card();
    call.checkBranch(card);
    const QString sign = call.nonEmpty(QStringLiteral("ACC_SIGN"));
    SubAccount *sub = BankBook::subBySign(card, sign);
    if (!sub)
        call.refuse(QStringLiteral("0260"), QStringLiteral("子账户不存在"));
    if (call.text(QStringLiteral("PDT_CODE")) != sub->pdtCode)
        call.refuseValue(QStringLiteral("PDT_CODE"));
    if (call.text(QStringLiteral("STR_USERID")) != call.customer->userId)
        call.refuseValue(QStringLiteral("STR_USERID"));
    call.choice(QStringLiteral("IS_UPDATE"), {kOne});
    call.choice(QStringLiteral("UPDATE_DETAIL"), {kOne});
    const QDate start = call.date(QStringLiteral("START_DATE"));
    const QDate end = call.date(QStringLiteral("END_DATE"));
    if (start > end)
        call.refuse(QStringLiteral("0121"), QStringLiteral("起始日期不能晚于结束日期"));
    const int page = call.integer(QStringLiteral("PAGE"), 1, 100000);
    const int currentPage = call.integer(QStringLiteral("CURRENT_PAGE"), 1, 100000);
    const QString paging = call.text(QStringLiteral("A_STR"));

    const QStringList key = {card.accountNo, sign, start.toString(Qt::ISODate), end.toString(Qt::ISODate)};
    if (page > 1 && (currentPage != page - 1 || paging != pagingString(call.state.secret, key, page - 1)))
        call.refuse(QStringLiteral("0270"), QStringLiteral("翻页信息不正确，请重新查询"));

    struct Line
    {
        const StatementLine *line;
        QString currency;
    };
    QList<Line> lines;
    const bool allCurrencies = call.rules(card).statementAllCurrencies;
    for (const SubAccount &s : card.subAccounts) {
        if (&s != sub && !allCurrencies)
            continue;
        for (const StatementLine &l : s.statement)
            if (l.time.date() >= start && l.time.date() <= end)
                lines.append({&l, s.currency});
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const Line &a, const Line &b) { return a.line->time < b.line->time; });

    const int size = call.book.settings.statementPageSize;
    const int pageCount = int((lines.size() + size - 1) / size);
    if (!lines.isEmpty() && page > pageCount)
        call.refuse(QStringLiteral("0271"), QStringLiteral("页码超出范围"));

    XmlAnswer a;
    a.add(QStringLiteral("PAGECOUNT"), QString::number(pageCount));
    a.add(QStringLiteral("A_STR"), lines.isEmpty() ? QString() : pagingString(call.state.secret, key, page));
    XmlElement &list = a.add(QStringLiteral("DETAILLIST"));
    if (lines.isEmpty()) {
        // The bank reports "no records" as one entry without a date.
        XmlElement &e = list.add(QStringLiteral("DETAIL"));
        for (const char *field : {"CHANGEDATE", "CHANGEPLACE", "CHANGEAMOUNT", "INOUT", "MEMO", "BALANCE", "CURRTYPE"})
            e.add(QString::fromLatin1(field));
        return a;
    }
    for (qsizetype i = qsizetype(page - 1) * size; i < qMin<qsizetype>(lines.size(), qsizetype(page) * size); ++i) {
        const StatementLine &l = *lines[i].line;
        const int decimals = call.book.decimalsOf(lines[i].currency);
        XmlElement &e = list.add(QStringLiteral("DETAIL"));
        e.add(QStringLiteral("CHANGEDATE"), l.time.toString(QStringLiteral("yyyy/MM/dd")));
        e.add(QStringLiteral("CHANGEPLACE"), l.place);
        e.add(QStringLiteral("CHANGEAMOUNT"), l.amount.toText(decimals));
        e.add(QStringLiteral("INOUT"), l.income ? kOne : QStringLiteral("0"));
        e.add(QStringLiteral("MEMO"), l.memo);
        e.add(QStringLiteral("BALANCE"), l.balanceAfter.abs().toText(decimals));
        e.add(QStringLiteral("CURRTYPE"), lines[i].currency);
    }
    return a;
}
