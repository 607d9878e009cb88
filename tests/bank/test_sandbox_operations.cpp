// Every bank operation against the sandbox bank: the login with its page,
// picture and session cookie, the account queries, instant and fixed-term
// trades, orders, appended orders and cancels, the deal lists with their
// paging and pacing, the keep-alives, and the bank's pages and injected
// faults.

#include "BankCookieJar.h"
#include "BankGateway.h"
#include "BankQuery.h"
#include "BankNetwork.h"
#include "BankTestSupport.h"
#include "BranchDirectory.h"
#include "DiagnosticLog.h"
#include "ForexErrors.h"
#include "SandboxProcess.h"
#include "TAccount.h"
#include "TBargaining.h"
#include "TBargainingHistory.h"
#include "TCurrency.h"
#include "TCurrencyList.h"
#include "TGetData.h"
#include "TInCom.h"
#include "TSettings.h"
#include "TUser.h"
#include "TWebDownloader.h"
#include "TransactionGuard.h"
#include "platform/Formats.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QJsonArray>
#include <QRegularExpression>

namespace {

// What the bank's login page script makes of the password and the form.
QString protectPassword(const QString &nonce, const QString &password)
{
    const QByteArray plain = password.toUtf8();
    QByteArray stream;
    for (int block = 0; stream.size() < plain.size(); ++block)
        stream += QCryptographicHash::hash((nonce + QLatin1Char('#') + QString::number(block)).toUtf8(),
                                           QCryptographicHash::Sha256);
    QByteArray out(plain.size(), '\0');
    for (qsizetype i = 0; i < plain.size(); ++i)
        out[i] = char(plain[i] ^ stream[i]);
    return QString::fromLatin1(out.toHex().toUpper());
}

QString digestOf(const QString &nonce, const QString &loginNo, const QString &protectedPassword, const QString &code)
{
    const QString text = nonce + QLatin1Char('|') + loginNo + QLatin1Char('|') + protectedPassword + QLatin1Char('|') + code;
    return QString::fromLatin1(QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toHex());
}

qint64 wallMs(const SandboxProcess::LogEntry &e)
{
    return QDateTime::fromString(e.wallTime, Qt::ISODateWithMs).toMSecsSinceEpoch();
}

class SandboxTest : public SandboxBankTest
{
public:

    // The login page, its picture and the login transaction, as the login
    // window does them; then the account list.
    TUser &login(const QString &loginNo, const QString &password, const QString &code = QString())
    {
        TWebDownloader page;
        page.Download(bank->loginUrl().toString());
        const QString html = page.GetPageText();
        const auto nonce = QRegularExpression(QStringLiteral("PAGE_NONCE = \"([0-9a-f]+)\"")).match(html);
        const auto picture = QRegularExpression(QStringLiteral("fujiama\"[^>]*src=\"([^\"]+)\"")).match(html);
        EXPECT_TRUE(nonce.hasMatch() && picture.hasMatch()) << html.left(300).toStdString();
        TGetData::FetchToFile(picture.captured(1), workDir() + QStringLiteral("tmp.jpg"));
        const QString typed = code.isEmpty() ? bank->lastVerificationCode() : code;
        const QString protectedPassword = protectPassword(nonce.captured(1), password);
        CurrentUser = TGetData::Login(loginNo, protectedPassword, typed,
                                      digestOf(nonce.captured(1), loginNo, protectedPassword, typed), *Settings);
        CurrentUser->Accounts.Clear();
        TGetData::LoadAccounts(*CurrentUser);
        return *CurrentUser;
    }

    TUser &loginZhangWei() { return login(QStringLiteral("zhangwei"), QStringLiteral("123456")); }

    TAccount &cardNo(const char *accountNo)
    {
        for (const auto &a : CurrentUser->Accounts)
            if (a->AccountNo == QLatin1String(accountNo))
                return *a;
        ADD_FAILURE() << "no card " << accountNo;
        return *CurrentUser->Accounts.Item(0);
    }

