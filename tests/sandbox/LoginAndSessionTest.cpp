// What the bank checks before it serves a transaction: the login values the
// page produced, the session cookie, the session key and user, idling.

#include "BankBench.h"

#include <gtest/gtest.h>

namespace {

bool isPage(const BankAnswer &a, const char *phrase)
{
    return !a.hasRoot() && a.text.contains(QString::fromUtf8(phrase));
}

} // namespace

TEST(SandboxLoginTest, PageValuesLogIn)
{
    BankBench b;
    const BankAnswer a = b.login();
    ASSERT_TRUE(a.hasRoot()) << qPrintable(a.text);
    ASSERT_FALSE(a.isError()) << qPrintable(a.errorLines().join(u'|'));
    EXPECT_EQ(a.value(QStringLiteral("USERID")), QStringLiteral("U0001"));
    EXPECT_EQ(a.value(QStringLiteral("USERNAME")), QStringLiteral("测试客户"));
    EXPECT_FALSE(a.value(QStringLiteral("SKEY")).isEmpty());
    EXPECT_FALSE(a.value(QStringLiteral("COOKIES")).isEmpty());
    EXPECT_EQ(a.contentType, QByteArray("text/xml; charset=gb2312"));
    EXPECT_TRUE(a.body.startsWith("<?xml version=\"1.0\" encoding=\"gb2312\"?>"));
    // Both login numbers of the customer work.
    EXPECT_FALSE(BankBench().login(QStringLiteral("110101199001011234")).isError());
}

TEST(SandboxLoginTest, RefusesWrongCredentials)
{
    struct Case
    {
        const char *login;
        const char *password;
        const char *code;
    } cases[] = {
        {"alice", "pw12345", "1003"},   // wrong password
        {"nobody", "pw1234", "1003"},   // unknown login number, same answer
        {"bob", "bob123", "1004"},      // locked customer
    };
    for (const Case &c : cases) {
        BankBench b;
        const BankAnswer a = b.login(QString::fromLatin1(c.login), QString::fromLatin1(c.password));
        ASSERT_TRUE(a.isError()) << c.login;
        EXPECT_EQ(a.value(QStringLiteral("ERROR/ERRORCODE")), QString::fromLatin1(c.code));
    }
}

TEST(SandboxLoginTest, CodeMustMatchAndServesOnce)
{
    BankBench b;
    ASSERT_FALSE(b.login().isError());
    // The same values again: the code of that page is used up.
    const BankAnswer again = b.send(b.bank.withState([](BankState &s) { return s.log.entries().last().rawQuery; }));
    EXPECT_TRUE(isPage(again, "附加码错误"));

    // A fresh page, and a code that is not the one shown.
    BankBench c;
    c.login();
    const QByteArray query = c.bank.withState([](BankState &s) { return s.log.entries().last().rawQuery; });
    HttpRequestView page;
    page.path = QStringLiteral("/app/vodLogin");
    page.headers.append(qMakePair(QByteArray("cookie"), c.cookie));
    c.bank.serveLoginPage(page);
    QByteArray wrong = query;
    wrong.replace("PT_CONFIRM_PWD=", "PT_CONFIRM_PWD=9");
    EXPECT_TRUE(isPage(c.send(wrong), "附加码错误"));
    // Without the session cookie there is no code at all.
    EXPECT_TRUE(isPage(c.send(query, QByteArray()), "附加码错误"));
}

TEST(SandboxLoginTest, ValuesFromAnotherPageAreRefused)
{
    BankBench b;
    b.login();
    // Load a new page in the same session: new nonce and code. Values made
    // with the old nonce and the new code do not match the digest.
    HttpRequestView page;
    page.path = QStringLiteral("/app/vodLogin");
    page.headers.append(qMakePair(QByteArray("cookie"), b.cookie));
    b.bank.serveLoginPage(page);
    const QString code = b.bank.withState([](BankState &s) { return s.lastCode; });
    QByteArray old = b.bank.withState([](BankState &s) { return s.log.entries()[s.log.entries().size() - 2].rawQuery; });
    const qsizetype at = old.indexOf("PT_CONFIRM_PWD=") + 15;
    old.replace(at, old.indexOf('&', at) - at, code.toLatin1());
    const BankAnswer a = b.send(old);
    ASSERT_TRUE(a.isError()) << qPrintable(a.text);
    EXPECT_EQ(a.value(QStringLiteral("ERROR/ERRORCODE")), QStringLiteral("1002"));
}

