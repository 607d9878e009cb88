#include "ScenarioLoader.h"

#include "Ledger.h"
#include "Pricing.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <algorithm>

namespace {

struct LoadError
{
    QString text;
};

[[noreturn]] void fail(const QString &text)
{
    throw LoadError{text};
}

QString str(const QJsonObject &o, const char *key, const QString &fallback = {})
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isString())
        return v.toString();
    if (v.isDouble())
        return QString::number(v.toDouble(), 'f', 4).remove(QRegularExpression(QStringLiteral("\\.?0+$")));
    if (v.isBool())
        return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    return fallback;
}

QString required(const QJsonObject &o, const char *key, const QString &where)
{
    const QString v = str(o, key);
    if (v.isEmpty())
        fail(QStringLiteral("%1: \"%2\" is missing").arg(where, QLatin1String(key)));
    return v;
}

int integer(const QJsonObject &o, const char *key, int fallback)
{
    const QJsonValue v = o.value(QLatin1String(key));
    return v.isDouble() ? v.toInt() : v.isString() ? v.toString().toInt() : fallback;
}

bool flag(const QJsonObject &o, const char *key, bool fallback)
{
    const QJsonValue v = o.value(QLatin1String(key));
    return v.isBool() ? v.toBool() : v.isDouble() ? v.toInt() != 0 : fallback;
}

FixedAmount amount(const QJsonObject &o, const char *key, const QString &where, bool signedAllowed = false)
{
    const QString text = str(o, key);
    if (text.isEmpty())
        return {};
    const auto a = signedAllowed ? FixedAmount::parseSigned(text) : FixedAmount::parse(text);
    if (!a)
        fail(QStringLiteral("%1: \"%2\" is not an amount: %3").arg(where, QLatin1String(key), text));
    return *a;
}

QStringList strings(const QJsonObject &o, const char *key)
{
    QStringList out;
    for (const QJsonValue &v : o.value(QLatin1String(key)).toArray())
        out << v.toString();
    return out;
}

QDateTime parseTime(const QString &text, const QDateTime &anchor, const QString &where)
{
    static const QRegularExpression relative(
        QStringLiteral("^today(?:([+-]\\d+))?(?:\\s+(\\d{2}:\\d{2}(?::\\d{2})?))?$"));
    const QString t = text.trimmed();
    if (const auto m = relative.match(t); m.hasMatch()) {
        const QDate day = anchor.date().addDays(m.captured(1).toInt());
        QTime time(10, 0);
        if (!m.captured(2).isEmpty())
            time = QTime::fromString(m.captured(2), m.captured(2).size() == 5 ? QStringLiteral("HH:mm")
                                                                              : QStringLiteral("HH:mm:ss"));
        if (!time.isValid())
            fail(QStringLiteral("%1: bad time %2").arg(where, text));
        return QDateTime(day, time);
    }
    for (const char *format : {"yyyy/MM/dd HH:mm:ss", "yyyy/MM/dd HH:mm", "yyyy/MM/dd"}) {
        const QDateTime d = QDateTime::fromString(t, QLatin1String(format));
        if (d.isValid())
            return d;
    }
    fail(QStringLiteral("%1: bad time %2").arg(where, text));
}

void readSettings(const QJsonObject &o, BankSettings &s)
{
    s.transactionPath = str(o, "transactionPath", s.transactionPath);
    s.loginPath = str(o, "loginPath", s.loginPath);
    s.picturePath = str(o, "picturePath", s.picturePath);
    s.quoteValidMs = integer(o, "quoteValidMs", s.quoteValidMs);
    s.sessionIdleSeconds = integer(o, "sessionIdleSeconds", s.sessionIdleSeconds);
    s.submitIntervalMs = integer(o, "submitIntervalMs", s.submitIntervalMs);
    if (o.contains(QLatin1String("submitCodes")))
        s.submitCodes = strings(o, "submitCodes");
    s.statementPageSize = qMax(1, integer(o, "statementPageSize", s.statementPageSize));
    s.dealPageSize = qMax(1, integer(o, "dealPageSize", s.dealPageSize));
    s.maxOrderDays = qMax(1, integer(o, "maxOrderDays", s.maxOrderDays));
    s.codeDigits = qBound(1, integer(o, "codeDigits", s.codeDigits), 8);
}

