#include "ProgramDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QStorageInfo>

namespace {

QMutex g_lock;
QString g_programDir;
int g_runFromCD = -1;

QString withSeparator(QString dir)
{
    dir = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(dir).absoluteFilePath()));
    if (!dir.endsWith(QDir::separator()))
        dir += QDir::separator();
    return dir;
}

} // namespace

QStringList initProgramDir(const QStringList &arguments)
{
    QStringList rest;
    QString dir = qEnvironmentVariable("OSTREL_PROGRAM_DIR");
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        if (a == QLatin1String("--program-dir") && i + 1 < arguments.size()) {
            dir = arguments.at(++i);
        } else if (a.startsWith(QLatin1String("--program-dir="))) {
            dir = a.mid(14);
        } else {
            rest << a;
        }
    }
    if (!dir.isEmpty())
        setProgramDir(dir);
    return rest;
}

void setProgramDir(const QString &dir)
{
    QMutexLocker l(&g_lock);
    g_programDir = dir.isEmpty() ? QString() : withSeparator(dir);
}

QString ProgramDir()
{
    QMutexLocker l(&g_lock);
    if (g_programDir.isEmpty()) {
        QString exeDir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
        g_programDir = withSeparator(exeDir);
    }
    return g_programDir;
}

QString nativeRelative(const QString &relativeName)
{
    QString n = relativeName;
    n.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir::toNativeSeparators(n);
}

QString programFile(const QString &relativeName)
{
    return ProgramDir() + nativeRelative(relativeName);
}

QString TempWorkDir()
{
    QString base = qEnvironmentVariable("OSTREL_TEMP_DIR");
    if (base.isEmpty())
        base = QDir::tempPath();
    const QString dir = withSeparator(base) + QStringLiteral("Vantrel");
    if (!QDir().mkpath(dir))
        return QString();
    QFileInfo fi(dir);
    if (!fi.isDir() || !fi.isWritable())
        return QString();
    return withSeparator(dir);
}

void setRunFromCDOverride(int value)
{
    QMutexLocker l(&g_lock);
    g_runFromCD = value;
}

bool RunFromCD()
{
    {
        QMutexLocker l(&g_lock);
        if (g_runFromCD >= 0)
            return g_runFromCD == 1;
    }
    const QStorageInfo storage(ProgramDir());
    if (!storage.isValid())
        return false;
    const QByteArray fs = storage.fileSystemType().toLower();
    return storage.isReadOnly() || fs == "iso9660" || fs == "udf" || fs == "cd9660";
}
