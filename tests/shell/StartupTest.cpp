#include "BackgroundThreads.h"
#include "SharedInstances.h"
#include "Startup.h"
#include "TCurrencyList.h"
#include "TKestrovaThread.h"
#include "TSettings.h"
#include "TUser.h"
#include "platform/GbkText.h"
#include "platform/MessageBoxes.h"
#include "platform/ProfileFile.h"
#include "platform/ProgramDir.h"

#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

// Records the steps the sequence asks for.
class RecordingHost : public StartupHost
{
public:
    QStringList steps;
    bool loginResult = true;
    void showSplash(const QString &s) override { steps << QStringLiteral("splash:") + s; }
    void hideSplash() override { steps << QStringLiteral("hideSplash"); }
    void destroySplash() override { steps << QStringLiteral("destroySplash"); }
    void createMainWindow() override { steps << QStringLiteral("mainWindow"); }
    void createHiddenBrowser() override { steps << QStringLiteral("browser"); }
    void destroyHiddenBrowser() override { steps << QStringLiteral("destroyBrowser"); }
    void runSilentUpdateCheck() override { steps << QStringLiteral("updateCheck"); }
    bool runLogin() override { steps << QStringLiteral("login"); return loginResult; }
    void createLocalDatabase() override { steps << QStringLiteral("database"); }
    void startUpdateThread() override { steps << QStringLiteral("updateThread"); }
    void startServerTimeThread() override { steps << QStringLiteral("serverTime"); }
    void createCalendarAndProfitWindows() override { steps << QStringLiteral("calendarProfit"); }
    void startBulletinThread() override { steps << QStringLiteral("bulletin"); }
    void createPageWindows() override { steps << QStringLiteral("pages"); }
    int runMessageLoop() override { steps << QStringLiteral("loop"); return 0; }
};

class StartupTest : public ::testing::Test
{
public:
    QTemporaryDir dir;
    QTemporaryDir temp;
    std::unique_ptr<SharedInstances::Scope> shared;
    QStringList boxes;
    int observer = 0;

