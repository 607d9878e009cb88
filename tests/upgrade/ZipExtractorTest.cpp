// The unpacking of package archives: which entry names are refused, GBK
// names, and that a refused or broken archive writes nothing.

#include "GbkText.h"
#include "UpgradeTestSupport.h"
#include "ZipExtractor.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace UpgradeTest;

TEST(ZipExtractor, NormalizesOrRefusesEntryNames)
{
    struct Case {
        const char *name;
        const char *expected; // nullptr: refused
    };
    const Case cases[] = {
        {"upgrade.xml", "upgrade.xml"},
        {"bin/Ostrel", "bin/Ostrel"},
        {R"(bin\sub\a.dll)", "bin/sub/a.dll"},
        {"./a//b/", "a/b"},
        {"dir/", "dir"},
        {"/etc/passwd", nullptr},
        {R"(\etc\passwd)", nullptr},
        {"//server/share/x", nullptr},
        {"C:/Windows/x.dll", nullptr},
        {R"(c:\x.dll)", nullptr},
        {"C:x.dll", nullptr},
        {"../x", nullptr},
        {"a/../../x", nullptr},
        {"a/../b", nullptr},
        {R"(..\..\x)", nullptr},
        {R"(a\..\..\x)", nullptr},
        {"", nullptr},
        {"./", nullptr},
    };
    for (const Case &c : cases) {
        const auto n = ZipExtractor::normalizeEntryName(QString::fromUtf8(c.name));
        if (c.expected)
            EXPECT_EQ(n.value_or(QStringLiteral("<refused>")), QString::fromUtf8(c.expected)) << c.name;
        else
            EXPECT_FALSE(n) << c.name << " -> " << qPrintable(n.value_or(QString()));
    }
}

class ZipFixture : public ::testing::Test
{
protected:
    bool unpack(const QList<ZipEntry> &entries, QString *error)
    {
        return unpackBytes(zipBytes(entries), error);
    }
    bool unpackBytes(const QByteArray &bytes, QString *error)
    {
        const QString file = box.work + "/p.zip";
        writeFile(file, bytes);
        ZipExtractor z;
        if (!z.open(file, error) || !z.validate({"_Backup", "p.zip"}, error))
            return false;
        for (int i = 0; i < z.entries().size(); ++i) {
            if (!z.extract(i, dest, error))
                return false;
        }
        return true;
    }
    void SetUp() override
    {
        dest = box.upgrade + "/_TMP";
        QDir().mkpath(dest);
    }
    Sandbox box;
    QString dest;
};

TEST_F(ZipFixture, UnpacksFoldersGbkNamesAndModes)
{
    // "乗" is 81 5C in GBK: its trail byte is a backslash.
    const QString gbkName = QStringLiteral("资料乗/说明.txt");
    QString error;
    ASSERT_TRUE(unpack({{"upgrade.xml", "<ROOT/>"},
                        {"bin/sub/", ""},
                        {R"(bin\sub\tool.sh)", "#!/bin/sh\n", true, S_IFREG | 0755},
                        {"data/ro.dat", "read-only", true, S_IFREG | 0444},
                        {Gbk::encode(gbkName), "gbk", false},
                        {QStringLiteral("中文/名字.txt").toUtf8(), "utf8", true},
                        {"empty.txt", "", true, std::nullopt, true}},
                       &error))
        << qPrintable(error);
    EXPECT_EQ(readFile(dest + "/bin/sub/tool.sh"), QByteArray("#!/bin/sh\n"));
    EXPECT_TRUE(QFileInfo(dest + "/bin/sub/tool.sh").isExecutable());
    EXPECT_EQ(readFile(dest + "/" + gbkName), QByteArray("gbk"));
    EXPECT_EQ(readFile(dest + QStringLiteral("/中文/名字.txt")), QByteArray("utf8"));
    EXPECT_TRUE(QFileInfo(dest + "/empty.txt").isFile());
    // Unpacked files stay writable by their owner so clean-up can remove them.
    EXPECT_TRUE(QFileInfo(dest + "/data/ro.dat").permissions() & QFileDevice::WriteOwner);

    // Unpacking again overwrites, read-only files included.
    ASSERT_TRUE(writeFile(dest + "/data/ro.dat", "stale", QFileDevice::ReadOwner));
    ASSERT_TRUE(unpack({{"data/ro.dat", "fresh"}}, &error)) << qPrintable(error);
    EXPECT_EQ(readFile(dest + "/data/ro.dat"), QByteArray("fresh"));
}

TEST_F(ZipFixture, RefusesHostileArchivesBeforeWriting)
{
    const QByteArray big(1 << 20, '\0');
    struct Case {
        const char *name;
        QByteArray zip;
    };
    const QList<Case> cases = {
        {"absolute", zipBytes({{"upgrade.xml", "x"}, {"/tmp/evil", "x"}})},
        {"drive letter", zipBytes({{"upgrade.xml", "x"}, {"C:/evil", "x"}})},
        {"dot-dot", zipBytes({{"upgrade.xml", "x"}, {"../evil", "x"}})},
        {"backslash climb", zipBytes({{"upgrade.xml", "x"}, {R"(sub\..\..\evil)", "x"}})},
        {"symbolic link", zipBytes({{"upgrade.xml", "x"}, {"link", "/etc", true, S_IFLNK | 0777}})},
        {"fifo", zipBytes({{"upgrade.xml", "x"}, {"pipe", "", true, S_IFIFO | 0644}})},
        {"reserved backup folder", zipBytes({{"upgrade.xml", "x"}, {"_backup/upgrade.journal", "x"}})},
        {"package file itself", zipBytes({{"upgrade.xml", "x"}, {"p.zip", "x"}})},
        {"declared 3.5 GB", withDeclaredSize(zipBytes({{"upgrade.xml", big}}), 0xE0000000u)},
    };
    for (const Case &c : cases) {
        ASSERT_FALSE(c.zip.isEmpty()) << c.name;
        QString error;
        EXPECT_FALSE(unpackBytes(c.zip, &error)) << c.name;
        EXPECT_TRUE(QDir(dest).isEmpty()) << c.name << ": something was written";
        EXPECT_TRUE(QDir(box.root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size() == 3) << c.name;
    }
}

TEST_F(ZipFixture, StopsAtBrokenData)
{
    const QByteArray big(1 << 20, 'z');
    const QByteArray good = zipBytes({{"upgrade.xml", big}});
    QByteArray flipped = good;
    flipped[flipped.indexOf("upgrade.xml") + 20] = char(flipped[flipped.indexOf("upgrade.xml") + 20] ^ 0x55);
    struct Case {
        const char *name;
        QByteArray zip;
    };
    const QList<Case> cases = {
        {"inflates beyond its declared size", withDeclaredSize(good, 1000)},
        {"damaged data", flipped},
        {"truncated", good.left(good.size() / 2)},
        {"not a zip", QByteArray("PK\x03\x04 this is not an archive")},
        {"empty file", QByteArray()},
    };
    for (const Case &c : cases) {
        QString error;
        EXPECT_FALSE(unpackBytes(c.zip, &error)) << c.name;
        EXPECT_FALSE(QFileInfo::exists(dest + "/upgrade.xml")) << c.name;
    }
}
