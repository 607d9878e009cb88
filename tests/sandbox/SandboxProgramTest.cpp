// The program over real HTTP: started and stopped by the fixture, keep-alive,
// requests the server library itself refuses, faults that hold or drop the
// connection, the request log and the control path.

#include "LoginPage.h"
#include "SandboxProcess.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QRegularExpression>
#include <QStringDecoder>

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

struct Login
{
    QByteArray cookie;
    QString skey;
    QString userId;
};

QString gbk(const QByteArray &bytes)
{
    QStringDecoder d("GBK");
    return d.decode(bytes);
}

// Logs in the way the page's script would, computing its values here.
Login login(const SandboxProcess &bank, const QString &loginNumber = QStringLiteral("zhangwei"),
            const QString &password = QStringLiteral("123456"))
{
    Login l;
    const SandboxProcess::HttpResult page = bank.get(bank.loginUrl().path().toLatin1());
    l.cookie = page.cookies().value(0);
    const QString nonce = QRegularExpression(QStringLiteral("PAGE_NONCE = \"([0-9a-f]+)\"")).match(gbk(page.body)).captured(1);
    const QString code = bank.lastVerificationCode();
    const QString protectedPassword = LoginPage::protectPassword(nonce, password);
    const SandboxProcess::HttpResult r = bank.get(
        QStringLiteral("/app/vodMain?PT_STYLE=9&TXCODE=100101&USERID=%1&LOGPASS=%2&PT_CONFIRM_PWD=%3&VOD_PWD_MAP_GIGEST=%4")
            .arg(loginNumber, protectedPassword, code, LoginPage::digest(nonce, loginNumber, protectedPassword, code))
            .toLatin1(),
        l.cookie);
    const QString text = gbk(r.body);
    l.skey = QRegularExpression(QStringLiteral("<SKEY>([^<]*)</SKEY>")).match(text).captured(1);
    l.userId = QRegularExpression(QStringLiteral("<USERID>([^<]*)</USERID>")).match(text).captured(1);
    return l;
}

const char kCard[] = "6222020200012345678";
// A hold short enough for a test, long enough to measure.
constexpr int kShortDelayMs = 400;

QByteArray orderQuery(const Login &l)
{
    return QStringLiteral("/app/vodMain?PT_STYLE=9&TXCODE=320200&SKEY=%1&USERID=%2&BRANCHID=110000000&TRANS_PASSWD=888888"
                          "&ACC_NO=%3&SUB_ACC=%3&BUY_CUR_TYPE=27&QUOTEPRICE=152&SHUTRATE=&VLAIDDAY=2&CHANGED_AMOUNT=100"
                          "&TRANS_DIR=1&BILL_FLAG=1&SELL_CUR_TYPE=14")
        .arg(l.skey, l.userId, QLatin1String(kCard))
        .toLatin1();
}

int openOrders(const SandboxProcess &bank)
{
    int n = 0;
    for (const QJsonValue &c : bank.customerState(QStringLiteral("zhangwei")).value(QStringLiteral("contracts")).toArray())
        n += c.toObject().value(QStringLiteral("status")).toString() == QLatin1String("0");
    return n;
}

class SandboxProgramTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        bank = new SandboxProcess();
        ASSERT_TRUE(bank->start()) << qPrintable(bank->errorString());
    }
    static void TearDownTestSuite()
    {
        delete bank;
        bank = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(bank->reset(QDateTime(QDate(2024, 3, 15), QTime(10, 0)), true)) << qPrintable(bank->errorString()); }

    static SandboxProcess *bank;
};

SandboxProcess *SandboxProgramTest::bank = nullptr;

} // namespace

TEST_F(SandboxProgramTest, TwoSandboxesRunSideBySideAndStop)
{
    SandboxProcess other;
    ASSERT_TRUE(other.start()) << qPrintable(other.errorString());
    EXPECT_NE(other.baseUrl().port(), bank->baseUrl().port());
    EXPECT_EQ(other.transactionUrl().toString(), other.baseUrl().toString() + QStringLiteral("/app/vodMain"));
    EXPECT_EQ(other.loginUrl().path(), QStringLiteral("/app/vodLogin"));
    other.stop();
    EXPECT_FALSE(other.isRunning());
    EXPECT_TRUE(bank->control("info").value(QStringLiteral("ok")).toBool());
}

