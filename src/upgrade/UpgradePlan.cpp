#include "UpgradePlan.h"

#include "CommandLine.h"
#include "PathGuard.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {

using Kind = UpgradeScript::ItemKind;

struct Roots {
    QString app;
    QString cur;
    QString backup;
    QString lock;
};

// A path text after macro expansion, resolved; empty with *error set when
// it is not an absolute path that can be resolved.
QString resolveText(const QString &expanded, QString *error)
{
    const QString p = PathGuard::slashes(expanded.trimmed());
    if (!QDir::isAbsolutePath(p)) {
        *error = QStringLiteral("not an absolute path: %1").arg(expanded);
        return QString();
    }
    const QString r = PathGuard::resolve(p);
    if (r.isEmpty())
        *error = QStringLiteral("cannot resolve %1").arg(expanded);
    return r;
}

bool inside(const QString &path, const QString &root)
{
    return path == root || PathGuard::isBelow(path, root);
}

} // namespace

qint64 UpgradePlan::sizeKb(const QString &size)
{
    bool ok = false;
    const qint64 bytes = size.trimmed().toLongLong(&ok, 10);
    if (!ok || bytes < 0)
        return -1;
    return qMax<qint64>(1, bytes / 1024);
}

UpgradePlan UpgradePlan::build(const QList<UpgradeScript::Item> &items, const UpgradeFolders &folders)
{
    UpgradePlan plan;
    Roots roots;
    roots.app = PathGuard::resolve(folders.appPath());
    roots.cur = PathGuard::resolve(folders.curPath());
    roots.backup = PathGuard::resolve(folders.backupPath());
    roots.lock = PathGuard::resolve(folders.lockFile());
    if (roots.app.isEmpty() || !QFileInfo(roots.app).isDir() || roots.cur.isEmpty()) {
        plan.error = QStringLiteral("the installation or working folder is missing");
        return plan;
    }
    QSet<QString> backedUp;

    auto fail = [&plan](const UpgradeScript::Item &item, const QString &why) {
        plan.error = QStringLiteral("line %1: %2").arg(item.line).arg(why);
        plan.actions.clear();
        plan.backups.clear();
        return plan;
    };

    for (const UpgradeScript::Item &item : items) {
        Action a;
        a.kind = item.kind;
        if (!item.size.text.isEmpty()) {
            a.sizeKb = sizeKb(item.size.text);
            if (a.sizeKb < 0)
                return fail(item, QStringLiteral("SIZE is not a number of bytes"));
            plan.totalKb += a.sizeKb;
        }
        if (!item.target.present)
            return fail(item, QStringLiteral("item without TARGET"));
        if (UpgradeFolders::usesWindowsFolder(item.target.text))
            return fail(item, QStringLiteral("TARGET names a Windows folder"));

        QString why;
        if (item.kind == Kind::Exec) {
            QStringList words = CommandLine::split(item.target.text);
            for (QString &w : words)
                w = folders.ExpandMacros(w).text;
            a.shownTarget = CommandLine::join(words);
            if (words.isEmpty() || words.join(QString()).trimmed().isEmpty()) {
                a.skip = true;
                plan.actions << a;
                continue;
            }
            a.program = resolveText(words.first(), &why);
            if (a.program.isEmpty())
                return fail(item, why);
            if (!(PathGuard::isBelow(a.program, roots.app) || PathGuard::isBelow(a.program, roots.cur))
                || inside(a.program, roots.backup))
                return fail(item, QStringLiteral("EXEC program outside the installation and working folders"));
            a.arguments = words.mid(1);
            plan.actions << a;
            continue;
        }

        const UpgradeFolders::Expansion target = folders.ExpandMacros(item.target.text);
        a.shownTarget = QDir::toNativeSeparators(PathGuard::slashes(target.text.trimmed()));
        if (target.text.trimmed().isEmpty()) {
            a.skip = true;
            plan.actions << a;
            continue;
        }
        a.target = resolveText(target.text, &why);
        if (a.target.isEmpty())
            return fail(item, why);
        if (!PathGuard::isBelow(a.target, roots.app))
            return fail(item, QStringLiteral("TARGET outside the installation folder: %1").arg(a.target));
        if (inside(a.target, roots.cur) || a.target == roots.lock)
            return fail(item, QStringLiteral("TARGET inside the working folder: %1").arg(a.target));
        if (PathGuard::isSymLink(QDir::cleanPath(PathGuard::slashes(target.text.trimmed()))))
            return fail(item, QStringLiteral("TARGET is a symbolic link: %1").arg(a.target));
        if (QFileInfo(a.target).isDir())
            return fail(item, QStringLiteral("TARGET is a folder: %1").arg(a.target));

        if (!backedUp.contains(a.target)) {
            backedUp.insert(a.target);
            plan.backups << Backup{a.target, folders.backupFileFor(a.target, target.leadingMacro)};
        }

        if (item.kind == Kind::Replace || item.kind == Kind::Create) {
            if (!item.src.present)
                return fail(item, QStringLiteral("item without SRC"));
            if (UpgradeFolders::usesWindowsFolder(item.src.text))
                return fail(item, QStringLiteral("SRC names a Windows folder"));
            const UpgradeFolders::Expansion src = folders.ExpandMacros(item.src.text);
            if (src.text.trimmed().isEmpty()) {
                a.skip = true;
                plan.actions << a;
                continue;
            }
            a.source = resolveText(src.text, &why);
            if (a.source.isEmpty())
                return fail(item, why);
            if (!PathGuard::isBelow(a.source, roots.cur) || inside(a.source, roots.backup))
                return fail(item, QStringLiteral("SRC outside the working folder: %1").arg(a.source));
        }
        plan.actions << a;
    }
    plan.ok = true;
    return plan;
}
