// Sub-accounts, balances and statements, and the branch identifier forms.

#include "BankBench.h"

#include <gtest/gtest.h>

namespace {

class SandboxAccountTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_FALSE(b.login().isError()); }

    BankAnswer subAccounts(const QString &txcode, const QString &branch, const QString &card)
    {
        BankBench::Params p{{"BRANCHID", branch}, {"ACC_NO", card}};
        if (txcode == QLatin1String("310800"))
            p.append(qMakePair(QStringLiteral("IS_UPDATE"), QStringLiteral("1")));
        p.append(qMakePair(QStringLiteral("ROW_NO"), QStringLiteral("1")));
        return b.tx(txcode, p);
    }

    BankAnswer statement(const QString &card, const QString &sign, const QString &pdt, const QString &start,
                         const QString &end, int page, const QString &aStr, int currentPage,
                         const QString &branch = {})
    {
        return b.tx(QStringLiteral("310200"),
                    {{"BRANCHID", branch.isEmpty() ? BankBench::province(card) : branch}, {"ACC_NO", card},
                     {"ACC_SIGN", sign}, {"START_DATE", start}, {"END_DATE", end},
                     {"PAGE", QString::number(page)}, {"PDT_CODE", pdt}, {"A_STR", aStr}, {"IS_UPDATE", "1"},
                     {"UPDATE_DETAIL", "1"}, {"STR_USERID", b.userId},
                     {"CURRENT_PAGE", QString::number(currentPage)}});
    }

    BankBench b;
};

} // namespace

TEST_F(SandboxAccountTest, BranchIdentifierHasTheFormOfItsTransaction)
{
    struct Case
    {
        const char *txcode;
        const char *branch;
        QString card;
        const char *error; // empty: served
    } cases[] = {
        {"310600", "110000000", BankBench::kBeijingCard, ""},
        {"310600", "330000000", BankBench::kZhejiangCard, ""},
        {"310600", "330108001", BankBench::kZhejiangCard, "0210"},  // full identifier where the province is due
        {"310600", "110000000", BankBench::kZhejiangCard, "0210"},
        {"310800", "310104001", BankBench::kShanghaiCard, ""},      // 310800 sends the identifier unchanged
        {"310800", "310000000", BankBench::kShanghaiCard, "0210"},
        {"310600", "310000000", BankBench::kShanghaiCard, "0250"},  // type 16 has its own transaction
        {"310800", "110000000", BankBench::kBeijingCard, "0250"},
        {"310600", "110000000", BankBench::kPassbook, "0230"},      // no foreign exchange on it
        {"310600", "110000000", QStringLiteral("6200000000000009999"), "0200"},
    };
    for (const Case &c : cases) {
        const BankAnswer a = subAccounts(QString::fromLatin1(c.txcode), QString::fromLatin1(c.branch), c.card);
        ASSERT_TRUE(a.hasRoot()) << c.txcode << " " << c.branch;
        EXPECT_EQ(a.value(QStringLiteral("ERROR/ERRORCODE")), QString::fromLatin1(c.error)) << c.txcode << " " << c.branch;
    }
    const BankAnswer update = b.tx(QStringLiteral("310700"), {{"BRANCHID", "310000000"}, {"ACC_NO", BankBench::kShanghaiCard},
                                                             {"IS_UPDATE", "1"}, {"ROW_NO", "1"}});
    EXPECT_FALSE(update.isError());
}

TEST_F(SandboxAccountTest, SubAccountsCarryBalancesAndMarks)
{
    const auto subs = subAccounts(QStringLiteral("310600"), QStringLiteral("110000000"), BankBench::kBeijingCard)
                          .entries(QStringLiteral("ACCOUNTINFOLIST"));
    ASSERT_EQ(subs.size(), 4);
    EXPECT_EQ(subs[0].value(QStringLiteral("CASHTYPE")), QStringLiteral("美元"));
    EXPECT_EQ(subs[0].value(QStringLiteral("SAVETYPE")), QStringLiteral("活期储蓄"));
    EXPECT_EQ(subs[0].value(QStringLiteral("CHAOHUI")), QStringLiteral("1"));
    EXPECT_EQ(subs[0].value(QStringLiteral("ACC_SIGN")), QStringLiteral("00001"));
    EXPECT_EQ(subs[0].value(QStringLiteral("ACC_NO")), BankBench::kBeijingCard);
    EXPECT_EQ(subs[0].value(QStringLiteral("BALANCE")), QStringLiteral("16000.00"));
    EXPECT_EQ(subs[1].value(QStringLiteral("CASHTYPE")), QStringLiteral("日元"));
    EXPECT_EQ(subs[1].value(QStringLiteral("BALANCE")), QStringLiteral("1000000"));
    EXPECT_EQ(subs[3].value(QStringLiteral("CHAOHUI")), QStringLiteral("0"));

    const auto fixed = subAccounts(QStringLiteral("310800"), QStringLiteral("310104001"), BankBench::kShanghaiCard)
                           .entries(QStringLiteral("ACCOUNTINFOLIST"));
    ASSERT_EQ(fixed.size(), 3);
    EXPECT_EQ(fixed[1].value(QStringLiteral("SAVETYPE")), QStringLiteral("整存整取一年"));
    EXPECT_EQ(fixed[1].value(QStringLiteral("PDT_CODE")), QStringLiteral("0212"));
}

