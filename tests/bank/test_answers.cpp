// The answer check, the transport-failure messages, the value conversions
// and every reader on fixture answers.

#include "AnswerCheck.h"
#include "AnswerDocument.h"
#include "AnswerReaders.h"
#include "AnswerValues.h"
#include "BankTestSupport.h"
#include "EAnswerError.h"
#include "PageText.h"
#include "TAccount.h"
#include "TBargaining.h"
#include "TBargainingHistory.h"
#include "TBeiJingBranchController.h"
#include "TCurrency.h"
#include "TCurrencyList.h"
#include "TInCom.h"
#include "TSettings.h"
#include "TShangHaiBranchController.h"
#include "TUser.h"
#include "TZheJiangBranchController.h"
#include "platform/Formats.h"
#include "platform/GbkText.h"

#include <QDateTime>

namespace {

// The answer as the transport hands it over: cleaned page text.
AnswerDocument answer(const QString &xml)
{
    return AnswerDocument::Load(PageText::Clean(QStringLiteral("<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n") + xml));
}

QString checkMessage(const QString &pageText)
{
    try {
        AnswerCheck::CheckAnswer(AnswerDocument::Load(pageText));
    } catch (const EResponseError &e) {
        return e.message();
    }
    return QStringLiteral("(usable)");
}

double at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return Formats::toDays(QDateTime(QDate(y, mo, d), QTime(h, mi, s)));
}

class AnswersTest : public BankTest
{
public:
    AnswersTest() { makeUser(); }
};

} // namespace

