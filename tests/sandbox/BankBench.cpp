#include "BankBench.h"

#include "BankPages.h"
#include "GbkText.h"
#include "LoginPage.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

const char *const BankBench::kScenario = R"JSON({
 "clock": {"start": "2024/03/15 10:00:00", "frozen": true},
 "settings": {"quoteValidMs": 10000, "sessionIdleSeconds": 600, "statementPageSize": 10, "dealPageSize": 10,
              "maxOrderDays": 10},
 "currencies": [
  {"code": "01", "name": "人民币", "rmbRate": "1"},
  {"code": "13", "name": "港币", "rmbRate": "0.91"},
  {"code": "14", "name": "美元", "rmbRate": "7.10"},
  {"code": "18", "name": "新加坡元", "rmbRate": "5.30"},
  {"code": "27", "name": "日元", "decimals": 0, "rmbRate": "0.0475"},
  {"code": "28", "name": "加拿大元", "rmbRate": "5.25"},
  {"code": "38", "name": "欧元", "rmbRate": "7.70"}
 ],
 "rates": [
  {"base": "14", "quote": "27", "bid": "149.50", "ask": "150.10"},
  {"base": "38", "quote": "14", "bid": "1.0830", "ask": "1.0890"},
  {"base": "14", "quote": "13", "bid": "7.8000", "ask": "7.8400"},
  {"base": "14", "quote": "28", "bid": "1.3500", "ask": "1.3570"},
  {"base": "14", "quote": "18", "bid": "1.3400", "ask": "1.3470"}
 ],
 "products": [{"id": "01", "saveType": "整存整取三个月", "pdtCode": "0203"},
              {"id": "03", "saveType": "整存整取一年", "pdtCode": "0212"}],
 "branches": [
  {"provinceCode": "110000000", "rateFields": "beijing", "unsupportedCurrencies": ["18"]},
  {"provinceCode": "310000000", "rateFields": "shanghai", "fixedTerm": true, "appendedOrders": false,
   "statementAllCurrencies": true},
  {"provinceCode": "442000000", "fixedTerm": true, "contractQuery": true, "businessNumbers": true},
  {"provinceCode": "441000000", "fixedTerm": true, "fixedTermIn": false}
 ],
 "customers": [
  {"userId": "U0001", "userName": "测试客户", "loginNumbers": ["110101199001011234", "alice"],
   "loginPassword": "pw1234", "tradePassword": "tp6666",
   "accounts": [
    {"list": "ACCQUERYLIST", "accountNo": "6200000000000000001", "accountType": "12", "branchId": "110000000",
     "flagCard": "1",
     "subAccounts": [
      {"accSign": "00001", "currency": "14", "chaoHui": "1", "balance": "16000.00", "statement": [
        {"time": "today-30 10:00", "amount": "+5000.00", "memo": "汇款汇入"},
        {"time": "today-29 10:00", "amount": "-100.00"}, {"time": "today-28 10:00", "amount": "-100.00"},
        {"time": "today-27 10:00", "amount": "-100.00"}, {"time": "today-26 10:00", "amount": "-100.00"},
        {"time": "today-25 10:00", "amount": "-100.00"}, {"time": "today-24 10:00", "amount": "-100.00"},
        {"time": "today-23 10:00", "amount": "-100.00"}, {"time": "today-22 10:00", "amount": "-100.00"},
        {"time": "today-21 10:00", "amount": "-100.00"}, {"time": "today-20 10:00", "amount": "+1000.00"},
        {"time": "today-19 10:00", "amount": "+1000.00"}, {"time": "today-18 10:00", "amount": "+1000.00"},
        {"time": "today-17 10:00", "amount": "+1000.00"}, {"time": "today-16 10:00", "amount": "+1000.00"},
        {"time": "today-15 10:00", "amount": "+1000.00"}, {"time": "today-14 10:00", "amount": "+1000.00"},
        {"time": "today-13 10:00", "amount": "+1000.00"}, {"time": "today-12 10:00", "amount": "+1000.00"},
        {"time": "today-11 10:00", "amount": "+1000.00"}, {"time": "today-10 10:00", "amount": "-1000.00"},
        {"time": "today-9 10:00", "amount": "+900.00"}, {"time": "today-8 10:00", "amount": "+1000.00"}]},
      {"accSign": "00002", "currency": "27", "chaoHui": "1", "balance": "1000000"},
      {"accSign": "00003", "currency": "38", "chaoHui": "1", "balance": "5000.00"},
      {"accSign": "00004", "currency": "14", "chaoHui": "0", "balance": "800.00"}
     ],
     "contracts": [
      {"kind": "deal", "contractNo": "240301000001", "time": "today-14 10:00", "sell": "14", "buy": "27", "sellAmount": "100", "dealRate": "150.00"},
      {"kind": "deal", "contractNo": "240302000002", "time": "today-13 10:00", "sell": "14", "buy": "27", "sellAmount": "200", "dealRate": "150.10"},
      {"kind": "deal", "contractNo": "240303000003", "time": "today-12 10:00", "sell": "14", "buy": "27", "sellAmount": "300", "dealRate": "150.20"},
      {"kind": "deal", "contractNo": "240304000004", "time": "today-11 10:00", "sell": "14", "buy": "27", "sellAmount": "400", "dealRate": "150.30"},
      {"kind": "deal", "contractNo": "240305000005", "time": "today-10 10:00", "sell": "14", "buy": "27", "sellAmount": "500", "dealRate": "150.40"},
      {"kind": "deal", "contractNo": "240306000006", "time": "today-9 10:00", "sell": "38", "buy": "14", "sellAmount": "100", "dealRate": "1.0800"},
      {"kind": "deal", "contractNo": "240307000007", "time": "today-8 10:00", "sell": "38", "buy": "14", "sellAmount": "200", "dealRate": "1.0810"},
      {"kind": "deal", "contractNo": "240308000008", "time": "today-7 10:00", "sell": "38", "buy": "14", "sellAmount": "300", "dealRate": "1.0820"},
      {"kind": "deal", "contractNo": "240309000009", "time": "today-6 10:00", "sell": "38", "buy": "14", "sellAmount": "400", "dealRate": "1.0830"},
      {"kind": "deal", "contractNo": "240310000010", "time": "today-5 10:00", "sell": "27", "buy": "14", "sellAmount": "15010", "dealRate": "150.10"},
      {"kind": "deal", "contractNo": "240311000011", "time": "today-4 10:00", "sell": "27", "buy": "14", "sellAmount": "30020", "dealRate": "150.10"},
      {"kind": "deal", "contractNo": "240312000012", "time": "today-3 10:00", "sell": "27", "buy": "14", "sellAmount": "45030", "dealRate": "150.10"},
      {"kind": "order", "contractNo": "240313000013", "time": "today-2 10:00", "sell": "14", "buy": "27", "sellAmount": "100", "quotePrice": "151.00", "validDays": 1, "status": "4"}
     ]},
    {"list": "LKTACCTLIST", "accountNo": "6200000000000000002", "branchId": "330108001",
     "subAccounts": [{"accSign": "00001", "currency": "14", "chaoHui": "1", "balance": "2000.00"}]},
    {"list": "FINAACCTLIST", "accountNo": "6200000000000000016", "branchId": "310104001",
     "subAccounts": [
      {"accSign": "00001", "currency": "14", "chaoHui": "1", "balance": "3000.00",
       "statement": [{"time": "today-5 10:00", "amount": "+3000.00"}]},
      {"accSign": "00002", "currency": "14", "chaoHui": "1", "productId": "03", "balance": "5000.00"},
      {"accSign": "00003", "currency": "38", "chaoHui": "1", "balance": "100.00",
       "statement": [{"time": "today-4 10:00", "amount": "+100.00"}]}
     ],
     "contracts": [
      {"kind": "deal", "contractNo": "240314000014", "time": "today-1 10:00", "sell": "14", "buy": "27", "sellAmount": "100", "dealRate": "149.00"}
     ]},
    {"list": "CHILDACCTLIST", "accountNo": "6200000000000000442", "branchId": "442000000",
     "subAccounts": [
      {"accSign": "00001", "currency": "14", "chaoHui": "1", "balance": "4000.00"},
      {"accSign": "00002", "currency": "13", "chaoHui": "1", "productId": "01", "balance": "20000.00"}
     ],
     "contracts": [
      {"kind": "deal", "contractNo": "240315000015", "time": "today 09:00", "sell": "14", "buy": "13", "sellAmount": "100", "dealRate": "7.8000"}
     ]},
    {"list": "ACCQUERYLIST", "accountNo": "6200000000000000441", "accountType": "12", "branchId": "441000000",
     "flagCard": "1",
     "subAccounts": [{"accSign": "00001", "currency": "14", "chaoHui": "1", "productId": "01", "balance": "3000.00"}]},
    {"list": "ACCQUERYLIST", "accountNo": "0200000000000000009", "accountType": "03", "branchId": "110000000",
     "flagCard": "0", "forex": false, "balance": "500.00"}
   ]},
  {"userId": "U0002", "userName": "冻结客户", "loginNumbers": ["bob"], "loginPassword": "bob123",
   "tradePassword": "bb6666", "locked": true, "accounts": []}
 ]
})JSON";

