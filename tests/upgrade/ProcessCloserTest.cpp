// Closing the client: only processes of the client's full executable path
// are stopped, politely first and by force after the grace time.

#include "ClientProcesses.h"
#include "ProcessCloser.h"
#include "UpgradeTestSupport.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <gtest/gtest.h>

using namespace UpgradeTest;

namespace {

struct Started {
    std::unique_ptr<QProcess> process;
    QString path;
};

Started startCopy(const QString &path, const QString &log, bool ignoreTerm)
{
    Started s;
    s.path = path;
    QFile::remove(path);
    QFile::copy(QStringLiteral(FAKE_CLIENT_BINARY), path);
    s.process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("FAKE_CLIENT_LOG", log);
    env.insert("FAKE_CLIENT_IGNORE_TERM", ignoreTerm ? "1" : "0");
    s.process->setProcessEnvironment(env);
    s.process->start(path, {});
    s.process->waitForStarted();
    return s;
}

std::pair<int, int> closeAll(const QString &executable, int graceMs)
{
    ProcessCloser closer;
    closer.setGraceMs(graceMs);
    closer.setPollMs(10);
    std::pair<int, int> result{-1, -1};
    QEventLoop loop;
    QObject::connect(&closer, &ProcessCloser::finished, &loop, [&](int found, int forced) {
        result = {found, forced};
        loop.quit();
    });
    QTimer::singleShot(kWaitMs, &loop, &QEventLoop::quit);
    closer.close(executable);
    loop.exec();
    return result;
}

} // namespace

TEST(ProcessCloser, ClosesOnlyTheClientByItsFullPath)
{
    static int argc = 1;
    static char name[] = "t";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);

    Sandbox box;
    const QString log = box.work + "/clients.log";
    const QString client = box.install + "/OstrelTradingClient";
    Started target = startCopy(client, log, false);
    Started sameName = startCopy(box.work + "/OstrelTradingClient", log, false);
    Started samePrefix = startCopy(box.install + "/OstrelTradingClient2", log, false);
    Started stubborn = startCopy(box.install + "/Stubborn", log, true);
    ASSERT_EQ(waitForClientLog(log, 4).size(), 4);

    EXPECT_EQ(ClientProcesses::find(client).size(), 1);
    EXPECT_EQ(closeAll(client, 2000), std::make_pair(1, 0));
    target.process->waitForFinished(kWaitMs);
    EXPECT_EQ(target.process->state(), QProcess::NotRunning);
    EXPECT_EQ(target.process->exitStatus(), QProcess::CrashExit) << "ended by its signal";
    EXPECT_EQ(sameName.process->state(), QProcess::Running);
    EXPECT_EQ(samePrefix.process->state(), QProcess::Running);

    // The one that ignores the polite stop is stopped by force.
    EXPECT_EQ(closeAll(box.install + "/Stubborn", 100), std::make_pair(1, 1));
    stubborn.process->waitForFinished(kWaitMs);
    EXPECT_EQ(stubborn.process->state(), QProcess::NotRunning);

    EXPECT_EQ(closeAll(box.install + "/NotRunning", 100), std::make_pair(0, 0));
    EXPECT_TRUE(ClientProcesses::find(QString()).isEmpty());

    for (Started *s : {&sameName, &samePrefix}) {
        s->process->kill();
        s->process->waitForFinished(kWaitMs);
    }
}
