// Table tests of the upgrade core: command lines, hand-over arguments, the
// package list, macros and backup paths, the script parser, the data-error
// checks of a plan, the round bar's geometry and the wait overrides.

#include "CommandLine.h"
#include "GbkText.h"
#include "PackageList.h"
#include "RoundProgressGeometry.h"
#include "UpgradeArguments.h"
#include "UpgradeFolders.h"
#include "UpgradePlan.h"
#include "UpgradeScript.h"
#include "UpgradeTestSupport.h"
#include "UpgradeTimings.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace UpgradeTest;

TEST(CommandLine, SplitsLikeTheWindowsRuntime)
{
    struct Case {
        const char *line;
        QStringList expected;
    };
    const Case cases[] = {
        {"", {}},
        {"  a  b\tc ", {"a", "b", "c"}},
        {R"("/opt/My App/Ostrel" --user "张 三")", {"/opt/My App/Ostrel", "--user", "张 三"}},
        {R"(a\\b c\d)", {R"(a\\b)", R"(c\d)"}},
        {R"(a\"b)", {R"(a"b)"}},
        {R"("a\\" b)", {R"(a\)", "b"}},
        {R"("a\\\"" b)", {R"(a\")", "b"}},
        {R"("" x)", {"", "x"}},
        {R"(pre"quoted part"post)", {"prequoted partpost"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CommandLine::split(QString::fromUtf8(c.line)), c.expected) << c.line;
}

TEST(CommandLine, JoinGivesTheListBack)
{
    const QList<QStringList> lists = {
        {"/opt/Ostrel Home/Ostrel", "--profile", "my profile", ""},
        {R"(C:\Program Files\)", R"(say "hi")", R"(\\server\share\)", "tab\there"},
        {"plain", "中文 参数", R"(trailing\\)"},
    };
    for (const QStringList &l : lists)
        EXPECT_EQ(CommandLine::split(CommandLine::join(l)), l) << qPrintable(CommandLine::join(l));
    EXPECT_EQ(CommandLine::join({"a", "b"}), QStringLiteral("a b"));
}

TEST(UpgradeArguments, ReadsTheSevenFields)
{
    EXPECT_FALSE(UpgradeArguments::parse({"4", "/a", "/a/Ostrel"}));

    auto four = UpgradeArguments::parse({"4", "/a", "/a/Ostrel", "/a/Ostrel -x"});
    ASSERT_TRUE(four);
    EXPECT_EQ(four->installDir, QStringLiteral("/a"));
    EXPECT_TRUE(four->packageListFile.isEmpty());
    EXPECT_FALSE(four->hasProxy());

    struct Case {
        QStringList tail;
        QString host;
        quint16 port;
    };
    const Case cases[] = {
        {{"proxy.local", "3128"}, "proxy.local", 3128},
        {{"proxy.local"}, "proxy.local", 80},
        {{"proxy.local", "junk"}, "proxy.local", 80},
        {{"proxy.local", "70000"}, "proxy.local", 80},
        {{"  ", "3128"}, "", 3128},
    };
    for (const Case &c : cases) {
        auto a = UpgradeArguments::parse(QStringList{"4", "/a", "/a/Ostrel", "cmd", "/a/upgradetask.lst"} + c.tail);
        ASSERT_TRUE(a);
        EXPECT_EQ(a->packageListFile, QStringLiteral("/a/upgradetask.lst"));
        EXPECT_EQ(a->proxyHost, c.host) << qPrintable(c.tail.join(','));
        EXPECT_EQ(a->proxyPort, c.port) << qPrintable(c.tail.join(','));
    }
}

TEST(PackageList, ReadsVersionAndAddressPerLine)
{
    const QList<UpgradePackage> expected = {
        {"2.01", "http://h/p 1.zip"},
        {"2.02", "http://h/get?id=3&v=2"},
        {"说明", ""},
    };
    const QByteArray utf8 = QStringLiteral("2.01=http://h/p 1.zip\r\n\r\n 2.02 = http://h/get?id=3&v=2\n说明\n").toUtf8();
    EXPECT_EQ(PackageList::parse(utf8), expected);
    EXPECT_EQ(PackageList::parse("\xEF\xBB\xBF" + utf8), expected);
    EXPECT_EQ(PackageList::parse(Gbk::encode(QString::fromUtf8(utf8))), expected);
    EXPECT_FALSE(PackageList::read(QStringLiteral("/nonexistent/upgradetask.lst")));
}

TEST(UpgradeFolders, ExpandMacrosInOnePass)
{
    const UpgradeFolders f(QStringLiteral("/u/up$APPPATH"), QStringLiteral("/a/App Dir/"));
    struct Case {
        const char *text;
        const char *expanded;
        const char *leading;
    };
    const Case cases[] = {
        {R"($APPPATH\Forex.mdb)", R"(/a/App Dir\Forex.mdb)", "$APPPATH"},
        {"$CURPATH/x", "/u/up$APPPATH/_TMP/x", "$CURPATH"},
        {"$UPGPATH/y", "/u/up$APPPATH/y", "$UPGPATH"},
        {"x$APPPATH$APPPATH", "x/a/App Dir/a/App Dir", ""},
        {"$apppath/x", "$apppath/x", ""},
        {R"($WINPATH\x)", R"($WINPATH\x)", "$WINPATH"},
        {"", "", ""},
    };
    for (const Case &c : cases) {
        const UpgradeFolders::Expansion e = f.ExpandMacros(QString::fromUtf8(c.text));
        EXPECT_EQ(e.text, QString::fromUtf8(c.expanded)) << c.text;
        EXPECT_EQ(e.leadingMacro, QString::fromUtf8(c.leading)) << c.text;
    }
    EXPECT_TRUE(UpgradeFolders::usesWindowsFolder(QStringLiteral("x$SYSPATH")));
    EXPECT_FALSE(UpgradeFolders::usesWindowsFolder(QStringLiteral("$APPPATH")));
}

TEST(UpgradeScript, SectionsThatApplyHere)
{
    for (const char *yes : {"COMMON", "common", "LINUX", "Linux"})
        EXPECT_TRUE(UpgradeScript::SectionMatchesOS(QString::fromLatin1(yes))) << yes;
    for (const char *no : {"WIN98", "WIN9X", "WIN2000", "WINXP", "WINNT", "MACOS", ""})
        EXPECT_FALSE(UpgradeScript::SectionMatchesOS(QString::fromLatin1(no))) << no;
}

TEST(UpgradeScript, ParsesItemsOfApplicableSections)
{
    using K = UpgradeScript::ItemKind;
    struct Case {
        const char *name;
        QByteArray xml;
        bool ok;
        QList<K> kinds;
    };
    const Case cases[] = {
        {"all kinds, any case", "<ROOT><COMMON><REPLACE/><patch/><Create/><EXEC/></COMMON></ROOT>", true,
         {K::Replace, K::Patch, K::Create, K::Exec}},
        {"sections in order", "<ROOT><linux><EXEC/></linux><WINXP><REPLACE/></WINXP><Common><PATCH/></Common></ROOT>",
         true, {K::Exec, K::Patch}},
        {"windows sections skipped with anything in them",
         "<ROOT><WIN2000><!-- c --><DELETE/>text</WIN2000><WINNT><X/></WINNT></ROOT>", true, {}},
        {"unknown section skipped", "<ROOT><EXTRA><DELETE/></EXTRA></ROOT>", true, {}},
        {"empty root", "<ROOT/>", true, {}},
        {"comment in COMMON", "<ROOT><COMMON><!-- note --><REPLACE/></COMMON></ROOT>", false, {}},
        {"text in COMMON", "<ROOT><COMMON>stray<REPLACE/></COMMON></ROOT>", false, {}},
        {"CDATA in LINUX", "<ROOT><LINUX><![CDATA[x]]></LINUX></ROOT>", false, {}},
        {"unknown item", "<ROOT><COMMON><DELETE/></COMMON></ROOT>", false, {}},
        {"no ROOT", "<root><COMMON/></root>", false, {}},
        {"not XML", "<ROOT><COMMON>", false, {}},
        {"empty file", "", false, {}},
    };
    for (const Case &c : cases) {
        const UpgradeScript::Result r = UpgradeScript::parse(c.xml);
        EXPECT_EQ(r.ok, c.ok) << c.name << ": " << qPrintable(r.error);
        QList<K> kinds;
        for (const auto &i : r.items)
            kinds << i.kind;
        if (c.ok) {
            EXPECT_EQ(kinds, c.kinds) << c.name;
        }
    }
}

TEST(UpgradeScript, FieldsAreExactNamesWithTrimmedText)
{
    const UpgradeScript::Result r = UpgradeScript::parse(
        "<ROOT><COMMON><REPLACE><TARGET>\n  $APPPATH/a  \n</TARGET><SRC></SRC><SIZE>10</SIZE></REPLACE>"
        "<REPLACE><target>$APPPATH/a</target></REPLACE></COMMON></ROOT>");
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.items.size(), 2);
    EXPECT_TRUE(r.items[0].target.present);
    EXPECT_EQ(r.items[0].target.text, QStringLiteral("$APPPATH/a"));
    EXPECT_TRUE(r.items[0].src.present);
    EXPECT_TRUE(r.items[0].src.text.isEmpty());
    EXPECT_EQ(r.items[0].size.text, QStringLiteral("10"));
    EXPECT_FALSE(r.items[1].target.present);
}

TEST(UpgradeScript, ReadsGbkScripts)
{
    const QString target = QStringLiteral("$APPPATH/数据/说明.txt");
    const QString body = QStringLiteral("<ROOT><COMMON><PATCH><TARGET>%1</TARGET></PATCH></COMMON></ROOT>").arg(target);
    const QByteArray declared = Gbk::encode(QStringLiteral("<?xml version=\"1.0\" encoding=\"GB2312\"?>") + body);
    const QByteArray undeclared = Gbk::encode(body);
    for (const QByteArray &bytes : {declared, undeclared, body.toUtf8()}) {
        const UpgradeScript::Result r = UpgradeScript::parse(bytes);
        ASSERT_TRUE(r.ok) << qPrintable(r.error);
        ASSERT_EQ(r.items.size(), 1);
        EXPECT_EQ(r.items[0].target.text, target);
    }
}

// A typical installation: the upgrade program lives in the client's folder,
// so the working folder is inside the installation.
class PlanTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        app = box.install;
        folders = UpgradeFolders(app, app);
        cur = folders.curPath();
        ASSERT_TRUE(writeFile(app + "/a.txt", "old a"));
        ASSERT_TRUE(writeFile(app + "/sub/b.txt", "old b"));
        ASSERT_TRUE(writeFile(cur + "/a.txt", "new a"));
        ASSERT_TRUE(writeFile(cur + "/helper.sh", "#!/bin/sh\n"));
        ASSERT_TRUE(writeFile(cur + "/_Backup/x", "x"));
        ASSERT_TRUE(writeFile(box.root + "/outside/o.txt", "o"));
        ASSERT_TRUE(QFile::link(box.root + "/outside", app + "/linkout"));
        ASSERT_TRUE(QFile::link(app + "/a.txt", app + "/filelink"));
    }

    UpgradePlan plan(const QString &items)
    {
        const UpgradeScript::Result r = UpgradeScript::parse(script(items));
        EXPECT_TRUE(r.ok) << qPrintable(r.error);
        return UpgradePlan::build(r.items, folders);
    }

    Sandbox box;
    QString app;
    QString cur;
    UpgradeFolders folders;
};