BankBench::BankBench(const QByteArray &scenario)
{
    QString error;
    if (!bank.loadJson(scenario, &error))
        qFatal("test scenario: %s", qPrintable(error));
}

BankAnswer BankBench::send(const QByteArray &rawQuery, const QByteArray &withCookie)
{
    HttpRequestView r;
    r.path = QStringLiteral("/app/vodMain");
    r.rawQuery = rawQuery;
    const QByteArray c = withCookie == "session" ? cookie : withCookie;
    if (!c.isEmpty())
        r.headers.append(qMakePair(QByteArray("cookie"), c));
    const HttpReply reply = bank.serveTransaction(r);
    BankAnswer a = BankAnswer::fromBody(reply.body, reply.contentType);
    a.status = reply.status;
    a.delayMs = reply.delayMs;
    a.dropConnection = reply.dropConnection;
    // The client strips every "-" from an answer: the bank never sends one.
    EXPECT_FALSE(a.body.contains('-')) << qPrintable(a.text.left(300));
    return a;
}

BankAnswer BankBench::login(const QString &loginNumber, const QString &password)
{
    HttpRequestView page;
    page.path = QStringLiteral("/app/vodLogin");
    page.headers.append(qMakePair(QByteArray("host"), QByteArray("127.0.0.1:1")));
    const HttpReply reply = bank.serveLoginPage(page);
    for (const auto &h : reply.headers)
        if (h.first == "Set-Cookie")
            cookie = h.second.split(';').first();
    const QString html = GbkText::decode(reply.body);
    const QString nonce = QRegularExpression(QStringLiteral("PAGE_NONCE = \"([0-9a-f]+)\"")).match(html).captured(1);
    const QString code = bank.withState([](BankState &s) { return s.lastCode; });
    const QString protectedPassword = LoginPage::protectPassword(nonce, password);
    const QString digest = LoginPage::digest(nonce, loginNumber, protectedPassword, code);
    const BankAnswer a = send(QStringLiteral("PT_STYLE=9&TXCODE=100101&USERID=%1&LOGPASS=%2&PT_CONFIRM_PWD=%3&VOD_PWD_MAP_GIGEST=%4")
                                  .arg(loginNumber, protectedPassword, code, digest)
                                  .toUtf8());
    if (!a.isError() && a.hasRoot()) {
        skey = a.value(QStringLiteral("SKEY"));
        userId = a.value(QStringLiteral("USERID"));
        cookies = a.value(QStringLiteral("COOKIES"));
    }
    return a;
}

