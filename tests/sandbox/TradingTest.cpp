// Instant trades, orders, appended orders and cancels: what the bank checks
// and how it moves the money.

#include "BankBench.h"

#include <gtest/gtest.h>

namespace {

const QString kUsd = QStringLiteral("14");
const QString kJpy = QStringLiteral("27");
const QString kEur = QStringLiteral("38");

class SandboxTradingTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_FALSE(b.login().isError()); }

    QString errorCode(const BankAnswer &a) { return a.value(QStringLiteral("ERROR/ERRORCODE")); }

    BankAnswer cancel(const QString &contract, const QString &password = QStringLiteral("qbxmrt"),
                      const QString &card = BankBench::kBeijingCard)
    {
        return b.tx(QStringLiteral("320400"), {{"BRANCHID", BankBench::province(card)}, {"CONTRACT_NO", contract},
                                               {"ACC_NO", card}, {"TRANS_PASSWD", password}});
    }

    BankAnswer append(const QString &parent, const QString &buy, const QString &profit,
                      const QString &card = BankBench::kBeijingCard, const QString &netbank = {})
    {
        return b.tx(QStringLiteral("321104"), {{"BRANCHID", BankBench::province(card)}, {"TRANS_PASSWD", BankBench::kTradePassword},
                                               {"CONTRACT_NO1", parent}, {"NETBANKNO", netbank.isEmpty() ? parent : netbank},
                                               {"ACC_NO", card}, {"BUY_CUR_TYPE", buy}, {"QUOTEPRICE", profit},
                                               {"SHUTRATE", ""}, {"VLAIDDAY", "3"}});
    }

    QString control(const QByteArray &call)
    {
        HttpRequestView r;
        r.path = QStringLiteral("/__sandbox/") + QString::fromLatin1(call.left(call.indexOf('?')));
        r.rawQuery = call.mid(call.indexOf('?') + 1);
        return QString::fromUtf8(b.bank.serveControl(r).body);
    }

    BankBench b;
};

} // namespace

TEST_F(SandboxTradingTest, InstantTradeMovesBothSubAccounts)
{
    const BankAnswer q = b.quote(kUsd, kJpy, QStringLiteral("1000"));
    ASSERT_FALSE(q.isError()) << qPrintable(q.errorLines().join(u'|'));
    EXPECT_EQ(q.value(QStringLiteral("RATIO")), QStringLiteral("149.5000"));
    EXPECT_FALSE(q.value(QStringLiteral("PT_SIGN_STR")).isEmpty());
    EXPECT_EQ(b.balance(BankBench::kBeijingCard, "00001"), QStringLiteral("16000.00")); // a quote moves nothing

    const BankAnswer d = b.confirm(q, kUsd, kJpy, QStringLiteral("1000"));
    ASSERT_FALSE(d.isError()) << qPrintable(d.errorLines().join(u'|'));
    EXPECT_EQ(d.value(QStringLiteral("RESULTMSG/BUY_CUR")), QStringLiteral("149500日元"));
    EXPECT_EQ(d.value(QStringLiteral("RESULTMSG/SALE_CUR")), QStringLiteral("1000.00美元"));
    EXPECT_EQ(d.value(QStringLiteral("RESULTMSG/CONTRCTNO")), q.value(QStringLiteral("CONTRACT_NO")));
    EXPECT_EQ(b.balance(BankBench::kBeijingCard, "00001"), QStringLiteral("15000.00"));
    EXPECT_EQ(b.balance(BankBench::kBeijingCard, "00002"), QStringLiteral("1149500.00"));

    // Buying an amount: 100 USD for yen at the bank's selling price 150.10.
    const BankAnswer q2 = b.quote(kJpy, kUsd, QStringLiteral("100"), QStringLiteral("0"));
    EXPECT_EQ(q2.value(QStringLiteral("RATIO")), QStringLiteral("150.1000"));
    ASSERT_FALSE(b.confirm(q2, kJpy, kUsd, QStringLiteral("100"), QStringLiteral("0")).isError());
    EXPECT_EQ(b.balance(BankBench::kBeijingCard, "00002"), QStringLiteral("1134490.00"));
    EXPECT_EQ(b.balance(BankBench::kBeijingCard, "00001"), QStringLiteral("15100.00"));
}