TEST_F(PlanTest, DataErrors)
{
    struct Case {
        const char *name;
        const char *item;
        bool ok;
    };
    const Case cases[] = {
        {"replace", "<REPLACE><TARGET>$APPPATH/a.txt</TARGET><SRC>$CURPATH/a.txt</SRC></REPLACE>", true},
        {"backslashes", R"(<REPLACE><TARGET>$APPPATH\sub\b.txt</TARGET><SRC>$CURPATH\a.txt</SRC></REPLACE>)", true},
        {"create in new folder", "<CREATE><TARGET>$APPPATH/new/c.txt</TARGET><SRC>$CURPATH/a.txt</SRC></CREATE>", true},
        {"patch", "<PATCH><TARGET>$APPPATH/a.txt</TARGET></PATCH>", true},
        {"exec from the package", R"(<EXEC><TARGET>"$CURPATH/helper.sh" "an arg"</TARGET></EXEC>)", true},
        {"blank target", "<REPLACE><TARGET> </TARGET></REPLACE>", true},
        {"blank source", "<REPLACE><TARGET>$APPPATH/a.txt</TARGET><SRC/></REPLACE>", true},
        {"size", "<PATCH><TARGET>$APPPATH/a.txt</TARGET><SIZE>2048</SIZE></PATCH>", true},
        {"no target", "<REPLACE><SRC>$CURPATH/a.txt</SRC></REPLACE>", false},
        {"patch without target", "<PATCH/>", false},
        {"exec without target", "<EXEC/>", false},
        {"no source", "<CREATE><TARGET>$APPPATH/a.txt</TARGET></CREATE>", false},
        {"climbs out", "<REPLACE><TARGET>$APPPATH/../escape.txt</TARGET><SRC>$CURPATH/a.txt</SRC></REPLACE>", false},
        {"climbs out by backslash", R"(<CREATE><TARGET>$APPPATH\..\escape.txt</TARGET><SRC>$CURPATH\a.txt</SRC></CREATE>)", false},
        {"absolute elsewhere", "<REPLACE><TARGET>/etc/passwd</TARGET><SRC>$CURPATH/a.txt</SRC></REPLACE>", false},
        {"relative", "<REPLACE><TARGET>a.txt</TARGET><SRC>$CURPATH/a.txt</SRC></REPLACE>", false},
        {"windows folder", R"(<REPLACE><TARGET>$WINPATH\a.dll</TARGET><SRC>$CURPATH\a.txt</SRC></REPLACE>)", false},
        {"system folder inside", R"(<PATCH><TARGET>$APPPATH\$SYSPATH</TARGET></PATCH>)", false},
        {"windows folder in source", R"(<REPLACE><TARGET>$APPPATH\a.txt</TARGET><SRC>$SYSPATH\a.txt</SRC></REPLACE>)", false},
        {"through a link out", "<CREATE><TARGET>$APPPATH/linkout/o.txt</TARGET><SRC>$CURPATH/a.txt</SRC></CREATE>", false},
        {"onto a link", "<REPLACE><TARGET>$APPPATH/filelink</TARGET><SRC>$CURPATH/a.txt</SRC></REPLACE>", false},
        {"the folder itself", "<PATCH><TARGET>$APPPATH</TARGET></PATCH>", false},
        {"a folder", "<REPLACE><TARGET>$APPPATH/sub</TARGET><SRC>$CURPATH/a.txt</SRC></REPLACE>", false},
        {"into the working folder", "<CREATE><TARGET>$CURPATH/x.txt</TARGET><SRC>$CURPATH/a.txt</SRC></CREATE>", false},
        {"onto the lock file", "<CREATE><TARGET>$UPGPATH/_TMP.lock</TARGET><SRC>$CURPATH/a.txt</SRC></CREATE>", false},
        {"into the journal", "<REPLACE><TARGET>$CURPATH/_Backup/upgrade.journal</TARGET><SRC>$CURPATH/a.txt</SRC></REPLACE>", false},
        {"source in the installation", "<REPLACE><TARGET>$APPPATH/a.txt</TARGET><SRC>$APPPATH/sub/b.txt</SRC></REPLACE>", false},
        {"source climbs out", "<REPLACE><TARGET>$APPPATH/a.txt</TARGET><SRC>$CURPATH/../a.txt</SRC></REPLACE>", false},
        {"source from the backups", "<REPLACE><TARGET>$APPPATH/a.txt</TARGET><SRC>$CURPATH/_Backup/x</SRC></REPLACE>", false},
        {"exec of a system program", "<EXEC><TARGET>/bin/sh -c true</TARGET></EXEC>", false},
        {"exec by relative name", "<EXEC><TARGET>sh -c true</TARGET></EXEC>", false},
        {"size not a number", "<PATCH><TARGET>$APPPATH/a.txt</TARGET><SIZE>12k</SIZE></PATCH>", false},
        {"negative size", "<PATCH><TARGET>$APPPATH/a.txt</TARGET><SIZE>-1</SIZE></PATCH>", false},
    };
    for (const Case &c : cases) {
        const UpgradePlan p = plan(QString::fromUtf8(c.item));
        EXPECT_EQ(p.ok, c.ok) << c.name << ": " << qPrintable(p.error);
    }
}