TEST_F(AnswersTest, ErrorAnswersAndTransportFailures)
{
    const QString cr = QStringLiteral("\r");
    const struct {
        QString page;
        QString message;
    } cases[] = {
        {QString(), QStringLiteral("网络通讯故障，请稍后再试！")},
        {QStringLiteral("<html><body>系统维护</body></html>"), QStringLiteral("网络通讯故障，请稍后再试！")},
        {QStringLiteral("<ROOT><SKEY>1</SKEY>"), QStringLiteral("网络通讯故障，请稍后再试！")},
        {QStringLiteral("<HTML><BODY>x</BODY></HTML>"), QStringLiteral("网络通讯故障，请稍后再试！")},
        {QStringLiteral("<html>用户两次提交时间间隔太短</html>"), QStringLiteral("用户两次提交时间间隔太短，请稍后提交！")},
        {QStringLiteral("<html>用户空闲超时自动退出</html>"), QStringLiteral("用户空闲超时自动退出,请关闭软件,重新登录使用.")},
        {QStringLiteral("<html>该页无法显示 附加码错误</html>"), QStringLiteral("附加码错误,请检查您的输入.")},
        {PageText::Clean(PageText::Unavailable(QStringLiteral("x"))),
         QStringLiteral("返回信息为服务器暂时不能访问,原因可能是网银服务器忙或网络故障,请稍后再试!")},
        {QStringLiteral("<ROOT><ERROR><ERRORCODE>E1</ERRORCODE><ERRORLIST><L> 余额不足 </L><L>请\t重试\n</L>"
                        "</ERRORLIST></ERROR></ROOT>"),
         QStringLiteral("信息提示") + cr + cr + QStringLiteral("余额不足") + cr + QStringLiteral("请重试")},
        {QStringLiteral("<ROOT><ERROR><ERRORCODE>E1</ERRORCODE></ERROR></ROOT>"), QStringLiteral("信息提示") + cr},
        {QStringLiteral("<ROOT><SKEY>1</SKEY></ROOT>"), QStringLiteral("(usable)")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(checkMessage(c.page), c.message) << c.page;
}

TEST_F(AnswersTest, ValueConversions)
{
    EXPECT_DOUBLE_EQ(AnswerValues::ExactNumber(QStringLiteral("1234.56789"))->toDouble(), 1234.5679);
    EXPECT_FALSE(AnswerValues::ExactNumber(QStringLiteral("12,00")));
    EXPECT_DOUBLE_EQ(AnswerValues::NumberOrZero(QStringLiteral(" 7.80 ")), 7.8);
    EXPECT_DOUBLE_EQ(AnswerValues::NumberOrZero(QStringLiteral("abc")), 0);
    EXPECT_DOUBLE_EQ(AnswerValues::NumberOrZero(QStringLiteral("1e999")), 0);
    EXPECT_DOUBLE_EQ(AnswerValues::LeadingNumber(QStringLiteral("1000.00美元")), 1000);
    EXPECT_DOUBLE_EQ(AnswerValues::LeadingNumber(QStringLiteral("1000")), 1000);
    EXPECT_DOUBLE_EQ(AnswerValues::LeadingNumber(QStringLiteral("美元")), 0);
    EXPECT_THROW(AnswerValues::StrictNumber(QStringLiteral("1.2.3"), "X"), EAnswerError);
    EXPECT_EQ(AnswerValues::StrictWholeNumber(QStringLiteral(" 3 "), "X"), 3);
    EXPECT_THROW(AnswerValues::StrictWholeNumber(QStringLiteral("3.5"), "X"), EAnswerError);

    EXPECT_DOUBLE_EQ(AnswerValues::AnswerDateTime(QStringLiteral("2007/08/20 10:30:00")), at(2007, 8, 20, 10, 30));
    EXPECT_DOUBLE_EQ(AnswerValues::AnswerDateTime(QStringLiteral("  ")), Formats::kMissingDate);
    // A date whose "-" the transport removed is still a date.
    EXPECT_DOUBLE_EQ(AnswerValues::AnswerDateTime(QStringLiteral("20070820 10:30:00")), at(2007, 8, 20, 10, 30));
    EXPECT_DOUBLE_EQ(AnswerValues::AnswerDate(QStringLiteral("2007/8/20")), at(2007, 8, 20));
    EXPECT_THROW(AnswerValues::AnswerDate(QStringLiteral("2007/08/20 10:30:00")), EAnswerError);
    EXPECT_THROW(AnswerValues::AnswerDateTime(QStringLiteral("2007/13/01")), EAnswerError);
    EXPECT_THROW(AnswerValues::AnswerDateTime(QStringLiteral("soon")), EAnswerError);
}

TEST_F(AnswersTest, PageTextDecodesByDeclaredCharsetAndCleans)
{
    const QString xml = QStringLiteral("<ROOT><D>2007-08-20</D><A>-12.5</A><N>美元</N></ROOT>");
    const QString clean = QStringLiteral("<ROOT><D>20070820</D><A>12.5</A><N>美元</N></ROOT>");
    EXPECT_EQ(PageText::Clean(PageText::Decode(Gbk::encode(xml), QStringLiteral("GB2312"))), clean);
    EXPECT_EQ(PageText::Clean(PageText::Decode(xml.toUtf8(), QStringLiteral("utf-8"))), clean);
    QByteArray utf16("\xFF\xFE", 2);
    utf16 += QByteArray(reinterpret_cast<const char *>(xml.utf16()), xml.size() * 2);
    EXPECT_EQ(PageText::Clean(PageText::Decode(utf16, QStringLiteral("unicode"))), clean);
    EXPECT_EQ(PageText::Clean(PageText::Decode(utf16, QString())), clean);
    // Without a header the body's own declaration decides.
    const QByteArray meta = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\"></head>"
        + QStringLiteral("美元").toUtf8() + "</html>";
    EXPECT_TRUE(PageText::Decode(meta, QString()).contains(QStringLiteral("美元")));
    EXPECT_EQ(PageText::SniffCharset("<?xml version=\"1.0\" encoding=\"UTF-16\"?><ROOT/>"), QString());
    EXPECT_EQ(PageText::CharsetFromContentType("text/xml; Charset=\"GBK\""), QStringLiteral("gbk"));
    EXPECT_EQ(PageText::Clean(QStringLiteral(" \t\r\n a b\t\n ")), QStringLiteral("a b"));
}

TEST_F(AnswersTest, LoginAnswer)
{
    QString key;
    auto user = AnswerReaders::Login(answer(QStringLiteral("<ROOT><USERID>U7</USERID><USERNAME>张三</USERNAME>"
                                                           "<COOKIES>a=1; b=2</COOKIES><SKEY>K9</SKEY></ROOT>")),
                                     Settings, QStringLiteral("PWV"), &key);
    EXPECT_EQ(user->UserId, QStringLiteral("U7"));
    EXPECT_EQ(user->UserName, QStringLiteral("张三"));
    EXPECT_EQ(user->Cookies, QStringLiteral("a=1; b=2"));
    EXPECT_EQ(user->LoginPassword, QStringLiteral("PWV"));
    EXPECT_EQ(key, QStringLiteral("K9"));

    QString untouched = QStringLiteral("old");
    EXPECT_THROW(AnswerReaders::Login(answer(QStringLiteral("<ROOT><USERID>U7</USERID></ROOT>")), Settings,
                                      QString(), &untouched),
                 EAnswerError);
    EXPECT_EQ(untouched, QStringLiteral("old"));
}

TEST_F(AnswersTest, AccountListReadsTheFourListsInOrder)
{
    TUser u(Settings);
    AnswerReaders::Accounts(
        answer(QStringLiteral(
            "<ROOT><ACCQUERYLIST><A><BBANK_NAME>330100000</BBANK_NAME><ACCOUNTNO>6222001</ACCOUNTNO>"
            "<ACCOUNTTYPE>01</ACCOUNTTYPE><CASHTYPE>美元</CASHTYPE><BALANCE>1234.56789</BALANCE>"
            "<USABLEBALANCE>1000.5</USABLEBALANCE><FLAG_CARD>1</FLAG_CARD><ACCOUNTSTATUS>0</ACCOUNTSTATUS></A>"
            "</ACCQUERYLIST>"
            "<CHILDACCTLIST><A><BBANK_NAME>330100000</BBANK_NAME><ACCNO>C1</ACCNO><service>257</service>"
            "<CASHTYPE>人民币</CASHTYPE></A></CHILDACCTLIST>"
            "<FINAACCTLIST><A><BBANK_NAME>330100000</BBANK_NAME><ACCNO>F1</ACCNO><service>x</service>"
            "<CASHTYPE>无此币</CASHTYPE></A></FINAACCTLIST>"
            "<LKTACCTLIST><A><BBANK_NAME>330100000</BBANK_NAME><ACCNO>L1</ACCNO><service>1</service>"
            "<CASHTYPE>美元</CASHTYPE></A></LKTACCTLIST></ROOT>")),
        u);
    ASSERT_EQ(u.Accounts.Count(), 4);
    const TAccount &a = *u.Accounts.Item(0);
    EXPECT_EQ(a.BranchId, QStringLiteral("330100000"));
    EXPECT_EQ(a.Currency->Code, QStringLiteral("14"));
    EXPECT_DOUBLE_EQ(a.Balance, 1234.5679);
    EXPECT_DOUBLE_EQ(a.UseBalance, 1000.5);
    EXPECT_DOUBLE_EQ(a.FrozenBalance, 234.0679);
    EXPECT_EQ(a.FlagCard, QStringLiteral("1"));
    EXPECT_EQ(a.User, &u);
    const char *types[] = {"01", "91", "16", "12"};
    const bool forex[] = {false, true, false, false};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(u.Accounts.Item(i)->AccountType, QLatin1String(types[i])) << i;
        EXPECT_EQ(u.Accounts.Item(i)->ForexEnabled, forex[i]) << i;
    }
    EXPECT_EQ(u.Accounts.Item(2)->Currency, nullptr);

    // A missing list ends the reading there; a broken entry fails it.
    TUser v(Settings);
    AnswerReaders::Accounts(answer(QStringLiteral("<ROOT><ACCQUERYLIST/><FINAACCTLIST><A/></FINAACCTLIST></ROOT>")), v);
    EXPECT_EQ(v.Accounts.Count(), 0);
    EXPECT_THROW(AnswerReaders::Accounts(answer(QStringLiteral(
                                             "<ROOT><ACCQUERYLIST/><CHILDACCTLIST><A><BBANK_NAME>1</BBANK_NAME>"
                                             "<ACCNO>C1</ACCNO><service>1</service><CASHTYPE/></A><A/>"
                                             "</CHILDACCTLIST></ROOT>")),
                                         v),
                 EAnswerError);
    EXPECT_EQ(v.Accounts.Count(), 1);
}

TEST_F(AnswersTest, SubAccountsAndBalanceAreAllOrNothing)
{
    TAccount &c = card();
    c.SubAccounts.Clear();
    const QString entry = QStringLiteral("<E><CASHTYPE>美元</CASHTYPE><SAVETYPE>活期储蓄</SAVETYPE><CHAOHUI>1</CHAOHUI>"
                                         "<ACC_NO>S1</ACC_NO><ACC_SIGN>G1</ACC_SIGN><PDT_CODE>P</PDT_CODE>"
                                         "<BALANCE>10.12345</BALANCE><USEBALANCE>n/a</USEBALANCE></E>");
    AnswerReaders::SubAccounts(answer(QStringLiteral("<ROOT><ACCOUNTINFOLIST>") + entry + entry
                                      + QStringLiteral("</ACCOUNTINFOLIST></ROOT>")),
                               c);
    ASSERT_EQ(c.SubAccounts.Count(), 2);
    const TAccount &s = *c.SubAccounts.Item(0);
    EXPECT_EQ(s.BranchId, c.BranchId);
    EXPECT_EQ(s.User, c.User);
    EXPECT_EQ(s.Currency->Code, QStringLiteral("14"));
    EXPECT_EQ(s.SaveType, DemandSaveType());
    EXPECT_EQ(s.ChaoHui, QStringLiteral("1"));
    EXPECT_EQ(s.AccSign, QStringLiteral("G1"));
    EXPECT_DOUBLE_EQ(s.Balance, 10.1234);
    EXPECT_DOUBLE_EQ(s.UseBalance, 0);
    EXPECT_DOUBLE_EQ(s.FrozenBalance, 0);

    EXPECT_THROW(AnswerReaders::SubAccounts(answer(QStringLiteral("<ROOT><ACCOUNTINFOLIST>") + entry
                                                   + QStringLiteral("<E/></ACCOUNTINFOLIST></ROOT>")),
                                            c),
                 EAnswerError);
    EXPECT_EQ(c.SubAccounts.Count(), 2);

    c.Balance = 5;
    AnswerReaders::Balance(answer(QStringLiteral("<ROOT><ACCQUERYLIST><E><BALANCE>100.00009</BALANCE>"
                                                 "<USABLEBALANCE>40</USABLEBALANCE></E><E><BALANCE>0.1</BALANCE>"
                                                 "<USABLEBALANCE>bad</USABLEBALANCE></E></ACCQUERYLIST></ROOT>")),
                           c);
    EXPECT_DOUBLE_EQ(c.Balance, 100.1001);
    EXPECT_DOUBLE_EQ(c.UseBalance, 40);
    EXPECT_DOUBLE_EQ(c.FrozenBalance, 60.1001);
    EXPECT_THROW(AnswerReaders::Balance(answer(QStringLiteral("<ROOT><ACCQUERYLIST><E><BALANCE>1</BALANCE></E>"
                                                              "</ACCQUERYLIST></ROOT>")),
                                        c),
                 EAnswerError);
    EXPECT_DOUBLE_EQ(c.Balance, 100.1001);
}

TEST_F(AnswersTest, StatementPages)
{
    TInCom q(Settings);
    q.Account = card().SubAccounts.Item(0);
    auto line = [](const char *date, const char *inout, const char *amount, const char *curr = "14") {
        return QStringLiteral("<L><CHANGEDATE>%1</CHANGEDATE><CURRTYPE>%4</CURRTYPE><CHANGEPLACE>柜台</CHANGEPLACE>"
                              "<CHANGEAMOUNT>%3</CHANGEAMOUNT><INOUT>%2</INOUT><MEMO>m</MEMO><BALANCE>99.5</BALANCE></L>")
            .arg(QLatin1String(date), QLatin1String(inout), QLatin1String(amount), QLatin1String(curr));
    };
    auto page = [&](const QString &lines, const char *count = "3") {
        return answer(QStringLiteral("<ROOT><A_STR>AS1</A_STR><DETAILLIST>") + lines
                      + QStringLiteral("</DETAILLIST><PAGECOUNT>%1</PAGECOUNT></ROOT>").arg(QLatin1String(count)));
    };

    const auto p1 = AnswerReaders::Statement(page(line("2007/08/20", "1", "12.5") + line("2007-08-21", "0", "3")), q,
                                             true, nullptr);
    EXPECT_EQ(p1.AStr, QStringLiteral("AS1"));
    EXPECT_EQ(p1.PageCount, 3);
    ASSERT_EQ(q.Details.Count(), 2);
    EXPECT_EQ(q.Details.Item(0)->ChangeAmount, Fixed4::fromUnits(125000));
    EXPECT_EQ(q.Details.Item(1)->ChangeAmount, Fixed4::fromUnits(-30000)); // out
    EXPECT_DOUBLE_EQ(q.Details.Item(1)->ChangeDate, at(2007, 8, 21));
    EXPECT_EQ(q.Details.Item(0)->CurrencyCode, QStringLiteral("14"));
    EXPECT_EQ(q.Details.Item(0)->SaveType, DemandSaveType());
    EXPECT_EQ(q.Details.Item(0)->ChangePlace, QStringLiteral("柜台"));
    EXPECT_EQ(q.Details.Item(0)->Balance, Fixed4::fromUnits(995000));

    // An empty date on the first page: "not found", the lines before stay.
    q.Details.Clear();
    try {
        AnswerReaders::Statement(page(line("2007/08/20", "1", "1") + line(" ", "1", "1")), q, true, nullptr);
        ADD_FAILURE() << "no failure";
    } catch (const EResponseError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("信息提示\r未找到记录"));
    }
    EXPECT_EQ(q.Details.Count(), 1);
    // Later pages do not test the date and do not read the count.
    q.Details.Clear();
    const auto p2 = AnswerReaders::Statement(page(line("", "1", "1"), "x"), q, false, nullptr);
    EXPECT_EQ(p2.PageCount, 0);
    EXPECT_DOUBLE_EQ(q.Details.Item(0)->ChangeDate, Formats::kMissingDate);

    EXPECT_EQ(AnswerReaders::Statement(page(QString(), "x"), q, true, nullptr).PageCount, 0);
    EXPECT_THROW(AnswerReaders::Statement(page(line("2007/08/20", "1", "lots")), q, true, nullptr), EAnswerError);

    // At Shanghai, lines of other currencies are left out.
    q.Details.Clear();
    TShangHaiBranchController shanghai{QString(), QString()};
    AnswerReaders::Statement(page(line("2007/08/20", "1", "1", "27") + line("2007/08/20", "1", "2")), q, true,
                             &shanghai);
    ASSERT_EQ(q.Details.Count(), 1);
    EXPECT_EQ(q.Details.Item(0)->ChangeAmount, Fixed4::fromInt(2));
}

