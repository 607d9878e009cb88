#include "UpgradeRunner.h"

#include "BackupJournal.h"
#include "MessageBoxes.h"
#include "PackageDownloader.h"
#include "PathGuard.h"
#include "ProcessCloser.h"
#include "SafeCopy.h"
#include "UpgradeRecovery.h"
#include "UpgradeScript.h"
#include "UpgradeTexts.h"
#include "ZipExtractor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

namespace {

const QString kScriptName = QStringLiteral("upgrade.xml");

} // namespace

UpgradeRunner::UpgradeRunner(const UpgradeArguments &arguments, const QList<UpgradePackage> &packages,
                             const UpgradeFolders &folders, const UpgradeTimings &timings, QObject *parent)
    : QObject(parent)
    , m_args(arguments)
    , m_packages(packages)
    , m_folders(folders)
    , m_timings(timings)
    , m_startClient(&ClientLauncher::start)
    , m_downloader(new PackageDownloader(this))
    , m_closer(new ProcessCloser(this))
{
    m_downloader->setReadTimeout(m_timings.readTimeoutMs);
    if (m_args.hasProxy())
        m_downloader->setProxy(m_args.proxyHost, m_args.proxyPort);
    connect(m_downloader, &PackageDownloader::statusChanged, this, &UpgradeRunner::hintChanged);
    connect(m_downloader, &PackageDownloader::progress, this, [this](qint64 received, qint64 total) {
        emit progressRangeChanged(qMax<qint64>(total, 0));
        emit progressChanged(received);
    });
    connect(m_downloader, &PackageDownloader::finished, this, &UpgradeRunner::onDownloadFinished);

    m_closer->setGraceMs(m_timings.stopGraceMs);
    m_closer->setPollMs(m_timings.pollMs);
    connect(m_closer, &ProcessCloser::finished, this, [this](int found, int forced) {
        if (found > 0)
            qInfo("upgrade: closed %d client process(es), %d forced", found, forced);
        m_clientClosed = true;
        QTimer::singleShot(m_timings.closeSettleMs, this, [this] {
            m_package = 0;
            RunUpgradeSteps(Step::DownloadPackage);
        });
    });
}

UpgradeRunner::~UpgradeRunner() = default;

void UpgradeRunner::start()
{
    if (m_started || m_outcome != Outcome::Running)
        return;
    m_started = true;
    RunUpgradeSteps(Step::CloseClient);
}

void UpgradeRunner::cancel()
{
    if (m_outcome != Outcome::Running || m_completed || m_ending || m_cancelled)
        return;
    m_cancelled = true;
    if (!m_started) {
        m_ending = true;
        QTimer::singleShot(0, this, [this] { finish(Outcome::Cancelled); });
        return;
    }
    if (m_downloader->isRunning())
        m_downloader->abort();
    else if (m_step == Step::ApplyPackage && !m_taskRunning)
        scheduleNext();
}

void UpgradeRunner::setPaused(bool paused)
{
    m_paused = paused;
    if (!paused && m_step == Step::ApplyPackage)
        scheduleNext();
}

void UpgradeRunner::RunUpgradeSteps(Step next)
{
    if (m_outcome != Outcome::Running || m_ending)
        return;
    if (m_step != Step::None)
        emit stepLeft(m_step);
    if (m_cancelled) {
        endCancelled();
        return;
    }
    m_step = next;
    emit stepEntered(next, m_package);
    emit totalAdvanced();
    switch (next) {
    case Step::CloseClient: CloseClient(); break;
    case Step::DownloadPackage: DownloadPackage(); break;
    case Step::ApplyPackage: ApplyPackage(); break;
    case Step::FinishUpgrade: FinishUpgrade(); break;
    case Step::None: break;
    }
}

void UpgradeRunner::CloseClient()
{
    m_closer->close(m_args.clientExecutable);
}