TEST_F(PlanTest, ResolvesPathsAndSkipsBlankItems)
{
    const UpgradePlan p = plan(QStringLiteral(
        R"(<REPLACE><TARGET>$APPPATH\sub\..\a.txt</TARGET><SRC>$CURPATH\a.txt</SRC><SIZE>3000</SIZE></REPLACE>)"
        "<CREATE><TARGET>$APPPATH/a.txt</TARGET><SRC>$CURPATH/a.txt</SRC><SIZE>10</SIZE></CREATE>"
        "<REPLACE><TARGET></TARGET></REPLACE>"
        R"(<EXEC><TARGET>"$CURPATH/helper.sh" "$APPPATH/a.txt" -v</TARGET></EXEC>)"));
    ASSERT_TRUE(p.ok) << qPrintable(p.error);
    ASSERT_EQ(p.actions.size(), 4);
    EXPECT_EQ(p.actions[0].target, app + "/a.txt");
    EXPECT_EQ(p.actions[0].source, cur + "/a.txt");
    EXPECT_EQ(p.actions[0].sizeKb, 2);
    EXPECT_EQ(p.actions[1].sizeKb, 1);
    EXPECT_TRUE(p.actions[2].skip);
    EXPECT_EQ(p.actions[3].program, cur + "/helper.sh");
    EXPECT_EQ(p.actions[3].arguments, QStringList({app + "/a.txt", "-v"}));
    EXPECT_EQ(p.totalKb, 3);
    // The same target twice is backed up once, before either change.
    ASSERT_EQ(p.backups.size(), 1);
}

