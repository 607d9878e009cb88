#pragma once
// A package script checked and resolved before anything is changed: every
// TARGET of REPLACE, CREATE and PATCH resolves below the installation folder
// (and not into the working folder or onto its lock file), every SRC below the working folder
// (and not into the backup folder), every EXEC program below one of the two.
// Anything else is a data error, and so is a field that names $WINPATH or
// $SYSPATH, a relative path, a target that is a symbolic link or a folder,
// and a SIZE that is not a whole number of bytes.

#include "UpgradeFolders.h"
#include "UpgradeScript.h"

#include <QList>
#include <QString>
#include <QStringList>

class UpgradePlan
{
public:
    struct Action {
        UpgradeScript::ItemKind kind = UpgradeScript::ItemKind::Replace;
        bool skip = false;    // TARGET (or SRC) expanded to nothing
        QString target;       // resolved; REPLACE, CREATE, PATCH
        QString source;       // resolved; REPLACE, CREATE
        QString program;      // resolved; EXEC
        QStringList arguments; // EXEC, macros expanded
        QString shownTarget;  // the expanded TARGET text, for the status line
        qint64 sizeKb = 0;    // progress share; 0 when SIZE is blank
    };

    struct Backup {
        QString target;     // resolved
        QString backupFile; // where the copy goes (UpgradeFolders::backupFileFor)
    };

    bool ok = false;
    QString error; // for the log
    QList<Action> actions;
    QList<Backup> backups; // REPLACE, CREATE and PATCH targets, each once, in order
    qint64 totalKb = 0;

    static UpgradePlan build(const QList<UpgradeScript::Item> &items, const UpgradeFolders &folders);
    // SIZE in KB for progress: bytes / 1024, at least 1; -1 when not a
    // whole non-negative number.
    static qint64 sizeKb(const QString &size);
};
