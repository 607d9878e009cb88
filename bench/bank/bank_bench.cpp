// Figures of the bank session core:
//  - reading a 500-entry deal-list page and a 500-line statement page
//    (decode, clean, load, check, read), each to stay under 5 ms;
//  - one balance query against the sandbox bank on loopback, the plain
//    round trip of the same request, and the client's work without the
//    network; the difference of the first two is the client's own cost
//    per transaction, to stay under 2 ms.

#include "AnswerCheck.h"
#include "AnswerDocument.h"
#include "AnswerReaders.h"
#include "BankCookieJar.h"
#include "BankNetwork.h"
#include "PageText.h"
#include "SandboxProcess.h"
#include "SharedInstances.h"
#include "TAccount.h"
#include "TBargainingHistory.h"
#include "TCurrencyList.h"
#include "TGetData.h"
#include "TInCom.h"
#include "TSettings.h"
#include "TUser.h"
#include "TWebDownloader.h"
#include "TransactionUrls.h"
#include "platform/GbkText.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QByteArray gbk(const QString &s)
{
    return Gbk::encode(QStringLiteral("<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n") + s);
}

QByteArray dealListPage(int entries)
{
    QString x = QStringLiteral("<ROOT><PAGECOUNT>9</PAGECOUNT><CONTRACTLIST>");
    for (int i = 0; i < entries; ++i)
        x += QStringLiteral("<CONTRACT><CONTRACTNO>2400000%1</CONTRACTNO><STATUSCODE>%2</STATUSCODE>"
                            "<CONTRACTTIME>2024/03/15 10:%3:00</CONTRACTTIME><BUYCASH>日元</BUYCASH>"
                            "<SALECASH>美元</SALECASH><BUYAMOUNT>149800</BUYAMOUNT><SALEAMOUNT>1000.00</SALEAMOUNT>"
                            "<PROFITRATIO>151.2000</PROFITRATIO><BADRATIO>147.0000</BADRATIO><BANKDEFINE1></BANKDEFINE1>"
                            "<BANKDEFINE2></BANKDEFINE2><CHAOHUI>1</CHAOHUI><ORDERTYPE>340</ORDERTYPE></CONTRACT>")
                 .arg(10000 + i)
                 .arg(i % 4)
                 .arg(i % 60, 2, 10, QLatin1Char('0'));
    return gbk(x + QStringLiteral("</CONTRACTLIST></ROOT>"));
}

QByteArray statementPage(int lines)
{
    QString x = QStringLiteral("<ROOT><PAGECOUNT>9</PAGECOUNT><A_STR>0123456789ABCDEF</A_STR><DETAILLIST>");
    for (int i = 0; i < lines; ++i)
        x += QStringLiteral("<DETAIL><CHANGEDATE>2024/03/%1</CHANGEDATE><CURRTYPE>14</CURRTYPE><CHANGEPLACE>网上银行"
                            "</CHANGEPLACE><CHANGEAMOUNT>%2.50</CHANGEAMOUNT><INOUT>%3</INOUT><MEMO>外汇买卖</MEMO>"
                            "<BALANCE>28221.00</BALANCE></DETAIL>")
                 .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                 .arg(100 + i)
                 .arg(i % 2);
    return gbk(x + QStringLiteral("</DETAILLIST></ROOT>"));
}

struct World {
    World()
    {
        static int argc = 1;
        static char arg0[] = "ostrel_bank_bench";
        static char *argv[] = {arg0, nullptr};
        app = new QCoreApplication(argc, argv);
        qputenv("OSTREL_TEMP_DIR", temp.path().toUtf8());
        SharedInstances::Create();
        CurrencyList->Build({QStringLiteral("14=美元|USD|US DOLLAR||1"), QStringLiteral("27=日元|JPY|JAPANESE YEN||1")});
    }
    QCoreApplication *app = nullptr;
    QTemporaryDir temp;
};

World &world()
{
    static World w;
    return w;
}

void BM_ReadDealListPage500(benchmark::State &state)
{
    world();
    const QByteArray body = dealListPage(500);
    TBargainingHistory query(Settings, nullptr);
    for (auto _ : state) {
        query.Details.Clear();
        const AnswerDocument doc = AnswerDocument::Load(PageText::Clean(PageText::Decode(body, QStringLiteral("gb2312"))));
        AnswerCheck::CheckAnswer(doc);
        AnswerReaders::DealListPage(doc, query, AnswerReaders::DealList::HistoryOrders, 1, nullptr);
        benchmark::DoNotOptimize(query.Details.Count());
    }
    state.counters["entries"] = double(query.Details.Count());
    state.counters["bytes"] = double(body.size());
}
BENCHMARK(BM_ReadDealListPage500)->Unit(benchmark::kMillisecond);