BankAnswer BankBench::tx(const QString &txcode, const Params &params)
{
    QString q = QStringLiteral("PT_STYLE=9&TXCODE=%1").arg(txcode);
    if (txcode != QLatin1String("100101"))
        q += QStringLiteral("&SKEY=%1&USERID=%2").arg(skey, userId);
    for (const auto &p : params)
        q += u'&' + p.first + u'=' + p.second;
    return send(GbkText::encode(q));
}

QString BankBench::province(const QString &card)
{
    static const QMap<QString, QString> ids = {
        {kBeijingCard, QStringLiteral("110000000")}, {kZhejiangCard, QStringLiteral("330000000")},
        {kShanghaiCard, QStringLiteral("310000000")}, {kShenzhenCard, QStringLiteral("442000000")},
        {kGuangdongCard, QStringLiteral("441000000")}, {kPassbook, QStringLiteral("110000000")}};
    return ids.value(card);
}

BankAnswer BankBench::quote(const QString &sell, const QString &buy, const QString &amount, const QString &dir,
                            const QString &bill, const QString &card)
{
    return tx(QStringLiteral("320102"), {{"BRANCHID", province(card)}, {"TRANS_PASSWD", kTradePassword},
                                         {"SUB_ACC", card}, {"SELL_CUR_TYPE", sell}, {"BUY_CUR_TYPE", buy},
                                         {"BILL_FLAG", bill}, {"TRANS_DIR", dir}, {"ACC_NO", card},
                                         {"CHANGED_AMOUNT", amount}});
}