    // Chooses the card as the account choice does.
    TAccount &choose(const char *accountNo)
    {
        TAccount &c = cardNo(accountNo);
        BranchDirectory::ChooseForBranch(c.BranchId);
        CurrentAccount = &c;
        for (TBargainingBase *r : std::initializer_list<TBargainingBase *>{Bargaining, Delegate, DelegateOpponent,
                                                                          DelegateCancel, BargainingHistory,
                                                                          BargainingToday})
            r->Owner = &c;
        return c;
    }

    QString failureOf(const std::function<void()> &f)
    {
        try {
            f();
        } catch (const EResponseError &e) {
            return e.message();
        }
        return QStringLiteral("(no failure)");
    }

    QList<SandboxProcess::LogEntry> transactions(qint64 since = 0)
    {
        QList<SandboxProcess::LogEntry> out;
        for (const auto &e : bank->requestLog(since))
            if (!e.txcode.isEmpty())
                out << e;
        return out;
    }

    qint64 lastSeq()
    {
        const auto log = bank->requestLog();
        return log.isEmpty() ? 0 : log.last().seq;
    }

    TCurrency *cur(const char *code) { return CurrencyList->FindByCode(QLatin1String(code)); }

    static constexpr const char *kBeijingCard = "6222020200012345678";
    static constexpr const char *kShanghaiCard = "6222021234567000016";
    static constexpr const char *kShenzhenCard = "6222031234567890442";
};

} // namespace

