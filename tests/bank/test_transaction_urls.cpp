// The exact address of every bank transaction, and the value formats and
// encoding that go into them.

#include "BankQuery.h"
#include "BankTestSupport.h"
#include "ForexErrors.h"
#include "TAccount.h"
#include "TBargaining.h"
#include "TBargainingHistory.h"
#include "TCurrencyList.h"
#include "TInCom.h"
#include "TSettings.h"
#include "TUser.h"
#include "TransactionUrls.h"
#include "platform/Formats.h"

#include <QDate>
#include <cmath>
#include <functional>
#include <limits>

namespace {

const QString kBase = QStringLiteral("http://bank.test/app/vodMain?PT_STYLE=9&TXCODE=");

double day(int y, int m, int d)
{
    return Formats::toDays(QDate(y, m, d));
}

class TransactionUrlsTest : public BankTest
{
public:
    TransactionUrlsTest()
    {
        makeUser();
        Settings->ExtraTransParams = QStringLiteral("&PAGEID=7");
    }

    void fillTrade(TBargaining &t)
    {
        t.Owner = &card();
        t.TransPassword = QStringLiteral("123456");
        t.SellCurrency = CurrencyList->FindByCode(QStringLiteral("14"));
        t.BuyCurrency = CurrencyList->FindByCode(QStringLiteral("27"));
        t.BillFlag = QStringLiteral("1");
        t.TransDir = QStringLiteral("1");
        t.SellAmount = 12.34567;
        t.BuyAmount = 1000;
        t.SignStr = QStringLiteral("SIG");
        t.ContractNo = QStringLiteral("C77");
        t.SubAcc = QStringLiteral("S9");
        t.ProId = QStringLiteral("P3");
    }
};

struct UrlCase {
    const char *name;
    std::function<QString(TransactionUrlsTest &)> build;
    const char *expected; // after the TXCODE
};

} // namespace