TEST_F(SandboxTradingTest, BuyingACurrencyWithoutSubAccountOpensOne)
{
    const BankAnswer q = b.quote(kUsd, QStringLiteral("28"), QStringLiteral("100"));
    ASSERT_FALSE(b.confirm(q, kUsd, QStringLiteral("28"), QStringLiteral("100")).isError());
    EXPECT_EQ(b.balance(BankBench::kBeijingCard, "00005"), QStringLiteral("135.00"));
    const auto subs = b.tx(QStringLiteral("310600"), {{"BRANCHID", "110000000"}, {"ACC_NO", BankBench::kBeijingCard}, {"ROW_NO", "1"}})
                          .entries(QStringLiteral("ACCOUNTINFOLIST"));
    ASSERT_EQ(subs.size(), 5);
    EXPECT_EQ(subs[4].value(QStringLiteral("CASHTYPE")), QStringLiteral("加拿大元"));
    EXPECT_EQ(subs[4].value(QStringLiteral("CHAOHUI")), QStringLiteral("1"));
}

TEST_F(SandboxTradingTest, RefusedTradeRequestsChangeNothing)
{
    struct Case
    {
        QString sell, buy, amount, dir, bill;
        const char *error;
    } cases[] = {
        {kUsd, kJpy, "0", "1", "1", "0130"},
        {kUsd, kJpy, "-5", "1", "1", "0130"},
        {kUsd, kJpy, "1e3", "1", "1", "0130"},
        {kUsd, kJpy, "12.34567", "1", "1", "0130"},
        {kUsd, kJpy, "1234567890123", "1", "1", "0130"},
        {kUsd, kJpy, "", "1", "1", "0130"},
        {kUsd, kJpy, "1000.5", "0", "1", "0131"},      // yen amounts are whole
        {kUsd, kJpy, "20000", "1", "1", "0401"},       // more than is usable
        {kUsd, kUsd, "100", "1", "1", "0300"},
        {kUsd, QStringLiteral("18"), "100", "1", "1", "0301"}, // not traded at this branch
        {kEur, kJpy, "100", "1", "1", "0302"},         // no quoted pair
        {QStringLiteral("01"), kUsd, "100", "1", "1", "0302"},
        {QStringLiteral("99"), kUsd, "100", "1", "1", "0150"},
        {kEur, kUsd, "100", "1", "0", "0400"},         // no euro cash sub-account
        {kUsd, kJpy, "100", "2", "1", "0110"},
        {kUsd, kJpy, "100", "1", "x", "0110"},
    };
    const QString before = b.snapshot();
    for (const Case &c : cases) {
        const BankAnswer a = b.quote(c.sell, c.buy, c.amount, c.dir, c.bill);
        EXPECT_EQ(errorCode(a), QString::fromLatin1(c.error)) << qPrintable(c.sell + u'/' + c.buy + u' ' + c.amount);
    }
    // Account, branch and password are the bank's too.
    EXPECT_EQ(errorCode(b.quote(kUsd, kJpy, "100", "1", "1", BankBench::kPassbook)), QStringLiteral("0230"));
    BankAnswer wrong = b.tx(QStringLiteral("320102"), {{"BRANCHID", "110000000"}, {"TRANS_PASSWD", "000000"},
                                                       {"SUB_ACC", BankBench::kBeijingCard}, {"SELL_CUR_TYPE", kUsd},
                                                       {"BUY_CUR_TYPE", kJpy}, {"BILL_FLAG", "1"}, {"TRANS_DIR", "1"},
                                                       {"ACC_NO", BankBench::kBeijingCard}, {"CHANGED_AMOUNT", "100"}});
    EXPECT_EQ(errorCode(wrong), QStringLiteral("0220"));
    EXPECT_EQ(b.snapshot(), before);
    // An accepted amount with four decimals.
    EXPECT_FALSE(b.quote(kUsd, kJpy, QStringLiteral("12.3457")).isError());
}