TEST_F(AnswersTest, TradeAnswers)
{
    TBargaining t(Settings, &card());
    AnswerReaders::RateAnswer(answer(QStringLiteral("<ROOT><RATIO> 7.7985 </RATIO><PT_SIGN_STR>S+1/=</PT_SIGN_STR>"
                                                    "<CONTRACT_NO>C1</CONTRACT_NO></ROOT>")),
                              t);
    EXPECT_DOUBLE_EQ(t.Ratio, 7.7985);
    EXPECT_EQ(t.SignStr, QStringLiteral("S+1/="));
    EXPECT_EQ(t.ContractNo, QStringLiteral("C1"));
    EXPECT_THROW(AnswerReaders::RateAnswer(answer(QStringLiteral("<ROOT><RATIO>7.8</RATIO></ROOT>")), t), EAnswerError);
    EXPECT_DOUBLE_EQ(t.Ratio, 7.7985);

    const struct {
        const char *buy;
        double amount;
    } deals[] = {{"1000.00美元", 1000}, {"1000", 1000}, {"美元", 0}};
    for (const auto &d : deals) {
        AnswerReaders::DealAnswer(answer(QStringLiteral("<ROOT><RESULTMSG><BUY_CUR>%1</BUY_CUR><SALE_CUR>7798.50人民币"
                                                        "</SALE_CUR><CONTRCTNO>D9</CONTRCTNO></RESULTMSG></ROOT>")
                                             .arg(QString::fromUtf8(d.buy))),
                                  t);
        EXPECT_DOUBLE_EQ(t.BuyAmount, d.amount) << d.buy;
        EXPECT_DOUBLE_EQ(t.SellAmount, 7798.5);
        EXPECT_EQ(t.ContractNo, QStringLiteral("D9"));
    }

    TDelegate o(Settings, &card());
    AnswerReaders::DelegateAnswer(answer(QStringLiteral("<ROOT><RESULTMSG><CONTRCTNO>O1</CONTRCTNO></RESULTMSG></ROOT>")),
                                  o, false);
    EXPECT_EQ(o.ContractNo, QStringLiteral("O1"));
    EXPECT_EQ(o.SignStr, QStringLiteral("O1"));
    AnswerReaders::DelegateAnswer(answer(QStringLiteral("<ROOT><RESULTMSG><CONTRACTNO>O2</CONTRACTNO></RESULTMSG></ROOT>")),
                                  o, true);
    EXPECT_EQ(o.ContractNo, QStringLiteral("O2"));
    EXPECT_THROW(AnswerReaders::DelegateAnswer(answer(QStringLiteral("<ROOT><RESULTMSG/></ROOT>")), o, false),
                 EAnswerError);

    TDelegateOpponent a(Settings, &card());
    AnswerReaders::DelegateOpponentAnswer(
        answer(QStringLiteral("<ROOT><RESULTMSG><NEWCONTRACTNO>N1</NEWCONTRACTNO></RESULTMSG></ROOT>")), a);
    EXPECT_EQ(a.ContractNo, QStringLiteral("N1"));
    EXPECT_EQ(a.SignStr, QStringLiteral("N1"));
}