TEST_F(PlanTest, BackupPathsFollowTheLeadingMacro)
{
    struct Case {
        const char *target;
        const char *backup; // below the backup folder
    };
    const Case cases[] = {
        {"$APPPATH/a.txt", "$APPPATH/a.txt"},
        {R"($APPPATH\sub\b.txt)", "$APPPATH/sub/b.txt"},
        {"$APPPATH/sub/../a.txt", "$APPPATH/a.txt"},
        {"$UPGPATH/sub/b.txt", "$UPGPATH/sub/b.txt"},
        {"$APPPATH/new/n.txt", "$APPPATH/new/n.txt"},
    };
    for (const Case &c : cases) {
        const UpgradePlan p = plan(QStringLiteral("<PATCH><TARGET>%1</TARGET></PATCH>").arg(QString::fromUtf8(c.target)));
        ASSERT_TRUE(p.ok) << c.target << ": " << qPrintable(p.error);
        ASSERT_EQ(p.backups.size(), 1);
        EXPECT_EQ(p.backups[0].backupFile, folders.backupPath() + "/" + QString::fromUtf8(c.backup)) << c.target;
    }
    // A target named without a macro is filed under $APPPATH.
    const UpgradePlan plain = plan(QStringLiteral("<PATCH><TARGET>%1/sub/b.txt</TARGET></PATCH>").arg(app));
    ASSERT_TRUE(plain.ok);
    EXPECT_EQ(plain.backups[0].backupFile, folders.backupPath() + "/$APPPATH/sub/b.txt");
}