TEST_F(TransactionUrlsTest, EveryTransactionInTheBanksOrder)
{
    const double today = Formats::today();
    const UrlCase cases[] = {
        {"login",
         [](auto &) {
             return TransactionUrls::Login(*Settings, QStringLiteral("110101199001011234"), QStringLiteral("PWVAL"),
                                           QStringLiteral("ab12"), QStringLiteral("DIG"));
         },
         "100101&USERID=110101199001011234&LOGPASS=PWVAL&PT_CONFIRM_PWD=ab12&VOD_PWD_MAP_GIGEST=DIG"},
        {"account list", [](auto &t) { return TransactionUrls::AccountList(*Settings, *CurrentUser); (void)t; },
         "310102&SKEY=SK1&USERID=U1001&COOKIES=C1"},
        {"sub-accounts", [](auto &t) { return TransactionUrls::SubAccounts(*Settings, t.card()); },
         "310600&SKEY=SK1&USERID=U1001&BRANCHID=330000000&ACC_NO=6222001&ROW_NO=1"},
        {"sub-accounts of type 16 keep the full branch",
         [](auto &t) {
             t.card().AccountType = QStringLiteral("16");
             return TransactionUrls::SubAccounts(*Settings, t.card());
         },
         "310800&SKEY=SK1&BRANCHID=330100000&USERID=U1001&ACC_NO=6222001&IS_UPDATE=1&ROW_NO=1"},
        {"update sub-accounts", [](auto &t) { return TransactionUrls::UpdateSubAccounts(*Settings, t.card()); },
         "310700&SKEY=SK1&BRANCHID=330000000&USERID=U1001&ACC_NO=6222001&IS_UPDATE=1&ROW_NO=1"},
        {"balance", [](auto &t) { return TransactionUrls::Balance(*Settings, t.card()); },
         "310100&SKEY=SK1&BRANCHID=330000000&USERID=U1001&ACC_NO=6222001&ACC_SIGN=6222001&FLAG_CARD=1"},
        {"statement, first page",
         [](auto &t) {
             TInCom q(Settings);
             q.Account = t.card().SubAccounts.Item(0);
             q.BeginDate = day(2007, 8, 1);
             q.EndDate = day(2007, 8, 20);
             return TransactionUrls::Statement(*Settings, q, 1, 1, QString());
         },
         "310200&SKEY=SK1&USERID=U1001&BRANCHID=330000000&ACC_NO=6222001-14-0&ACC_SIGN=SIGN0&START_DATE=20070801"
         "&END_DATE=20070820&PAGE=1&PDT_CODE=P1&A_STR=&IS_UPDATE=1&UPDATE_DETAIL=1&STR_USERID=U1001&CURRENT_PAGE=1"},
        {"statement, third page",
         [](auto &t) {
             TInCom q(Settings);
             q.Account = t.card().SubAccounts.Item(1);
             q.BeginDate = day(2007, 8, 1);
             q.EndDate = day(2007, 8, 20);
             return TransactionUrls::Statement(*Settings, q, 3, 2, QStringLiteral("K/9="));
         },
         "310200&SKEY=SK1&USERID=U1001&BRANCHID=330000000&ACC_NO=6222001-14-1&ACC_SIGN=SIGN1&START_DATE=20070801"
         "&END_DATE=20070820&PAGE=3&PDT_CODE=P1&A_STR=K%2F9%3D&IS_UPDATE=1&UPDATE_DETAIL=1&STR_USERID=U1001"
         "&CURRENT_PAGE=2"},
        {"instant trade, rate request",
         [](auto &t) {
             TBargaining b(Settings, nullptr);
             t.fillTrade(b);
             return TransactionUrls::RateRequest(*Settings, b);
         },
         "320102&SKEY=SK1&USERID=U1001&BRANCHID=330000000&TRANS_PASSWD=123456&SUB_ACC=6222001&SELL_CUR_TYPE=14"
         "&BUY_CUR_TYPE=27&BILL_FLAG=1&TRANS_DIR=1&ACC_NO=6222001&CHANGED_AMOUNT=12.3457&PAGEID=7"},
        {"instant trade, confirmation",
         [](auto &t) {
             TBargaining b(Settings, nullptr);
             t.fillTrade(b);
             return TransactionUrls::DealConfirm(*Settings, b);
         },
         "320100&SKEY=SK1&USERID=U1001&BRANCHID=330000000&TRANS_PASSWD=123456&SUB_ACC=6222001&SELL_CUR_TYPE=14"
         "&BUY_CUR_TYPE=27&BILL_FLAG=1&TRANS_DIR=1&ACC_NO=6222001&PT_SIGN_STR=SIG&CONTRACT_NO=C77"
         "&CHANGED_AMOUNT=12.3457&PAGEID=7"},
        {"fixed-term rate request buys by amount bought and carries no extra pairs",
         [](auto &t) {
             TBargaining b(Settings, nullptr);
             t.fillTrade(b);
             b.IsFixedTerm = true;
             b.TransDir = QStringLiteral("0");
             return TransactionUrls::RateRequest(*Settings, b);
         },
         "320902&SKEY=SK1&BRANCHID=330000000&USERID=U1001&ACC_NO=6222001&SUB_ACC=S9&TRANS_DIR=0&BILL_FLAG=1"
         "&BUY_CUR_TYPE=27&PROID=P3&TRANS_PASSWD=123456&CHANGED_AMOUNT=1000"},
        {"fixed-term confirmation",
         [](auto &t) {
             TBargaining b(Settings, nullptr);
             t.fillTrade(b);
             b.IsFixedTerm = true;
             b.TransDir = QStringLiteral("0");
             return TransactionUrls::DealConfirm(*Settings, b);
         },
         "320903&SKEY=SK1&BRANCHID=330000000&USERID=U1001&PT_SIGN_STR=SIG&ACC_NO=6222001&TRANS_DIR=0&BILL_FLAG=1"
         "&PROID=P3&BUY_CUR_TYPE=27&SELL_CUR_TYPE=14&CHANGED_AMOUNT=1000&SUB_ACC=S9&CONTRACT_NO=C77"
         "&TRANS_PASSWD=123456"},
        {"order valid until the day after tomorrow, no stop-loss rate",
         [today](auto &t) {
             TDelegate d(Settings, nullptr);
             t.fillTrade(d);
             d.SellAmount = 500;
             d.QuotePrice = 7.7985;
             d.ShutRate = 0;
             d.BeginDate = today;
             d.EndDate = today + 2;
             return TransactionUrls::Delegate(*Settings, d);
         },
         "320200&SKEY=SK1&USERID=U1001&BRANCHID=330000000&TRANS_PASSWD=123456&ACC_NO=6222001&SUB_ACC=6222001"
         "&BUY_CUR_TYPE=27&QUOTEPRICE=7.7985&SHUTRATE=&VLAIDDAY=3&CHANGED_AMOUNT=500&TRANS_DIR=1&BILL_FLAG=1"
         "&SELL_CUR_TYPE=14&PAGEID=7"},
        {"fixed-term order valid today only",
         [](auto &t) {
             TDelegate d(Settings, nullptr);
             t.fillTrade(d);
             d.IsFixedTerm = true;
             d.SellAmount = 500;
             d.QuotePrice = 0;
             d.ShutRate = 7.7;
             return TransactionUrls::Delegate(*Settings, d);
         },
         "321002&SKEY=SK1&BRANCHID=330000000&USERID=U1001&ACC_NO=6222001&SUB_ACC=S9&TRANS_DIR=1&BILL_FLAG=1"
         "&BUY_CUR_TYPE=27&PROID=P3&CHANGED_AMOUNT=500&QUOTEPRICE=&SHUTRATE=7.7&VLAIDDAY=1&TRANS_PASSWD=123456"},
        {"appended order",
         [](auto &t) {
             TDelegateOpponent d(Settings, nullptr);
             t.fillTrade(d);
             d.ContractNo = d.SignStr = QStringLiteral("C55");
             d.QuotePrice = 7.8;
             d.ShutRate = 7.7;
             return TransactionUrls::DelegateOpponent(*Settings, d);
         },
         "321104&SKEY=SK1&BRANCHID=330000000&USERID=U1001&TRANS_PASSWD=123456&CONTRACT_NO1=C55&NETBANKNO=C55"
         "&ACC_NO=6222001&BUY_CUR_TYPE=27&QUOTEPRICE=7.8&SHUTRATE=7.7&VLAIDDAY=1&PAGEID=7"},
        {"fixed-term appended order sends the two rates the other way round",
         [](auto &t) {
             TDelegateOpponent d(Settings, nullptr);
             t.fillTrade(d);
             d.IsFixedTerm = true;
             d.ContractNo = d.SignStr = QStringLiteral("C55");
             d.QuotePrice = 7.8;
             d.ShutRate = 7.7;
             return TransactionUrls::DelegateOpponent(*Settings, d);
         },
         "321204&SKEY=SK1&BRANCHID=330000000&USERID=U1001&ACC_NO=6222001&CONTRACT_NO1=C55&BUY_CUR_TYPE=27"
         "&QUOTEPRICE=7.7&SHUTRATE=7.8&PROID=P3&VLAIDDAY=1&TRANS_PASSWD=123456&NETBANKNO=C55"},
        {"cancel",
         [](auto &t) {
             TDelegateCancel c(Settings, &t.card());
             c.ContractNo = QStringLiteral("C55");
             c.TransPassword = QStringLiteral("123456");
             return TransactionUrls::DelegateCancel(*Settings, c);
         },
         "320400&SKEY=SK1&BRANCHID=330000000&USERID=U1001&CONTRACT_NO=C55&ACC_NO=6222001&TRANS_PASSWD=123456"},
        {"single contract",
         [](auto &t) {
             TBargainingHistory h(Settings, &t.card());
             h.ContractNo = QStringLiteral("C55");
             h.TransFlag = 1;
             return TransactionUrls::SingleContract(*Settings, h);
         },
         "320700&SKEY=SK1&BRANCHID=330000000&USERID=U1001&ACC_NO=6222001&CONTRACT_NO=C55&TRANS_FLAG=1"},
        {"deal list page",
         [](auto &t) {
             return TransactionUrls::DealList(*Settings, t.card(), day(2007, 8, 1), day(2007, 8, 20), 2, 0);
         },
         "320600&SKEY=SK1&BRANCHID=330000000&USERID=U1001&ACC_NO=6222001&STARTDATE=20070801&ENDDATE=20070820&PAGE=2"
         "&TRANS_FLAG=0"},
        {"order list page",
         [](auto &t) {
             return TransactionUrls::DealList(*Settings, t.card(), day(2007, 8, 1), day(2007, 8, 1), 1, 1);
         },
         "320800&SKEY=SK1&BRANCHID=330000000&USERID=U1001&ACC_NO=6222001&STARTDATE=20070801&ENDDATE=20070801&PAGE=1"
         "&TRANS_FLAG=1"},
    };
    for (const UrlCase &c : cases) {
        card().AccountType = QStringLiteral("01");
        EXPECT_EQ(c.build(*this), kBase + QLatin1String(c.expected)) << c.name;
    }
}

