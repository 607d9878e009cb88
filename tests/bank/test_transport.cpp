// The transport: page fetches with their decoding, limits and failure pages,
// the keep-alive navigations, the image fetch, the shared cookie jar,
// certificate checks and the one-transaction guard.

#include "AnswerCheck.h"
#include "BankBrowser.h"
#include "BankCookieJar.h"
#include "BankHttpRequest.h"
#include "BankNetwork.h"
#include "BankTestSupport.h"
#include "ForexErrors.h"
#include "ImageFetcher.h"
#include "PageText.h"
#include "TAccount.h"
#include "TGetData.h"
#include "TSettings.h"
#include "TUser.h"
#include "TWebDownloader.h"
#include "TestHttpServer.h"
#include "TransactionGuard.h"
#include "platform/GbkText.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTimer>
#include <zlib.h>

namespace {

QString fetch(const QString &url, BankBrowser::Outcome *outcome = nullptr)
{
    TWebDownloader d;
    d.Download(url);
    if (outcome)
        *outcome = d.LastOutcome();
    return d.GetPageText();
}

QByteArray gzip(const QByteArray &data)
{
    z_stream zs{};
    deflateInit2(&zs, Z_BEST_SPEED, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&zs, uLong(data.size()))) + 32, '\0');
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    zs.avail_in = uInt(data.size());
    zs.next_out = reinterpret_cast<Bytef *>(out.data());
    zs.avail_out = uInt(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(qsizetype(zs.total_out));
    deflateEnd(&zs);
    return out;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// A port nothing listens on.
quint16 closedPort()
{
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    return s.serverPort();
}

class TransportTest : public BankTest
{
public:
    TransportTest() { BankNetwork::CookieJar()->Clear(); }
};

} // namespace

TEST_F(TransportTest, PagesAreDecodedByTheirCharsetAndCleaned)
{
    const QString xml = QStringLiteral("<ROOT><D>2007-08-20</D><N>美元</N></ROOT>");
    const QString clean = QStringLiteral("<ROOT><D>20070820</D><N>美元</N></ROOT>");
    QByteArray utf16("\xFF\xFE", 2);
    utf16 += QByteArray(reinterpret_cast<const char *>(xml.utf16()), xml.size() * 2);
    const struct {
        const char *path;
        QByteArray contentType;
        QByteArray body;
    } cases[] = {
        {"/gb", "text/xml; charset=gb2312", Gbk::encode(xml)},
        {"/GB", "text/xml; charset=GB2312", Gbk::encode(QStringLiteral("\r\n\t ") + xml + QStringLiteral("\n "))},
        {"/u8", "text/xml; charset=utf-8", xml.toUtf8()},
        {"/u16", "text/xml", utf16},
        {"/decl", "text/xml", Gbk::encode(QStringLiteral("<?xml version=\"1.0\" encoding=\"GB2312\"?>") + xml)},
    };
    TestHttpServer server([&](const TestRequest &r) {
        for (const auto &c : cases)
            if (r.path() == c.path)
                return reply(200, c.contentType, c.body);
        return reply(404);
    });
    for (const auto &c : cases) {
        QString page = fetch(server.base() + QLatin1String(c.path));
        if (page.startsWith(QStringLiteral("<?xml")))
            page = page.mid(page.indexOf(QStringLiteral("?>")) + 2);
        EXPECT_EQ(page, clean) << c.path;
    }
}

