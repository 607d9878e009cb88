#include "PathGuard.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <sys/stat.h>

QString PathGuard::slashes(const QString &path)
{
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return p;
}

bool PathGuard::existsEntry(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

bool PathGuard::isSymLink(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

QString PathGuard::resolve(const QString &path)
{
    if (path.isEmpty())
        return QString();
    const QString clean = QDir::cleanPath(path);
    if (!QDir::isAbsolutePath(clean))
        return QString();
    QString existing = clean;
    QStringList rest;
    while (!existsEntry(existing)) {
        const QFileInfo fi(existing);
        const QString parent = fi.path();
        if (parent == existing)
            return QString();
        rest.prepend(fi.fileName());
        existing = parent;
    }
    const QString canonical = QFileInfo(existing).canonicalFilePath();
    if (canonical.isEmpty())
        return QString();
    if (rest.isEmpty())
        return canonical;
    return QDir::cleanPath(canonical + QLatin1Char('/') + rest.join(QLatin1Char('/')));
}

bool PathGuard::isBelow(const QString &path, const QString &root)
{
    if (path.isEmpty() || root.isEmpty())
        return false;
    if (root == QLatin1String("/"))
        return path.size() > 1 && path.startsWith(QLatin1Char('/'));
    return path.size() > root.size() + 1 && path.startsWith(root)
        && path.at(root.size()) == QLatin1Char('/');
}