TEST(SandboxSessionTest, EveryTransactionNeedsTheLoggedInSession)
{
    BankBench b;
    ASSERT_FALSE(b.login().isError());
    const QString list = QStringLiteral("&BRANCHID=110000000&ACC_NO=%1&ROW_NO=1").arg(BankBench::kBeijingCard);
    const QString good = QStringLiteral("PT_STYLE=9&TXCODE=310600&SKEY=%1&USERID=%2").arg(b.skey, b.userId) + list;
    ASSERT_FALSE(b.send(good.toLatin1()).isError());

    EXPECT_TRUE(isPage(b.send(good.toLatin1(), QByteArray()), "用户空闲超时自动退出"));
    EXPECT_TRUE(isPage(b.send(good.toLatin1(), "JSESSIONID=0123456789"), "用户空闲超时自动退出"));
    struct Case
    {
        QString query;
        const char *code;
    } cases[] = {
        {QStringLiteral("PT_STYLE=9&TXCODE=310600&SKEY=WRONG&USERID=%1").arg(b.userId) + list, "0010"},
        {QStringLiteral("PT_STYLE=9&TXCODE=310600&USERID=%1").arg(b.userId) + list, "0010"},
        {QStringLiteral("PT_STYLE=9&TXCODE=310600&SKEY=%1&USERID=U0002").arg(b.skey) + list, "0011"},
        {QStringLiteral("PT_STYLE=9&TXCODE=310102&SKEY=%1&USERID=%2&COOKIES=stale").arg(b.skey, b.userId), "0240"},
    };
    for (const Case &c : cases) {
        const BankAnswer a = b.send(c.query.toLatin1());
        ASSERT_TRUE(a.isError()) << qPrintable(c.query);
        EXPECT_EQ(a.value(QStringLiteral("ERROR/ERRORCODE")), QString::fromLatin1(c.code)) << qPrintable(c.query);
    }
}

TEST(SandboxSessionTest, IdlingEndsTheSessionAndActivityKeepsIt)
{
    BankBench b;
    ASSERT_FALSE(b.login().isError());
    const auto keepAlive = [&] {
        return b.tx(QStringLiteral("310700"), {{"BRANCHID", "110000000"}, {"ACC_NO", BankBench::kBeijingCard},
                                               {"IS_UPDATE", "1"}, {"ROW_NO", "1"}});
    };
    b.advanceClock(500);
    EXPECT_FALSE(keepAlive().isError());
    b.advanceClock(500);
    EXPECT_FALSE(keepAlive().isError());
    b.advanceClock(601);
    EXPECT_TRUE(isPage(keepAlive(), "用户空闲超时自动退出"));
}

TEST(SandboxSessionTest, CardListCarriesEveryListWithItsFields)
{
    BankBench b;
    ASSERT_FALSE(b.login().isError());
    const BankAnswer a = b.tx(QStringLiteral("310102"), {{"COOKIES", b.cookies}});
    ASSERT_FALSE(a.isError());
    const auto query = a.entries(QStringLiteral("ACCQUERYLIST"));
    ASSERT_EQ(query.size(), 3);
    EXPECT_EQ(query[0].value(QStringLiteral("ACCOUNTNO")), BankBench::kBeijingCard);
    EXPECT_EQ(query[0].value(QStringLiteral("BBANK_NAME")), QStringLiteral("110000000"));
    EXPECT_EQ(query[0].value(QStringLiteral("CASHTYPE")), QStringLiteral("人民币"));
    EXPECT_EQ(query[0].value(QStringLiteral("FLAG_CARD")), QStringLiteral("1"));
    EXPECT_EQ(query[2].value(QStringLiteral("BALANCE")), QStringLiteral("500.00"));
    const auto fina = a.entries(QStringLiteral("FINAACCTLIST"));
    ASSERT_EQ(fina.size(), 1);
    EXPECT_EQ(fina[0].value(QStringLiteral("ACCNO")), BankBench::kShanghaiCard);
    EXPECT_EQ(fina[0].value(QStringLiteral("BBANK_NAME")), QStringLiteral("310104001"));
    EXPECT_EQ(fina[0].value(QStringLiteral("service")), QStringLiteral("256"));
    EXPECT_EQ(a.entries(QStringLiteral("CHILDACCTLIST")).size(), 1);
    EXPECT_EQ(a.entries(QStringLiteral("LKTACCTLIST")).size(), 1);
}
