// Checked copies, the backup journal and recovery: restore touches exactly
// what a run changed, also when the run was cut short.

#include "BackupJournal.h"
#include "SafeCopy.h"
#include "UpgradeFolders.h"
#include "UpgradeRecovery.h"
#include "UpgradeTestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <gtest/gtest.h>

using namespace UpgradeTest;

TEST(SafeCopy, ReplacesWholeOrNotAtAll)
{
    Sandbox box;
    const QString src = box.work + "/src.bin";
    const QString dst = box.install + "/dst.bin";
    ASSERT_TRUE(writeFile(src, QByteArray(300000, 'n')));
    ASSERT_TRUE(writeFile(dst, "old", QFileDevice::ReadOwner | QFileDevice::ReadGroup));

    QStringList temps;
    SafeCopy::Options o;
    o.mode = SafeCopy::modeOf(dst);
    o.beforeTemporary = [&temps](const QString &t) { temps << t; return true; };
    QString error;
    ASSERT_TRUE(SafeCopy::copy(src, dst, o, &error)) << qPrintable(error);
    EXPECT_EQ(readFile(dst), QByteArray(300000, 'n'));
    EXPECT_EQ(SafeCopy::modeOf(dst), 0440u);
    ASSERT_EQ(temps.size(), 1);
    EXPECT_EQ(QFileInfo(temps[0]).absolutePath(), box.install) << "the temporary file lives beside the target";
    EXPECT_FALSE(QFileInfo::exists(temps[0]));

    struct Case {
        const char *name;
        QString source;
        QString destination;
    };
    const Case failing[] = {
        {"missing source", box.work + "/none.bin", dst},
        {"source is a folder", box.work, dst},
        {"destination folder missing", src, box.install + "/no/such/dir.bin"},
        {"destination parent is a file", src, dst + "/x"},
    };
    const Snapshot before = snapshot(box.root);
    for (const Case &c : failing) {
        EXPECT_FALSE(SafeCopy::copy(c.source, c.destination, {}, &error)) << c.name;
        EXPECT_EQ(describeDifferences(before, snapshot(box.root)), QString()) << c.name;
    }
    // Refusing to note the temporary file stops the copy before it exists.
    o.beforeTemporary = [](const QString &) { return false; };
    EXPECT_FALSE(SafeCopy::copy(src, box.install + "/fresh.bin", o, &error));
    EXPECT_EQ(describeDifferences(before, snapshot(box.root)), QString());
}

class JournalTest : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        folders = UpgradeFolders(box.upgrade, box.install);
        const QString app = box.install;
        ASSERT_TRUE(writeFile(app + "/kept.txt", "kept"));
        ASSERT_TRUE(writeFile(app + "/changed.txt", "changed before"));
        ASSERT_TRUE(writeFile(app + "/ro.dat", "read-only before", QFileDevice::ReadOwner));
        ASSERT_TRUE(writeFile(app + "/other.txt", "not in the package"));
        ASSERT_TRUE(writeFile(box.root + "/outside.txt", "outside"));
        QFile kept(app + "/kept.txt");
        ASSERT_TRUE(kept.open(QIODevice::ReadWrite));
        kept.setFileTime(QDateTime::currentDateTime().addDays(-3), QFileDevice::FileModificationTime);
        kept.close();
        QDir().mkpath(folders.curPath());
    }

    Sandbox box;
    UpgradeFolders folders;
};

