#include "UpgradeRecovery.h"

#include "BackupJournal.h"
#include "PathGuard.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

bool UpgradeRecovery::removeTree(const QString &path)
{
    if (path.isEmpty() || !PathGuard::existsEntry(path))
        return true;
    if (PathGuard::isSymLink(path) || !QFileInfo(path).isDir())
        return QFile::remove(path);
    return QDir(path).removeRecursively();
}

UpgradeRecovery::Result UpgradeRecovery::recoverLocked(const UpgradeFolders &folders, QString *error)
{
    if (folders.curPath().isEmpty())
        return Result::NothingPending;
    std::unique_ptr<BackupJournal> journal = BackupJournal::openExisting(folders.journalFile(), folders.backupPath());
    if (!journal) {
        removeTree(folders.curPath());
        return Result::NothingPending;
    }
    if (!journal->restore(error))
        return Result::Failed;
    removeTree(folders.curPath());
    return Result::Restored;
}

UpgradeRecovery::Result UpgradeRecovery::recover(const QString &upgradeDir, QString *error)
{
    const UpgradeFolders folders(upgradeDir, QString());
    QLockFile lock(folders.lockFile());
    lock.setStaleLockTime(0); // only a lock whose program is gone is stale
    if (!lock.tryLock(0) && lock.error() == QLockFile::LockFailedError)
        return Result::Busy;
    return recoverLocked(folders, error);
}