TEST_F(SandboxTest, LoginAndAccountList)
{
    TUser &u = loginZhangWei();
    EXPECT_EQ(u.UserId, QStringLiteral("1000000001"));
    EXPECT_EQ(u.UserName, QStringLiteral("张伟"));
    EXPECT_FALSE(u.Cookies.isEmpty());
    EXPECT_FALSE(Settings->SessionKey.isEmpty());
    ASSERT_EQ(u.Accounts.Count(), 4);
    const char *types[] = {"12", "03", "91", "16"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(u.Accounts.Item(i)->AccountType, QLatin1String(types[i])) << i;
    EXPECT_EQ(cardNo(kShanghaiCard).BranchId, QStringLiteral("310104001"));
    EXPECT_TRUE(cardNo(kShanghaiCard).ForexEnabled);
    EXPECT_EQ(u.Accounts.Item(0)->User, &u);
    // Every transaction after the login carried the page's session cookie.
    for (const auto &e : transactions())
        EXPECT_EQ(e.outcome, QStringLiteral("answer")) << e.txcode.toStdString();
}

TEST_F(SandboxTest, RefusedLogins)
{
    EXPECT_EQ(failureOf([&] { login(QStringLiteral("zhangwei"), QStringLiteral("123456"), QStringLiteral("x9")); }),
              QStringLiteral("附加码错误,请检查您的输入."));
    EXPECT_EQ(failureOf([&] { login(QStringLiteral("zhangwei"), QStringLiteral("654321")); }),
              QStringLiteral("信息提示\r\r证件号码/昵称或登录密码错误"));
    EXPECT_TRUE(failureOf([&] { login(QStringLiteral("wangqiang"), QStringLiteral("111111")); })
                    .contains(QStringLiteral("锁定")));
    // A login that brings back no answer document is logged.
    ASSERT_TRUE(bank->injectFault(QStringLiteral("100101"), SandboxProcess::Fault::Html, QStringLiteral("server")));
    EXPECT_EQ(failureOf([&] { loginZhangWei(); }), QStringLiteral("网络通讯故障，请稍后再试！"));
    EXPECT_TRUE(diagnosticLog().contains(QStringLiteral("验证身份出错")));
}

TEST_F(SandboxTest, AccountListFailureIsOnlyLogged)
{
    // ASCII text: the fixture sends the text as UTF-8, the control path reads GBK.
    ASSERT_TRUE(bank->injectFault(QStringLiteral("310102"), SandboxProcess::Fault::Error, QStringLiteral("list paused")));
    TUser &u = loginZhangWei();
    EXPECT_EQ(u.Accounts.Count(), 0);
    EXPECT_TRUE(diagnosticLog().contains(QStringLiteral("Error Response:")));
    EXPECT_TRUE(diagnosticLog().contains(QStringLiteral("list paused")));
}

TEST_F(SandboxTest, AccountQueries)
{
    loginZhangWei();
    TAccount &beijing = choose(kBeijingCard);
    TGetData::LoadSubAccounts(beijing);
    ASSERT_EQ(beijing.SubAccounts.Count(), 6);
    const TAccount &usd = *beijing.SubAccounts.Item(1);
    EXPECT_EQ(usd.Currency->Code, QStringLiteral("14"));
    EXPECT_EQ(usd.ChaoHui, QStringLiteral("1"));
    EXPECT_EQ(usd.BranchId, beijing.BranchId);
    EXPECT_GT(usd.Balance, 0);

    // Type 16 goes as 310800 with the full branch identifier.
    TAccount &shanghai = cardNo(kShanghaiCard);
    TGetData::LoadSubAccounts(shanghai);
    EXPECT_EQ(shanghai.SubAccounts.Count(), 4);
    TGetData::UpdateSubAccounts(shanghai);

    TAccount &plain = cardNo("0200001234567890");
    TGetData::LoadBalance(plain);
    EXPECT_DOUBLE_EQ(plain.Balance, 120000);
    EXPECT_DOUBLE_EQ(plain.UseBalance, 118000);
    EXPECT_DOUBLE_EQ(plain.FrozenBalance, 2000);
    for (const auto &e : transactions())
        EXPECT_EQ(e.outcome, QStringLiteral("answer")) << e.txcode.toStdString();
}

TEST_F(SandboxTest, StatementPagesArePacedAndChained)
{
    loginZhangWei();
    TAccount &beijing = choose(kBeijingCard);
    TGetData::LoadSubAccounts(beijing);
    TInCom q(Settings);
    q.Account = beijing.SubAccounts.Item(1); // 27 lines, ten a page
    q.EndDate = Formats::today();
    q.BeginDate = q.EndDate - 90;
    const qint64 since = lastSeq();
    TGetData::LoadStatement(q);
    EXPECT_EQ(q.Details.Count(), 27);
    const auto log = transactions(since);
    ASSERT_EQ(log.size(), 3);
    for (qsizetype i = 0; i < log.size(); ++i) {
        EXPECT_EQ(log[i].outcome, QStringLiteral("answer")) << i; // A_STR was passed on
        if (i > 0) {
            EXPECT_GE(wallMs(log[i]) - wallMs(log[i - 1]), kPageWaitMs - 5) << i;
        }
    }
    EXPECT_TRUE(log[2].query.contains("&PAGE=3&"));
    EXPECT_TRUE(log[2].query.contains("&CURRENT_PAGE=2"));
    const TInComDetail &first = *q.Details.Item(0);
    EXPECT_EQ(first.CurrencyCode, QStringLiteral("14"));
    EXPECT_NE(first.ChangeDate, Formats::kMissingDate);
}

TEST_F(SandboxTest, InstantTrade)
{
    loginZhangWei();
    TAccount &beijing = choose(kBeijingCard);
    TBargaining &t = *Bargaining;
    t.TransPassword = QStringLiteral("888888");
    t.SellCurrency = cur("14");
    t.BuyCurrency = cur("27");
    t.BillFlag = QStringLiteral("1");
    t.TransDir = QStringLiteral("1");
    t.SellAmount = 100;
    // A defined field whose value looks like a parameter stays one value.
    BankQuery::AppendPair(Settings->ExtraTransParams, QStringLiteral("MEMO"), QStringLiteral("a b&TRANS_PASSWD=1"));

    t.Step = QStringLiteral("0001");
    t.Execute();
    EXPECT_GT(t.Ratio, 140);
    EXPECT_FALSE(t.SignStr.isEmpty());
    EXPECT_FALSE(t.ContractNo.isEmpty());
    t.Step = QStringLiteral("0003");
    t.Execute();
    EXPECT_DOUBLE_EQ(t.SellAmount, 100);
    EXPECT_NEAR(t.BuyAmount, 100 * t.Ratio, 1);
    EXPECT_FALSE(t.ContractNo.isEmpty());

    // Giving the quote up sends nothing.
    const qint64 since = lastSeq();
    t.Step = QStringLiteral("0002");
    t.Execute();
    EXPECT_TRUE(transactions(since).isEmpty());

    TGetData::LoadSubAccounts(beijing);
    EXPECT_DOUBLE_EQ(beijing.SubAccounts.Item(1)->Balance, 28221.0 - 100);
    for (const auto &e : transactions())
        EXPECT_EQ(e.outcome, QStringLiteral("answer")) << e.txcode.toStdString();
}

TEST_F(SandboxTest, FixedTermTrade)
{
    loginZhangWei();
    choose(kShanghaiCard);
    TBargaining &t = *Bargaining;
    t.TransPassword = QStringLiteral("888888");
    t.SubAcc = QStringLiteral("00002"); // the one-year USD deposit
    t.ProId = QStringLiteral("03");
    t.SellCurrency = cur("14");
    t.BuyCurrency = cur("27");
    t.BillFlag = QStringLiteral("1");
    t.TransDir = QStringLiteral("1");
    t.SellAmount = 100;
    t.IsFixedTerm = true;
    Settings->ExtraTransParams = QStringLiteral("&NOT_FOR_FIXED=1");
    t.Step = QStringLiteral("0001");
    t.Execute();
    EXPECT_FALSE(t.IsFixedTerm); // cleared after each send
    EXPECT_GT(t.Ratio, 0);
    t.IsFixedTerm = true;
    t.Step = QStringLiteral("0003");
    t.Execute();
    const auto log = transactions();
    ASSERT_GE(log.size(), 2);
    EXPECT_EQ(log[log.size() - 2].txcode, QStringLiteral("320902"));
    EXPECT_EQ(log.last().txcode, QStringLiteral("320903"));
    EXPECT_EQ(log.last().outcome, QStringLiteral("answer"));
    EXPECT_FALSE(log.last().query.contains("NOT_FOR_FIXED"));
}

TEST_F(SandboxTest, OrdersAppendedOrdersAndCancels)
{
    loginZhangWei();
    choose(kBeijingCard);
    TDelegate &o = *Delegate;
    o.TransPassword = QStringLiteral("888888");
    o.SellCurrency = cur("14");
    o.BuyCurrency = cur("27");
    o.BillFlag = QStringLiteral("1");
    o.TransDir = QStringLiteral("1");
    o.SellAmount = 1000;
    o.QuotePrice = 152.5;
    o.ShutRate = 0;
    o.BeginDate = Formats::today();
    o.EndDate = o.BeginDate + 2;
    o.Execute();
    const QString placed = o.ContractNo;
    EXPECT_FALSE(placed.isEmpty());
    EXPECT_EQ(o.SignStr, placed);

    TDelegateOpponent &a = *DelegateOpponent;
    a.TransPassword = QStringLiteral("888888");
    a.ContractNo = placed;
    a.BuyCurrency = cur("14");
    a.QuotePrice = 148;
    a.ShutRate = 0;
    a.BeginDate = a.EndDate = Formats::today();
    a.Execute();
    const QString appended = a.ContractNo;
    EXPECT_NE(appended, placed);
    EXPECT_EQ(a.SignStr, appended);

    TBargainingToday &today = *BargainingToday;
    today.TransType = QStringLiteral("3116");
    today.Details.Clear();
    today.Execute();
    const TBargainingDetail *d = today.FindDetail(placed);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->StatusCode, QStringLiteral("4"));
    ASSERT_NE(today.FindDetail(appended), nullptr);
    EXPECT_EQ(today.FindDetail(appended)->StatusCode, QStringLiteral("6"));

    TDelegateCancel &c = *DelegateCancel;
    c.TransPassword = QStringLiteral("888888");
    c.ContractNo = appended;
    c.Execute();
    today.Details.Clear();
    today.Execute();
    ASSERT_NE(today.FindDetail(appended), nullptr);
    EXPECT_EQ(today.FindDetail(appended)->StatusCode, QStringLiteral("2")); // cancelled
    EXPECT_EQ(failureOf([&] { c.Execute(); }).left(5), QStringLiteral("信息提示\r"));

    // The bank executes the order: it is a deal of today.
    ASSERT_TRUE(bank->executeOrder(placed, QStringLiteral("152.5000")));
    today.TransType = QStringLiteral("3115");
    today.Details.Clear();
    today.Execute();
    ASSERT_NE(today.FindDetail(placed), nullptr);
    EXPECT_EQ(today.FindDetail(placed)->StatusCode, QStringLiteral("1"));
    for (const auto &e : transactions()) {
        if (e.txcode != QLatin1String("320400") || e.outcome != QLatin1String("error")) {
            EXPECT_EQ(e.outcome, QStringLiteral("answer")) << e.txcode.toStdString();
        }
    }
}

