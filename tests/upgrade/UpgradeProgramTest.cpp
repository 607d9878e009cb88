// End-to-end runs of the real `upgrade` program (offscreen, unattended)
// against a loopback server with packages built at test time. After every
// failing or hostile run the installation is exactly as before (or as the
// packages before the failing one left it), the upgrade folder is empty
// and nothing new exists outside the installation.

#include "CommandLine.h"
#include "UpgradeTestSupport.h"
#include "UpgradeTexts.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <csignal>
#include <sys/stat.h>

using namespace UpgradeTest;

namespace {

struct RunResult {
    bool finished = false;
    int exitCode = -1;
    QString errors;
    QStringList boxes;
};

QString box(const QString &caption, const QString &text)
{
    return caption + QStringLiteral(": ") + text;
}

const QByteArray kPatchHelper = "#!/bin/sh\n"
                                "# Changes the file named first and leaves a marker in the second.\n"
                                "printf 'patched\\n' >> \"$1\"\n"
                                "printf 'ran\\n' > \"$2\"\n";

class ProgramTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        clientLog = sb.work + "/clients.log";
        listFile = sb.work + "/upgradetask.lst";
        client = sb.install + "/Ostrel";
        ASSERT_TRUE(QFile::copy(QStringLiteral(FAKE_CLIENT_BINARY), client));
        ASSERT_TRUE(writeFile(sb.install + "/bin/readonly.dat", "ro before", QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        ASSERT_TRUE(writeFile(sb.install + "/data/sub/deep.txt", "deep before"));
        ASSERT_TRUE(writeFile(sb.install + "/config.ini", "config before\n"));
        ASSERT_TRUE(writeFile(sb.install + "/keep.txt", "untouched"));
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("OSTREL_PROGRAM_DIR", sb.upgrade);
        env.insert("OSTREL_UPGRADE_WAITS", kShortWaits);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("OSTREL_UNATTENDED", "1");
        env.insert("FAKE_CLIENT_LOG", clientLog);
        env.insert("FAKE_CLIENT_LIFETIME_MS", QString::number(kWaitMs));
        return env;
    }

    void writeList(const QList<std::pair<QString, QString>> &packages)
    {
        QByteArray text;
        for (const auto &[version, address] : packages)
            text += (version + "=" + address + "\r\n").toUtf8();
        ASSERT_TRUE(writeFile(listFile, text));
    }

    QStringList handOver(const QStringList &clientArguments = {}) const
    {
        return {"4", sb.install, client, CommandLine::join(QStringList{client} + clientArguments), listFile};
    }

    RunResult runUpgrade(const QStringList &arguments,
                         const std::function<void(QProcess &)> &during = nullptr)
    {
        QProcess p;
        p.setProcessEnvironment(environment());
        p.start(QStringLiteral(UPGRADE_BINARY), arguments);
        RunResult r;
        if (!p.waitForStarted(kWaitMs))
            return r;
        if (during)
            during(p);
        r.finished = p.waitForFinished(kWaitMs);
        if (!r.finished) {
            p.kill();
            p.waitForFinished();
        }
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.errors = QString::fromUtf8(p.readAllStandardError());
        for (const QString &line : r.errors.split('\n')) {
            if (line.startsWith("MessageBox: "))
                r.boxes << line.mid(12);
        }
        return r;
    }

    // The client started again by the run: its arguments; it is ended here.
    QList<QStringList> restartedClients(int alreadyLogged = 0)
    {
        QList<QStringList> out;
        const QList<ClientStart> starts = waitForClientLog(clientLog, alreadyLogged + 1);
        for (int i = alreadyLogged; i < starts.size(); ++i) {
            out << starts[i].arguments;
            ::kill(pid_t(starts[i].pid), SIGTERM);
        }
        return out;
    }

    void expectEverythingOutsideUnchanged(const QStringList &rootEntries)
    {
        EXPECT_EQ(QDir(sb.root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), rootEntries);
        EXPECT_TRUE(QDir(sb.upgrade).isEmpty()) << qPrintable(QDir(sb.upgrade).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).join(' '));
    }