void BM_ReadStatementPage500(benchmark::State &state)
{
    world();
    const QByteArray body = statementPage(500);
    TInCom query(Settings);
    for (auto _ : state) {
        query.Details.Clear();
        const AnswerDocument doc = AnswerDocument::Load(PageText::Clean(PageText::Decode(body, QStringLiteral("gb2312"))));
        AnswerCheck::CheckAnswer(doc);
        AnswerReaders::Statement(doc, query, true, nullptr);
        benchmark::DoNotOptimize(query.Details.Count());
    }
    state.counters["lines"] = double(query.Details.Count());
    state.counters["bytes"] = double(body.size());
}
BENCHMARK(BM_ReadStatementPage500)->Unit(benchmark::kMillisecond);

// A logged-in session with the sandbox bank.
struct Session {
    SandboxProcess bank;
    bool ready = false;
    QString error;
    TAccount *card = nullptr;
    QByteArray pathAndQuery; // the balance query
    QByteArray cookie;

    Session()
    {
        world();
        if (!bank.start()) {
            error = bank.errorString();
            return;
        }
        Settings->DataSvrIp = bank.transactionUrl().toString();
        Settings->UseCert = false;
        TWebDownloader page;
        page.Download(bank.loginUrl().toString());
        const QString nonce =
            QRegularExpression(QStringLiteral("PAGE_NONCE = \"([0-9a-f]+)\"")).match(page.GetPageText()).captured(1);
        const QString code = bank.lastVerificationCode();
        const QByteArray plain = QByteArrayLiteral("123456");
        QByteArray stream;
        for (int b = 0; stream.size() < plain.size(); ++b)
            stream += QCryptographicHash::hash((nonce + QLatin1Char('#') + QString::number(b)).toUtf8(),
                                               QCryptographicHash::Sha256);
        QByteArray protectedBytes(plain.size(), '\0');
        for (qsizetype i = 0; i < plain.size(); ++i)
            protectedBytes[i] = char(plain[i] ^ stream[i]);
        const QString pw = QString::fromLatin1(protectedBytes.toHex().toUpper());
        const QString login = QStringLiteral("zhangwei");
        const QString digest = QString::fromLatin1(
            QCryptographicHash::hash((nonce + u'|' + login + u'|' + pw + u'|' + code).toUtf8(), QCryptographicHash::Sha256)
                .toHex());
        try {
            CurrentUser = TGetData::Login(login, pw, code, digest, *Settings);
            TGetData::LoadAccounts(*CurrentUser);
        } catch (const std::exception &e) {
            error = QString::fromUtf8(e.what());
            return;
        }
        if (CurrentUser->Accounts.IsEmpty()) {
            error = QStringLiteral("no accounts");
            return;
        }
        card = CurrentUser->Accounts.Item(0);
        const QString url = TransactionUrls::Balance(*Settings, *card);
        pathAndQuery = url.mid(url.indexOf(QStringLiteral("/app/"))).toLatin1();
        for (const auto &c : BankNetwork::CookieJar()->AllCookies())
            cookie = c.name() + '=' + c.value();
        ready = true;
    }
};

Session &session()
{
    static Session s;
    return s;
}

void BM_BalanceQueryAgainstSandbox(benchmark::State &state)
{
    Session &s = session();
    if (!s.ready) {
        state.SkipWithError(("the sandbox bank is not available: " + s.error).toStdString().c_str());
        return;
    }
    for (auto _ : state)
        TGetData::LoadBalance(*s.card);
}
BENCHMARK(BM_BalanceQueryAgainstSandbox)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

void BM_PlainRoundTripOfTheSameQuery(benchmark::State &state)
{
    Session &s = session();
    if (!s.ready) {
        state.SkipWithError(("the sandbox bank is not available: " + s.error).toStdString().c_str());
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(s.bank.get(s.pathAndQuery, s.cookie).status);
}
BENCHMARK(BM_PlainRoundTripOfTheSameQuery)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

void BM_ClientWorkWithoutTheNetwork(benchmark::State &state)
{
    Session &s = session();
    if (!s.ready) {
        state.SkipWithError(("the sandbox bank is not available: " + s.error).toStdString().c_str());
        return;
    }
    const QByteArray body = s.bank.get(s.pathAndQuery, s.cookie).body;
    for (auto _ : state) {
        const QString url = TransactionUrls::Balance(*Settings, *s.card);
        benchmark::DoNotOptimize(url.size());
        const AnswerDocument doc = AnswerDocument::Load(PageText::Clean(PageText::Decode(body, QStringLiteral("gb2312"))));
        AnswerCheck::CheckAnswer(doc);
        AnswerReaders::Balance(doc, *s.card);
    }
}
BENCHMARK(BM_ClientWorkWithoutTheNetwork)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