TEST_F(SandboxProgramTest, KeepsTheConnectionAliveAcrossRequests)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(quint16(bank->baseUrl().port()));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);
    for (int i = 0; i < 3; ++i) {
        const QByteArray request = "GET /__sandbox/clock HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
        ASSERT_EQ(::send(fd, request.constData(), size_t(request.size()), MSG_NOSIGNAL), request.size());
        QByteArray answer;
        qsizetype length = -1;
        while (length < 0 || answer.size() < answer.indexOf("\r\n\r\n") + 4 + length) {
            pollfd p{fd, POLLIN, 0};
            ASSERT_GT(::poll(&p, 1, SandboxProcess::requestTimeoutMs), 0);
            char buf[4096];
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            ASSERT_GT(n, 0) << "the connection closed after answer " << i;
            answer.append(buf, n);
            const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Content-Length: (\\d+)"))
                                                  .match(QString::fromLatin1(answer));
            if (m.hasMatch() && answer.contains("\r\n\r\n"))
                length = m.captured(1).toLongLong();
        }
        EXPECT_TRUE(answer.startsWith("HTTP/1.1 200")) << answer.left(40).constData();
        EXPECT_TRUE(answer.contains("\"frozen\":true"));
    }
    ::close(fd);
}

TEST_F(SandboxProgramTest, RequestsTheServerLibraryRefusesStillGetAnAnswer)
{
    const QJsonObject before = bank->customerState(QStringLiteral("zhangwei"));
    const SandboxProcess::HttpResult huge = bank->get("/app/vodMain?PT_STYLE=9&TXCODE=320200&X=" + QByteArray(20000, 'A'));
    EXPECT_GE(huge.status, 400);
    EXPECT_TRUE(gbk(huge.body).contains(QStringLiteral("<ERROR>")));
    const SandboxProcess::HttpResult raw = bank->get("/app/vodMain?PT_STYLE=9&TXCODE=\x81\xff&A=%%%");
    EXPECT_EQ(raw.status, 200);
    EXPECT_TRUE(gbk(raw.body).contains(QStringLiteral("<ERROR>")));
    const SandboxProcess::HttpResult nowhere = bank->get("/no/such/page");
    EXPECT_EQ(nowhere.status, 404);
    EXPECT_EQ(bank->customerState(QStringLiteral("zhangwei")), before);
}

TEST_F(SandboxProgramTest, DroppedConnectionAfterTheBankCarriedItOut)
{
    const Login l = login(*bank);
    ASSERT_FALSE(l.skey.isEmpty());
    const int before = openOrders(*bank);
    ASSERT_TRUE(bank->injectFault(QStringLiteral("320200"), SandboxProcess::Fault::Drop)) << qPrintable(bank->errorString());
    const SandboxProcess::HttpResult r = bank->get(orderQuery(l), l.cookie);
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.body.isEmpty());
    EXPECT_EQ(openOrders(*bank), before + 1);
    // The next order is answered again.
    EXPECT_TRUE(gbk(bank->get(orderQuery(l), l.cookie).body).contains(QStringLiteral("<CONTRCTNO>")));
}

TEST_F(SandboxProgramTest, HeldBackAnswerOutlastsTheClientWhileOthersAreServed)
{
    const Login l = login(*bank);
    ASSERT_TRUE(bank->injectFault(QStringLiteral("320200"), SandboxProcess::Fault::Delay, {}, kShortDelayMs));
    QElapsedTimer t;
    t.start();
    const SandboxProcess::HttpResult late = bank->get(orderQuery(l), l.cookie);
    EXPECT_GE(t.elapsed(), kShortDelayMs);
    EXPECT_EQ(late.status, 200);
    EXPECT_TRUE(gbk(late.body).contains(QStringLiteral("<CONTRCTNO>")));

    // Longer than the waiting side allows: it gives up, the bank carries on.
    ASSERT_TRUE(bank->injectFault(QStringLiteral("320200"), SandboxProcess::Fault::Delay, {}, 95000));
    const int before = openOrders(*bank);
    const int saved = SandboxProcess::requestTimeoutMs;
    SandboxProcess::requestTimeoutMs = 300;
    const SandboxProcess::HttpResult gaveUp = bank->get(orderQuery(l), l.cookie);
    SandboxProcess::requestTimeoutMs = saved;
    EXPECT_EQ(gaveUp.status, 0);
    EXPECT_EQ(openOrders(*bank), before + 1);
}