TEST_F(SandboxTest, DealQueryPagesArePaced)
{
    loginZhangWei();
    choose(kBeijingCard);
    TBargainingHistory &h = *BargainingHistory;
    h.TransType = QStringLiteral("3115");
    h.ContractNo.clear();
    h.EndDate = Formats::today();
    h.BeginDate = h.EndDate - 70;
    h.Details.Clear();
    const qint64 since = lastSeq();
    const qint64 started = QDateTime::currentMSecsSinceEpoch();
    h.Execute();
    const auto log = transactions(since);
    ASSERT_EQ(log.size(), 3); // 29 deals, ten a page
    EXPECT_GE(wallMs(log[0]) - started, kPageWaitMs - 5);
    for (qsizetype i = 1; i < log.size(); ++i)
        EXPECT_GE(wallMs(log[i]) - wallMs(log[i - 1]), kPageWaitMs - 5) << i;
    ASSERT_EQ(h.Details.Count(), 29); // 27 instant deals and 2 executed orders
    for (int i = 1; i < h.Details.Count(); ++i)
        EXPECT_GE(h.Details.Item(i - 1)->ContractTime, h.Details.Item(i)->ContractTime) << i; // newest first
    // Beijing gives the deal rate in its bank-defined field.
    for (const auto &d : h.Details) {
        EXPECT_GT(d->Ratio, 0) << d->ContractNo.toStdString();
        EXPECT_EQ(d->StatusCode, QStringLiteral("1"));
    }
}