    Sandbox sb;
    HttpServer server;
    QString clientLog;
    QString listFile;
    QString client;
};

TEST_F(ProgramTest, AppliesPackagesClosesAndRestartsTheClient)
{
    const QStringList clientArguments = {"--profile", "my profile", "中文 参数", ""};
    QProcess running;
    QProcessEnvironment env = environment();
    running.setProcessEnvironment(env);
    running.start(client, clientArguments);
    ASSERT_TRUE(running.waitForStarted());
    ASSERT_EQ(waitForClientLog(clientLog, 1).size(), 1);

    server.put("/pkgs/p1.zip", zipBytes({
        {"upgrade.xml", script(
            "<REPLACE><TARGET>$APPPATH/bin/readonly.dat</TARGET><SRC>$CURPATH/files/readonly.dat</SRC><SIZE>2048</SIZE></REPLACE>"
            "<CREATE><TARGET>$APPPATH/data/new/created.txt</TARGET><SRC>$CURPATH/files/new/created.txt</SRC></CREATE>"
            R"(<REPLACE><TARGET>$APPPATH\data\sub\deep.txt</TARGET><SRC>$CURPATH\files\sub\deep.txt</SRC></REPLACE>)"
            "</COMMON><WINXP><REPLACE><TARGET>$WINPATH\\evil.dll</TARGET><SRC>$CURPATH\\x</SRC></REPLACE></WINXP>"
            "<LINUX><PATCH><TARGET>$APPPATH/config.ini</TARGET></PATCH>"
            R"(<EXEC><TARGET>"$CURPATH/tools/patch.sh" "$APPPATH/config.ini" "$APPPATH/exec-marker.txt"</TARGET></EXEC>)"
            "</LINUX><COMMON>")},
        {"files/readonly.dat", "ro after"},
        {"files/new/created.txt", "created"},
        {R"(files\sub\deep.txt)", "deep after"},
        {"tools/patch.sh", kPatchHelper, true, S_IFREG | 0755},
    }));
    server.put("/pkgs/second package.zip", zipBytes({
        {"upgrade.xml", script(
            "<CREATE><TARGET>$APPPATH/keep.txt</TARGET><SRC>$CURPATH/keep.txt</SRC></CREATE>"
            "<REPLACE><TARGET>$APPPATH/Ostrel</TARGET><SRC>$CURPATH/Ostrel</SRC></REPLACE>")},
        {"keep.txt", "overwritten by CREATE"},
        {"Ostrel", readFile(QStringLiteral(FAKE_CLIENT_BINARY)), true, S_IFREG | 0644},
    }));
    writeList({{"2.01", server.url("/pkgs/p1.zip")}, {"2.02", server.url("/pkgs/second package.zip")}});

    Snapshot expected = snapshot(sb.install);
    expected["bin/readonly.dat"].bytes = "ro after";
    expected["data/new"] = {true, {}, QFileInfo(sb.install + "/data").permissions()};
    expected["data/new/created.txt"] = {false, "created", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther};
    expected["data/sub/deep.txt"].bytes = "deep after";
    expected["config.ini"].bytes = "config before\npatched\n";
    expected["exec-marker.txt"] = {false, "ran\n", expected["keep.txt"].permissions};
    expected["keep.txt"].bytes = "overwritten by CREATE";

    const RunResult r = runUpgrade(handOver(clientArguments));
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.errors);
    EXPECT_EQ(r.boxes, QStringList{box(UpgradeTexts::kInfoCaption, UpgradeTexts::kSuccess)});
    EXPECT_EQ(describeDifferences(expected, snapshot(sb.install)), QString());
    EXPECT_TRUE(server.targets().contains("/pkgs/second%20package.zip")) << qPrintable(server.targets().join(' '));

    // The running client was stopped, and started again with its arguments.
    EXPECT_TRUE(running.waitForFinished(kWaitMs));
    EXPECT_EQ(restartedClients(1), QList<QStringList>{clientArguments});
    EXPECT_FALSE(QFileInfo::exists(listFile));
    expectEverythingOutsideUnchanged({"Ostrel Home", "upg", "work"});
}