TEST_F(SandboxProgramTest, EmptyAndHtmlAnswers)
{
    ASSERT_TRUE(bank->injectFault(QStringLiteral("310102"), SandboxProcess::Fault::Empty));
    const SandboxProcess::HttpResult empty = bank->get("/app/vodMain?PT_STYLE=9&TXCODE=310102");
    EXPECT_EQ(empty.status, 200);
    EXPECT_TRUE(empty.body.isEmpty());
    ASSERT_TRUE(bank->injectFault(QStringLiteral("PICTURE"), SandboxProcess::Fault::Html, QStringLiteral("unavailable")));
    EXPECT_TRUE(gbk(bank->get("/app/fujiama.gif").body).contains(QStringLiteral("该页无法显示")));
    EXPECT_TRUE(bank->get("/app/fujiama.gif").body.startsWith("GIF89a"));
}

TEST_F(SandboxProgramTest, LogKeepsRawQueriesInOrderWithTimes)
{
    const QByteArray odd = "/app/vodMain?PT_STYLE=9&TXCODE=310600&ACC_NO=A+B&X=%41";
    bank->get("/app/vodLogin");
    bank->get(odd);
    bank->get("/app/vodMain?PT_STYLE=9&TXCODE=777777");
    bank->advanceClock(5);
    bank->get("/app/vodMain?PT_STYLE=9&TXCODE=310102");
    const QList<SandboxProcess::LogEntry> log = bank->requestLog();
    ASSERT_EQ(log.size(), 4);
    EXPECT_EQ(log[0].path, QStringLiteral("/app/vodLogin"));
    EXPECT_EQ(log[1].query, odd.mid(odd.indexOf('?') + 1));
    EXPECT_EQ(log[1].txcode, QStringLiteral("310600"));
    EXPECT_EQ(log[1].outcome, QStringLiteral("page")); // no session
    EXPECT_EQ(log[2].outcome, QStringLiteral("error"));
    EXPECT_EQ(log[1].bankTime, QStringLiteral("2024/03/15 10:00:00.000"));
    EXPECT_EQ(log[3].bankTime, QStringLiteral("2024/03/15 10:00:05.000"));
    EXPECT_LT(log[0].seq, log[3].seq);
    EXPECT_EQ(bank->requestLog(log[2].seq).size(), 1);
}

TEST_F(SandboxProgramTest, ResetAndClockControl)
{
    const Login l = login(*bank);
    bank->get(orderQuery(l), l.cookie);
    const int placed = openOrders(*bank);
    ASSERT_TRUE(bank->reset(QDateTime(QDate(2024, 3, 15), QTime(10, 0)), true));
    EXPECT_EQ(openOrders(*bank), placed - 1);
    EXPECT_TRUE(bank->requestLog().isEmpty());
    // The old session is gone with the reset.
    EXPECT_TRUE(gbk(bank->get(orderQuery(l), l.cookie).body).contains(QStringLiteral("用户空闲超时自动退出")));

    ASSERT_TRUE(bank->setClock(QDateTime(QDate(2024, 5, 1), QTime(9, 30)), true));
    EXPECT_EQ(bank->clock(), QDateTime(QDate(2024, 5, 1), QTime(9, 30)));
    ASSERT_TRUE(bank->advanceClock(90));
    EXPECT_EQ(bank->clock(), QDateTime(QDate(2024, 5, 1), QTime(9, 31, 30)));
    EXPECT_TRUE(bank->configure(QStringLiteral("deal_page_size"), 5));
    EXPECT_FALSE(bank->configure(QStringLiteral("deal_page_size"), 0));
    EXPECT_TRUE(bank->setRate(QStringLiteral("14"), QStringLiteral("27"), QStringLiteral("150.00"), QStringLiteral("150.60")));
    EXPECT_FALSE(bank->expireOrder(QStringLiteral("no such")));
}