TEST_F(TransportTest, FailuresShowThePageThatCannotBeDisplayed)
{
    TestHttpServer server([](const TestRequest &r) {
        if (r.path() == "/busy")
            return reply(500, "text/html; charset=gb2312", Gbk::encode(QStringLiteral("用户两次提交时间间隔太短")));
        return reply(404, "text/html", "<html>nothing</html>");
    });
    BankBrowser::Outcome outcome{};
    QString page = fetch(server.base() + QStringLiteral("/missing"), &outcome);
    EXPECT_EQ(outcome, BankBrowser::Outcome::HttpError);
    EXPECT_TRUE(page.contains(PageText::UnavailablePhrase()));
    EXPECT_TRUE(BankBrowser::Instance()->IsPageUnavailable());
    EXPECT_EQ(AnswerCheck::TransportFailure(page).message(),
              QStringLiteral("返回信息为服务器暂时不能访问,原因可能是网银服务器忙或网络故障,请稍后再试!"));

    // The bank's own page behind an error status still decides the message.
    page = fetch(server.base() + QStringLiteral("/busy"));
    EXPECT_EQ(AnswerCheck::TransportFailure(page).message(), QStringLiteral("用户两次提交时间间隔太短，请稍后提交！"));

    page = fetch(QStringLiteral("http://127.0.0.1:%1/x?SKEY=secret&LOGPASS=pw").arg(closedPort()), &outcome);
    EXPECT_EQ(outcome, BankBrowser::Outcome::NetworkError);
    EXPECT_TRUE(page.contains(PageText::UnavailablePhrase()));
    // The failure page never repeats the address with its secrets.
    EXPECT_FALSE(page.contains(QStringLiteral("secret")));
    EXPECT_FALSE(fetch(QStringLiteral("not a url")).isEmpty());
}

TEST_F(TransportTest, ADroppedRequestIsNeverSentAgain)
{
    TestHttpServer server([](const TestRequest &r) {
        if (r.path() == "/drop")
            return reply(200).hangUp();
        return reply(200, "text/xml", "<ROOT/>");
    });
    for (int i = 0; i < 3; ++i) {
        fetch(server.base() + QStringLiteral("/ok"));
        EXPECT_TRUE(fetch(server.base() + QStringLiteral("/drop")).contains(PageText::UnavailablePhrase()));
    }
    ASSERT_EQ(server.requests().size(), 6u);
    EXPECT_EQ(server.requests()[1].headers.value("connection"), QByteArray("close"));
}

TEST_F(TransportTest, ATimeOutIsAFailureNeverTheEarlierAnswer)
{
    TestHttpServer server([](const TestRequest &r) {
        if (r.path() == "/slow")
            return reply(200).neverAnswer();
        return reply(200, "text/xml", "<ROOT><OLD>1</OLD></ROOT>");
    });
    TWebDownloader d;
    d.Download(server.base() + QStringLiteral("/fast"));
    EXPECT_EQ(d.GetPageText(), QStringLiteral("<ROOT><OLD>1</OLD></ROOT>"));
    QElapsedTimer t;
    t.start();
    d.Download(server.base() + QStringLiteral("/slow"));
    const qint64 elapsed = t.elapsed();
    EXPECT_GE(elapsed, kDownloadLimitMs);
    EXPECT_LT(elapsed, kDownloadLimitMs + 1000);
    EXPECT_EQ(d.LastOutcome(), BankBrowser::Outcome::TimedOut);
    EXPECT_FALSE(d.GetPageText().contains(QStringLiteral("OLD")));
    EXPECT_TRUE(d.GetPageText().contains(PageText::UnavailablePhrase()));
}

TEST_F(TransportTest, AKeepAliveAnswerIsNeverReadAsTheTransactionsAnswer)
{
    TestHttpServer server([](const TestRequest &r) {
        if (r.path() == "/keepalive")
            return reply(200, "text/xml", "<ROOT><KEEPALIVE/></ROOT>").delayed(r.param("late") == "1" ? 400 : 0);
        return reply(200, "text/xml", "<ROOT><TRADE/></ROOT>").delayed(250);
    });
    BankBrowser *browser = BankBrowser::Instance();
    // The keep-alive finishes while the trade waits.
    browser->NavigateNoWait(server.base() + QStringLiteral("/keepalive"));
    EXPECT_EQ(fetch(server.base() + QStringLiteral("/trade")), QStringLiteral("<ROOT><TRADE/></ROOT>"));
    // The keep-alive finishes after the trade: the trade's text stays its own.
    browser->NavigateNoWait(server.base() + QStringLiteral("/keepalive?late=1"));
    TWebDownloader d;
    d.Download(server.base() + QStringLiteral("/trade"));
    pumpEvents(500);
    EXPECT_EQ(d.GetPageText(), QStringLiteral("<ROOT><TRADE/></ROOT>"));
    EXPECT_EQ(browser->CurrentPageText(), QStringLiteral("<ROOT><KEEPALIVE/></ROOT>"));
    EXPECT_EQ(browser->PendingNavigations(), 0);
    EXPECT_FALSE(TGetData::IsPageUnavailable());
    browser->NavigateNoWait(QStringLiteral("http://127.0.0.1:%1/").arg(closedPort()));
    pumpEvents(300);
    EXPECT_TRUE(TGetData::IsPageUnavailable());
}