TEST_F(SandboxTradingTest, ConfirmationMustRepeatAFreshUnusedQuote)
{
    const QString amount = QStringLiteral("100");
    struct Case
    {
        const char *what;
        std::function<BankAnswer(const BankAnswer &)> confirm;
        const char *error;
    } cases[] = {
        {"other amount", [&](const BankAnswer &q) { return b.confirm(q, kUsd, kJpy, "101"); }, "0414"},
        {"other pair", [&](const BankAnswer &q) { return b.confirm(q, kUsd, QStringLiteral("13"), amount); }, "0414"},
        {"other direction", [&](const BankAnswer &q) { return b.confirm(q, kUsd, kJpy, amount, "0"); }, "0414"},
        {"other flag", [&](const BankAnswer &q) { return b.confirm(q, kUsd, kJpy, amount, "1", "0"); }, "0414"},
        {"expired", [&](const BankAnswer &q) { b.advanceClock(11); return b.confirm(q, kUsd, kJpy, amount); }, "0413"},
        {"forged signature", [&](const BankAnswer &q) {
             BankAnswer forged = q;
             forged.doc.documentElement().firstChildElement(QStringLiteral("PT_SIGN_STR")).firstChild().setNodeValue(QStringLiteral("00"));
             return b.confirm(forged, kUsd, kJpy, amount);
         }, "0412"},
        {"unknown contract", [&](const BankAnswer &q) {
             BankAnswer other = q;
             other.doc.documentElement().firstChildElement(QStringLiteral("CONTRACT_NO")).firstChild().setNodeValue(QStringLiteral("1"));
             return b.confirm(other, kUsd, kJpy, amount);
         }, "0411"},
    };
    for (const Case &c : cases) {
        const BankAnswer q = b.quote(kUsd, kJpy, amount);
        ASSERT_FALSE(q.isError());
        const QString before = b.balance(BankBench::kBeijingCard, "00001");
        EXPECT_EQ(errorCode(c.confirm(q)), QString::fromLatin1(c.error)) << c.what;
        EXPECT_EQ(b.balance(BankBench::kBeijingCard, "00001"), before) << c.what;
    }

    const BankAnswer q = b.quote(kUsd, kJpy, amount);
    ASSERT_FALSE(b.confirm(q, kUsd, kJpy, amount).isError());
    EXPECT_EQ(errorCode(b.confirm(q, kUsd, kJpy, amount)), QStringLiteral("0410")); // used once
    EXPECT_EQ(b.balance(BankBench::kBeijingCard, "00001"), QStringLiteral("15900.00"));
}

TEST_F(SandboxTradingTest, OrdersHoldTheMoneyTheyMaySell)
{
    const BankAnswer o = b.order(kUsd, kJpy, QStringLiteral("1000"), QStringLiteral("151.00"), QString());
    ASSERT_FALSE(o.isError()) << qPrintable(o.errorLines().join(u'|'));
    EXPECT_FALSE(o.value(QStringLiteral("RESULTMSG/CONTRCTNO")).isEmpty());
    EXPECT_TRUE(o.value(QStringLiteral("RESULTMSG/CONTRACTNO")).isEmpty()); // the demand answer spells it CONTRCTNO
    EXPECT_EQ(b.balance(BankBench::kBeijingCard, "00001"), QStringLiteral("16000.00"));
    EXPECT_EQ(b.usable(BankBench::kBeijingCard, "00001"), QStringLiteral("15000.00"));

    // An amount bought holds what the less favourable rate would cost:
    // 15000 yen at 148 costs 101.36 dollars, at 151 only 99.34.
    ASSERT_FALSE(b.order(kUsd, kJpy, QStringLiteral("15000"), QStringLiteral("151.00"), QStringLiteral("148.00"), QStringLiteral("0")).isError());
    EXPECT_EQ(b.usable(BankBench::kBeijingCard, "00001"), QStringLiteral("14898.64"));

    const BankAnswer cancelled = cancel(o.value(QStringLiteral("RESULTMSG/CONTRCTNO")));
    ASSERT_FALSE(cancelled.isError()) << qPrintable(cancelled.errorLines().join(u'|'));
    EXPECT_EQ(b.usable(BankBench::kBeijingCard, "00001"), QStringLiteral("15898.64"));
    EXPECT_EQ(errorCode(cancel(o.value(QStringLiteral("RESULTMSG/CONTRCTNO")))), QStringLiteral("0801"));
}