void readStatement(const QJsonArray &lines, SubAccount &sub, const QDateTime &anchor, const QString &where)
{
    QList<QPair<QDateTime, StatementLine>> read;
    QList<FixedAmount> deltas;
    for (const QJsonValue &v : lines) {
        const QJsonObject o = v.toObject();
        StatementLine l;
        l.time = parseTime(required(o, "time", where), anchor, where);
        const FixedAmount delta = amount(o, "amount", where, true);
        if (delta.isZero())
            fail(QStringLiteral("%1: a statement line without an amount").arg(where));
        l.amount = delta.abs();
        l.income = !delta.isNegative();
        l.memo = str(o, "memo", l.income ? QStringLiteral("存入") : QStringLiteral("支取"));
        l.place = str(o, "place", Ledger::kPlace);
        sub.statement.append(l);
    }
    std::stable_sort(sub.statement.begin(), sub.statement.end(),
                     [](const StatementLine &a, const StatementLine &b) { return a.time < b.time; });
    FixedAmount after = sub.balance;
    for (qsizetype i = sub.statement.size() - 1; i >= 0; --i) {
        StatementLine &l = sub.statement[i];
        if (after.isNegative())
            fail(QStringLiteral("%1: the statement runs below zero").arg(where));
        l.balanceAfter = after;
        after -= l.income ? l.amount : -l.amount;
    }
    if (after.isNegative())
        fail(QStringLiteral("%1: the statement starts below zero").arg(where));
}

ContractKind kindOf(const QString &text, const QString &where)
{
    if (text == QLatin1String("deal"))
        return ContractKind::InstantDeal;
    if (text == QLatin1String("order"))
        return ContractKind::Order;
    if (text == QLatin1String("appended"))
        return ContractKind::AppendedOrder;
    fail(QStringLiteral("%1: unknown contract kind %2").arg(where, text));
}