TEST_F(TransportTest, EveryFetchGoesToTheServerWithTheSessionCookies)
{
    TestHttpServer server([](const TestRequest &r) {
        if (r.path() == "/login")
            return reply(200, "text/xml", "<ROOT/>")
                .withHeader("Set-Cookie", "JSESSIONID=abc123; Path=/")
                .withHeader("Cache-Control", "max-age=3600");
        if (r.path() == "/pic")
            return reply(200, "image/gif", "GIF89a");
        return reply(200, "text/xml", "<ROOT/>");
    });
    fetch(server.base() + QStringLiteral("/login"));
    fetch(server.base() + QStringLiteral("/tx?a=1"));
    fetch(server.base() + QStringLiteral("/tx?a=1"));
    const QString file = workDir() + QStringLiteral("tmp.jpg");
    ImageFetcher::FetchToFile(server.base() + QStringLiteral("/pic"), file);
    ASSERT_EQ(server.requests().size(), 4u);
    for (size_t i = 1; i < 4; ++i)
        EXPECT_EQ(server.requests()[i].headers.value("cookie"), QByteArray("JSESSIONID=abc123")) << i;
    EXPECT_EQ(server.requests()[1].headers.value("cache-control"), QByteArray("no-cache"));
    EXPECT_EQ(server.requests()[3].headers.value("user-agent"), QByteArray("tiehttp"));
    EXPECT_EQ(readFile(file), QByteArray("GIF89a"));
    // The login window bridges its browser's cookies through the same jar.
    const auto cookies = BankNetwork::CookieJar()->AllCookies();
    ASSERT_EQ(cookies.size(), 1);
    EXPECT_EQ(cookies[0].name(), QByteArray("JSESSIONID"));
}

TEST_F(TransportTest, ImageFetch)
{
    const QByteArray picture = QByteArray("GIF89a") + QByteArray(70000, 'p');
    TestHttpServer server([&](const TestRequest &r) {
        if (r.path() == "/gz")
            return reply(200, "image/gif", gzip(picture));
        if (r.path() == "/gzheader")
            return reply(200, "image/gif", gzip(picture)).withHeader("Content-Encoding", "gzip");
        if (r.path() == "/broken")
            return reply(200, "image/gif", gzip(picture).left(100));
        if (r.path() == "/trickle") // slower in total than the stall limit, never stalling
            return reply(200, "image/gif", picture).chunked(10000, kStallLimitMs / 4);
        if (r.path() == "/stall")
            return reply(200).neverAnswer();
        if (r.path() == "/404")
            return reply(404, "text/html", "no");
        return reply(200, "image/gif", picture);
    });
    const QString file = workDir() + QStringLiteral("tmp.jpg");
    for (const char *path : {"/plain", "/gz", "/gzheader", "/trickle"}) {
        QFile::remove(file);
        ImageFetcher::FetchToFile(server.base() + QLatin1String(path), file);
        EXPECT_EQ(readFile(file), picture) << path;
    }
    for (const char *path : {"/broken", "/404", "/stall"})
        EXPECT_THROW(ImageFetcher::FetchToFile(server.base() + QLatin1String(path), file), EConnectError) << path;
    EXPECT_THROW(ImageFetcher::FetchToFile(QString(), file), EConnectError);
    EXPECT_THROW(ImageFetcher::FetchToFile(QStringLiteral("http://127.0.0.1:%1/").arg(closedPort()), file),
                 EConnectError);
    EXPECT_EQ(readFile(file), picture); // a failed fetch leaves the last picture
}

