#pragma once
// The steps of an upgrade run, in order: close the client (step 0); for
// each package download it (step 1) and apply it (step 2); finish (step 3).
//
// Everything runs on the GUI thread without nested event loops: a step is
// a chain of small tasks, each run from the event loop, so the window stays
// responsive. While the exit question is open (setPaused) no unpack, backup
// or apply task runs; after cancel() the run stops at the next task
// boundary, a running download is aborted.
//
// Applying a package is journalled (BackupJournal): on an error or a
// cancel the current package's changes are undone before anything else.
// Packages applied before stay applied.
//
// Endings:
//   completed  "版本升级成功！", the client is started again
//   error      the changes are undone, the error box (unless cancelled),
//              the client is started again when step 0 had closed it
//   cancelled  during a download: like an error without box; otherwise
//              the changes are undone and the client is not started again

#include "ClientLauncher.h"
#include "PackageList.h"
#include "UpgradeArguments.h"
#include "UpgradeFolders.h"
#include "UpgradePlan.h"
#include "UpgradeTimings.h"

#include <QList>
#include <QObject>
#include <functional>
#include <memory>

class BackupJournal;
class PackageDownloader;
class ProcessCloser;
class ZipExtractor;

class UpgradeRunner : public QObject
{
    Q_OBJECT
public:
    enum class Step { None = -1, CloseClient = 0, DownloadPackage = 1, ApplyPackage = 2, FinishUpgrade = 3 };
    Q_ENUM(Step)
    enum class Outcome { Running, Completed, Failed, Cancelled };
    Q_ENUM(Outcome)

    using ClientStarter = std::function<bool(const ClientLauncher::Command &)>;

    UpgradeRunner(const UpgradeArguments &arguments, const QList<UpgradePackage> &packages,
                  const UpgradeFolders &folders, const UpgradeTimings &timings, QObject *parent = nullptr);
    ~UpgradeRunner() override;

    // Replaces the start of the client (tests record it instead).
    void setClientStarter(ClientStarter starter) { m_startClient = std::move(starter); }

    void start();
    // The user confirmed the exit question.
    void cancel();
    // The exit question is open (true) or was answered (false).
    void setPaused(bool paused);

    // The success step has begun: closing needs no question any more.
    bool isCompleted() const { return m_completed; }
    // An ending (restore, message, restart) is under way or done.
    bool isEnding() const { return m_ending; }
    Outcome outcome() const { return m_outcome; }
    QString errorText() const { return m_errorText; }
    QString errorDetail() const { return m_errorDetail; }
    bool clientClosed() const { return m_clientClosed; }
    Step currentStep() const { return m_step; }
    int currentPackage() const { return m_package; }
    int packageCount() const { return int(m_packages.size()); }
    // prgTotal's maximum: 2 x packages + 2.
    int totalSteps() const { return 2 * packageCount() + 2; }

signals:
    void stepLeft(UpgradeRunner::Step step);
    void stepEntered(UpgradeRunner::Step step, int package);
    void versionChanged(const QString &text);
    void hintChanged(const QString &text);
    void progressRangeChanged(qint64 maximum);
    void progressChanged(qint64 value);
    void totalAdvanced();
    void finished(UpgradeRunner::Outcome outcome);

private:
    enum class TaskResult { Next, Wait, Stop };
    using Task = std::function<TaskResult()>;

    void RunUpgradeSteps(Step next);
    void CloseClient();
    void DownloadPackage();
    void ApplyPackage();
    void FinishUpgrade();

    TaskResult readScript();
    TaskResult startItems();
    TaskResult applyAction(int index);
    TaskResult runExec(const UpgradePlan::Action &action);
    TaskResult cleanUp();
    bool makeParentFolders(const QString &target, QString *error);

    void addTask(Task task) { m_tasks << std::move(task); }
    void scheduleNext();
    void runNextTask();
    void taskDone();
    void advanceProgress(qint64 kb);

    void onDownloadFinished(bool ok, const QString &detail);
    void fail(const QString &text, const QString &detail = QString());
    void endCancelled();
    bool restoreJournal();
    void startClient();
    void finish(Outcome outcome);

    UpgradeArguments m_args;
    QList<UpgradePackage> m_packages;
    UpgradeFolders m_folders;
    UpgradeTimings m_timings;
    ClientStarter m_startClient;

    PackageDownloader *m_downloader = nullptr;
    ProcessCloser *m_closer = nullptr;
    std::unique_ptr<ZipExtractor> m_zip;
    std::unique_ptr<BackupJournal> m_journal;
    UpgradePlan m_plan;
    QString m_packageFile;

    QList<Task> m_tasks;
    bool m_taskScheduled = false;
    bool m_taskRunning = false;
    qint64 m_progress = 0;

    Step m_step = Step::None;
    int m_package = 0;
    bool m_started = false;
    bool m_clientClosed = false;
    bool m_cancelled = false;
    bool m_paused = false;
    bool m_completed = false;
    bool m_ending = false;
    Outcome m_outcome = Outcome::Running;
    QString m_errorText;
    QString m_errorDetail;
};