    void SetUp() override
    {
        setProgramDir(dir.path());
        qputenv("OSTREL_TEMP_DIR", temp.path().toLocal8Bit());
        boxes.clear();
        for (const char *name : {"DededEri.ini", "model.ini"}) {
            QFile::remove(dir.filePath(QLatin1String(name)));
            QFile::copy(QStringLiteral(OSTREL_DATA_DIR "/") + QLatin1String(name), dir.filePath(QLatin1String(name)));
            QFile::setPermissions(dir.filePath(QLatin1String(name)), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        }
        shared = std::make_unique<SharedInstances::Scope>();
        observer = Msg::addObserver([this](const Msg::Request &r) { boxes << r.caption + QLatin1Char('|') + r.text; });
        setRunFromCDOverride(0);
    }
    void TearDown() override
    {
        Msg::removeObserver(observer);
        setRunFromCDOverride(-1);
        shared.reset();
        qunsetenv("OSTREL_TEMP_DIR");
    }
    QString sys() const { return dir.filePath(QStringLiteral("DededEri.ini")); }
};

TEST_F(StartupTest, MainSequenceOrder)
{
    RecordingHost host;
    EXPECT_EQ(RunStartup(host), 0);
    EXPECT_EQ(host.steps, (QStringList{"splash:正在初始化...", "mainWindow", "browser", "updateCheck", "hideSplash", "login",
                                       "splash:", "database", "updateThread", "serverTime", "calendarProfit", "bulletin",
                                       "pages", "destroySplash", "loop"}));
    EXPECT_TRUE(boxes.isEmpty());
    EXPECT_GT(CurrencyList->Count(), 10);
}

TEST_F(StartupTest, ReadOnlyMediumSkipsWhatWritesToTheProgramFolder)
{
    setRunFromCDOverride(1);
    RecordingHost host;
    EXPECT_EQ(RunStartup(host), 0);
    for (const char *skipped : {"updateCheck", "database", "updateThread", "serverTime", "calendarProfit"})
        EXPECT_FALSE(host.steps.contains(QLatin1String(skipped))) << skipped;
    EXPECT_TRUE(host.steps.contains(QStringLiteral("bulletin")));
}

TEST_F(StartupTest, CancelledLoginEndsWithoutTheMessageLoop)
{
    RecordingHost host;
    host.loginResult = false;
    EXPECT_EQ(RunStartup(host), kExitLoginCancelled);
    EXPECT_EQ(host.steps.mid(host.steps.indexOf(QStringLiteral("login"))), (QStringList{"login", "destroyBrowser"}));
}

TEST_F(StartupTest, FailuresShowTheirMessageAndEnd)
{
    struct Case {
        std::function<void(StartupTest &)> breakIt;
        QString message;
        int code;
    } cases[] = {
        {[](StartupTest &t) { QFile::remove(t.sys()); }, StartupMessages::kBadSystemIni, kExitBadSystemIni},
        {[](StartupTest &t) { Profile::writeString(t.sys(), "Server", "DataSvrIp", ""); Profile::writeString(t.dir.filePath("model.ini"), "Server", "DataSvrIp", ""); },
         StartupMessages::kBadSystemIni, kExitBadSystemIni},
        // Lines without "|" pass the system ini check but give no currency.
        {[](StartupTest &t) { Profile::writeSection(t.sys(), "CurrencyDic", {"14=美元", "27=日元"}); },
         StartupMessages::kNoCurrencies, kExitNoCurrencies},
        {[](StartupTest &) { qputenv("OSTREL_TEMP_DIR", "/proc/no-such-dir"); }, StartupMessages::kNoTempDir, kExitNoTempDir},
    };
    for (auto &c : cases) {
        TearDown();
        SetUp();
        c.breakIt(*this);
        RecordingHost host;
        EXPECT_EQ(RunStartup(host), c.code) << c.message.toStdString();
        EXPECT_EQ(boxes, QStringList{kProductTitle + QLatin1Char('|') + c.message});
        EXPECT_FALSE(host.steps.contains(QStringLiteral("login")));
    }
}

class ScriptedLogin : public LoginFlow
{
public:
    QList<bool> logins, choices;
    QStringList calls;
    bool showLoginWindow(bool reLogin) override
    {
        calls << QStringLiteral("login:%1").arg(reLogin);
        const bool ok = logins.takeFirst();
        if (ok)
            CurrentUser = std::make_unique<TUser>(Settings);
        return ok;
    }
    bool showAccountChoice(bool first) override
    {
        calls << QStringLiteral("choice:%1").arg(first);
        return choices.takeFirst();
    }
    void requestTerminate() override { calls << QStringLiteral("terminate"); }
    bool terminationRequested() const override { return endRequested; }
    bool endRequested = false;
};

TEST_F(StartupTest, LoginLoop)
{
    {
        // A cancelled account choice goes back to the login, in re-login mode.
        ScriptedLogin flow;
        flow.logins = {true, true};
        flow.choices = {false, true};
        QFile(TSettings::TempWorkDir() + QStringLiteral("tmp.gif")).open(QIODevice::WriteOnly);
        EXPECT_TRUE(RunLogin(flow, false));
        EXPECT_EQ(flow.calls, (QStringList{"login:0", "choice:1", "login:1", "choice:1"}));
        EXPECT_FALSE(QFile::exists(TSettings::TempWorkDir() + QStringLiteral("tmp.gif")));
    }
    {
        // At start-up cancelling the login terminates; from the menu it does not.
        ScriptedLogin flow;
        flow.logins = {false};
        EXPECT_FALSE(RunLogin(flow, true));
        EXPECT_EQ(flow.calls, (QStringList{"login:1", "terminate"}));
        ScriptedLogin menu;
        menu.logins = {false};
        EXPECT_FALSE(RunLogin(menu, false));
        EXPECT_EQ(menu.calls, QStringList{"login:0"});
    }
    {
        // "退出" in the account choice ends the application, not the loop.
        ScriptedLogin flow;
        flow.logins = {true};
        flow.choices = {false};
        flow.endRequested = true;
        EXPECT_FALSE(RunLogin(flow, false));
        EXPECT_EQ(flow.calls, (QStringList{"login:0", "choice:1", "terminate"}));
        EXPECT_EQ(CurrentUser, nullptr);
    }
}

TEST_F(StartupTest, ShutdownSavesWhatTheOptionsSay)
{
    int collected = 0;
    QStringList deleted;
    ShutdownHooks hooks{[&] { ++collected; }, [&](const QString &id) { deleted << id; }};
    EXPECT_FALSE(RunShutdownSave(hooks)); // nobody logged in
    EXPECT_EQ(collected, 0);

    CurrentUser = std::make_unique<TUser>(Settings);
    CurrentUser->UserId = QStringLiteral("U1");
    LoginName = QStringLiteral("12");
    Settings->SaveIni = true;
    Settings->SaveProfitData = false;
    Settings->UserMarketType = 4;
    EXPECT_TRUE(RunShutdownSave(hooks));
    EXPECT_EQ(collected, 1);
    EXPECT_EQ(deleted, QStringList{"U1"});
    EXPECT_EQ(Profile::readString(dir.filePath("EcSo.ini"), "Setting", "UserMarketType"), QStringLiteral("4"));

    Settings->SaveIni = false;
    Settings->SaveProfitData = true;
    EXPECT_FALSE(RunShutdownSave(hooks));
    EXPECT_EQ(collected, 1);
    EXPECT_EQ(deleted.size(), 1);
}

TEST(KestrovaThread, ParsesTheServiceAnswers)
{
    double days = 0;
    EXPECT_TRUE(TKestrovaThread::ParseServerTime(QStringLiteral("<ROOT><TIME>2007-08-20 12:00:00</TIME></ROOT>"), &days));
    EXPECT_DOUBLE_EQ(days, 39314.5);
    EXPECT_FALSE(TKestrovaThread::ParseServerTime(QStringLiteral("<TIME>2007-08-20</TIME>"), &days));
    EXPECT_FALSE(TKestrovaThread::ParseServerTime(QStringLiteral("no time"), &days));

    QString text;
    EXPECT_TRUE(TKestrovaThread::StringElement("<?xml version=\"1.0\"?><string xmlns=\"x\">&lt;a&gt;1&lt;/a&gt;</string>", &text));
    EXPECT_EQ(text, QStringLiteral("<a>1</a>"));
    EXPECT_FALSE(TKestrovaThread::StringElement("<other/>", &text));
    EXPECT_FALSE(TKestrovaThread::StringElement("not xml", &text));

    const QByteArray file = TKestrovaThread::DataFileBytes(QStringLiteral("<R>\n<C>美元</C>\n</R>"));
    EXPECT_EQ(file, "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\r\n<R>\r\n<C>" + Gbk::encode(QStringLiteral("美元")) + "</C>\r\n</R>");
    EXPECT_TRUE(TKestrovaThread::DataFileBytes(QStringLiteral("<R><unclosed></R>")).isEmpty());
}

// A loopback server that answers each path with a fixed body.
class TinyHttp : public QTcpServer
{
public:
    std::map<QByteArray, QByteArray> bodies;
    TinyHttp()
    {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    const QByteArray req = s->readAll();
                    const QByteArray path = req.split(' ').value(1);
                    const auto it = bodies.find(path);
                    const QByteArray body = it == bodies.end() ? QByteArray() : it->second;
                    s->write((it == bodies.end() ? "HTTP/1.1 404 Not Found\r\n" : "HTTP/1.1 200 OK\r\n") +
                             QByteArray("Content-Type: text/xml\r\nConnection: close\r\nContent-Length: ") +
                             QByteArray::number(body.size()) + "\r\n\r\n" + body);
                    s->disconnectFromHost();
                });
            }
        });
    }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(serverPort()); }
};