TEST_P(JournalTest, RestoreUndoesOnlyWhatWasChanged)
{
    const bool afterCrash = GetParam();
    const QString app = box.install;
    const Snapshot before = snapshot(app);
    const QDateTime keptTime = QFileInfo(app + "/kept.txt").lastModified();

    auto journal = std::make_unique<BackupJournal>(folders);
    QString error;
    ASSERT_TRUE(journal->begin(&error)) << qPrintable(error);
    for (const char *t : {"kept.txt", "changed.txt", "ro.dat", "created.txt", "newdir/inner.txt"})
        ASSERT_TRUE(journal->backup(app + "/" + t, folders.backupFileFor(app + "/" + t, QStringLiteral("$APPPATH")), &error))
            << qPrintable(error);
    EXPECT_FALSE(QFileInfo::exists(folders.backupPath() + "/$APPPATH/created.txt")) << "nothing to copy";

    // What applying would do, each change announced first.
    ASSERT_TRUE(journal->noteTouched(app + "/changed.txt"));
    ASSERT_TRUE(writeFile(app + "/changed.txt", "changed after"));
    ASSERT_TRUE(journal->noteTouched(app + "/ro.dat"));
    SafeCopy::Options o;
    o.mode = 0400;
    ASSERT_TRUE(writeFile(box.work + "/new.dat", "read-only after"));
    ASSERT_TRUE(SafeCopy::copy(box.work + "/new.dat", app + "/ro.dat", o, &error));
    ASSERT_TRUE(journal->noteTouched(app + "/created.txt"));
    ASSERT_TRUE(writeFile(app + "/created.txt", "new"));
    ASSERT_TRUE(journal->noteFolder(app + "/newdir"));
    ASSERT_TRUE(QDir().mkdir(app + "/newdir"));
    ASSERT_TRUE(journal->noteTouched(app + "/newdir/inner.txt"));
    ASSERT_TRUE(writeFile(app + "/newdir/inner.txt", "inner"));
    ASSERT_TRUE(journal->noteTemporary(app + "/changed.txt.upgtmp0"));
    ASSERT_TRUE(writeFile(app + "/changed.txt.upgtmp0", "half a copy"));

    if (afterCrash) {
        // An entry naming something outside the installation, and a torn
        // last line: neither may be acted on.
        QFile raw(folders.journalFile());
        ASSERT_TRUE(raw.open(QIODevice::Append));
        raw.write(QFile::encodeName("T\t" + box.root + "/outside.txt\n"));
        raw.write(QFile::encodeName("T\t" + app + "/other.txt"));
        raw.close();
        journal.reset();
        EXPECT_EQ(UpgradeRecovery::recover(box.upgrade, &error), UpgradeRecovery::Result::Restored)
            << qPrintable(error);
        EXPECT_FALSE(QFileInfo::exists(folders.curPath()));
    } else {
        ASSERT_TRUE(journal->restore(&error)) << qPrintable(error);
        EXPECT_FALSE(QFileInfo::exists(folders.journalFile()));
    }

    EXPECT_EQ(describeDifferences(before, snapshot(app)), QString());
    EXPECT_EQ(QFileInfo(app + "/kept.txt").lastModified(), keptTime) << "an untouched target is left alone";
    EXPECT_EQ(readFile(box.root + "/outside.txt"), QByteArray("outside"));
    // Nothing is pending any more.
    EXPECT_EQ(UpgradeRecovery::recover(box.upgrade, &error), UpgradeRecovery::Result::NothingPending);
}

INSTANTIATE_TEST_SUITE_P(InProcessOrAfterCrash, JournalTest, ::testing::Bool());

TEST_F(JournalTest, FailedRestoreKeepsTheJournalForTheNextTry)
{
    BackupJournal journal(folders);
    QString error;
    ASSERT_TRUE(journal.begin(&error));
    const QString target = box.install + "/changed.txt";
    const QString copy = folders.backupFileFor(target, "$APPPATH");
    ASSERT_TRUE(journal.backup(target, copy, &error));
    ASSERT_TRUE(journal.noteTouched(target));
    ASSERT_TRUE(writeFile(target, "changed after"));
    ASSERT_TRUE(QFile::remove(copy)); // the backup copy is lost

    EXPECT_FALSE(journal.restore(&error));
    EXPECT_TRUE(QFileInfo::exists(folders.journalFile()));
    EXPECT_EQ(UpgradeRecovery::recover(box.upgrade, &error), UpgradeRecovery::Result::Failed);
    EXPECT_TRUE(QFileInfo::exists(folders.journalFile()));
}

TEST_F(JournalTest, RecoveryWaitsForARunningUpgrade)
{
    BackupJournal journal(folders);
    QString error;
    ASSERT_TRUE(journal.begin(&error));
    QLockFile running(folders.lockFile());
    ASSERT_TRUE(running.tryLock(0));
    EXPECT_EQ(UpgradeRecovery::recover(box.upgrade, &error), UpgradeRecovery::Result::Busy);
    EXPECT_TRUE(QFileInfo::exists(folders.journalFile()));
}