void UpgradeRunner::DownloadPackage()
{
    const UpgradePackage &package = m_packages.at(m_package);
    const QString cur = m_folders.curPath();
    // A journal here would be an unfinished restore: its backups must stay.
    if (QFileInfo::exists(m_folders.journalFile())) {
        fail(UpgradeTexts::kCannotCreateTemp, QStringLiteral("a backup journal is pending"));
        return;
    }
    UpgradeRecovery::removeTree(cur);
    QDir().mkpath(cur);
    if (cur.isEmpty() || PathGuard::isSymLink(cur) || !QFileInfo(cur).isDir()) {
        fail(UpgradeTexts::kCannotCreateTemp, cur);
        return;
    }
    emit versionChanged(UpgradeTexts::kVersionPrefix + package.version);
    m_packageFile = cur + QLatin1Char('/') + PackageDownloader::fileNameFor(package.address);
    emit progressRangeChanged(0);
    emit progressChanged(0);
    emit hintChanged(UpgradeTexts::kHintDownloading);
    QFile::remove(m_packageFile);
    m_downloader->start(package.address, m_packageFile);
}

void UpgradeRunner::onDownloadFinished(bool ok, const QString &detail)
{
    if (m_outcome != Outcome::Running || m_ending || m_step != Step::DownloadPackage)
        return;
    if (!ok || m_cancelled) {
        fail(UpgradeTexts::kDownloadError, detail.isEmpty() ? QStringLiteral("cancelled") : detail);
        return;
    }
    RunUpgradeSteps(Step::ApplyPackage);
}

void UpgradeRunner::ApplyPackage()
{
    m_tasks.clear();
    m_plan = UpgradePlan();
    emit hintChanged(UpgradeTexts::kHintUnpacking);
    m_zip = std::make_unique<ZipExtractor>();
    QString why;
    const QStringList reserved{UpgradeFolders::kBackupFolderName, QFileInfo(m_packageFile).fileName()};
    if (!m_zip->open(m_packageFile, &why) || !m_zip->validate(reserved, &why)) {
        fail(UpgradeTexts::kUnpackError, why);
        return;
    }
    for (int i = 0; i < m_zip->entries().size(); ++i) {
        addTask([this, i] {
            QString why;
            if (!m_zip->extract(i, m_folders.curPath(), &why)) {
                fail(UpgradeTexts::kUnpackError, why);
                return TaskResult::Stop;
            }
            return TaskResult::Next;
        });
    }
    addTask([this] { return readScript(); });
    scheduleNext();
}

UpgradeRunner::TaskResult UpgradeRunner::readScript()
{
    m_zip.reset();
    const QString path = m_folders.curPath() + QLatin1Char('/') + kScriptName;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        fail(UpgradeTexts::kFileOpenError.arg(QDir::toNativeSeparators(path), f.errorString()));
        return TaskResult::Stop;
    }
    const UpgradeScript::Result script = UpgradeScript::parse(f.readAll());
    if (!script.ok) {
        fail(UpgradeTexts::kDataError, script.error);
        return TaskResult::Stop;
    }
    m_plan = UpgradePlan::build(script.items, m_folders);
    if (!m_plan.ok) {
        fail(UpgradeTexts::kDataError, m_plan.error);
        return TaskResult::Stop;
    }

    emit hintChanged(UpgradeTexts::kHintBackingUp);
    m_journal = std::make_unique<BackupJournal>(m_folders);
    QString why;
    if (!m_journal->begin(&why)) {
        fail(UpgradeTexts::kBackupError, why);
        return TaskResult::Stop;
    }
    for (const UpgradePlan::Backup &b : m_plan.backups) {
        addTask([this, b] {
            QString why;
            if (!m_journal->backup(b.target, b.backupFile, &why)) {
                fail(UpgradeTexts::kBackupError, why);
                return TaskResult::Stop;
            }
            return TaskResult::Next;
        });
    }
    addTask([this] { return startItems(); });
    return TaskResult::Next;
}