TEST_F(SandboxTest, TodaysListsPaceOnlyTheOrders)
{
    constexpr int kWait = 700;
    BankTiming::Override slower(kDownloadLimitMs, kStallLimitMs, kWait);
    loginZhangWei();
    choose(kBeijingCard);
    ASSERT_TRUE(bank->configure(QStringLiteral("deal_page_size"), 1));
    TBargainingToday &today = *BargainingToday;
    today.TransType = QStringLiteral("3115"); // two deals today
    qint64 since = lastSeq();
    today.Execute();
    auto log = transactions(since);
    ASSERT_EQ(log.size(), 2);
    EXPECT_LT(wallMs(log[1]) - wallMs(log[0]), kWait);
    EXPECT_EQ(today.Details.Count(), 2);

    today.TransType = QStringLiteral("3116");
    today.Details.Clear();
    since = lastSeq();
    today.Execute();
    log = transactions(since);
    ASSERT_GE(log.size(), 2);
    for (qsizetype i = 1; i < log.size(); ++i)
        EXPECT_GE(wallMs(log[i]) - wallMs(log[i - 1]), kWait - 5) << i;
}

TEST_F(SandboxTest, ShenzhenAsksForOneContract)
{
    loginZhangWei();
    choose(kShenzhenCard);
    TBargainingHistory &h = *BargainingHistory;
    h.ContractNo = QStringLiteral("240000000201");
    h.TransFlag = 1;
    h.Details.Clear();
    const qint64 since = lastSeq();
    h.Execute();
    const auto log = transactions(since);
    ASSERT_EQ(log.size(), 1);
    EXPECT_EQ(log[0].txcode, QStringLiteral("320700"));
    ASSERT_EQ(h.Details.Count(), 1);
    EXPECT_EQ(h.Details.Item(0)->ContractNo, QStringLiteral("240000000201"));
    EXPECT_EQ(h.Details.Item(0)->StatusCode, QStringLiteral("4"));
    h.ContractNo.clear();
}