TEST_F(ProgramTest, ASecondPackageThatFailsIsUndoneAlone)
{
    const QByteArray first = zipBytes({
        {"upgrade.xml", script("<CREATE><TARGET>$APPPATH/from-first.txt</TARGET><SRC>$CURPATH/f.txt</SRC></CREATE>")},
        {"f.txt", "first"},
    });
    // Changes several files, then fails: everything it did must go.
    auto failingApply = [](const QString &lastItem) {
        return zipBytes({
            {"upgrade.xml", script(
                "<REPLACE><TARGET>$APPPATH/bin/readonly.dat</TARGET><SRC>$CURPATH/ro.dat</SRC></REPLACE>"
                "<CREATE><TARGET>$APPPATH/data/new2/deeper/x.txt</TARGET><SRC>$CURPATH/x.txt</SRC></CREATE>"
                "<CREATE><TARGET>$APPPATH/from-first.txt</TARGET><SRC>$CURPATH/x.txt</SRC></CREATE>"
                "<PATCH><TARGET>$APPPATH/config.ini</TARGET></PATCH>"
                "<PATCH><TARGET>$APPPATH/marker.txt</TARGET></PATCH>"
                R"(<EXEC><TARGET>"$CURPATH/patch.sh" "$APPPATH/config.ini" "$APPPATH/marker.txt"</TARGET></EXEC>)" + lastItem)},
            {"ro.dat", "ro after"},
            {"x.txt", "x"},
            {"patch.sh", kPatchHelper, true, S_IFREG | 0755},
        });
    };
    struct Case {
        const char *name;
        QByteArray second; // empty: not on the server
        QString message;
    };
    const Case cases[] = {
        {"in download", {}, UpgradeTexts::kDownloadError},
        {"in unzip", QByteArray("PK\x03\x04 broken"), UpgradeTexts::kUnpackError},
        {"in apply: a copy fails",
         failingApply("<REPLACE><TARGET>$APPPATH/data/sub/deep.txt</TARGET><SRC>$CURPATH/missing.txt</SRC></REPLACE>"),
         UpgradeTexts::kCopyError.arg(QDir::toNativeSeparators(sb.install + "/data/sub/deep.txt"))},
        {"in apply: a program cannot run",
         failingApply("<EXEC><TARGET>$CURPATH/not-there.sh</TARGET></EXEC>"), UpgradeTexts::kDataError},
    };
    const Snapshot original = snapshot(sb.install);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(sb.install + "/from-first.txt");
        server.put("/first.zip", first);
        const std::string second = std::string("/second-") + std::to_string(&c - cases) + ".zip";
        if (!c.second.isEmpty())
            server.put(second, c.second);
        writeList({{"2.01", server.url("/first.zip")}, {"2.02", server.url(QString::fromStdString(second))}});
        const int logged = int(readClientLog(clientLog).size());

        const RunResult r = runUpgrade(handOver({"--after", "an error"}));
        ASSERT_TRUE(r.finished);
        EXPECT_EQ(r.exitCode, 1) << qPrintable(r.errors);
        EXPECT_EQ(r.boxes, QStringList{box(UpgradeTexts::kErrorCaption, c.message)}) << qPrintable(r.errors);

        Snapshot expected = original;
        expected["from-first.txt"] = {false, "first", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther};
        EXPECT_EQ(describeDifferences(expected, snapshot(sb.install)), QString());
        EXPECT_EQ(restartedClients(logged), (QList<QStringList>{{"--after", "an error"}}));
        expectEverythingOutsideUnchanged({"Ostrel Home", "upg", "work"});
    }
}