UpgradeRunner::TaskResult UpgradeRunner::startItems()
{
    emit hintChanged(QString());
    m_progress = 0;
    emit progressRangeChanged(m_plan.totalKb);
    emit progressChanged(0);
    // A PATCH target is there for a program of the package to change: from
    // here on it counts as changed, and restore puts it back.
    for (const UpgradePlan::Action &a : std::as_const(m_plan.actions)) {
        if (a.kind == UpgradeScript::ItemKind::Patch && !a.skip && !m_journal->noteTouched(a.target)) {
            fail(UpgradeTexts::kBackupError, QStringLiteral("cannot write the journal"));
            return TaskResult::Stop;
        }
    }
    for (int i = 0; i < m_plan.actions.size(); ++i)
        addTask([this, i] { return applyAction(i); });
    addTask([this] { return cleanUp(); });
    return TaskResult::Next;
}

void UpgradeRunner::advanceProgress(qint64 kb)
{
    if (kb <= 0)
        return;
    m_progress += kb;
    emit progressChanged(m_progress);
}

bool UpgradeRunner::makeParentFolders(const QString &target, QString *error)
{
    const QString root = PathGuard::resolve(m_folders.appPath());
    QStringList missing;
    QString dir = QFileInfo(target).absolutePath();
    while (PathGuard::isBelow(dir, root) && !PathGuard::existsEntry(dir)) {
        missing.prepend(dir);
        dir = QFileInfo(dir).absolutePath();
    }
    for (const QString &d : missing) {
        if (!m_journal->noteFolder(d) || !QDir().mkdir(d)) {
            *error = QStringLiteral("cannot create %1").arg(d);
            return false;
        }
    }
    return true;
}

UpgradeRunner::TaskResult UpgradeRunner::applyAction(int index)
{
    const UpgradePlan::Action &a = m_plan.actions.at(index);
    using Kind = UpgradeScript::ItemKind;
    switch (a.kind) {
    case Kind::Patch:
        return TaskResult::Next;
    case Kind::Exec:
        advanceProgress(a.sizeKb);
        if (a.skip)
            return TaskResult::Next;
        emit hintChanged(UpgradeTexts::kHintExecuting);
        return runExec(a);
    case Kind::Replace:
    case Kind::Create:
        break;
    }
    advanceProgress(a.sizeKb);
    if (a.skip)
        return TaskResult::Next;
    emit hintChanged((a.kind == Kind::Replace ? UpgradeTexts::kHintReplacing : UpgradeTexts::kHintCreating)
                         .arg(a.shownTarget));
    if (!m_journal->noteTouched(a.target)) {
        fail(UpgradeTexts::kBackupError, QStringLiteral("cannot write the journal"));
        return TaskResult::Stop;
    }
    QString why;
    if (!makeParentFolders(a.target, &why)) {
        fail(UpgradeTexts::kCopyError.arg(a.shownTarget), why);
        return TaskResult::Stop;
    }
    SafeCopy::Options o;
    // A replaced file keeps the permissions the installation gave it; a new
    // one takes those of the package's file.
    if (QFileInfo(a.target).isFile())
        o.mode = SafeCopy::modeOf(a.target);
    o.beforeTemporary = [this](const QString &t) { return m_journal->noteTemporary(t); };
    if (!SafeCopy::copy(a.source, a.target, o, &why)) {
        fail(UpgradeTexts::kCopyError.arg(a.shownTarget), why);
        return TaskResult::Stop;
    }
    return TaskResult::Next;
}

UpgradeRunner::TaskResult UpgradeRunner::runExec(const UpgradePlan::Action &action)
{
    auto *process = new QProcess(this);
    process->setProgram(action.program);
    process->setArguments(action.arguments);
    process->setWorkingDirectory(m_folders.curPath());
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    auto state = std::make_shared<std::pair<bool, bool>>(false, false); // ended, settled
    auto maybeDone = [this, state] {
        if (state->first && state->second)
            taskDone();
    };
    connect(process, &QProcess::finished, this, [process, state, maybeDone] {
        state->first = true;
        process->deleteLater();
        maybeDone();
    });
    connect(process, &QProcess::errorOccurred, this, [this, process, action](QProcess::ProcessError e) {
        if (e != QProcess::FailedToStart)
            return;
        process->deleteLater();
        m_taskRunning = false;
        fail(UpgradeTexts::kDataError, QStringLiteral("cannot run %1: %2").arg(action.program, process->errorString()));
    });
    QTimer::singleShot(m_timings.execSettleMs, this, [state, maybeDone] {
        state->second = true;
        maybeDone();
    });
    m_taskRunning = true;
    process->start();
    return TaskResult::Wait;
}

