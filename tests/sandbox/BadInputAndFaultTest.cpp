// Garbage never crashes the bank nor changes it, and every injected fault
// does what it says, carrying the transaction out only when told to.

#include "BankBench.h"

#include <gtest/gtest.h>

namespace {

class SandboxBadInputTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_FALSE(b.login().isError()); }

    QByteArray session() const { return QStringLiteral("&SKEY=%1&USERID=%2").arg(b.skey, b.userId).toLatin1(); }

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

TEST_F(SandboxBadInputTest, GarbageGetsAClearErrorAndChangesNothing)
{
    const QByteArray s = session();
    const QByteArray card = BankBench::kBeijingCard.toLatin1();
    const QByteArray trade = "&BRANCHID=110000000&TRANS_PASSWD=tp6666&SUB_ACC=" + card
                             + "&SELL_CUR_TYPE=14&BUY_CUR_TYPE=27&BILL_FLAG=1&TRANS_DIR=1&ACC_NO=" + card;
    const QList<QByteArray> queries = {
        "",
        "garbage",
        "PT_STYLE=9",
        "PT_STYLE=9&TXCODE=",
        "PT_STYLE=9&TXCODE=123456",
        "PT_STYLE=9&TXCODE=" + QByteArray(5000, '7'),
        "PT_STYLE=8&TXCODE=310102",
        "PT_STYLE=9&TXCODE=310102&TXCODE=310102",
        "PT_STYLE=9&TXCODE=%ZZ",
        "PT_STYLE=9&TXCODE=320102%",
        "PT_STYLE=9&TXCODE=320102&\xff\xfe=1",
        QByteArray("PT_STYLE=9&TXCODE=320102" + s + trade + "&CHANGED_AMOUNT=\xff\xfe\xfd"),
        QByteArray("PT_STYLE=9&TXCODE=320102" + s + trade + "&CHANGED_AMOUNT=%E7%BE%8E%E5%85%83"),
        "PT_STYLE=9&TXCODE=320102" + s + trade + "&CHANGED_AMOUNT=99999999999999999999999999",
        "PT_STYLE=9&TXCODE=320102" + s + trade + "&CHANGED_AMOUNT=100&CHANGED_AMOUNT=200",
        "PT_STYLE=9&TXCODE=320102" + s + trade,
        "PT_STYLE=9&TXCODE=320102" + s + trade + "&CHANGED_AMOUNT=" + QByteArray(100000, '9'),
        "PT_STYLE=9&TXCODE=320100" + s + trade + "&CHANGED_AMOUNT=100",
        "PT_STYLE=9&TXCODE=320200" + s,
        "PT_STYLE=9&TXCODE=321104" + s + "&BRANCHID=110000000",
        "PT_STYLE=9&TXCODE=320400" + s + "&BRANCHID=110000000&ACC_NO=" + card + "&TRANS_PASSWD=tp6666&CONTRACT_NO=",
        "PT_STYLE=9&TXCODE=310200" + s + "&BRANCHID=110000000&ACC_NO=" + card + "&PAGE=-1",
        "PT_STYLE=9&TXCODE=320600" + s + "&BRANCHID=110000000&ACC_NO=" + card
            + "&STARTDATE=20240101&ENDDATE=20240315&PAGE=99999999999&TRANS_FLAG=0",
        "PT_STYLE=9&TXCODE=100101&USERID=alice",
        "=&=&&==",
    };
    const QString before = b.snapshot();
    for (const QByteArray &q : queries) {
        const BankAnswer a = b.send(q);
        EXPECT_TRUE(a.isError()) << q.left(120).constData() << " -> " << qPrintable(a.text.left(200));
        EXPECT_FALSE(a.errorLines().value(0).isEmpty()) << q.left(120).constData();
    }
    EXPECT_EQ(b.snapshot(), before);
    // The bank is still there.
    EXPECT_FALSE(b.quote("14", "27", "100").isError());
}