TEST_F(ProgramTest, HostilePackagesChangeNothing)
{
    const QString escaped = sb.root + "/escaped.txt";
    const QByteArray okScript = script("<REPLACE><TARGET>$APPPATH/keep.txt</TARGET><SRC>$CURPATH/k.txt</SRC></REPLACE>");
    auto withScript = [](const QString &items) {
        return zipBytes({
            {"upgrade.xml", script("<REPLACE><TARGET>$APPPATH/keep.txt</TARGET><SRC>$CURPATH/k.txt</SRC></REPLACE>" + items)},
            {"k.txt", "changed"},
        });
    };
    auto withEntry = [&](const ZipEntry &entry) {
        return zipBytes({{"upgrade.xml", okScript}, {"k.txt", "changed"}, entry});
    };
    struct Case {
        const char *name;
        QByteArray zip;
        QString message;
        std::function<void()> prepare;
    };
    const QList<Case> cases = {
        {"absolute entry", withEntry({escaped.toUtf8(), "x"}), UpgradeTexts::kUnpackError, {}},
        {"drive letter entry", withEntry({"C:/escaped.txt", "x"}), UpgradeTexts::kUnpackError, {}},
        {"dot-dot entry", withEntry({"../../escaped.txt", "x"}), UpgradeTexts::kUnpackError, {}},
        {"backslash climb", withEntry({R"(a\..\..\..\escaped.txt)", "x"}), UpgradeTexts::kUnpackError, {}},
        {"symlink entry", zipBytes({{"upgrade.xml", okScript}, {"out", sb.root.toUtf8(), true, S_IFLNK | 0777},
                                    {"out/escaped.txt", "x"}}), UpgradeTexts::kUnpackError, {}},
        {"zip bomb", withDeclaredSize(zipBytes({{"upgrade.xml", QByteArray(1 << 20, ' ')}}), 0xE0000000u),
         UpgradeTexts::kUnpackError, {}},
        {"corrupt zip", QByteArray(2000, 'Z'), UpgradeTexts::kUnpackError, {}},
        {"no upgrade.xml", zipBytes({{"k.txt", "changed"}}),
         UpgradeTexts::kFileOpenError.arg(QDir::toNativeSeparators(sb.upgrade + "/_TMP/upgrade.xml"), "No such file or directory"), {}},
        {"target climbs out", withScript("<CREATE><TARGET>$APPPATH/../escaped.txt</TARGET><SRC>$CURPATH/k.txt</SRC></CREATE>"),
         UpgradeTexts::kDataError, {}},
        {"target elsewhere", withScript(QStringLiteral("<CREATE><TARGET>%1</TARGET><SRC>$CURPATH/k.txt</SRC></CREATE>").arg(escaped)),
         UpgradeTexts::kDataError, {}},
        {"target in the upgrade folder", withScript("<CREATE><TARGET>$UPGPATH/escaped.txt</TARGET><SRC>$CURPATH/k.txt</SRC></CREATE>"),
         UpgradeTexts::kDataError, {}},
        {"target through a link", withScript("<CREATE><TARGET>$APPPATH/outlink/escaped.txt</TARGET><SRC>$CURPATH/k.txt</SRC></CREATE>"),
         UpgradeTexts::kDataError, [&] { QFile::link(sb.root, sb.install + "/outlink"); }},
        {"windows folder", withScript(R"(<REPLACE><TARGET>$SYSPATH\escaped.txt</TARGET><SRC>$CURPATH\k.txt</SRC></REPLACE>)"),
         UpgradeTexts::kDataError, {}},
        {"source outside the package", withScript("<REPLACE><TARGET>$APPPATH/keep.txt</TARGET><SRC>$APPPATH/config.ini</SRC></REPLACE>"),
         UpgradeTexts::kDataError, {}},
        {"comment among the items", withScript("<!-- stray -->"), UpgradeTexts::kDataError, {}},
    };
    client = sb.install + "/NoClient"; // nothing to restart here
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.zip.isEmpty());
        if (c.prepare)
            c.prepare();
        const Snapshot before = snapshot(sb.install);
        const QStringList rootEntries = QDir(sb.root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        const std::string path = std::string("/hostile-") + std::to_string(&c - cases.data()) + ".zip";
        server.put(path, c.zip);
        writeList({{"9.9", server.url(QString::fromStdString(path))}});

        const RunResult r = runUpgrade(handOver());
        ASSERT_TRUE(r.finished);
        EXPECT_EQ(r.exitCode, 1) << qPrintable(r.errors);
        EXPECT_EQ(r.boxes, QStringList{box(UpgradeTexts::kErrorCaption, c.message)}) << qPrintable(r.errors);
        EXPECT_EQ(describeDifferences(before, snapshot(sb.install)), QString());
        expectEverythingOutsideUnchanged(rootEntries);
        QFile::remove(sb.install + "/outlink");
    }
}