QByteArray wrap(const QString &inner)
{
    QString escaped = inner.toHtmlEscaped();
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?><string xmlns=\"http://tempuri.org/\">" + escaped.toUtf8() + "</string>";
}

TEST_F(StartupTest, ServerTimeThreadSetsTheClockAndWritesTheFiles)
{
    TinyHttp http;
    http.bodies[TKestrovaThread::kServerTimePath.toUtf8()] = wrap(QStringLiteral("<ROOT><TIME>2007-08-20 12:00:00</TIME></ROOT>"));
    http.bodies[TKestrovaThread::kExchangeRatePath.toUtf8()] = wrap(QStringLiteral("<ROOT>\n<RATE CUR=\"美元\">7.5</RATE>\n</ROOT>"));
    // The third document is missing: the thread stops there, keeping the rest.
    const QString saveRate = programFile(TKestrovaThread::kSaveRateFile);
    QDir().mkpath(QFileInfo(saveRate).absolutePath());
    { QFile f(saveRate); f.open(QIODevice::WriteOnly); f.write("previous"); }

    Settings->CalculatorSvr = http.base();
    TKestrovaThread *t = TKestrovaThread::Start(Settings);
    ASSERT_NE(t, nullptr);
    QSignalSpy finished(t, &QThread::finished);
    ASSERT_TRUE(finished.wait(10000));
    QCoreApplication::processEvents(); // the queued server time
    EXPECT_DOUBLE_EQ(Settings->ServerTime, 39314.5);
    QFile rates(programFile(TKestrovaThread::kExchangeRateFile));
    ASSERT_TRUE(rates.open(QIODevice::ReadOnly));
    EXPECT_TRUE(rates.readAll().contains(Gbk::encode(QStringLiteral("美元"))));
    QFile prev(saveRate);
    prev.open(QIODevice::ReadOnly);
    EXPECT_EQ(prev.readAll(), QByteArray("previous"));
}

TEST_F(StartupTest, TearDownStopsAThreadThatIsStillWaiting)
{
    // A server that accepts and never answers.
    QTcpServer silent;
    silent.listen(QHostAddress::LocalHost, 0);
    Settings->CalculatorSvr = QStringLiteral("http://127.0.0.1:%1").arg(silent.serverPort());
    QPointer<TKestrovaThread> t = TKestrovaThread::Start(Settings);
    ASSERT_TRUE(t);
    QThread::msleep(100);
    EXPECT_EQ(BackgroundThreads::count(), 1);
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(BackgroundThreads::stopAll(5000), 0);
    EXPECT_LT(timer.elapsed(), 3000);
    EXPECT_TRUE(!t || t->isFinished());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