TEST_F(SandboxTradingTest, OrderRatesMustMakeSense)
{
    struct Case
    {
        QString sell, buy, profit, loss, days;
        const char *error;
    } cases[] = {
        {kUsd, kJpy, "", "", "3", "0600"},
        {kUsd, kJpy, "149.00", "", "3", "0601"},   // selling dollars: take profit above the bank's 149.50
        {kUsd, kJpy, "", "150.00", "3", "0602"},   // stop loss below it
        {kJpy, kUsd, "151.00", "", "3", "0601"},   // buying dollars: take profit below 150.10
        {kJpy, kUsd, "", "149.00", "3", "0602"},
        {kUsd, kJpy, "151.12345", "", "3", "0140"},
        {kUsd, kJpy, "abc", "", "3", "0140"},
        {kUsd, kJpy, "0", "", "3", "0140"},
        {kUsd, kJpy, "151.00", "", "0", "0110"},
        {kUsd, kJpy, "151.00", "", "11", "0110"},  // longer than the bank allows
    };
    const QString before = b.snapshot();
    for (const Case &c : cases) {
        const QString amount = c.sell == kJpy ? QStringLiteral("10000") : QStringLiteral("100");
        EXPECT_EQ(errorCode(b.order(c.sell, c.buy, amount, c.profit, c.loss, "1", c.days)), QString::fromLatin1(c.error))
            << qPrintable(c.profit + u'/' + c.loss + u'/' + c.days);
    }
    EXPECT_EQ(b.snapshot(), before);
}

TEST_F(SandboxTradingTest, CancelChecksOwnerStateAndPassword)
{
    const QString no = b.order(kUsd, kJpy, "100", "151.00", "").value(QStringLiteral("RESULTMSG/CONTRCTNO"));
    EXPECT_EQ(errorCode(cancel(no, QStringLiteral("000000"))), QStringLiteral("0220"));
    EXPECT_EQ(errorCode(cancel(QStringLiteral("240301000001"))), QStringLiteral("0800")); // a deal, not an order
    EXPECT_EQ(errorCode(cancel(no, BankBench::kTradePassword, BankBench::kZhejiangCard)), QStringLiteral("0800"));
    EXPECT_FALSE(cancel(no, BankBench::kTradePassword).isError());
}

TEST_F(SandboxTradingTest, AppendedOrderWaitsForItsContractThenHoldsWhatItBought)
{
    const QString parent = b.order(kUsd, kJpy, "1000", "151.00", "").value(QStringLiteral("RESULTMSG/CONTRCTNO"));
    EXPECT_EQ(errorCode(append(parent, kJpy, "148.00")), QStringLiteral("0704")); // must buy back the dollars
    EXPECT_EQ(errorCode(append(parent, kUsd, "148.00", BankBench::kBeijingCard, "1")), QStringLiteral("0110"));
    const BankAnswer a = append(parent, kUsd, "148.00");
    ASSERT_FALSE(a.isError()) << qPrintable(a.errorLines().join(u'|'));
    const QString child = a.value(QStringLiteral("RESULTMSG/NEWCONTRACTNO"));
    ASSERT_FALSE(child.isEmpty());
    EXPECT_EQ(errorCode(append(parent, kUsd, "147.00")), QStringLiteral("0703"));
    EXPECT_EQ(errorCode(append(child, kUsd, "147.00")), QStringLiteral("0701"));
    EXPECT_EQ(b.usable(BankBench::kBeijingCard, "00002"), QStringLiteral("1000000.00"));

    // The order deals at 151: the yen it bought now sit held for the appended order.
    EXPECT_TRUE(control("order?action=execute&contract=" + parent.toLatin1()).contains("\"ok\":true"));
    EXPECT_EQ(b.balance(BankBench::kBeijingCard, "00001"), QStringLiteral("15000.00"));
    EXPECT_EQ(b.balance(BankBench::kBeijingCard, "00002"), QStringLiteral("1151000.00"));
    EXPECT_EQ(b.usable(BankBench::kBeijingCard, "00002"), QStringLiteral("1000000.00"));
    EXPECT_FALSE(cancel(child).isError());
    EXPECT_EQ(b.usable(BankBench::kBeijingCard, "00002"), QStringLiteral("1151000.00"));
}