TEST_F(ProgramTest, AKilledUpgradeIsUndoneByTheNextRun)
{
    const QString started = sb.work + "/exec-started";
    // The helper announces itself and waits until its parent, the upgrade
    // program, is gone.
    const QByteArray hold = "#!/bin/sh\n"
                            "printf 'started\\n' > \"$1\"\n"
                            "while kill -0 $PPID 2>/dev/null; do sleep 0.02; done\n";
    server.put("/p.zip", zipBytes({
        {"upgrade.xml", script(QStringLiteral(
            "<REPLACE><TARGET>$APPPATH/bin/readonly.dat</TARGET><SRC>$CURPATH/ro.dat</SRC></REPLACE>"
            "<CREATE><TARGET>$APPPATH/data/new/x.txt</TARGET><SRC>$CURPATH/x.txt</SRC></CREATE>"
            "<CREATE><TARGET>$APPPATH/keep.txt</TARGET><SRC>$CURPATH/x.txt</SRC></CREATE>"
            R"(<EXEC><TARGET>"$CURPATH/hold.sh" "%1"</TARGET></EXEC>)").arg(started))},
        {"ro.dat", "ro after"},
        {"x.txt", "x"},
        {"hold.sh", hold, true, S_IFREG | 0755},
    }));
    writeList({{"2.01", server.url("/p.zip")}});
    client = sb.install + "/NoClient";
    const Snapshot before = snapshot(sb.install);

    const RunResult killed = runUpgrade(handOver(), [&](QProcess &p) {
        QElapsedTimer t;
        t.start();
        while (!QFileInfo::exists(started) && t.elapsed() < kWaitMs)
            QThread::msleep(5);
        p.kill();
    });
    ASSERT_TRUE(QFileInfo::exists(started)) << qPrintable(killed.errors);
    EXPECT_EQ(killed.exitCode, -1);
    ASSERT_NE(describeDifferences(before, snapshot(sb.install)), QString()) << "the kill came too late";
    EXPECT_TRUE(QFileInfo::exists(sb.upgrade + "/_TMP/_Backup/upgrade.journal"));

    // Any later start of the program finishes the job, even without a task.
    const RunResult next = runUpgrade({});
    ASSERT_TRUE(next.finished);
    EXPECT_EQ(next.exitCode, 0) << qPrintable(next.errors);
    EXPECT_EQ(next.boxes, QStringList());
    EXPECT_EQ(describeDifferences(before, snapshot(sb.install)), QString());
    expectEverythingOutsideUnchanged({"Ostrel Home", "upg", "work"});
}

TEST_F(ProgramTest, EndsQuietlyWithoutATask)
{
    struct Case {
        const char *name;
        QStringList arguments;
        QByteArray list; // written unless null
        QStringList boxes;
    };
    const Case cases[] = {
        {"fewer than four arguments", {"4", sb.install, client}, "2.0=http://127.0.0.1:1/x.zip", {}},
        {"no package list", handOver(), QByteArray(), {}},
        {"empty package list", handOver(), "\r\n", {box(UpgradeTexts::kInfoCaption, UpgradeTexts::kNoTasks)}},
    };
    const Snapshot before = snapshot(sb.install);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(listFile);
        if (!c.list.isNull())
            writeFile(listFile, c.list);
        const RunResult r = runUpgrade(c.arguments);
        ASSERT_TRUE(r.finished);
        EXPECT_EQ(r.exitCode, 0) << qPrintable(r.errors);
        EXPECT_EQ(r.boxes, c.boxes);
        EXPECT_EQ(describeDifferences(before, snapshot(sb.install)), QString());
        EXPECT_TRUE(QDir(sb.upgrade).isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(listFile)) << "a read package list is deleted";
}

} // namespace
