#include "UpgradeFolders.h"

#include "PathGuard.h"

#include <QDir>

QString UpgradeFolders::normalizeFolder(const QString &dir)
{
    if (dir.trimmed().isEmpty())
        return QString();
    QString d = PathGuard::slashes(dir);
    if (!QDir::isAbsolutePath(d))
        d = QDir::current().absoluteFilePath(d);
    return QDir::cleanPath(d);
}

UpgradeFolders::UpgradeFolders(const QString &upgradeDir, const QString &installDir)
    : m_upg(normalizeFolder(upgradeDir))
    , m_app(normalizeFolder(installDir))
{
    m_cur = m_upg.isEmpty() ? QString() : m_upg + QLatin1Char('/') + kWorkFolderName;
}

QString UpgradeFolders::folderOf(const QString &macro) const
{
    if (macro == kCurPath)
        return m_cur;
    if (macro == kUpgPath)
        return m_upg;
    if (macro == kAppPath)
        return m_app;
    return QString();
}

bool UpgradeFolders::usesWindowsFolder(const QString &text)
{
    return text.contains(kWinPath) || text.contains(kSysPath);
}

UpgradeFolders::Expansion UpgradeFolders::ExpandMacros(const QString &text) const
{
    static const QString order[] = {kCurPath, kUpgPath, kAppPath, kWinPath, kSysPath};
    Expansion e;
    for (const QString &m : order) {
        if (text.startsWith(m)) {
            e.leadingMacro = m;
            break;
        }
    }
    static const QString expanded[] = {kCurPath, kUpgPath, kAppPath};
    QString out;
    out.reserve(text.size() + 64);
    qsizetype i = 0;
    while (i < text.size()) {
        bool replaced = false;
        if (text.at(i) == QLatin1Char('$')) {
            for (const QString &m : expanded) {
                if (QStringView(text).mid(i).startsWith(m)) {
                    out += folderOf(m);
                    i += m.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            out += text.at(i++);
    }
    e.text = out;
    return e;
}

QString UpgradeFolders::backupFileFor(const QString &resolvedTarget, const QString &leadingMacro) const
{
    QString name = leadingMacro;
    QString root = name.isEmpty() ? QString() : PathGuard::resolve(folderOf(name));
    if (root.isEmpty() || !PathGuard::isBelow(resolvedTarget, root)) {
        name = kAppPath;
        root = PathGuard::resolve(m_app);
    }
    QString rel = resolvedTarget.mid(root == QLatin1String("/") ? 1 : root.size() + 1);
    return backupPath() + QLatin1Char('/') + name + QLatin1Char('/') + rel;
}