UpgradeRunner::TaskResult UpgradeRunner::cleanUp()
{
    emit hintChanged(UpgradeTexts::kHintCleaning);
    if (!m_journal->commit()) {
        fail(UpgradeTexts::kBackupError, QStringLiteral("cannot remove the journal"));
        return TaskResult::Stop;
    }
    m_journal.reset();
    UpgradeRecovery::removeTree(m_folders.curPath());
    ++m_package;
    const Step next = m_package < m_packages.size() ? Step::DownloadPackage : Step::FinishUpgrade;
    QTimer::singleShot(0, this, [this, next] { RunUpgradeSteps(next); });
    return TaskResult::Stop;
}

void UpgradeRunner::FinishUpgrade()
{
    m_completed = true;
    QTimer::singleShot(m_timings.finishDelayMs, this, [this] {
        Msg::information(UpgradeTexts::kSuccess, UpgradeTexts::kInfoCaption);
        startClient();
        finish(Outcome::Completed);
    });
}

void UpgradeRunner::scheduleNext()
{
    if (m_taskScheduled)
        return;
    m_taskScheduled = true;
    QTimer::singleShot(0, this, &UpgradeRunner::runNextTask);
}

void UpgradeRunner::taskDone()
{
    m_taskRunning = false;
    if (m_outcome == Outcome::Running && !m_ending)
        scheduleNext();
}

void UpgradeRunner::runNextTask()
{
    m_taskScheduled = false;
    if (m_outcome != Outcome::Running || m_ending || m_taskRunning || m_paused)
        return;
    if (m_cancelled) {
        endCancelled();
        return;
    }
    if (m_tasks.isEmpty())
        return;
    const Task task = m_tasks.takeFirst();
    if (task() == TaskResult::Next)
        scheduleNext();
}

bool UpgradeRunner::restoreJournal()
{
    if (!m_journal)
        return true;
    emit hintChanged(UpgradeTexts::kHintRestoring);
    QString why;
    const bool ok = m_journal->restore(&why);
    if (!ok)
        qWarning("upgrade: restore incomplete: %s", qPrintable(why));
    m_journal.reset();
    return ok;
}

void UpgradeRunner::fail(const QString &text, const QString &detail)
{
    if (m_outcome != Outcome::Running || m_ending)
        return;
    m_ending = true;
    m_errorText = text;
    m_errorDetail = detail;
    qWarning("upgrade: %s%s%s", qPrintable(text), detail.isEmpty() ? "" : ": ", qPrintable(detail));
    m_tasks.clear();
    m_zip.reset();
    const bool restored = restoreJournal();
    if (!m_cancelled)
        Msg::error(restored ? text : text + QLatin1Char('\n') + UpgradeTexts::kRestoreError,
                   UpgradeTexts::kErrorCaption);
    if (m_clientClosed)
        startClient();
    if (restored)
        UpgradeRecovery::removeTree(m_folders.curPath());
    finish(m_cancelled ? Outcome::Cancelled : Outcome::Failed);
}

void UpgradeRunner::endCancelled()
{
    if (m_outcome != Outcome::Running)
        return;
    m_ending = true;
    m_tasks.clear();
    m_zip.reset();
    if (restoreJournal())
        UpgradeRecovery::removeTree(m_folders.curPath());
    finish(Outcome::Cancelled);
}

void UpgradeRunner::startClient()
{
    const ClientLauncher::Command command = ClientLauncher::commandFor(m_args);
    if (m_startClient && !m_startClient(command))
        qWarning("upgrade: cannot start %s", qPrintable(command.program));
}

void UpgradeRunner::finish(Outcome outcome)
{
    if (m_outcome != Outcome::Running)
        return;
    m_outcome = outcome;
    if (m_step != Step::None)
        emit stepLeft(m_step);
    emit finished(outcome);
}