void readContract(const QJsonObject &o, BankBook &book, const Customer &customer, CardAccount &card,
                  const QDateTime &anchor, const QString &where)
{
    Contract c;
    c.kind = kindOf(str(o, "kind", QStringLiteral("deal")), where);
    c.userId = customer.userId;
    c.accountNo = card.accountNo;
    c.placed = parseTime(required(o, "time", where), anchor, where);
    c.sellCurrency = required(o, "sell", where);
    c.buyCurrency = required(o, "buy", where);
    c.billFlag = str(o, "billFlag", QStringLiteral("1"));
    c.transDir = str(o, "transDir", QStringLiteral("1"));
    c.sellAmount = amount(o, "sellAmount", where);
    c.buyAmount = amount(o, "buyAmount", where);
    c.quotePrice = amount(o, "quotePrice", where);
    c.shutRate = amount(o, "shutRate", where);
    c.dealRate = amount(o, "dealRate", where);
    c.fixedTerm = flag(o, "fixedTerm", false);
    c.productId = str(o, "productId");
    c.validDays = integer(o, "validDays", c.kind == ContractKind::InstantDeal ? 0 : 1);
    if (c.validDays > 0)
        c.lastDay = c.placed.date().addDays(c.validDays - 1);
    const QuotedRate *pair = book.rate(c.sellCurrency, c.buyCurrency);
    if (!book.currency(c.sellCurrency) || !book.currency(c.buyCurrency) || !pair)
        fail(QStringLiteral("%1: the pair %2/%3 is not quoted").arg(where, c.sellCurrency, c.buyCurrency));

    c.status = str(o, "status", c.kind == ContractKind::InstantDeal ? QString::fromLatin1(Contract::kDealt)
                                : c.kind == ContractKind::Order     ? QString::fromLatin1(Contract::kOpen)
                                                                    : QString::fromLatin1(Contract::kOpenAppended));
    const bool dealt = c.status == QLatin1String(Contract::kDealt);
    if (dealt) {
        if (c.dealRate.isZero())
            fail(QStringLiteral("%1: a dealt contract needs its dealRate").arg(where));
        c.dealt = o.contains(QLatin1String("dealtTime")) ? parseTime(str(o, "dealtTime"), anchor, where) : c.placed;
        const bool sellGiven = !c.sellAmount.isZero();
        const Pricing::Conversion conv =
            Pricing::convert(book, *pair, c.sellCurrency, c.buyCurrency, sellGiven ? QStringLiteral("1") : QStringLiteral("0"),
                             sellGiven ? c.sellAmount : c.buyAmount, c.dealRate);
        if (c.sellAmount.isZero() && c.buyAmount.isZero())
            fail(QStringLiteral("%1: a deal needs an amount").arg(where));
        if (c.buyAmount.isZero())
            c.buyAmount = conv.buyAmount;
        if (c.sellAmount.isZero())
            c.sellAmount = conv.sellAmount;
    }

    SubAccount *sell = nullptr;
    if (o.contains(QLatin1String("sellSign")))
        sell = BankBook::subBySign(card, str(o, "sellSign"));
    else if (!c.fixedTerm)
        sell = BankBook::demandSub(card, c.sellCurrency, c.billFlag);
    if (sell)
        c.sellSign = sell->accSign;

    c.contractNo = str(o, "contractNo");
    if (c.contractNo.isEmpty())
        c.contractNo = book.newContractNo(c.placed);
    else if (book.contract(c.contractNo))
        fail(QStringLiteral("%1: contract %2 appears twice").arg(where, c.contractNo));

    if (c.kind == ContractKind::AppendedOrder) {
        c.parent = required(o, "parent", where);
        Contract *parent = book.contract(c.parent);
        if (!parent || parent->kind != ContractKind::Order || parent->accountNo != card.accountNo)
            fail(QStringLiteral("%1: the parent %2 is not an earlier order of this card").arg(where, c.parent));
        if (c.isOpen() && !parent->isOpen())
            fail(QStringLiteral("%1: an open appended order needs an open parent").arg(where));
        parent->child = c.contractNo;
        c.sellCurrency = parent->buyCurrency;
        c.buyCurrency = parent->sellCurrency;
        c.billFlag = parent->billFlag;
        c.sellAmount = {};
        c.sellSign.clear();
    } else if (c.kind == ContractKind::Order && c.isOpen()) {
        if (!sell)
            fail(QStringLiteral("%1: no sub-account to hold the money of the order").arg(where));
        if (c.quotePrice.isZero() && c.shutRate.isZero())
            fail(QStringLiteral("%1: an order needs a quotePrice or a shutRate").arg(where));
        FixedAmount held = c.transDir == QLatin1String("0") ? FixedAmount{} : c.sellAmount;
        if (c.transDir == QLatin1String("0"))
            for (FixedAmount r : {c.quotePrice, c.shutRate})
                if (!r.isZero())
                    held = qMax(held, Pricing::convert(book, *pair, c.sellCurrency, c.buyCurrency, c.transDir, c.buyAmount, r).sellAmount);
        if (held.isZero() || held > sell->usable())
            fail(QStringLiteral("%1: the order's money is not on the account").arg(where));
        c.frozen = held;
        sell->frozen += held;
    }
    c.businessNo = str(o, "businessNo", book.businessNumber(card, c.contractNo));
    book.contracts.append(c);
}