TEST_F(SandboxBadInputTest, FaultsThatAnswerWrongLeaveTheTransactionUndone)
{
    const BankAnswer q = b.quote("14", "27", "100");
    struct Case
    {
        QByteArray fault;
        std::function<void(const BankAnswer &)> check;
    } cases[] = {
        {"kind=error&text=BUSY", [](const BankAnswer &a) { EXPECT_EQ(a.errorLines(), QStringList{QStringLiteral("BUSY")}); }},
        {"kind=html&page=interval", [](const BankAnswer &a) {
             EXPECT_FALSE(a.hasRoot());
             EXPECT_TRUE(a.text.contains(QStringLiteral("两次提交时间间隔太短")));
         }},
        {"kind=html&page=unavailable", [](const BankAnswer &a) { EXPECT_TRUE(a.text.contains(QStringLiteral("该页无法显示"))); }},
        {"kind=malformed", [](const BankAnswer &a) {
             EXPECT_FALSE(a.wellFormed);
             EXPECT_FALSE(a.body.isEmpty());
         }},
        {"kind=empty", [](const BankAnswer &a) { EXPECT_TRUE(a.body.isEmpty()); }},
        {"kind=delay&delay_ms=1234&perform=0", [](const BankAnswer &a) { EXPECT_EQ(a.delayMs, 1234); }},
        {"kind=drop&perform=0", [](const BankAnswer &a) { EXPECT_TRUE(a.dropConnection); }},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(control("fault?txcode=320100&" + c.fault).contains("\"ok\":true"));
        const QString before = b.snapshot();
        c.check(b.confirm(q, "14", "27", "100"));
        EXPECT_EQ(b.snapshot(), before) << c.fault.constData();
    }
    // Every fault was used once: the quote still deals.
    EXPECT_FALSE(b.confirm(q, "14", "27", "100").isError());
    EXPECT_EQ(b.balance(BankBench::kBeijingCard, "00001"), QStringLiteral("15900.00"));
}

TEST_F(SandboxBadInputTest, DelayAndDropCarryTheTransactionOut)
{
    const BankAnswer q = b.quote("14", "27", "100");
    ASSERT_TRUE(control("fault?txcode=320100&kind=drop").contains("\"ok\":true"));
    const BankAnswer dropped = b.confirm(q, "14", "27", "100");
    EXPECT_TRUE(dropped.dropConnection);
    EXPECT_EQ(b.balance(BankBench::kBeijingCard, "00001"), QStringLiteral("15900.00"));

    ASSERT_TRUE(control("fault?txcode=320200&kind=delay&delay_ms=95000").contains("\"ok\":true"));
    const BankAnswer late = b.order("14", "27", "100", "151.00", "");
    EXPECT_EQ(late.delayMs, 95000);
    EXPECT_FALSE(late.value(QStringLiteral("RESULTMSG/CONTRCTNO")).isEmpty());
    EXPECT_EQ(b.usable(BankBench::kBeijingCard, "00001"), QStringLiteral("15800.00"));

    // A malformed answer of a transaction the bank did carry out.
    ASSERT_TRUE(control("fault?txcode=320200&kind=malformed&perform=1").contains("\"ok\":true"));
    EXPECT_FALSE(b.order("14", "27", "100", "151.00", "").wellFormed);
    EXPECT_EQ(b.usable(BankBench::kBeijingCard, "00001"), QStringLiteral("15700.00"));
}

TEST_F(SandboxBadInputTest, ControlPathRefusesWhatItCannotDo)
{
    for (const QByteArray &call : {QByteArray("fault?kind=error"), QByteArray("fault?txcode=320100&kind=melt"),
                                  QByteArray("fault?txcode=320100&kind=html&page=nowhere"),
                                  QByteArray("order?contract=none&action=execute"),
                                  QByteArray("order?contract=240301000001&action=execute"),
                                  QByteArray("clock?set=2024"), QByteArray("reset?clock=yesterday"),
                                  QByteArray("config?deal_page_size=0"), QByteArray("rate?base=27&quote=14&bid=1&ask=2"),
                                  QByteArray("nothing")})
        EXPECT_TRUE(control(call).contains("\"ok\":false")) << call.constData();
    HttpRequestView remote;
    remote.path = QStringLiteral("/__sandbox/info");
    remote.remoteAddress = QStringLiteral("10.0.0.2");
    EXPECT_EQ(b.bank.serveControl(remote).status, 400);
}