TEST_F(TransactionUrlsTest, CertificateChoosesTheBaseAndNothingElse)
{
    const QString plain = TransactionUrls::Balance(*Settings, card());
    Settings->UseCert = true;
    const QString withCert = TransactionUrls::Balance(*Settings, card());
    EXPECT_TRUE(plain.startsWith(QStringLiteral("http://bank.test/app/vodMain?")));
    EXPECT_TRUE(withCert.startsWith(QStringLiteral("https://bank.test/app/vodMain?")));
    EXPECT_EQ(plain.mid(plain.indexOf(QLatin1Char('?'))), withCert.mid(withCert.indexOf(QLatin1Char('?'))));
}

TEST_F(TransactionUrlsTest, ValuesCannotInjectOrCutParameters)
{
    TDelegateCancel c(Settings, &card());
    c.ContractNo = QStringLiteral("C55");
    c.TransPassword = QStringLiteral("a&b=c+d#e%f g");
    EXPECT_TRUE(TransactionUrls::DelegateCancel(*Settings, c).endsWith(QStringLiteral("&TRANS_PASSWD=a%26b%3Dc%2Bd%23e%25f%20g")));

    // A nickname outside ASCII goes as its GBK bytes.
    const QString login = TransactionUrls::Login(*Settings, QStringLiteral("美元 A"), QStringLiteral("P"),
                                                 QStringLiteral("1"), QStringLiteral("D"));
    EXPECT_TRUE(login.contains(QStringLiteral("&USERID=%C3%C0%D4%AA%20A&"))) << login;
    // The bank's codes stay as they are.
    EXPECT_EQ(BankQuery::EncodeValue(QStringLiteral("AZaz09-._~")), QByteArray("AZaz09-._~"));
}

