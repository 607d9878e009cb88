// Pages of deals and orders, the branch variants of their rate fields, and
// the single-contract query.

#include "BankBench.h"

#include <gtest/gtest.h>

namespace {

class SandboxContractListTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_FALSE(b.login().isError()); }

    BankAnswer list(const QString &txcode, const QString &card, const QString &start, const QString &end, int page,
                    const QString &flag = {})
    {
        return b.tx(txcode, {{"BRANCHID", BankBench::province(card)}, {"ACC_NO", card}, {"STARTDATE", start},
                             {"ENDDATE", end}, {"PAGE", QString::number(page)},
                             {"TRANS_FLAG", flag.isEmpty() ? (txcode == QLatin1String("320600") ? "0" : "1") : flag}});
    }

    BankBench b;
};

} // namespace

TEST_F(SandboxContractListTest, DealsComePageByPageNewestFirst)
{
    const BankAnswer p1 = list(QStringLiteral("320600"), BankBench::kBeijingCard, "20240201", "20240315", 1);
    ASSERT_FALSE(p1.isError()) << qPrintable(p1.errorLines().join(u'|'));
    EXPECT_EQ(p1.value(QStringLiteral("PAGECOUNT")), QStringLiteral("2"));
    const auto first = p1.entries(QStringLiteral("CONTRACTLIST"));
    ASSERT_EQ(first.size(), 10);
    EXPECT_EQ(first[0].value(QStringLiteral("CONTRACTNO")), QStringLiteral("240312000012"));
    EXPECT_EQ(first[0].value(QStringLiteral("BUYTIME")), QStringLiteral("2024/03/12 10:00:00"));
    EXPECT_EQ(first[0].value(QStringLiteral("SALECASH")), QStringLiteral("日元"));
    EXPECT_EQ(first[0].value(QStringLiteral("BUYCASH")), QStringLiteral("美元"));
    EXPECT_EQ(first[0].value(QStringLiteral("SALEAMOUNT")), QStringLiteral("45030"));
    EXPECT_EQ(first[0].value(QStringLiteral("BUYAMOUNT")), QStringLiteral("300.00"));
    const auto second = list(QStringLiteral("320600"), BankBench::kBeijingCard, "20240201", "20240315", 2)
                            .entries(QStringLiteral("CONTRACTLIST"));
    ASSERT_EQ(second.size(), 2);
    EXPECT_EQ(second[1].value(QStringLiteral("CONTRACTNO")), QStringLiteral("240301000001"));
    EXPECT_TRUE(list(QStringLiteral("320600"), BankBench::kBeijingCard, "20240201", "20240315", 3).isError());

    // A range without deals: no entries, no pages, no error.
    const BankAnswer none = list(QStringLiteral("320600"), BankBench::kBeijingCard, "20240315", "20240315", 1);
    ASSERT_FALSE(none.isError());
    EXPECT_EQ(none.value(QStringLiteral("PAGECOUNT")), QStringLiteral("0"));
    EXPECT_TRUE(none.entries(QStringLiteral("CONTRACTLIST")).isEmpty());
}

TEST_F(SandboxContractListTest, QueriesCheckTheirDatesAndFlag)
{
    struct Case
    {
        const char *txcode, *start, *end, *flag;
    } cases[] = {{"320600", "20240316", "20240315", "0"}, {"320600", "20240230", "20240315", "0"},
                 {"320600", "2024", "20240315", "0"},     {"320600", "20240101", "20240315", "1"},
                 {"320800", "20240101", "20240315", "0"}};
    for (const Case &c : cases)
        EXPECT_TRUE(list(QString::fromLatin1(c.txcode), BankBench::kBeijingCard, c.start, c.end, 1, c.flag).isError())
            << c.txcode << c.start << c.flag;
}