void readCustomer(const QJsonObject &o, BankBook &book, const QDateTime &anchor)
{
    Customer c;
    c.userId = required(o, "userId", QStringLiteral("customer"));
    const QString who = QStringLiteral("customer %1").arg(c.userId);
    c.loginNumbers = strings(o, "loginNumbers");
    if (c.loginNumbers.isEmpty())
        fail(who + QStringLiteral(": no login number"));
    c.loginPassword = required(o, "loginPassword", who);
    c.tradePassword = required(o, "tradePassword", who);
    c.userName = str(o, "userName");
    c.locked = flag(o, "locked", false);
    book.customers.append(c);

    for (const QJsonValue &av : o.value(QLatin1String("accounts")).toArray()) {
        const QJsonObject a = av.toObject();
        CardAccount card;
        card.accountNo = required(a, "accountNo", who);
        const QString where = who + QStringLiteral(" account ") + card.accountNo;
        card.list = str(a, "list", QStringLiteral("ACCQUERYLIST"));
        static const QStringList lists = {QStringLiteral("ACCQUERYLIST"), QStringLiteral("CHILDACCTLIST"),
                                          QStringLiteral("FINAACCTLIST"), QStringLiteral("LKTACCTLIST")};
        if (!lists.contains(card.list))
            fail(where + QStringLiteral(": unknown list ") + card.list);
        static const QHash<QString, QString> fixedTypes = {{QStringLiteral("CHILDACCTLIST"), QStringLiteral("91")},
                                                           {QStringLiteral("FINAACCTLIST"), QStringLiteral("16")},
                                                           {QStringLiteral("LKTACCTLIST"), QStringLiteral("12")}};
        card.accountType = fixedTypes.value(card.list, str(a, "accountType", QStringLiteral("12")));
        card.branchId = required(a, "branchId", where);
        if (card.branchId.size() != 9)
            fail(where + QStringLiteral(": a branch identifier has nine digits"));
        card.flagCard = str(a, "flagCard");
        card.status = str(a, "status", QStringLiteral("0"));
        card.cashType = str(a, "cashType", QStringLiteral("01"));
        card.forex = flag(a, "forex", a.contains(QLatin1String("subAccounts")));
        card.service = integer(a, "service", card.forex ? 256 : 0);
        card.ownBalance = amount(a, "balance", where);
        card.ownUsable = a.contains(QLatin1String("usable")) ? amount(a, "usable", where) : card.ownBalance;

        for (const QJsonValue &sv : a.value(QLatin1String("subAccounts")).toArray()) {
            const QJsonObject s = sv.toObject();
            SubAccount sub;
            sub.currency = required(s, "currency", where);
            if (!book.currency(sub.currency))
                fail(where + QStringLiteral(": unknown currency ") + sub.currency);
            sub.chaoHui = str(s, "chaoHui", QStringLiteral("1"));
            sub.saveType = str(s, "saveType", kDemandSaveType);
            sub.productId = str(s, "productId");
            const DepositProduct *p = book.product(sub.productId);
            sub.pdtCode = str(s, "pdtCode", p ? p->pdtCode : QStringLiteral("0101"));
            if (p && !s.contains(QLatin1String("saveType")))
                sub.saveType = p->saveType;
            sub.balance = amount(s, "balance", where);
            sub.accSign = str(s, "accSign", QString::number(card.nextSign).rightJustified(5, u'0'));
            if (BankBook::subBySign(card, sub.accSign))
                fail(where + QStringLiteral(": sub-account sign appears twice: ") + sub.accSign);
            card.nextSign = qMax(card.nextSign, sub.accSign.toInt() + 1);
            readStatement(s.value(QLatin1String("statement")).toArray(), sub, anchor,
                          where + QStringLiteral(" sub-account ") + sub.accSign);
            card.subAccounts.append(sub);
        }
        book.customers.last().accounts.append(card);
    }

    // Contracts last: they refer to the sub-accounts.
    Customer &stored = book.customers.last();
    for (const QJsonValue &av : o.value(QLatin1String("accounts")).toArray()) {
        const QJsonObject a = av.toObject();
        CardAccount &card = *BankBook::card(stored, str(a, "accountNo"));
        for (const QJsonValue &cv : a.value(QLatin1String("contracts")).toArray())
            readContract(cv.toObject(), book, stored, card, anchor,
                         who + QStringLiteral(" contract in ") + card.accountNo);
    }
}

QJsonObject parseRoot(const QByteArray &json)
{
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject())
        fail(QStringLiteral("not a JSON object: %1 at %2").arg(err.errorString()).arg(err.offset));
    return doc.object();
}

} // namespace

