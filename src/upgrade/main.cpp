// upgrade: applies the client's upgrade packages. Started by the client
// with the hand-over fields as arguments 1-7 (see README.md); started with
// no arguments it only finishes an interrupted upgrade.

#include "MessageBoxPresenter.h"
#include "MessageBoxes.h"
#include "PackageList.h"
#include "ProgramDir.h"
#include "TMainFm.h"
#include "UpgradeArguments.h"
#include "UpgradeFolders.h"
#include "UpgradeRecovery.h"
#include "UpgradeRunner.h"
#include "UpgradeTexts.h"
#include "UpgradeTimings.h"

#include <QApplication>
#include <QFile>
#include <QLockFile>
#include <QTimer>

namespace {

enum ExitCode { kDone = 0, kFailed = 1, kCancelled = 2 };

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("upgrade"));
    MessageBoxPresenter::install();
    Msg::setApplicationTitle(UpgradeTexts::kApplicationTitle);

    const QStringList fields = initProgramDir(QCoreApplication::arguments()).mid(1);
    QString upgradeDir = ProgramDir();
    upgradeDir.chop(1);

    // One upgrade at a time per upgrade folder; the lock also keeps the
    // client's own recovery away while this runs.
    UpgradeFolders base(upgradeDir, QString());
    QLockFile lock(base.lockFile());
    // Only a lock whose program is gone is stale, however long a run takes.
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0) && lock.error() == QLockFile::LockFailedError)
        return kDone;

    QString why;
    if (UpgradeRecovery::recoverLocked(base, &why) == UpgradeRecovery::Result::Failed) {
        qWarning("upgrade: %s", qPrintable(why));
        Msg::error(UpgradeTexts::kRestoreError, UpgradeTexts::kErrorCaption);
        return kFailed;
    }

    const std::optional<UpgradeArguments> args = UpgradeArguments::parse(fields);
    if (!args)
        return kDone;
    const std::optional<QList<UpgradePackage>> packages = PackageList::read(args->packageListFile);
    if (!packages)
        return kDone;
    QFile::remove(args->packageListFile);
    if (packages->isEmpty()) {
        Msg::information(UpgradeTexts::kNoTasks, UpgradeTexts::kInfoCaption);
        return kDone;
    }

    UpgradeRunner runner(*args, *packages, UpgradeFolders(upgradeDir, args->installDir),
                         UpgradeTimings::fromEnvironment());
    TMainFm window(&runner);
    QObject::connect(&runner, &UpgradeRunner::finished, &app, [&window](UpgradeRunner::Outcome outcome) {
        window.close();
        QCoreApplication::exit(outcome == UpgradeRunner::Outcome::Completed ? kDone
                               : outcome == UpgradeRunner::Outcome::Cancelled ? kCancelled
                                                                               : kFailed);
    });
    window.show();
    // The steps start once the window is up.
    QTimer::singleShot(0, &runner, &UpgradeRunner::start);
    return app.exec();
}