TEST_F(SandboxContractListTest, RateFieldsFollowTheBranch)
{
    // Beijing: the deal rate in BANKDEFINE1, the order rates stay.
    const auto bj = list(QStringLiteral("320600"), BankBench::kBeijingCard, "20240301", "20240315", 1)
                        .entries(QStringLiteral("CONTRACTLIST"));
    ASSERT_FALSE(bj.isEmpty());
    EXPECT_EQ(bj[0].value(QStringLiteral("BANKDEFINE1")), QStringLiteral("150.1000"));
    EXPECT_EQ(bj[0].value(QStringLiteral("PROFITRATIO")), QStringLiteral("0.0000"));

    // Shanghai: deal rate and order rate in BANKDEFINE1 and BANKDEFINE2.
    const auto sh = list(QStringLiteral("320600"), BankBench::kShanghaiCard, "20240301", "20240315", 1)
                        .entries(QStringLiteral("CONTRACTLIST"));
    ASSERT_EQ(sh.size(), 1);
    EXPECT_EQ(sh[0].value(QStringLiteral("BANKDEFINE1")), QStringLiteral("149.0000"));
    EXPECT_EQ(sh[0].value(QStringLiteral("BANKDEFINE2")), QStringLiteral("0.0000"));
    const BankAnswer order = b.order("14", "27", "100", "151.00", "", "1", "3", BankBench::kShanghaiCard);
    ASSERT_FALSE(order.isError()) << qPrintable(order.errorLines().join(u'|'));
    const auto shOrders = list(QStringLiteral("320800"), BankBench::kShanghaiCard, "20240315", "20240315", 1)
                              .entries(QStringLiteral("CONTRACTLIST"));
    ASSERT_EQ(shOrders.size(), 1);
    EXPECT_EQ(shOrders[0].value(QStringLiteral("STATUSCODE")), QStringLiteral("0"));
    EXPECT_EQ(shOrders[0].value(QStringLiteral("BANKDEFINE1")), QStringLiteral("0.0000"));
    EXPECT_EQ(shOrders[0].value(QStringLiteral("BANKDEFINE2")), QStringLiteral("151.0000"));
    EXPECT_EQ(shOrders[0].value(QStringLiteral("CONTRACTTIME")), QStringLiteral("2024/03/15 10:00:00"));

    // Elsewhere the deal rate is the profit side and orders carry their rates.
    const auto sz = list(QStringLiteral("320600"), BankBench::kShenzhenCard, "20240315", "20240315", 1)
                        .entries(QStringLiteral("CONTRACTLIST"));
    ASSERT_EQ(sz.size(), 1);
    EXPECT_EQ(sz[0].value(QStringLiteral("PROFITRATIO")), QStringLiteral("7.8000"));
    EXPECT_EQ(sz[0].value(QStringLiteral("BANKDEFINE1")), QStringLiteral("YW240315000015"));
}

TEST_F(SandboxContractListTest, OpenOrdersAndAppendedOrdersHaveTheirCodes)
{
    const QString parent = b.order("14", "27", "1000", "151.00", "").value(QStringLiteral("RESULTMSG/CONTRCTNO"));
    const BankAnswer a = b.tx(QStringLiteral("321104"), {{"BRANCHID", "110000000"}, {"TRANS_PASSWD", BankBench::kTradePassword},
                                                        {"CONTRACT_NO1", parent}, {"NETBANKNO", parent},
                                                        {"ACC_NO", BankBench::kBeijingCard}, {"BUY_CUR_TYPE", "14"},
                                                        {"QUOTEPRICE", "148.00"}, {"SHUTRATE", ""}, {"VLAIDDAY", "2"}});
    ASSERT_FALSE(a.isError());
    const auto orders = list(QStringLiteral("320800"), BankBench::kBeijingCard, "20240313", "20240315", 1)
                            .entries(QStringLiteral("CONTRACTLIST"));
    ASSERT_EQ(orders.size(), 3);
    QMap<QString, QString> status;
    for (const auto &o : orders)
        status.insert(o.value(QStringLiteral("CONTRACTNO")), o.value(QStringLiteral("STATUSCODE")));
    EXPECT_EQ(status.value(parent), QStringLiteral("0"));
    EXPECT_EQ(status.value(a.value(QStringLiteral("RESULTMSG/NEWCONTRACTNO"))), QStringLiteral("3"));
    EXPECT_EQ(status.value(QStringLiteral("240313000013")), QStringLiteral("4"));
    for (const auto &o : orders)
        if (o.value(QStringLiteral("CONTRACTNO")) == parent) {
            EXPECT_EQ(o.value(QStringLiteral("PROFITRATIO")), QStringLiteral("151.0000"));
            EXPECT_EQ(o.value(QStringLiteral("SALEAMOUNT")), QStringLiteral("1000.00"));
        }
}

TEST_F(SandboxContractListTest, SingleContractQueryOnlyWhereTheBranchHasIt)
{
    auto one = [&](const QString &card, const QString &no, const QString &flag) {
        return b.tx(QStringLiteral("320700"), {{"BRANCHID", BankBench::province(card)}, {"ACC_NO", card},
                                               {"CONTRACT_NO", no}, {"TRANS_FLAG", flag}});
    };
    const BankAnswer found = one(BankBench::kShenzhenCard, "240315000015", "0");
    ASSERT_FALSE(found.isError());
    EXPECT_EQ(found.value(QStringLiteral("RESULTMSG/CONTRACTNO")), QStringLiteral("240315000015"));
    EXPECT_EQ(found.value(QStringLiteral("RESULTMSG/STATUSCODE")), QStringLiteral("1"));
    EXPECT_EQ(found.value(QStringLiteral("RESULTMSG/BANKDEFINE1")), QStringLiteral("YW240315000015"));
    // An order number for a deal, or an unknown number: an empty contract.
    EXPECT_TRUE(one(BankBench::kShenzhenCard, "240315000015", "1").value(QStringLiteral("RESULTMSG/CONTRACTNO")).isEmpty());
    EXPECT_FALSE(one(BankBench::kShenzhenCard, "999", "0").isError());
    EXPECT_TRUE(one(BankBench::kShenzhenCard, "999", "0").value(QStringLiteral("RESULTMSG/CONTRACTNO")).isEmpty());
    EXPECT_EQ(one(BankBench::kBeijingCard, "240312000012", "0").value(QStringLiteral("ERROR/ERRORCODE")), QStringLiteral("0900"));
}
