// The step machine in-process against a loopback server: cancel at each
// step, the pause while the exit question is open, download failures and
// the proxy.

#include "MessageBoxes.h"
#include "UpgradeRunner.h"
#include "UpgradeTestSupport.h"
#include "UpgradeTexts.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <gtest/gtest.h>

using namespace UpgradeTest;
using Step = UpgradeRunner::Step;
using Outcome = UpgradeRunner::Outcome;

namespace {

QCoreApplication *app()
{
    static int argc = 1;
    static char name[] = "upgrade_runner_test";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *a = QCoreApplication::instance() ? QCoreApplication::instance()
                                                              : new QCoreApplication(argc, argv);
    return a;
}

UpgradeTimings fastTimings()
{
    UpgradeTimings t;
    t.apply(kShortWaits);
    return t;
}

} // namespace

class RunnerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        app();
        observer = Msg::addObserver([this](const Msg::Request &r) { boxes << r.caption + ": " + r.text; });
        ASSERT_TRUE(writeFile(box.install + "/a.txt", "a before"));
        ASSERT_TRUE(writeFile(box.install + "/c.ini", "c before"));
        before = snapshot(box.install);
        p1 = zipBytes({
            {"upgrade.xml", script("<REPLACE><TARGET>$APPPATH/a.txt</TARGET><SRC>$CURPATH/a.txt</SRC></REPLACE>"
                                   "<CREATE><TARGET>$APPPATH/new/b.txt</TARGET><SRC>$CURPATH/b.txt</SRC></CREATE>"
                                   "<PATCH><TARGET>$APPPATH/c.ini</TARGET></PATCH>")},
            {"a.txt", "a after"},
            {"b.txt", "b new"},
        });
        server.put("/p1.zip", p1);
    }
    void TearDown() override { Msg::removeObserver(observer); }

    UpgradeArguments arguments() const
    {
        UpgradeArguments a;
        a.productId = "4";
        a.installDir = box.install;
        a.clientExecutable = box.install + "/Ostrel";
        a.clientCommandLine = "\"" + box.install + "/Ostrel\" --profile \"my profile\"";
        return a;
    }

    std::unique_ptr<UpgradeRunner> runner(const QList<UpgradePackage> &packages,
                                          const UpgradeArguments &args)
    {
        auto r = std::make_unique<UpgradeRunner>(args, packages, UpgradeFolders(box.upgrade, box.install),
                                                 fastTimings());
        r->setClientStarter([this](const ClientLauncher::Command &c) {
            starts << c;
            return true;
        });
        return r;
    }
    std::unique_ptr<UpgradeRunner> runner(const QList<UpgradePackage> &packages)
    {
        return runner(packages, arguments());
    }

    Outcome run(UpgradeRunner &r, bool start = true)
    {
        QEventLoop loop;
        QObject::connect(&r, &UpgradeRunner::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(kWaitMs, &loop, &QEventLoop::quit);
        if (start)
            QTimer::singleShot(0, &r, &UpgradeRunner::start);
        loop.exec();
        return r.outcome();
    }

    Sandbox box;
    HttpServer server;
    Snapshot before;
    QByteArray p1;
    QStringList boxes;
    QList<ClientLauncher::Command> starts;
    int observer = 0;
};

TEST_F(RunnerTest, CompletesAndRestartsTheClient)
{
    auto r = runner({{"2.1", server.url("/p1.zip")}});
    int stepsAdvanced = 0;
    QObject::connect(r.get(), &UpgradeRunner::totalAdvanced, [&] { ++stepsAdvanced; });
    ASSERT_EQ(run(*r), Outcome::Completed) << qPrintable(r->errorDetail());
    EXPECT_EQ(readFile(box.install + "/a.txt"), QByteArray("a after"));
    EXPECT_EQ(readFile(box.install + "/new/b.txt"), QByteArray("b new"));
    EXPECT_EQ(stepsAdvanced, r->totalSteps());
    EXPECT_EQ(boxes, QStringList{UpgradeTexts::kInfoCaption + ": " + UpgradeTexts::kSuccess});
    ASSERT_EQ(starts.size(), 1);
    EXPECT_EQ(starts[0].program, box.install + "/Ostrel");
    EXPECT_EQ(starts[0].arguments, QStringList({"--profile", "my profile"}));
    EXPECT_EQ(starts[0].workingDirectory, box.install);
    EXPECT_TRUE(QDir(box.upgrade).isEmpty());
}