namespace {
QString contract(const char *no, const char *status, const char *extra = "")
{
    return QStringLiteral("<C><CONTRACTNO>%1</CONTRACTNO><STATUSCODE>%2</STATUSCODE>"
                          "<CONTRACTTIME>2007/08/20 10:30:00</CONTRACTTIME><BUYTIME>2007/08/19 09:00:00</BUYTIME>"
                          "<BUYCASH>美元</BUYCASH><SALECASH>日元</SALECASH><BUYAMOUNT>100</BUYAMOUNT>"
                          "<SALEAMOUNT>11800</SALEAMOUNT><PROFITRATIO>%4</PROFITRATIO><BADRATIO>117.5</BADRATIO>%3</C>")
        .arg(QLatin1String(no), QLatin1String(status), QLatin1String(extra),
             QLatin1String(std::string_view(extra).find("NOPROFIT") != std::string_view::npos ? "0" : "118.2"));
}
AnswerDocument listPage(const QString &entries, const char *count = "2")
{
    return answer(QStringLiteral("<ROOT><PAGECOUNT>%1</PAGECOUNT><CONTRACTLIST>").arg(QLatin1String(count)) + entries
                  + QStringLiteral("</CONTRACTLIST></ROOT>"));
}
} // namespace

TEST_F(AnswersTest, OrderListPage)
{
    TBargainingHistory h(Settings, &card());
    const int count = AnswerReaders::DealListPage(
        listPage(contract("A", "0") + contract("B", "1") + contract("", "0") + contract("C", "3") + contract("D", "7")
                 + contract("E", "2")),
        h, AnswerReaders::DealList::HistoryOrders, 1, nullptr);
    EXPECT_EQ(count, 2);
    ASSERT_EQ(h.Details.Count(), 4);
    const char *expected[][2] = {{"A", "4"}, {"C", "6"}, {"D", ""}, {"E", "2"}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(h.Details.Item(i)->ContractNo, QLatin1String(expected[i][0]));
        EXPECT_EQ(h.Details.Item(i)->StatusCode, QLatin1String(expected[i][1]));
    }
    const TBargainingDetail &a = *h.Details.Item(0);
    EXPECT_DOUBLE_EQ(a.ContractTime, at(2007, 8, 20, 10, 30));
    EXPECT_EQ(a.BuyCurrency->Code, QStringLiteral("14"));
    EXPECT_EQ(a.SellCurrency->Code, QStringLiteral("27"));
    EXPECT_DOUBLE_EQ(a.ProfitRatio, 118.2);
    EXPECT_DOUBLE_EQ(a.BadRatio, 117.5);
    EXPECT_DOUBLE_EQ(a.Ratio, 0);
    EXPECT_TRUE(a.BankDefine1.isEmpty());

    // Shanghai takes the rates from the bank-defined fields.
    TShangHaiBranchController shanghai{QString(), QString()};
    h.Details.Clear();
    AnswerReaders::DealListPage(listPage(contract("A", "0", "<BANKDEFINE1>7.80</BANKDEFINE1><BANKDEFINE2>x</BANKDEFINE2>")),
                                h, AnswerReaders::DealList::HistoryOrders, 1, &shanghai);
    EXPECT_DOUBLE_EQ(h.Details.Item(0)->ProfitRatio, 7.8);
    EXPECT_DOUBLE_EQ(h.Details.Item(0)->BadRatio, 0);
    EXPECT_EQ(h.Details.Item(0)->BankDefine1, QStringLiteral("7.80"));

    // The page count is strict; a bad time fails the reading, entries before stay.
    EXPECT_THROW(AnswerReaders::DealListPage(listPage(QString(), "many"), h, AnswerReaders::DealList::HistoryOrders, 1,
                                             nullptr),
                 EAnswerError);
    h.Details.Clear();
    QString bad = contract("Z", "0");
    bad.replace(QStringLiteral("2007/08/20 10:30:00"), QStringLiteral("later"));
    EXPECT_THROW(AnswerReaders::DealListPage(listPage(contract("Y", "0") + bad), h,
                                             AnswerReaders::DealList::HistoryOrders, 1, nullptr),
                 EAnswerError);
    EXPECT_EQ(h.Details.Count(), 1);

    // Today's order list tests the status first: a closed entry without a
    // number is skipped, where the query's list fails on it.
    const QString closedNoNumber = QStringLiteral("<C><STATUSCODE>1</STATUSCODE></C>");
    h.Details.Clear();
    EXPECT_NO_THROW(AnswerReaders::DealListPage(listPage(closedNoNumber), h, AnswerReaders::DealList::TodayOrders, 1,
                                                nullptr));
    EXPECT_THROW(AnswerReaders::DealListPage(listPage(closedNoNumber), h, AnswerReaders::DealList::HistoryOrders, 1,
                                             nullptr),
                 EAnswerError);
}

