#include "BackupJournal.h"

#include "PathGuard.h"
#include "SafeCopy.h"
#include "UpgradeFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QUrl>

#include <unistd.h>

namespace {

QByteArray encodeField(const QString &s)
{
    return QUrl::toPercentEncoding(s, "/$._-~+()[]{}@,:");
}

QString decodeField(const QByteArray &b)
{
    return QUrl::fromPercentEncoding(b);
}

} // namespace

BackupJournal::BackupJournal(const QString &journalFile, const QString &backupFolder, const QString &installRoot)
    : m_journalFile(journalFile)
    , m_backupFolder(backupFolder)
    , m_root(installRoot)
{
}

BackupJournal::BackupJournal(const UpgradeFolders &folders)
    : BackupJournal(folders.journalFile(), folders.backupPath(), PathGuard::resolve(folders.appPath()))
{
}

BackupJournal::~BackupJournal() = default;

std::unique_ptr<BackupJournal> BackupJournal::openExisting(const QString &journalFile, const QString &backupFolder)
{
    if (!QFileInfo(journalFile).isFile())
        return nullptr;
    const QList<Entry> entries = readEntries(journalFile);
    if (entries.isEmpty() || entries.first().kind != QLatin1Char('H'))
        return std::make_unique<BackupJournal>(journalFile, backupFolder, QString());
    return std::make_unique<BackupJournal>(journalFile, backupFolder, entries.first().path);
}

QList<BackupJournal::Entry> BackupJournal::readEntries(const QString &journalFile)
{
    QList<Entry> out;
    QFile f(journalFile);
    if (!f.open(QIODevice::ReadOnly))
        return out;
    const QByteArray all = f.readAll();
    qsizetype start = 0;
    while (true) {
        const qsizetype end = all.indexOf('\n', start);
        if (end < 0)
            break; // a torn last line: its change never started
        const QList<QByteArray> parts = all.mid(start, end - start).split('\t');
        start = end + 1;
        if (parts.size() < 2 || parts.at(0).size() != 1)
            continue;
        Entry e;
        e.kind = QLatin1Char(parts.at(0).at(0));
        e.path = decodeField(parts.at(1));
        if (parts.size() > 2)
            e.copy = decodeField(parts.at(2));
        out << e;
    }
    return out;
}

bool BackupJournal::openForAppend()
{
    if (m_file && m_file->isOpen())
        return true;
    m_file = std::make_unique<QFile>(m_journalFile);
    return m_file->open(QIODevice::WriteOnly | QIODevice::Append);
}

bool BackupJournal::append(QChar kind, const QString &path, const QString &copy)
{
    if (!openForAppend())
        return false;
    QByteArray line;
    line += char(kind.toLatin1());
    line += '\t';
    line += encodeField(path);
    if (!copy.isEmpty()) {
        line += '\t';
        line += encodeField(copy);
    }
    line += '\n';
    if (m_file->write(line) != line.size() || !m_file->flush())
        return false;
    return ::fsync(m_file->handle()) == 0;
}

bool BackupJournal::begin(QString *error)
{
    m_file.reset();
    if (PathGuard::isSymLink(m_backupFolder))
        QFile::remove(m_backupFolder);
    else if (QFileInfo(m_backupFolder).isDir())
        QDir(m_backupFolder).removeRecursively();
    if (!QDir().mkpath(m_backupFolder) || PathGuard::isSymLink(m_backupFolder)) {
        if (error)
            *error = QStringLiteral("cannot create %1").arg(m_backupFolder);
        return false;
    }
    QFile::remove(m_journalFile);
    if (m_root.isEmpty() || !append(QLatin1Char('H'), m_root, m_backupFolder)) {
        if (error)
            *error = QStringLiteral("cannot write %1").arg(m_journalFile);
        return false;
    }
    SafeCopy::syncFolder(m_backupFolder);
    return true;
}