TEST_F(TransportTest, CertificatesAreVerified)
{
    const QString data = QStringLiteral(OSTREL_BANK_TEST_DATA);
    TestHttpServer good([](const TestRequest &) { return reply(200, "text/xml", "<ROOT><OK/></ROOT>"); },
                        data + QStringLiteral("/test-server.crt"), data + QStringLiteral("/test-server.key"));
    TestHttpServer wrongHost([](const TestRequest &) { return reply(200, "text/xml", "<ROOT><OK/></ROOT>"); },
                             data + QStringLiteral("/wrong-host.crt"), data + QStringLiteral("/wrong-host.key"));
    const QString file = workDir() + QStringLiteral("tmp.jpg");

    // An authority the system does not know: refused, also for the picture.
    Settings->CaFile.clear();
    EXPECT_TRUE(fetch(good.base() + QStringLiteral("/")).contains(PageText::UnavailablePhrase()));
    EXPECT_THROW(ImageFetcher::FetchToFile(good.base() + QStringLiteral("/pic"), file), EConnectError);

    // The bank's private authority named in DededEri.ini (relative to the
    // program folder) is trusted.
    QFile::copy(data + QStringLiteral("/test-server.crt"), programDir() + QStringLiteral("bank-ca.pem"));
    QFile::copy(data + QStringLiteral("/wrong-host.crt"), programDir() + QStringLiteral("other-ca.pem"));
    Settings->CaFile = QStringLiteral("bank-ca.pem");
    EXPECT_EQ(fetch(good.base() + QStringLiteral("/")), QStringLiteral("<ROOT><OK/></ROOT>"));
    EXPECT_NO_THROW(ImageFetcher::FetchToFile(good.base() + QStringLiteral("/pic"), file));

    // A trusted certificate for another host is still refused.
    Settings->CaFile = QStringLiteral("other-ca.pem");
    EXPECT_TRUE(fetch(wrongHost.base() + QStringLiteral("/")).contains(PageText::UnavailablePhrase()));
    Settings->CaFile.clear();
}

TEST_F(TransportTest, OneTransactionAtATime)
{
    TUser &user = makeUser();
    TestHttpServer server([](const TestRequest &) {
        return reply(200, "text/xml",
                     "<ROOT><ACCQUERYLIST><E><BALANCE>1</BALANCE><USABLEBALANCE>1</USABLEBALANCE></E></ACCQUERYLIST>"
                     "</ROOT>")
            .delayed(300);
    });
    Settings->DataSvrIp = server.base() + QStringLiteral("/app/vodMain");
    std::vector<bool> busy;
    QObject::connect(TransactionGuard::Instance(), &TransactionGuard::busyChanged, [&](bool b) { busy.push_back(b); });

    // A timer that fires while the balance query waits tries a second
    // transaction and a keep-alive: the first is refused, the second skipped.
    QString refused;
    QTimer::singleShot(100, [&] {
        EXPECT_TRUE(TransactionGuard::Busy());
        EXPECT_NE(CurrentDownloader(), nullptr);
        try {
            TGetData::UpdateSubAccounts(card());
        } catch (const EResponseError &e) {
            refused = e.message();
        }
        TGetData::KeepAliveOrders(card());
    });
    TGetData::LoadBalance(card());
    EXPECT_EQ(refused, TransactionGuard::BusyMessage());
    EXPECT_EQ(server.requests().size(), 1u);
    EXPECT_FALSE(TransactionGuard::Busy());
    EXPECT_EQ(CurrentDownloader(), nullptr);
    EXPECT_EQ(busy, (std::vector<bool>{true, false}));
    EXPECT_DOUBLE_EQ(user.Accounts.Item(0)->Balance, 1);

    // Outside a transaction the keep-alive goes out, without touching the
    // tick of the last request.
    Settings->LastRequestTick = 7;
    TGetData::KeepAliveSubAccounts(card());
    pumpEvents(450);
    ASSERT_EQ(server.requests().size(), 2u);
    EXPECT_EQ(server.requests()[1].param("TXCODE"), QByteArray("310700"));
    EXPECT_EQ(Settings->LastRequestTick, 7u);
}