TEST_F(SandboxTest, KeepAlives)
{
    loginZhangWei();
    TAccount &beijing = choose(kBeijingCard);
    Settings->LastRequestTick = 11;
    const qint64 since = lastSeq();
    TGetData::KeepAliveOrders(beijing);
    TGetData::KeepAliveSubAccounts(beijing);
    pumpEvents(400);
    const auto log = transactions(since);
    ASSERT_EQ(log.size(), 2);
    QStringList codes;
    for (const auto &e : log) {
        codes << e.txcode;
        EXPECT_EQ(e.outcome, QStringLiteral("answer")) << e.txcode.toStdString();
    }
    codes.sort();
    EXPECT_EQ(codes, QStringList({QStringLiteral("310700"), QStringLiteral("320800")}));
    EXPECT_EQ(Settings->LastRequestTick, 11u);
    EXPECT_FALSE(TGetData::IsPageUnavailable());
}

TEST_F(SandboxTest, BankPagesAndInjectedFaults)
{
    loginZhangWei();
    TAccount &plain = cardNo("0200001234567890");
    TGetData::LoadBalance(plain);
    using F = SandboxProcess::Fault;
    const QString unavailable = QStringLiteral("返回信息为服务器暂时不能访问,原因可能是网银服务器忙或网络故障,请稍后再试!");
    const QString network = QStringLiteral("网络通讯故障，请稍后再试！");
    const struct {
        F kind;
        const char *detail;
        int delayMs;
        QString message;
    } cases[] = {
        {F::Error, "query paused", 0, QStringLiteral("信息提示\r\rquery paused")},
        {F::Html, "interval", 0, QStringLiteral("用户两次提交时间间隔太短，请稍后提交！")},
        {F::Html, "timeout", 0, QStringLiteral("用户空闲超时自动退出,请关闭软件,重新登录使用.")},
        {F::Html, "code", 0, QStringLiteral("附加码错误,请检查您的输入.")},
        {F::Html, "unavailable", 0, unavailable},
        {F::Html, "server", 0, network},
        {F::Malformed, "", 0, network},
        {F::Empty, "", 0, network},
        {F::Delay, "", kDownloadLimitMs + 1500, unavailable}, // the answer comes too late
        {F::Drop, "", 0, unavailable},
    };
    for (const auto &c : cases) {
        plain.Balance = plain.UseBalance = plain.FrozenBalance = 7;
        ASSERT_TRUE(bank->injectFault(QStringLiteral("310100"), c.kind, QString::fromUtf8(c.detail),
                                      c.delayMs > 0 ? c.delayMs : 95000))
            << bank->errorString().toStdString();
        EXPECT_EQ(failureOf([&] { TGetData::LoadBalance(plain); }), c.message) << c.detail << int(c.kind);
        EXPECT_DOUBLE_EQ(plain.Balance, 7) << c.detail;
        EXPECT_FALSE(TransactionGuard::Busy());
    }
    // After every fault the next transaction works again.
    TGetData::LoadBalance(plain);
    EXPECT_DOUBLE_EQ(plain.Balance, 120000);
}

TEST_F(SandboxTest, BankRefusalsOfTheSession)
{
    loginZhangWei();
    TAccount &beijing = choose(kBeijingCard);
    ASSERT_TRUE(bank->configure(QStringLiteral("submit_interval_ms"), 60000));
    TBargaining &t = *Bargaining;
    t.TransPassword = QStringLiteral("888888");
    t.SellCurrency = cur("14");
    t.BuyCurrency = cur("27");
    t.BillFlag = QStringLiteral("1");
    t.TransDir = QStringLiteral("1");
    t.SellAmount = 10;
    t.Step = QStringLiteral("0001");
    t.Execute();
    EXPECT_EQ(failureOf([&] { t.Execute(); }), QStringLiteral("用户两次提交时间间隔太短，请稍后提交！"));
    t.TransPassword = QStringLiteral("12&3 4");
    ASSERT_TRUE(bank->configure(QStringLiteral("submit_interval_ms"), 0));
    EXPECT_EQ(failureOf([&] { t.Execute(); }), QStringLiteral("信息提示\r\r交易密码错误"));

    ASSERT_TRUE(bank->advanceClock(3600));
    EXPECT_EQ(failureOf([&] { TGetData::LoadBalance(beijing); }),
              QStringLiteral("用户空闲超时自动退出,请关闭软件,重新登录使用."));
}