TEST_F(SandboxTradingTest, CancellingAnOrderEndsItsAppendedOrder)
{
    const QString parent = b.order(kUsd, kJpy, "1000", "151.00", "").value(QStringLiteral("RESULTMSG/CONTRCTNO"));
    const QString child = append(parent, kUsd, "148.00").value(QStringLiteral("RESULTMSG/NEWCONTRACTNO"));
    ASSERT_FALSE(cancel(parent).isError());
    EXPECT_EQ(errorCode(cancel(child)), QStringLiteral("0801"));
    EXPECT_EQ(b.usable(BankBench::kBeijingCard, "00001"), QStringLiteral("16000.00"));
    EXPECT_TRUE(control("order?action=execute&contract=" + parent.toLatin1()).contains("\"ok\":false"));
}

TEST_F(SandboxTradingTest, OrdersExpireAfterTheirLastDay)
{
    const QString no = b.order(kUsd, kJpy, "1000", "151.00", "", "1", "2").value(QStringLiteral("RESULTMSG/CONTRCTNO"));
    // A day on, the session has idled out; the bank's day has moved on too.
    b.advanceClock(24 * 3600);
    ASSERT_FALSE(b.login().isError());
    EXPECT_EQ(b.usable(BankBench::kBeijingCard, "00001"), QStringLiteral("15000.00")); // its second day
    b.advanceClock(24 * 3600);
    ASSERT_FALSE(b.login().isError());
    const BankAnswer list = b.tx(QStringLiteral("320800"), {{"BRANCHID", "110000000"}, {"ACC_NO", BankBench::kBeijingCard},
                                                          {"STARTDATE", "20240315"}, {"ENDDATE", "20240317"},
                                                          {"PAGE", "1"}, {"TRANS_FLAG", "1"}});
    ASSERT_EQ(list.entries(QStringLiteral("CONTRACTLIST")).size(), 1);
    EXPECT_EQ(list.entries(QStringLiteral("CONTRACTLIST"))[0].value(QStringLiteral("CONTRACTNO")), no);
    EXPECT_EQ(list.entries(QStringLiteral("CONTRACTLIST"))[0].value(QStringLiteral("STATUSCODE")), QStringLiteral("4"));
    EXPECT_EQ(b.usable(BankBench::kBeijingCard, "00001"), QStringLiteral("16000.00"));
}

