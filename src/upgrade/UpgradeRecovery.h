#pragma once
// Finishing an interrupted upgrade: when a run was killed while applying a
// package, its backup journal is still in the working folder. Recovery
// restores what the journal records and removes the working folder.
//
// The upgrade program recovers at every start. The client can do the same
// at its start with recover(its program folder): the lock file keeps it
// from interfering with an upgrade that is running.

#include "UpgradeFolders.h"

#include <QString>

class UpgradeRecovery
{
public:
    enum class Result {
        NothingPending, // no journal (a stale working folder is removed)
        Restored,       // the journal's changes were undone
        Failed,         // some could not be: the journal is kept for the next try
        Busy,           // an upgrade is running
    };

    // For a caller that holds the lock of folders.lockFile().
    static Result recoverLocked(const UpgradeFolders &folders, QString *error = nullptr);
    // Takes the lock of the upgrade folder, recovers, releases the lock.
    static Result recover(const QString &upgradeDir, QString *error = nullptr);
    // Removes a folder with everything in it (a link is removed, not followed).
    static bool removeTree(const QString &path);
};
