#include "ClientProcesses.h"

#include "PathGuard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// State and start time from /proc/<pid>/stat; false when the process is gone.
bool readStat(qint64 pid, char *state, quint64 *startTime)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = f.readAll();
    // The command name is in parentheses and may itself hold ") ".
    const qsizetype close = line.lastIndexOf(')');
    if (close < 0)
        return false;
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    // fields[0] is field 3 (state); field 22 (start time) is fields[19].
    if (fields.size() < 20 || fields.at(0).isEmpty())
        return false;
    *state = fields.at(0).at(0);
    bool ok = false;
    *startTime = fields.at(19).toULongLong(&ok);
    return ok;
}

QString executableOf(qint64 pid)
{
    QString exe = QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid));
    // A replaced or removed executable still names its old path.
    const QString deleted = QStringLiteral(" (deleted)");
    if (exe.endsWith(deleted))
        exe.chop(deleted.size());
    return exe;
}

} // namespace

QList<ClientProcess> ClientProcesses::find(const QString &executable)
{
    QList<ClientProcess> out;
    if (executable.trimmed().isEmpty())
        return out;
    const QString wanted = PathGuard::resolve(PathGuard::slashes(executable));
    if (wanted.isEmpty())
        return out;
    const qint64 self = qint64(::getpid());
    const uid_t me = ::geteuid();
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : entries) {
        bool numeric = false;
        const qint64 pid = name.toLongLong(&numeric);
        if (!numeric || pid == self)
            continue;
        struct stat st;
        if (::stat(QFile::encodeName(QStringLiteral("/proc/") + name).constData(), &st) != 0 || st.st_uid != me)
            continue;
        if (executableOf(pid) != wanted)
            continue;
        ClientProcess p;
        p.pid = pid;
        char state = 0;
        if (!readStat(pid, &state, &p.startTime) || state == 'Z' || state == 'X')
            continue;
        out << p;
    }
    return out;
}

bool ClientProcesses::isRunning(const ClientProcess &process)
{
    char state = 0;
    quint64 start = 0;
    if (!readStat(process.pid, &state, &start))
        return false;
    return start == process.startTime && state != 'Z' && state != 'X';
}

bool ClientProcesses::signal(const ClientProcess &process, int signalNumber)
{
    if (!isRunning(process))
        return false;
    return ::kill(pid_t(process.pid), signalNumber) == 0;
}