TEST_F(TransportTest, AnswerParser)
{
    const struct {
        const char *name;
        QByteArray bytes;
        int piece;
        BankHttpRequest::Error error;
        int status;
        QByteArray body;
    } cases[] = {
        {"length", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello", 3, BankHttpRequest::Error::None, 200, "hello"},
        {"chunked", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3;ext\r\nhel\r\n2\r\nlo\r\n0\r\nT: 1\r\n\r\n",
         1, BankHttpRequest::Error::None, 200, "hello"},
        {"interim answer first", "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 503 Busy\r\nContent-Length: 1\r\n\r\nx", 7,
         BankHttpRequest::Error::None, 503, "x"},
        {"until the end", "HTTP/1.0 200 OK\r\n\r\nall of it", 4, BankHttpRequest::Error::None, 200, "all of it"},
        {"cut short", "HTTP/1.1 200 OK\r\nContent-Length: 50\r\n\r\nhalf", 100, BankHttpRequest::Error::Network, 200, "half"},
        {"cut in the head", "HTTP/1.1 200 OK\r\nContent-", 100, BankHttpRequest::Error::Network, 0, ""},
        {"not HTTP", "SSH-2.0-OpenSSH\r\n\r\n", 100, BankHttpRequest::Error::Protocol, 0, ""},
        {"bad chunk size", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n", 100,
         BankHttpRequest::Error::Protocol, 200, ""},
        {"huge length", "HTTP/1.1 200 OK\r\nContent-Length: 99999999999\r\n\r\n", 100, BankHttpRequest::Error::TooLarge,
         200, ""},
    };
    for (const auto &c : cases) {
        BankHttpRequest r(QUrl(QStringLiteral("http://127.0.0.1:1/")));
        for (qsizetype at = 0; at < c.bytes.size() && !r.isFinished(); at += c.piece)
            r.FeedAnswer(c.bytes.mid(at, c.piece));
        r.FeedEnd();
        EXPECT_TRUE(r.isFinished()) << c.name;
        EXPECT_EQ(r.error(), c.error) << c.name;
        if (c.status) {
            EXPECT_EQ(r.status(), c.status) << c.name;
        }
        if (c.error == BankHttpRequest::Error::None) {
            EXPECT_EQ(r.body(), c.body) << c.name;
        }
    }
    // Cookies of an answer go to the shared jar.
    BankHttpRequest r(QUrl(QStringLiteral("http://127.0.0.1:1/")));
    r.FeedAnswer("HTTP/1.1 200 OK\r\nSet-Cookie: A=1; Path=/\r\nSet-Cookie: B=2\r\nContent-Length: 0\r\n\r\n");
    EXPECT_EQ(BankNetwork::CookieJar()->cookiesForUrl(QUrl(QStringLiteral("http://127.0.0.1/"))).size(), 2);
}

TEST_F(TransportTest, OversizedBodiesAreRefused)
{
    TestHttpServer server([](const TestRequest &) {
        return reply(200, "text/xml", QByteArray(BankNetwork::kMaxBodyBytes + 10, 'x'));
    });
    BankBrowser::Outcome outcome{};
    EXPECT_TRUE(fetch(server.base() + QStringLiteral("/"), &outcome).contains(PageText::UnavailablePhrase()));
    EXPECT_EQ(outcome, BankBrowser::Outcome::TooLarge);
}
