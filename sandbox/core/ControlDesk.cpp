#include "ControlDesk.h"

#include "BankPages.h"
#include "FaultPlan.h"
#include "Ledger.h"
#include "RawQuery.h"
#include "SandboxBank.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

HttpReply json(int status, const QJsonObject &o)
{
    return HttpReply::make(status, "application/json; charset=utf-8", QJsonDocument(o).toJson(QJsonDocument::Compact));
}

HttpReply ok(QJsonObject o = {})
{
    o[QStringLiteral("ok")] = true;
    return json(200, o);
}

HttpReply fail(const QString &error)
{
    return json(400, QJsonObject{{QStringLiteral("ok"), false}, {QStringLiteral("error"), error}});
}

QDateTime parseStamp(const QString &text)
{
    return QDateTime::fromString(text, QStringLiteral("yyyyMMddHHmmss"));
}

QJsonObject clockJson(const BankState &s)
{
    return {{QStringLiteral("now"), s.clock.now().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"))},
            {QStringLiteral("stamp"), s.clock.now().toString(QStringLiteral("yyyyMMddHHmmss"))},
            {QStringLiteral("frozen"), s.clock.isFrozen()}};
}

QString base(const HttpRequestView &request)
{
    const QByteArray host = request.header("host");
    return QStringLiteral("http://") + (host.isEmpty() ? QStringLiteral("127.0.0.1") : QString::fromLatin1(host));
}

QJsonObject contractJson(const BankBook &book, const Contract &c)
{
    static const char *kinds[] = {"deal", "order", "appended"};
    return {{QStringLiteral("contractNo"), c.contractNo},
            {QStringLiteral("kind"), QLatin1String(kinds[int(c.kind)])},
            {QStringLiteral("status"), c.status},
            {QStringLiteral("accountNo"), c.accountNo},
            {QStringLiteral("sell"), c.sellCurrency},
            {QStringLiteral("buy"), c.buyCurrency},
            {QStringLiteral("sellName"), book.currencyName(c.sellCurrency)},
            {QStringLiteral("buyName"), book.currencyName(c.buyCurrency)},
            {QStringLiteral("billFlag"), c.billFlag},
            {QStringLiteral("sellAmount"), c.sellAmount.toText()},
            {QStringLiteral("buyAmount"), c.buyAmount.toText()},
            {QStringLiteral("quotePrice"), c.quotePrice.toFixed(4)},
            {QStringLiteral("shutRate"), c.shutRate.toFixed(4)},
            {QStringLiteral("dealRate"), c.dealRate.toFixed(4)},
            {QStringLiteral("frozen"), c.frozen.toText()},
            {QStringLiteral("parent"), c.parent},
            {QStringLiteral("child"), c.child},
            {QStringLiteral("placed"), c.placed.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"))}};
}

QJsonObject customerJson(const BankBook &book, const Customer &c)
{
    QJsonArray accounts;
    for (const CardAccount &a : c.accounts) {
        QJsonArray subs;
        for (const SubAccount &s : a.subAccounts)
            subs.append(QJsonObject{{QStringLiteral("accSign"), s.accSign},
                                    {QStringLiteral("currency"), s.currency},
                                    {QStringLiteral("chaoHui"), s.chaoHui},
                                    {QStringLiteral("saveType"), s.saveType},
                                    {QStringLiteral("balance"), s.balance.toText()},
                                    {QStringLiteral("usable"), s.usable().toText()},
                                    {QStringLiteral("frozen"), s.frozen.toText()},
                                    {QStringLiteral("statementLines"), int(s.statement.size())}});
        accounts.append(QJsonObject{{QStringLiteral("accountNo"), a.accountNo},
                                    {QStringLiteral("list"), a.list},
                                    {QStringLiteral("accountType"), a.accountType},
                                    {QStringLiteral("branchId"), a.branchId},
                                    {QStringLiteral("subAccounts"), subs}});
    }
    QJsonArray contracts;
    for (const Contract &k : book.contracts)
        if (k.userId == c.userId)
            contracts.append(contractJson(book, k));
    return {{QStringLiteral("userId"), c.userId},
            {QStringLiteral("userName"), c.userName},
            {QStringLiteral("loginNumbers"), QJsonArray::fromStringList(c.loginNumbers)},
            {QStringLiteral("loginPassword"), c.loginPassword},
            {QStringLiteral("tradePassword"), c.tradePassword},
            {QStringLiteral("accounts"), accounts},
            {QStringLiteral("contracts"), contracts}};
}

HttpReply info(BankState &s, const HttpRequestView &request)
{
    const BankSettings &st = s.book.settings;
    QJsonArray customers;
    for (const Customer &c : s.book.customers)
        customers.append(QJsonObject{{QStringLiteral("userName"), c.userName},
                                     {QStringLiteral("loginNumbers"), QJsonArray::fromStringList(c.loginNumbers)},
                                     {QStringLiteral("loginPassword"), c.loginPassword},
                                     {QStringLiteral("tradePassword"), c.tradePassword},
                                     {QStringLiteral("locked"), c.locked}});
    QJsonObject o = clockJson(s);
    o[QStringLiteral("base")] = base(request);
    o[QStringLiteral("DataSvrIp")] = base(request) + st.transactionPath;
    o[QStringLiteral("DataSvrIpWithCer")] = base(request) + st.transactionPath;
    o[QStringLiteral("LoginUrl")] = base(request) + st.loginPath;
    o[QStringLiteral("notes")] = s.book.notes;
    o[QStringLiteral("customers")] = customers;
    return ok(o);
}

HttpReply order(BankState &s, const RawQuery &q)
{
    Contract *c = s.book.contract(q.text(QStringLiteral("contract")));
    if (!c || c->kind == ContractKind::InstantDeal)
        return fail(QStringLiteral("no such order"));
    const QString action = q.text(QStringLiteral("action"));
    if (action == QLatin1String("expire")) {
        if (!c->isOpen())
            return fail(QStringLiteral("the order is not open"));
        Ledger::closeOrder(s.book, *c, QString::fromLatin1(Contract::kExpired));
        return ok({{QStringLiteral("contract"), contractJson(s.book, *c)}});
    }
    if (action != QLatin1String("execute"))
        return fail(QStringLiteral("action is execute or expire"));
    FixedAmount rate = c->quotePrice.isZero() ? c->shutRate : c->quotePrice;
    if (q.has(QStringLiteral("rate"))) {
        const auto r = FixedAmount::parse(q.text(QStringLiteral("rate")));
        if (!r || r->isZero())
            return fail(QStringLiteral("bad rate"));
        rate = *r;
    }
    const QString error = Ledger::executeOrder(s.book, *c, rate, s.clock.now());
    if (!error.isEmpty())
        return fail(error);
    return ok({{QStringLiteral("contract"), contractJson(s.book, *c)}});
}

HttpReply fault(BankState &s, const RawQuery &q)
{
    Fault f;
    f.target = q.text(QStringLiteral("txcode"));
    if (f.target.isEmpty())
        return fail(QStringLiteral("txcode is missing"));
    if (!Fault::kindFromName(q.text(QStringLiteral("kind")), &f.kind))
        return fail(QStringLiteral("kind is error, html, malformed, empty, delay or drop"));
    f.text = q.text(QStringLiteral("text"));
    if (q.has(QStringLiteral("page")) && !BankPages::kindFromName(q.text(QStringLiteral("page")), &f.page))
        return fail(QStringLiteral("page is interval, timeout, code, unavailable or server"));
    if (q.has(QStringLiteral("delay_ms")))
        f.delayMs = qBound(0, q.text(QStringLiteral("delay_ms")).toInt(), 600000);
    f.perform = q.has(QStringLiteral("perform")) ? q.text(QStringLiteral("perform")) == QLatin1String("1")
                                                 : (f.kind == Fault::Kind::Delay || f.kind == Fault::Kind::Drop);
    const int count = q.has(QStringLiteral("count")) ? qBound(1, q.text(QStringLiteral("count")).toInt(), 100) : 1;
    for (int i = 0; i < count; ++i)
        s.faults.add(f);
    return ok({{QStringLiteral("pending"), s.faults.size()}});
}

HttpReply config(BankState &s, const RawQuery &q)
{
    BankSettings &st = s.book.settings;
    static const struct
    {
        const char *name;
        int BankSettings::*field;
        int min;
    } knobs[] = {{"quote_valid_ms", &BankSettings::quoteValidMs, 0},
                 {"session_idle_s", &BankSettings::sessionIdleSeconds, 1},
                 {"submit_interval_ms", &BankSettings::submitIntervalMs, 0},
                 {"statement_page_size", &BankSettings::statementPageSize, 1},
                 {"deal_page_size", &BankSettings::dealPageSize, 1}};
    QJsonObject o;
    for (const auto &k : knobs) {
        const QString name = QString::fromLatin1(k.name);
        if (q.has(name)) {
            bool good = false;
            const int v = q.text(name).toInt(&good);
            if (!good || v < k.min)
                return fail(QStringLiteral("bad value for ") + name);
            st.*k.field = v;
        }
        o[name] = st.*k.field;
    }
    return ok(o);
}

HttpReply rate(BankState &s, const RawQuery &q)
{
    QuotedRate *r = s.book.rate(q.text(QStringLiteral("base")), q.text(QStringLiteral("quote")));
    const auto bid = FixedAmount::parse(q.text(QStringLiteral("bid")));
    const auto ask = FixedAmount::parse(q.text(QStringLiteral("ask")));
    if (!r || r->base != q.text(QStringLiteral("base")) || !bid || !ask || bid->isZero() || *ask < *bid)
        return fail(QStringLiteral("name a quoted pair in its order with bid <= ask"));
    r->bid = *bid;
    r->ask = *ask;
    return ok();
}

} // namespace

HttpReply ControlDesk::serve(SandboxBank &bank, BankState &s, const HttpRequestView &request)
{
    if (!request.remoteAddress.startsWith(QLatin1String("127.")) && request.remoteAddress != QLatin1String("::1"))
        return fail(QStringLiteral("the control path answers the loopback only"));
    const QString what = request.path.mid(SandboxBank::kControlPrefix.size());
    const RawQuery q = RawQuery::parse(request.rawQuery);
    if (!q.isReadable())
        return fail(q.problem());

    if (what == QLatin1String("info"))
        return info(s, request);
    if (what == QLatin1String("reset")) {
        QDateTime clock;
        if (q.has(QStringLiteral("clock")) && !(clock = parseStamp(q.text(QStringLiteral("clock")))).isValid())
            return fail(QStringLiteral("clock is yyyyMMddHHmmss"));
        QString error;
        if (!bank.resetLocked(clock, q.text(QStringLiteral("frozen")) == QLatin1String("1"), &error))
            return fail(error);
        return ok(clockJson(s));
    }
    if (what == QLatin1String("clock")) {
        const bool frozen = q.has(QStringLiteral("frozen")) ? q.text(QStringLiteral("frozen")) == QLatin1String("1")
                                                            : s.clock.isFrozen();
        if (q.has(QStringLiteral("set"))) {
            const QDateTime t = parseStamp(q.text(QStringLiteral("set")));
            if (!t.isValid())
                return fail(QStringLiteral("set is yyyyMMddHHmmss"));
            s.clock.set(t, frozen);
        } else if (q.has(QStringLiteral("frozen"))) {
            s.clock.set(s.clock.now(), frozen);
        }
        if (q.has(QStringLiteral("advance")))
            s.clock.advance(qint64(q.text(QStringLiteral("advance")).toLongLong()) * 1000);
        return ok(clockJson(s));
    }
    if (what == QLatin1String("order"))
        return order(s, q);
    if (what == QLatin1String("fault"))
        return fault(s, q);
    if (what == QLatin1String("log"))
        return ok({{QStringLiteral("entries"), s.log.toJson(q.text(QStringLiteral("since")).toLongLong())}});
    if (what == QLatin1String("code"))
        return ok({{QStringLiteral("code"), s.lastCode}, {QStringLiteral("session"), QString::fromLatin1(s.lastSessionId)}});
    if (what == QLatin1String("rate"))
        return rate(s, q);
    if (what == QLatin1String("config"))
        return config(s, q);
    if (what == QLatin1String("state")) {
        Customer *c = q.has(QStringLiteral("user")) ? s.book.customerByUserId(q.text(QStringLiteral("user")))
                                                    : s.book.customerByLoginNumber(q.text(QStringLiteral("login")));
        if (!c)
            return fail(QStringLiteral("no such customer"));
        return ok(customerJson(s.book, *c));
    }
    if (what == QLatin1String("stop")) {
        HttpReply r = ok();
        r.stopServer = true;
        return r;
    }
    return fail(QStringLiteral("unknown control ") + what);
}