TEST_F(AnswersTest, DealListPages)
{
    TBargainingHistory h(Settings, &card());
    // The query's deal list: every status kept, time from BUYTIME, the
    // deal rate from the take-profit rate or else the stop-loss rate.
    int count = AnswerReaders::DealListPage(listPage(contract("A", "1") + contract("B", "0", "NOPROFIT"), "x"), h,
                                            AnswerReaders::DealList::HistoryDeals, 4, nullptr);
    EXPECT_EQ(count, 4); // lenient: not a number keeps the count
    ASSERT_EQ(h.Details.Count(), 2);
    EXPECT_EQ(h.Details.Item(0)->StatusCode, QStringLiteral("1"));
    EXPECT_EQ(h.Details.Item(1)->StatusCode, QStringLiteral("1"));
    EXPECT_DOUBLE_EQ(h.Details.Item(0)->ContractTime, at(2007, 8, 19, 9));
    EXPECT_DOUBLE_EQ(h.Details.Item(0)->Ratio, 118.2);
    EXPECT_DOUBLE_EQ(h.Details.Item(1)->Ratio, 117.5);

    TBeiJingBranchController beijing{QString()};
    h.Details.Clear();
    AnswerReaders::DealListPage(listPage(contract("A", "1", "<BANKDEFINE1>0</BANKDEFINE1><BANKDEFINE2>7.9</BANKDEFINE2>")),
                                h, AnswerReaders::DealList::HistoryDeals, 1, &beijing);
    EXPECT_DOUBLE_EQ(h.Details.Item(0)->Ratio, 7.9);

    // Today's deal list: strict count, no deal rate.
    h.Details.Clear();
    count = AnswerReaders::DealListPage(listPage(contract("A", "1"), "3"), h, AnswerReaders::DealList::TodayDeals, 1,
                                        nullptr);
    EXPECT_EQ(count, 3);
    EXPECT_DOUBLE_EQ(h.Details.Item(0)->Ratio, 0);
    EXPECT_THROW(AnswerReaders::DealListPage(listPage(QString(), "x"), h, AnswerReaders::DealList::TodayDeals, 1, nullptr),
                 EAnswerError);
}

