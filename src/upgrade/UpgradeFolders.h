#pragma once
// The folders of an upgrade run and the macros that name them in scripts:
//   $UPGPATH  the upgrade program's folder
//   $CURPATH  $UPGPATH/_TMP, the working folder (download and unpack)
//   $APPPATH  the client's installation folder (argument 2)
// The backup folder is $CURPATH/_Backup; it holds the backup journal.
// $WINPATH and $SYSPATH name Windows folders and mean nothing here.
// All folder texts use "/" and carry no trailing separator.

#include <QString>

class UpgradeFolders
{
public:
    static inline const QString kWorkFolderName = QStringLiteral("_TMP");
    static inline const QString kBackupFolderName = QStringLiteral("_Backup");
    static inline const QString kJournalName = QStringLiteral("upgrade.journal");
    static inline const QString kLockName = QStringLiteral("_TMP.lock");

    static inline const QString kCurPath = QStringLiteral("$CURPATH");
    static inline const QString kUpgPath = QStringLiteral("$UPGPATH");
    static inline const QString kAppPath = QStringLiteral("$APPPATH");
    static inline const QString kWinPath = QStringLiteral("$WINPATH");
    static inline const QString kSysPath = QStringLiteral("$SYSPATH");

    UpgradeFolders() = default;
    UpgradeFolders(const QString &upgradeDir, const QString &installDir);

    const QString &upgPath() const { return m_upg; }
    const QString &curPath() const { return m_cur; }
    const QString &appPath() const { return m_app; }
    QString backupPath() const { return m_cur + QLatin1Char('/') + kBackupFolderName; }
    QString journalFile() const { return backupPath() + QLatin1Char('/') + kJournalName; }
    QString lockFile() const { return m_upg + QLatin1Char('/') + kLockName; }

    struct Expansion {
        QString text;
        QString leadingMacro; // the macro the text starts with, or empty
    };
    // Replaces every $CURPATH, $UPGPATH and $APPPATH (case-sensitive) by its
    // folder in one pass: a folder's own text is never expanded again.
    // $WINPATH and $SYSPATH are left as they are (see usesWindowsFolder).
    Expansion ExpandMacros(const QString &text) const;
    static bool usesWindowsFolder(const QString &text);
    QString folderOf(const QString &macro) const;

    // Where the backup copy of a resolved target goes: backup folder, the
    // leading macro's name, the target's path below that macro's folder
    // ("$APPPATH/Forex.mdb"). Targets below no named macro folder are filed
    // under "$APPPATH".
    QString backupFileFor(const QString &resolvedTarget, const QString &leadingMacro) const;

    // A folder text in the form used here: "/" separators, cleaned,
    // absolute (relative to the current folder when given relative).
    static QString normalizeFolder(const QString &dir);

private:
    QString m_upg;
    QString m_cur;
    QString m_app;
};