TEST_F(SandboxAccountTest, BalancesOfCardsAndOtherAccounts)
{
    const BankAnswer passbook = b.tx(QStringLiteral("310100"), {{"BRANCHID", "110000000"}, {"ACC_NO", BankBench::kPassbook},
                                                               {"ACC_SIGN", BankBench::kPassbook}, {"FLAG_CARD", "0"}});
    const auto entries = passbook.entries(QStringLiteral("ACCQUERYLIST"));
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0].value(QStringLiteral("BALANCE")), QStringLiteral("500.00"));

    // A card reports the renminbi value of each sub-account: 16000 USD at 7.10.
    const BankAnswer card = b.tx(QStringLiteral("310100"), {{"BRANCHID", "110000000"}, {"ACC_NO", BankBench::kBeijingCard},
                                                           {"ACC_SIGN", BankBench::kBeijingCard}, {"FLAG_CARD", "1"}});
    EXPECT_EQ(card.entries(QStringLiteral("ACCQUERYLIST")).value(0).value(QStringLiteral("BALANCE")), QStringLiteral("113600.00"));

    const BankAnswer wrongFlag = b.tx(QStringLiteral("310100"), {{"BRANCHID", "110000000"}, {"ACC_NO", BankBench::kBeijingCard},
                                                                {"ACC_SIGN", BankBench::kBeijingCard}, {"FLAG_CARD", "0"}});
    EXPECT_TRUE(wrongFlag.isError());
}

TEST_F(SandboxAccountTest, StatementPagesChainByTheirPagingString)
{
    const QString card = BankBench::kBeijingCard;
    const BankAnswer p1 = statement(card, "00001", "0101", "20240101", "20240315", 1, {}, 1);
    ASSERT_FALSE(p1.isError()) << qPrintable(p1.errorLines().join(u'|'));
    EXPECT_EQ(p1.value(QStringLiteral("PAGECOUNT")), QStringLiteral("3"));
    const auto lines = p1.entries(QStringLiteral("DETAILLIST"));
    ASSERT_EQ(lines.size(), 10);
    // Oldest first, with the running balance.
    EXPECT_EQ(lines[0].value(QStringLiteral("CHANGEDATE")), QStringLiteral("2024/02/14"));
    EXPECT_EQ(lines[0].value(QStringLiteral("INOUT")), QStringLiteral("1"));
    EXPECT_EQ(lines[0].value(QStringLiteral("CHANGEAMOUNT")), QStringLiteral("5000.00"));
    EXPECT_EQ(lines[0].value(QStringLiteral("BALANCE")), QStringLiteral("6000.00"));
    EXPECT_EQ(lines[1].value(QStringLiteral("INOUT")), QStringLiteral("0"));
    EXPECT_EQ(lines[1].value(QStringLiteral("BALANCE")), QStringLiteral("5900.00"));
    EXPECT_EQ(lines[0].value(QStringLiteral("CURRTYPE")), QStringLiteral("14"));

    const QString a1 = p1.value(QStringLiteral("A_STR"));
    ASSERT_FALSE(a1.isEmpty());
    const BankAnswer p2 = statement(card, "00001", "0101", "20240101", "20240315", 2, a1, 1);
    ASSERT_FALSE(p2.isError());
    EXPECT_EQ(p2.entries(QStringLiteral("DETAILLIST")).size(), 10);
    const BankAnswer p3 = statement(card, "00001", "0101", "20240101", "20240315", 3, p2.value(QStringLiteral("A_STR")), 2);
    ASSERT_FALSE(p3.isError());
    const auto last = p3.entries(QStringLiteral("DETAILLIST"));
    ASSERT_EQ(last.size(), 3);
    EXPECT_EQ(last.last().value(QStringLiteral("BALANCE")), QStringLiteral("16000.00"));

    // A page that does not follow the page before it is refused.
    struct Case
    {
        int page;
        QString aStr;
        int current;
    } broken[] = {{3, a1, 2}, {2, a1, 2}, {2, QStringLiteral("ABCDEF"), 1}, {2, QString(), 1}, {4, p3.value(QStringLiteral("A_STR")), 3}};
    for (const Case &c : broken)
        EXPECT_TRUE(statement(card, "00001", "0101", "20240101", "20240315", c.page, c.aStr, c.current).isError()) << c.page;
}

TEST_F(SandboxAccountTest, StatementWithoutLinesAndItsBranchVariant)
{
    const BankAnswer none = statement(BankBench::kBeijingCard, "00001", "0101", "20230101", "20230131", 1, {}, 1);
    ASSERT_FALSE(none.isError());
    const auto lines = none.entries(QStringLiteral("DETAILLIST"));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].value(QStringLiteral("CHANGEDATE")).isEmpty());

    // Shanghai lists every currency of the card; the client keeps its own.
    const BankAnswer sh = statement(BankBench::kShanghaiCard, "00001", "0101", "20240101", "20240315", 1, {}, 1);
    QStringList currencies;
    for (const auto &l : sh.entries(QStringLiteral("DETAILLIST")))
        currencies << l.value(QStringLiteral("CURRTYPE"));
    EXPECT_EQ(currencies, (QStringList{QStringLiteral("14"), QStringLiteral("38")}));

    struct Case
    {
        const char *sign;
        const char *pdt;
        const char *start;
        const char *end;
    } refused[] = {{"00009", "0101", "20240101", "20240315"}, {"00001", "0203", "20240101", "20240315"},
                   {"00001", "0101", "20240316", "20240315"}, {"00001", "0101", "20240230", "20240315"},
                   {"00001", "0101", "2024011", "20240315"}};
    for (const Case &c : refused)
        EXPECT_TRUE(statement(BankBench::kBeijingCard, c.sign, c.pdt, c.start, c.end, 1, {}, 1).isError()) << c.sign << c.start;
}