TEST_F(TransactionUrlsTest, ExtraTradePairsAreKeptApartFromTheTrade)
{
    struct {
        const char *extra;
        const char *sent;
    } cases[] = {
        {"", ""},
        {"&F1=x y&F2=#3", "&F1=x%20y&F2=%233"},
        {"F1=1", "&F1=1"},              // a missing "&" would glue it to the amount
        {"&F1=50%25&F2=%zz", "&F1=50%25&F2=%25zz"},
        {"&F1=+", "&F1=%2B"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(BankQuery::EncodeExtraParams(QString::fromUtf8(c.extra)), QByteArray(c.sent)) << c.extra;

    QString pairs;
    BankQuery::AppendPair(pairs, QStringLiteral("MEMO"), QStringLiteral("a&TRANS_PASSWD=1"));
    BankQuery::AppendPair(pairs, QStringLiteral("N"), QStringLiteral("人"));
    EXPECT_EQ(pairs, QStringLiteral("&MEMO=a%26TRANS_PASSWD%3D1&N=%C8%CB"));
    EXPECT_EQ(BankQuery::EncodeExtraParams(pairs), pairs.toLatin1());
}

TEST_F(TransactionUrlsTest, AmountsAndRates)
{
    const std::pair<double, const char *> amounts[] = {
        {1000, "1000"}, {12.34567, "12.3457"}, {1234.5, "1234.5"}, {0.0125, "0.0125"},
        {0.00005, "0"}, {0.00015, "0.0002"},   {2.00025, "2.0002"}, {100.10, "100.1"},
    };
    for (const auto &[v, s] : amounts)
        EXPECT_EQ(BankQuery::Amount(v), QLatin1String(s)) << v;
    EXPECT_THROW(BankQuery::Amount(std::numeric_limits<double>::quiet_NaN()), EResponseError);
    EXPECT_THROW(BankQuery::Amount(1e300), EResponseError);

    const std::pair<double, const char *> rates[] = {
        {0, ""}, {-1, ""}, {7.7985, "7.7985"}, {1e-5, "1E-5"}, {123.456, "123.456"},
        {std::numeric_limits<double>::infinity(), ""}, {1.5e20, "1.5E20"},
    };
    for (const auto &[v, s] : rates)
        EXPECT_EQ(BankQuery::Rate(v), QLatin1String(s)) << v;
}

TEST_F(TransactionUrlsTest, MissingOwnerOrUserIsRefusedBeforeSending)
{
    TDelegateCancel c(Settings, nullptr);
    EXPECT_THROW(TransactionUrls::DelegateCancel(*Settings, c), EResponseError);
    TAccount orphan(Settings, nullptr);
    EXPECT_THROW(TransactionUrls::Balance(*Settings, orphan), EResponseError);
}
