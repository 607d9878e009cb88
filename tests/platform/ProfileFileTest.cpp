#include "GbkText.h"
#include "ProfileFile.h"

#include <QFile>
#include <QTemporaryDir>
#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

class ProfileFileTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("t.ini"));

    void writeBytes(const QByteArray &bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray readBytes()
    {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
};

TEST_F(ProfileFileTest, ReadsLikeWindowsProfiles)
{
    writeBytes(Gbk::encode(QStringLiteral("[Server]\r\nLoginUrl = http://a/b \r\nloginurl=second\r\n"
                                          "[server]\r\nOther=x\r\n[Text]\r\nName=\"  quoted  \"\r\n"
                                          "Chinese=美元\r\n;Comment=1\r\nEmpty=\r\n")));
    struct Case {
        const char *section, *key;
        QString expected;
    } cases[] = {
        {"Server", "LoginUrl", QStringLiteral("http://a/b")},  // trimmed
        {"SERVER", "LOGINURL", QStringLiteral("http://a/b")},  // case ignored, first match wins
        {"Server", "Other", QString()},                         // only the first section of a name is read
        {"Text", "Name", QStringLiteral("  quoted  ")},        // one pair of quotes removed
        {"Text", "Chinese", QStringLiteral("美元")},            // GBK decoded
        {"Text", ";Comment", QString()},
        {"Text", "Empty", QString()},
        {"Missing", "Key", QString()},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Profile::readString(path, QLatin1String(c.section), QLatin1String(c.key)), c.expected)
            << c.section << "/" << c.key;
    EXPECT_TRUE(Profile::hasKey(path, QStringLiteral("text"), QStringLiteral("empty")));
}

TEST_F(ProfileFileTest, CutsValuesAndSections)
{
    QByteArray data = "[A]\r\nLong=" + QByteArray(2000, 'x') + "\r\n[B]\r\n";
    for (int i = 0; i < 3000; ++i)
        data += "Key" + QByteArray::number(i) + "=value\r\n";
    writeBytes(data);
    EXPECT_EQ(Profile::readString(path, QStringLiteral("A"), QStringLiteral("Long")).size(), Profile::kMaxValueLength);
    const QStringList lines = Profile::readSection(path, QStringLiteral("B"));
    qsizetype bytes = 1;
    for (const QString &l : lines)
        bytes += l.size() + 1;
    EXPECT_LE(bytes, Profile::kMaxSectionBytes);
    EXPECT_GT(lines.size(), 1000);
    EXPECT_EQ(lines.first(), QStringLiteral("Key0=value"));
}

TEST_F(ProfileFileTest, WritesKeepOtherLinesByteForByte)
{
    // A byte sequence that is not GBK must survive a rewrite of another key.
    const QByteArray odd = "Odd=\xff\xfe\x80\r\n";
    writeBytes("[Keep]\r\n" + odd + "\r\n[Setting]\r\nSaveIni=0\r\n");
    ASSERT_TRUE(Profile::writeBool(path, QStringLiteral("setting"), QStringLiteral("saveini"), true));
    ASSERT_TRUE(Profile::writeInt(path, QStringLiteral("Setting"), QStringLiteral("UserMarketType"), -1));
    ASSERT_TRUE(Profile::writeString(path, QStringLiteral("New"), QStringLiteral("Name"), QStringLiteral("日元")));
    const QByteArray after = readBytes();
    EXPECT_TRUE(after.contains(odd));
    EXPECT_TRUE(after.contains("SaveIni=1\r\n"));
    EXPECT_TRUE(after.contains("UserMarketType=-1\r\n"));
    EXPECT_TRUE(after.contains("[New]\r\nName=" + Gbk::encode(QStringLiteral("日元"))));
    EXPECT_EQ(Profile::readString(path, QStringLiteral("New"), QStringLiteral("Name")), QStringLiteral("日元"));
}

TEST_F(ProfileFileTest, EraseAndRewriteSection)
{
    writeBytes("[A]\r\nx=1\r\n\r\n[List]\r\nold=1\r\nother=2\r\n\r\n[Z]\r\nz=9\r\n");
    ASSERT_TRUE(Profile::writeSection(path, QStringLiteral("list"), {QStringLiteral("n1=5"), QStringLiteral("n2=6")}));
    EXPECT_EQ(Profile::readSection(path, QStringLiteral("List")), (QStringList{"n1=5", "n2=6"}));
    EXPECT_EQ(Profile::readString(path, QStringLiteral("Z"), QStringLiteral("z")), QStringLiteral("9"));
    ASSERT_TRUE(Profile::eraseSection(path, QStringLiteral("LIST")));
    EXPECT_FALSE(Profile::hasSection(path, QStringLiteral("List")));
    EXPECT_EQ(Profile::sectionNames(path), (QStringList{"A", "Z"}));
}

TEST_F(ProfileFileTest, MissingAndUnwritableFiles)
{
    EXPECT_TRUE(Profile::readString(path, QStringLiteral("A"), QStringLiteral("b")).isEmpty());
    EXPECT_TRUE(Profile::readSection(path, QStringLiteral("A")).isEmpty());
    // Writing creates the file.
    ASSERT_TRUE(Profile::writeString(path, QStringLiteral("A"), QStringLiteral("b"), QStringLiteral("c")));
    EXPECT_EQ(readBytes(), QByteArray("[A]\r\nb=c\r\n"));
    // A read-only file is not changed and the write reports failure.
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    EXPECT_FALSE(Profile::writeString(path, QStringLiteral("A"), QStringLiteral("b"), QStringLiteral("d")));
    EXPECT_EQ(Profile::readString(path, QStringLiteral("A"), QStringLiteral("b")), QStringLiteral("c"));
}

} // namespace