TEST_F(RunnerTest, CancelAtEachStep)
{
    server.putStalled("/stalled.zip", QByteArray(4096, 'x'), 1 << 20);
    enum class Trigger { BeforeStart, ClosingClient, EnteringDownload, MidDownload, Unpacking, BackingUp,
                         AfterFirstChange, Finishing };
    struct Case {
        const char *name;
        Trigger trigger;
        Outcome outcome;
        bool clientStarted;
        bool upgraded;
    };
    const Case cases[] = {
        {"before the start", Trigger::BeforeStart, Outcome::Cancelled, false, false},
        {"while closing the client", Trigger::ClosingClient, Outcome::Cancelled, false, false},
        {"entering the download", Trigger::EnteringDownload, Outcome::Cancelled, true, false},
        {"in the middle of the download", Trigger::MidDownload, Outcome::Cancelled, true, false},
        {"while unpacking", Trigger::Unpacking, Outcome::Cancelled, false, false},
        {"while backing up", Trigger::BackingUp, Outcome::Cancelled, false, false},
        {"after the first change", Trigger::AfterFirstChange, Outcome::Cancelled, false, false},
        {"at the finish (too late)", Trigger::Finishing, Outcome::Completed, true, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        boxes.clear();
        starts.clear();
        const QString address = server.url(c.trigger == Trigger::MidDownload ? "/stalled.zip" : "/p1.zip");
        auto r = runner({{"2.1", address}});
        UpgradeRunner *raw = r.get();
        QObject::connect(raw, &UpgradeRunner::stepEntered, [&](Step s, int) {
            if ((c.trigger == Trigger::ClosingClient && s == Step::CloseClient)
                || (c.trigger == Trigger::EnteringDownload && s == Step::DownloadPackage)
                || (c.trigger == Trigger::Finishing && s == Step::FinishUpgrade))
                raw->cancel();
        });
        QObject::connect(raw, &UpgradeRunner::progressChanged, [&](qint64 v) {
            if (c.trigger == Trigger::MidDownload && raw->currentStep() == Step::DownloadPackage && v > 0)
                raw->cancel();
        });
        QObject::connect(raw, &UpgradeRunner::hintChanged, [&](const QString &h) {
            if ((c.trigger == Trigger::Unpacking && h == UpgradeTexts::kHintUnpacking)
                || (c.trigger == Trigger::BackingUp && h == UpgradeTexts::kHintBackingUp)
                || (c.trigger == Trigger::AfterFirstChange && h.startsWith(UpgradeTexts::kHintCreating.left(4))))
                raw->cancel();
        });
        if (c.trigger == Trigger::BeforeStart)
            raw->cancel();
        EXPECT_EQ(run(*r), c.outcome) << qPrintable(r->errorDetail());
        EXPECT_EQ(!starts.isEmpty(), c.clientStarted);
        if (c.upgraded) {
            EXPECT_EQ(boxes, QStringList{UpgradeTexts::kInfoCaption + ": " + UpgradeTexts::kSuccess});
            EXPECT_EQ(readFile(box.install + "/a.txt"), QByteArray("a after"));
            // Put the installation back for the next case.
            writeFile(box.install + "/a.txt", "a before");
            QDir(box.install + "/new").removeRecursively();
        } else {
            EXPECT_EQ(boxes, QStringList()) << "a cancel shows no error";
        }
        EXPECT_EQ(describeDifferences(before, snapshot(box.install)), QString());
        EXPECT_TRUE(QDir(box.upgrade).isEmpty());
    }
}

TEST_F(RunnerTest, NothingAdvancesWhileTheExitQuestionIsOpen)
{
    auto r = runner({{"2.1", server.url("/p1.zip")}});
    UpgradeRunner *raw = r.get();
    QStringList hintsWhilePaused;
    bool paused = false;
    QObject::connect(raw, &UpgradeRunner::hintChanged, [&](const QString &h) {
        if (paused)
            hintsWhilePaused << h;
        if (h == UpgradeTexts::kHintBackingUp && !paused) {
            paused = true;
            raw->setPaused(true);
            // Answer "No" a little later: the run goes on from where it was.
            QTimer::singleShot(100, raw, [&] {
                EXPECT_FALSE(QFileInfo::exists(box.install + "/new/b.txt"));
                paused = false;
                raw->setPaused(false);
            });
        }
    });
    EXPECT_EQ(run(*r), Outcome::Completed) << qPrintable(r->errorDetail());
    EXPECT_EQ(hintsWhilePaused, QStringList());
    EXPECT_EQ(readFile(box.install + "/new/b.txt"), QByteArray("b new"));
}

TEST_F(RunnerTest, DownloadFailuresEndWithTheDownloadError)
{
    server.putStalled("/stalled.zip", QByteArray(100, 'x'), 1 << 20);
    struct Case {
        const char *name;
        QString address;
    };
    const Case cases[] = {
        {"not found", server.url("/missing.zip")},
        {"stalls (read time-out)", server.url("/stalled.zip")},
        {"nobody listening", "http://127.0.0.1:1/p.zip"},
        {"not http", "ftp://127.0.0.1/p1.zip"},
        {"no address", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        boxes.clear();
        starts.clear();
        auto r = runner({{"2.1", c.address}});
        EXPECT_EQ(run(*r), Outcome::Failed);
        EXPECT_EQ(boxes, QStringList{UpgradeTexts::kErrorCaption + ": " + UpgradeTexts::kDownloadError});
        EXPECT_EQ(starts.size(), 1) << "the closed client is started again";
        EXPECT_EQ(describeDifferences(before, snapshot(box.install)), QString());
        EXPECT_TRUE(QDir(box.upgrade).isEmpty());
    }
}

TEST_F(RunnerTest, DownloadsThroughTheProxyWithSpacesEncoded)
{
    server.put("http://upgrade.invalid/dir/my package.zip", p1);
    UpgradeArguments args = arguments();
    args.proxyHost = "127.0.0.1";
    args.proxyPort = quint16(server.port());
    auto r = runner({{"2.1", "http://upgrade.invalid/dir/my package.zip"}}, args);
    EXPECT_EQ(run(*r), Outcome::Completed) << qPrintable(r->errorDetail());
    EXPECT_TRUE(server.targets().contains("http://upgrade.invalid/dir/my%20package.zip"))
        << qPrintable(server.targets().join(' '));
}