TEST_F(AnswersTest, SingleContract)
{
    TBargainingHistory h(Settings, &card());
    AnswerReaders::SingleContract(answer(QStringLiteral("<ROOT><RESULTMSG><CONTRACTNO/></RESULTMSG></ROOT>")), h);
    EXPECT_EQ(h.Details.Count(), 0);
    QString one = contract("S1", "3", "<BANKDEFINE1>b1</BANKDEFINE1>");
    one.replace(QStringLiteral("<C>"), QStringLiteral("<RESULTMSG>")).replace(QStringLiteral("</C>"), QStringLiteral("</RESULTMSG>"));
    AnswerReaders::SingleContract(answer(QStringLiteral("<ROOT>") + one + QStringLiteral("</ROOT>")), h);
    ASSERT_EQ(h.Details.Count(), 1);
    EXPECT_EQ(h.Details.Item(0)->StatusCode, QStringLiteral("6"));
    EXPECT_DOUBLE_EQ(h.Details.Item(0)->ContractTime, at(2007, 8, 20, 10, 30));
    EXPECT_EQ(h.Details.Item(0)->BankDefine1, QStringLiteral("b1"));
}

TEST_F(AnswersTest, WhatTheLoaderAccepts)
{
    const struct {
        const char *text;
        bool usable;
    } cases[] = {
        {"<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<ROOT><A>1</A></ROOT>\r\n", true},
        {"\xEF\xBB\xBF<ROOT/>", true},
        {"<?pi x?><!DOCTYPE ROOT [<!ELEMENT ROOT ANY>]><ROOT a='1' b=\"&lt;\"><A x=\"y\"/><![CDATA[<x>]]></ROOT><?end?>",
         true},
        {"<ROOT><A>1</B></ROOT>", false},
        {"<ROOT><A>1</A>", false},
        {"<ROOT></ROOT><ROOT></ROOT>", false},
        {"<ROOT></ROOT>tail", false},
        {"text<ROOT></ROOT>", false},
        {"<ROOT>&nbsp;</ROOT>", false},
        {"<ROOT>&#0;</ROOT>", false},
        {"<ROOT>&#xD800;</ROOT>", false},
        {"<ROOT>\x01</ROOT>", false},
        {"<ROOT a=1></ROOT>", false},
        {"<ROOT a=\"<\"></ROOT>", false},
        {"<ROOTa=\"1\"></ROOTa>", false},
        {"<1ROOT></1ROOT>", false},
        {"<ROOT><![CDATA[x</ROOT>", false},
        {"", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(AnswerDocument::Load(QString::fromUtf8(c.text)).DocumentElement() != nullptr, c.usable) << c.text;
    const AnswerDocument doc = AnswerDocument::Load(
        QStringLiteral("<ROOT><A> x&amp;y&#x5143;&#20803; </A><B>a\r\nb</B><C><![CDATA[<i>]]></C><D>  </D></ROOT>"));
    ASSERT_NE(doc.Root(), nullptr);
    EXPECT_EQ(doc.Root()->Child(u"A")->Text(), QStringLiteral("x&y元元"));
    EXPECT_EQ(doc.Root()->Child(u"B")->Text(), QStringLiteral("a\nb"));
    EXPECT_EQ(doc.Root()->Child(u"C")->Text(), QStringLiteral("<i>"));
    EXPECT_EQ(doc.Root()->Child(u"D")->Text(), QString());
    EXPECT_EQ(doc.Root()->Path(u"A")->Name(), QStringLiteral("A"));
    EXPECT_EQ(doc.Root()->Path(u"A/Z"), nullptr);
}

TEST_F(AnswersTest, DocumentLimits)
{
    QString deep;
    for (int i = 0; i < AnswerDocument::kMaxDepth + 1; ++i)
        deep += QStringLiteral("<E>");
    EXPECT_EQ(AnswerDocument::Load(QStringLiteral("<ROOT>") + deep).Root(), nullptr);
    QString many = QStringLiteral("<ROOT>");
    for (int i = 0; i < AnswerDocument::kMaxElements; ++i)
        many += QStringLiteral("<E/>");
    many += QStringLiteral("</ROOT>");
    EXPECT_EQ(AnswerDocument::Load(many).Root(), nullptr);
    // Comments lose their "-" in transport and make the text unusable.
    EXPECT_EQ(answer(QStringLiteral("<!-- x --><ROOT/>")).Root(), nullptr);
    EXPECT_NE(answer(QStringLiteral("<ROOT><A>&lt;&#20803;</A></ROOT>")).Root(), nullptr);
    EXPECT_EQ(answer(QStringLiteral("<ROOT><A>&lt;&#20803;</A></ROOT>")).Root()->Child(u"A")->Text(),
              QStringLiteral("<元"));
}