TEST_F(SandboxTradingTest, BranchesLimitAppendedOrdersAndFixedTerm)
{
    EXPECT_EQ(errorCode(append(QStringLiteral("1"), kUsd, "148.00", BankBench::kShanghaiCard)), QStringLiteral("0700"));
    auto fixedQuote = [&](const QString &card, const QString &sub, const QString &dir, const QString &bill,
                          const QString &buy, const QString &amount) {
        return b.tx(QStringLiteral("320902"), {{"BRANCHID", BankBench::province(card)}, {"ACC_NO", card}, {"SUB_ACC", sub},
                                               {"TRANS_DIR", dir}, {"BILL_FLAG", bill}, {"BUY_CUR_TYPE", buy},
                                               {"PROID", "03"}, {"TRANS_PASSWD", BankBench::kTradePassword},
                                               {"CHANGED_AMOUNT", amount}});
    };
    EXPECT_EQ(errorCode(fixedQuote(BankBench::kBeijingCard, "00001", "1", "1", kJpy, "100")), QStringLiteral("0500"));
    EXPECT_EQ(errorCode(fixedQuote(BankBench::kGuangdongCard, "00001", "0", "1", kJpy, "100")), QStringLiteral("0502"));
    EXPECT_FALSE(fixedQuote(BankBench::kGuangdongCard, "00001", "1", "1", kJpy, "100").isError());
    EXPECT_EQ(errorCode(fixedQuote(BankBench::kShenzhenCard, "00001", "1", "1", kJpy, "100")), QStringLiteral("0501")); // demand
    EXPECT_EQ(errorCode(fixedQuote(BankBench::kShenzhenCard, "00002", "1", "0", kUsd, "100")), QStringLiteral("0503"));

    // A fixed-term trade: 7840 HK dollars of the deposit buy 1000 dollars
    // (at 7.84) that go into a new one-year deposit.
    const BankAnswer q = fixedQuote(BankBench::kShenzhenCard, "00002", "1", "1", kUsd, "7840");
    ASSERT_FALSE(q.isError()) << qPrintable(q.errorLines().join(u'|'));
    EXPECT_EQ(q.value(QStringLiteral("RATIO")), QStringLiteral("7.8400"));
    BankBench::Params confirm{{"BRANCHID", "442000000"}, {"PT_SIGN_STR", q.value(QStringLiteral("PT_SIGN_STR"))},
                              {"ACC_NO", BankBench::kShenzhenCard}, {"TRANS_DIR", "1"}, {"BILL_FLAG", "1"}, {"PROID", "03"},
                              {"BUY_CUR_TYPE", kUsd}, {"SELL_CUR_TYPE", "13"}, {"CHANGED_AMOUNT", "7840"},
                              {"SUB_ACC", "00002"}, {"CONTRACT_NO", q.value(QStringLiteral("CONTRACT_NO"))},
                              {"TRANS_PASSWD", BankBench::kTradePassword}};
    BankBench::Params wrongSell = confirm;
    wrongSell[7].second = kJpy;
    EXPECT_EQ(errorCode(b.tx(QStringLiteral("320903"), wrongSell)), QStringLiteral("0110"));
    const BankAnswer d = b.tx(QStringLiteral("320903"), confirm);
    ASSERT_FALSE(d.isError()) << qPrintable(d.errorLines().join(u'|'));
    EXPECT_EQ(b.balance(BankBench::kShenzhenCard, "00002"), QStringLiteral("12160.00"));
    EXPECT_EQ(b.balance(BankBench::kShenzhenCard, "00003"), QStringLiteral("1000.00"));
    const auto subs = b.tx(QStringLiteral("310600"), {{"BRANCHID", "442000000"}, {"ACC_NO", BankBench::kShenzhenCard}, {"ROW_NO", "1"}})
                          .entries(QStringLiteral("ACCOUNTINFOLIST"));
    EXPECT_EQ(subs.value(2).value(QStringLiteral("SAVETYPE")), QStringLiteral("整存整取一年"));
}

TEST_F(SandboxTradingTest, TooQuickSubmissionsGetTheBanksPage)
{
    b.bank.withState([](BankState &s) { s.book.settings.submitIntervalMs = 2000; });
    const BankAnswer q = b.quote(kUsd, kJpy, "100");
    ASSERT_FALSE(q.isError());
    // The confirmation is part of the same trade, not a new submission.
    ASSERT_FALSE(b.confirm(q, kUsd, kJpy, "100").isError());
    const BankAnswer again = b.quote(kUsd, kJpy, "100");
    EXPECT_FALSE(again.hasRoot());
    EXPECT_TRUE(again.text.contains(QStringLiteral("两次提交时间间隔太短")));
    b.advanceClock(2);
    EXPECT_FALSE(b.quote(kUsd, kJpy, "100").isError());
}
