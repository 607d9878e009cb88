#pragma once
// The backup journal of the package being applied. It lives in the backup
// folder beside the backup copies and is written ahead of every change:
//
//   H  root backupFolder   header: the installation folder it guards
//   B  target backupCopy   the target existed and its copy is complete
//   T  target              the target is about to be changed
//   P  temporary           a temporary file is about to be created
//   D  folder              a folder is about to be created
//
// Each line is flushed to disk before the change it announces, so after a
// crash the journal tells exactly what this run may have changed. restore()
// puts back every touched target that had a copy, removes every touched
// target that did not exist before, removes temporary files and folders it
// created, and leaves everything else alone. A committed (removed) journal
// means the package is applied.

#include <QFile>
#include <QList>
#include <QString>
#include <memory>

class UpgradeFolders;

class BackupJournal
{
public:
    BackupJournal(const QString &journalFile, const QString &backupFolder, const QString &installRoot);
    explicit BackupJournal(const UpgradeFolders &folders);
    ~BackupJournal();

    // Opens the journal of an interrupted run (its header names the
    // installation folder); nullptr when there is none or it is unreadable.
    static std::unique_ptr<BackupJournal> openExisting(const QString &journalFile, const QString &backupFolder);

    // Empties the backup folder and starts a journal.
    bool begin(QString *error);
    // Copies an existing target to its backup file and notes it; a missing
    // target is not copied (restore() then removes it if it was touched).
    bool backup(const QString &target, const QString &backupFile, QString *error);
    bool noteTouched(const QString &target);
    bool noteTemporary(const QString &path);
    bool noteFolder(const QString &path);

    // Undoes what the journal records; on success the journal is removed.
    bool restore(QString *error);
    // The package is applied: removes the journal.
    bool commit();

    const QString &journalFile() const { return m_journalFile; }
    const QString &installRoot() const { return m_root; }

    struct Entry {
        QChar kind;
        QString path;
        QString copy;
    };
    // The complete lines of a journal file (a torn last line is left out).
    static QList<Entry> readEntries(const QString &journalFile);

private:
    bool append(QChar kind, const QString &path, const QString &copy = QString());
    bool openForAppend();

    QString m_journalFile;
    QString m_backupFolder;
    QString m_root;
    std::unique_ptr<QFile> m_file;
};
