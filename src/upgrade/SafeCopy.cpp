#include "SafeCopy.h"

#include "PathGuard.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 kChunk = 256 * 1024;

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

QString SafeCopy::temporaryNameFor(const QString &destination)
{
    for (int n = 0;; ++n) {
        const QString candidate = destination + QStringLiteral(".upgtmp") + QString::number(n);
        if (!PathGuard::existsEntry(candidate))
            return candidate;
    }
}

bool SafeCopy::removeFile(const QString &path)
{
    if (!PathGuard::existsEntry(path))
        return true;
    if (PathGuard::isSymLink(path))
        return QFile::remove(path);
    // Removing needs no write permission on the file itself.
    return QFile::remove(path) || !PathGuard::existsEntry(path);
}

std::optional<unsigned> SafeCopy::modeOf(const QString &path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return unsigned(st.st_mode & 07777);
}

void SafeCopy::syncFolder(const QString &dir)
{
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool SafeCopy::sameFile(const QString &a, const QString &b)
{
    QFile fa(a), fb(b);
    if (PathGuard::isSymLink(a) || PathGuard::isSymLink(b))
        return false;
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly))
        return false;
    if (fa.size() != fb.size() || modeOf(a) != modeOf(b))
        return false;
    while (!fa.atEnd()) {
        const QByteArray x = fa.read(kChunk);
        const QByteArray y = fb.read(kChunk);
        if (x != y || x.isEmpty())
            return false;
    }
    return fa.error() == QFileDevice::NoError && fb.error() == QFileDevice::NoError;
}

bool SafeCopy::copy(const QString &source, const QString &destination, const Options &options,
                    QString *error)
{
    auto failed = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    QFile in(source);
    if (PathGuard::isSymLink(source) || !QFileInfo(source).isFile())
        return failed(QStringLiteral("%1: not a file").arg(source));
    if (!in.open(QIODevice::ReadOnly))
        return failed(QStringLiteral("%1: %2").arg(source, in.errorString()));
    const qint64 expected = in.size();

    const QString temp = temporaryNameFor(destination);
    if (options.beforeTemporary && !options.beforeTemporary(temp))
        return failed(QStringLiteral("cannot note %1").arg(temp));
    QFile out(temp);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return failed(QStringLiteral("%1: %2").arg(temp, out.errorString()));

    qint64 copied = 0;
    bool ok = true;
    QString why;
    while (ok) {
        const QByteArray chunk = in.read(kChunk);
        if (chunk.isEmpty()) {
            if (in.error() != QFileDevice::NoError) {
                why = QStringLiteral("%1: %2").arg(source, in.errorString());
                ok = false;
            }
            break;
        }
        if (out.write(chunk) != chunk.size()) {
            why = QStringLiteral("%1: %2").arg(temp, out.errorString());
            ok = false;
            break;
        }
        copied += chunk.size();
    }
    if (ok && !out.flush()) {
        why = QStringLiteral("%1: %2").arg(temp, out.errorString());
        ok = false;
    }
    if (ok && options.keepModificationTime)
        out.setFileTime(in.fileTime(QFileDevice::FileModificationTime), QFileDevice::FileModificationTime);
    if (ok && ::fsync(out.handle()) != 0) {
        why = QStringLiteral("%1: %2").arg(temp, systemError());
        ok = false;
    }
    out.close();
    if (ok && (copied != expected || QFileInfo(temp).size() != expected)) {
        why = QStringLiteral("%1: copied %2 of %3 bytes").arg(temp).arg(copied).arg(expected);
        ok = false;
    }
    if (ok) {
        const unsigned mode = options.mode ? *options.mode : modeOf(source).value_or(0644);
        if (::chmod(QFile::encodeName(temp).constData(), mode_t(mode)) != 0) {
            why = QStringLiteral("%1: cannot set permissions").arg(temp);
            ok = false;
        }
    }
    if (ok && std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(destination).constData()) != 0) {
        why = QStringLiteral("%1: %2").arg(destination, systemError());
        ok = false;
    }
    if (!ok) {
        removeFile(temp);
        return failed(why);
    }
    syncFolder(QFileInfo(destination).absolutePath());
    return true;
}