bool ScenarioLoader::readClock(const QByteArray &json, ClockSetting *clock, QString *error)
{
    try {
        const QJsonObject o = parseRoot(json).value(QLatin1String("clock")).toObject();
        const QString start = str(o, "start", QStringLiteral("now"));
        clock->start = start == QLatin1String("now") ? QDateTime()
                                                      : parseTime(start, QDateTime::currentDateTime(), QStringLiteral("clock"));
        clock->frozen = flag(o, "frozen", false);
        return true;
    } catch (const LoadError &e) {
        *error = e.text;
        return false;
    }
}

bool ScenarioLoader::load(const QByteArray &json, const QDateTime &anchor, BankBook *book, QString *error)
{
    try {
        const QJsonObject root = parseRoot(json);
        BankBook b;
        QStringList notes;
        for (const QJsonValue &v : root.value(QLatin1String("notes")).toArray())
            notes << v.toString();
        b.notes = notes.join(u'\n');
        readSettings(root.value(QLatin1String("settings")).toObject(), b.settings);

        for (const QJsonValue &v : root.value(QLatin1String("currencies")).toArray()) {
            const QJsonObject o = v.toObject();
            CurrencyInfo c;
            c.code = required(o, "code", QStringLiteral("currency"));
            c.name = required(o, "name", QStringLiteral("currency ") + c.code);
            c.decimals = integer(o, "decimals", c.code == QLatin1String("27") ? 0 : 2);
            c.rmbRate = amount(o, "rmbRate", QStringLiteral("currency ") + c.code);
            b.currencies.append(c);
        }
        for (const QJsonValue &v : root.value(QLatin1String("rates")).toArray()) {
            const QJsonObject o = v.toObject();
            QuotedRate r;
            r.base = required(o, "base", QStringLiteral("rate"));
            r.quote = required(o, "quote", QStringLiteral("rate"));
            const QString where = QStringLiteral("rate %1/%2").arg(r.base, r.quote);
            r.bid = amount(o, "bid", where);
            r.ask = amount(o, "ask", where);
            if (!b.currency(r.base) || !b.currency(r.quote) || r.bid.isZero() || r.ask < r.bid)
                fail(where + QStringLiteral(": unknown currency or bad prices"));
            b.rates.append(r);
        }
        for (const QJsonValue &v : root.value(QLatin1String("products")).toArray()) {
            const QJsonObject o = v.toObject();
            b.products.append({required(o, "id", QStringLiteral("product")),
                               required(o, "saveType", QStringLiteral("product")), str(o, "pdtCode")});
        }
        for (const QJsonValue &v : root.value(QLatin1String("branches")).toArray()) {
            const QJsonObject o = v.toObject();
            BranchRules r;
            r.provinceCode = required(o, "provinceCode", QStringLiteral("branch"));
            r.name = str(o, "name");
            r.fixedTerm = flag(o, "fixedTerm", r.fixedTerm);
            r.fixedTermIn = flag(o, "fixedTermIn", r.fixedTermIn);
            r.appendedOrders = flag(o, "appendedOrders", r.appendedOrders);
            r.contractQuery = flag(o, "contractQuery", r.contractQuery);
            r.businessNumbers = flag(o, "businessNumbers", r.businessNumbers);
            r.statementAllCurrencies = flag(o, "statementAllCurrencies", r.statementAllCurrencies);
            const QString fields = str(o, "rateFields", QStringLiteral("standard"));
            r.rateFields = fields == QLatin1String("beijing")    ? RateFields::Beijing
                           : fields == QLatin1String("shanghai") ? RateFields::Shanghai
                                                                 : RateFields::Standard;
            r.unsupportedCurrencies = strings(o, "unsupportedCurrencies");
            b.branches.append(r);
        }
        for (const QJsonValue &v : root.value(QLatin1String("customers")).toArray())
            readCustomer(v.toObject(), b, anchor);
        *book = std::move(b);
        return true;
    } catch (const LoadError &e) {
        *error = e.text;
        return false;
    }
}