bool BackupJournal::backup(const QString &target, const QString &backupFile, QString *error)
{
    if (!PathGuard::existsEntry(target))
        return true;
    if (!PathGuard::isBelow(backupFile, m_backupFolder)) {
        if (error)
            *error = QStringLiteral("backup copy outside the backup folder: %1").arg(backupFile);
        return false;
    }
    const QString dir = QFileInfo(backupFile).absolutePath();
    if (!QDir().mkpath(dir)) {
        if (error)
            *error = QStringLiteral("cannot create %1").arg(dir);
        return false;
    }
    SafeCopy::removeFile(backupFile);
    SafeCopy::Options o;
    o.keepModificationTime = true;
    if (!SafeCopy::copy(target, backupFile, o, error))
        return false;
    if (!QFileInfo(backupFile).isFile()) {
        if (error)
            *error = QStringLiteral("backup copy missing: %1").arg(backupFile);
        return false;
    }
    if (!append(QLatin1Char('B'), target, backupFile)) {
        if (error)
            *error = QStringLiteral("cannot write %1").arg(m_journalFile);
        return false;
    }
    return true;
}

bool BackupJournal::noteTouched(const QString &target)
{
    return append(QLatin1Char('T'), target);
}

bool BackupJournal::noteTemporary(const QString &path)
{
    return append(QLatin1Char('P'), path);
}

bool BackupJournal::noteFolder(const QString &path)
{
    return append(QLatin1Char('D'), path);
}

bool BackupJournal::commit()
{
    m_file.reset();
    const bool ok = QFile::remove(m_journalFile) || !QFileInfo::exists(m_journalFile);
    SafeCopy::syncFolder(m_backupFolder);
    return ok;
}

bool BackupJournal::restore(QString *error)
{
    const QList<Entry> entries = readEntries(m_journalFile);
    const QString root = PathGuard::resolve(m_root);
    const QString backupRoot = PathGuard::resolve(m_backupFolder);
    QStringList problems;

    QHash<QString, QString> copies;
    QStringList touched;
    QSet<QString> touchedSet;
    QStringList temporaries;
    QStringList folders;
    // Entries that point outside the installation (or the backup folder)
    // are never acted on, whatever the file says.
    auto guarded = [&](const QString &p) { return !root.isEmpty() && PathGuard::isBelow(p, root); };
    for (const Entry &e : entries) {
        switch (e.kind.toLatin1()) {
        case 'B':
            if (guarded(e.path) && PathGuard::isBelow(e.copy, backupRoot) && !copies.contains(e.path))
                copies.insert(e.path, e.copy);
            break;
        case 'T':
            if (guarded(e.path) && !touchedSet.contains(e.path)) {
                touchedSet.insert(e.path);
                touched << e.path;
            }
            break;
        case 'P':
            if (guarded(e.path))
                temporaries << e.path;
            break;
        case 'D':
            if (guarded(e.path))
                folders << e.path;
            break;
        default:
            break;
        }
    }

    for (auto it = touched.crbegin(); it != touched.crend(); ++it) {
        const QString &target = *it;
        const auto copy = copies.constFind(target);
        if (copy == copies.cend()) {
            if (!SafeCopy::removeFile(target))
                problems << QStringLiteral("cannot remove %1").arg(target);
            continue;
        }
        if (!QFileInfo(*copy).isFile()) {
            problems << QStringLiteral("backup copy missing: %1").arg(*copy);
            continue;
        }
        if (SafeCopy::sameFile(target, *copy))
            continue;
        QDir().mkpath(QFileInfo(target).absolutePath());
        if (QFileInfo(target).isDir() && !PathGuard::isSymLink(target))
            QDir(target).removeRecursively();
        SafeCopy::Options o;
        o.keepModificationTime = true;
        o.beforeTemporary = [this](const QString &t) { return noteTemporary(t); };
        QString why;
        if (!SafeCopy::copy(*copy, target, o, &why))
            problems << why;
    }
    for (const QString &t : temporaries) {
        if (!SafeCopy::removeFile(t))
            problems << QStringLiteral("cannot remove %1").arg(t);
    }
    for (auto it = folders.crbegin(); it != folders.crend(); ++it) {
        // Only empty folders go: anything someone else put there stays.
        if (QFileInfo(*it).isDir() && !PathGuard::isSymLink(*it))
            QDir().rmdir(*it);
    }
    if (!problems.isEmpty()) {
        if (error)
            *error = problems.join(QLatin1Char('\n'));
        m_file.reset();
        return false;
    }
    return commit();
}