BankAnswer BankBench::confirm(const BankAnswer &q, const QString &sell, const QString &buy, const QString &amount,
                              const QString &dir, const QString &bill, const QString &card)
{
    return tx(QStringLiteral("320100"), {{"BRANCHID", province(card)}, {"TRANS_PASSWD", kTradePassword},
                                         {"SUB_ACC", card}, {"SELL_CUR_TYPE", sell}, {"BUY_CUR_TYPE", buy},
                                         {"BILL_FLAG", bill}, {"TRANS_DIR", dir}, {"ACC_NO", card},
                                         {"PT_SIGN_STR", q.value(QStringLiteral("PT_SIGN_STR"))},
                                         {"CONTRACT_NO", q.value(QStringLiteral("CONTRACT_NO"))},
                                         {"CHANGED_AMOUNT", amount}});
}

BankAnswer BankBench::order(const QString &sell, const QString &buy, const QString &amount, const QString &profit,
                            const QString &loss, const QString &dir, const QString &days, const QString &card)
{
    return tx(QStringLiteral("320200"), {{"BRANCHID", province(card)}, {"TRANS_PASSWD", kTradePassword},
                                         {"ACC_NO", card}, {"SUB_ACC", card}, {"BUY_CUR_TYPE", buy},
                                         {"QUOTEPRICE", profit}, {"SHUTRATE", loss}, {"VLAIDDAY", days},
                                         {"CHANGED_AMOUNT", amount}, {"TRANS_DIR", dir}, {"BILL_FLAG", "1"},
                                         {"SELL_CUR_TYPE", sell}});
}

QString BankBench::balance(const QString &card, const QString &accSign)
{
    return bank.withState([&](BankState &s) {
        for (Customer &c : s.book.customers)
            if (CardAccount *a = BankBook::card(c, card))
                if (SubAccount *sub = BankBook::subBySign(*a, accSign))
                    return sub->balance.toText();
        return QStringLiteral("none");
    });
}

QString BankBench::usable(const QString &card, const QString &accSign)
{
    return bank.withState([&](BankState &s) {
        for (Customer &c : s.book.customers)
            if (CardAccount *a = BankBook::card(c, card))
                if (SubAccount *sub = BankBook::subBySign(*a, accSign))
                    return sub->usable().toText();
        return QStringLiteral("none");
    });
}

QString BankBench::snapshot()
{
    return bank.withState([](BankState &s) {
        QStringList out;
        for (const Customer &c : s.book.customers)
            for (const CardAccount &a : c.accounts)
                for (const SubAccount &sub : a.subAccounts)
                    out << QStringLiteral("%1/%2 %3 %4 %5 %6")
                               .arg(a.accountNo, sub.accSign, sub.currency, sub.balance.toText(),
                                    sub.frozen.toText())
                               .arg(sub.statement.size());
        for (const Contract &k : s.book.contracts)
            out << QStringLiteral("%1 %2 %3 %4 %5").arg(k.contractNo, k.status, k.sellAmount.toText(),
                                                        k.buyAmount.toText(), k.child);
        int quotes = 0;
        for (const Session &sess : s.sessions.all())
            quotes += int(sess.quotes.size());
        out << QStringLiteral("quotes %1").arg(quotes);
        return out.join(u'\n');
    });
}

void BankBench::advanceClock(qint64 seconds)
{
    bank.withState([&](BankState &s) { s.clock.advance(seconds * 1000); });
}