TEST(RoundProgressGeometry, SweepsClockwiseFromTheTopCentre)
{
    EXPECT_EQ(RoundProgressGeometry::lineCount(50, 0, 100, 10, 10), 50 * 39 / 100);
    EXPECT_EQ(RoundProgressGeometry::lineCount(100, 0, 100, 10, 10), 39);
    EXPECT_EQ(RoundProgressGeometry::lineCount(500, 0, 100, 10, 10), 39);
    EXPECT_EQ(RoundProgressGeometry::lineCount(5, 0, 0, 10, 10), 0);
    EXPECT_EQ(RoundProgressGeometry::lineCount(5, 3, 3, 10, 10), 0);

    struct Case {
        int k;
        QPoint p;
    };
    // A 10 x 6 picture: border pixels x 0..9, y 0..5; 28 of them.
    const Case cases[] = {{0, {5, 0}}, {4, {9, 0}}, {5, {9, 1}}, {9, {9, 5}}, {10, {8, 5}},
                          {18, {0, 5}}, {19, {0, 4}}, {23, {0, 0}}, {27, {4, 0}}, {28, {5, 0}}};
    for (const Case &c : cases)
        EXPECT_EQ(RoundProgressGeometry::borderPoint(c.k, 10, 6), c.p) << c.k;

    EXPECT_EQ(RoundProgressGeometry::percentText(3, 0, 6), QStringLiteral("50%"));
    EXPECT_EQ(RoundProgressGeometry::percentText(3, 0, 0), QStringLiteral("0%"));
}

TEST(UpgradeTimings, OverridesByName)
{
    UpgradeTimings t;
    t.apply(QStringLiteral("close=0, read=250,bogus=3,exec=x,poll=0"));
    EXPECT_EQ(t.closeSettleMs, 0);
    EXPECT_EQ(t.readTimeoutMs, 250);
    EXPECT_EQ(t.execSettleMs, UpgradeTimings().execSettleMs);
    EXPECT_EQ(t.pollMs, UpgradeTimings().pollMs);
}
