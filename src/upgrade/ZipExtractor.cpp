#include "ZipExtractor.h"

#include "GbkText.h"
#include "PathGuard.h"
#include "SafeCopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <zip.h>

namespace {

constexpr qint64 kChunk = 256 * 1024;

bool isAscii(const QByteArray &b)
{
    for (char c : b)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

} // namespace

ZipExtractor::ZipExtractor() = default;

ZipExtractor::~ZipExtractor()
{
    close();
}

void ZipExtractor::close()
{
    if (m_zip) {
        zip_discard(m_zip);
        m_zip = nullptr;
    }
}

QString ZipExtractor::decodeEntryName(const QByteArray &raw, bool utf8)
{
    return utf8 ? QString::fromUtf8(raw) : Gbk::decode(raw);
}

std::optional<QString> ZipExtractor::normalizeEntryName(const QString &name, bool *isFolder)
{
    if (name.isEmpty() || name.contains(QChar(0)))
        return std::nullopt;
    // Separators are looked at only after decoding: a GBK trail byte may be
    // 0x5C, which is no separator.
    const QString s = PathGuard::slashes(name);
    if (s.startsWith(QLatin1Char('/')))
        return std::nullopt;
    if (s.size() >= 2 && s.at(1) == QLatin1Char(':') && s.at(0).isLetter())
        return std::nullopt;
    QStringList parts;
    for (const QString &part : s.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String(".."))
            return std::nullopt;
        parts << part;
    }
    if (parts.isEmpty())
        return std::nullopt;
    if (isFolder)
        *isFolder = s.endsWith(QLatin1Char('/'));
    return parts.join(QLatin1Char('/'));
}

bool ZipExtractor::open(const QString &archive, QString *error)
{
    close();
    m_entries.clear();
    int code = 0;
    m_zip = zip_open(QFile::encodeName(archive).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!m_zip) {
        zip_error_t e;
        zip_error_init_with_code(&e, code);
        if (error)
            *error = QStringLiteral("%1: %2").arg(archive, QString::fromLocal8Bit(zip_error_strerror(&e)));
        zip_error_fini(&e);
        return false;
    }
    return true;
}

bool ZipExtractor::validate(const QStringList &reservedNames, QString *error)
{
    auto failed = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (!m_zip)
        return failed(QStringLiteral("no archive"));
    m_entries.clear();
    const zip_int64_t count = zip_get_num_entries(m_zip, 0);
    if (count < 0 || count > kMaxEntries)
        return failed(QStringLiteral("%1 entries").arg(count));
    qint64 total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        const char *raw = zip_get_name(m_zip, zip_uint64_t(i), ZIP_FL_ENC_RAW);
        const char *strict = zip_get_name(m_zip, zip_uint64_t(i), ZIP_FL_ENC_STRICT);
        if (!raw || !strict)
            return failed(QStringLiteral("entry %1 has no name").arg(i));
        const QByteArray rawName(raw);
        // With ZIP_FL_ENC_STRICT a name is given back unchanged only when it
        // is flagged UTF-8 (or plain ASCII); an unflagged name is converted.
        const bool utf8 = isAscii(rawName) || rawName == QByteArray(strict);
        const QString name = decodeEntryName(rawName, utf8);

        Entry e;
        e.index = i;
        bool folder = false;
        const std::optional<QString> path = normalizeEntryName(name, &folder);
        if (!path)
            return failed(QStringLiteral("refused entry name \"%1\"").arg(name));
        e.path = *path;
        e.isFolder = folder;
        const QString top = e.path.section(QLatin1Char('/'), 0, 0);
        for (const QString &reserved : reservedNames) {
            if (top.compare(reserved, Qt::CaseInsensitive) == 0)
                return failed(QStringLiteral("entry \"%1\" takes a reserved name").arg(name));
        }

        zip_uint8_t opsys = 0;
        zip_uint32_t attributes = 0;
        if (zip_file_get_external_attributes(m_zip, zip_uint64_t(i), 0, &opsys, &attributes) != 0)
            return failed(QStringLiteral("entry \"%1\": no attributes").arg(name));
        if (opsys == ZIP_OPSYS_UNIX) {
            const unsigned mode = attributes >> 16;
            const unsigned type = mode & S_IFMT;
            if (type == S_IFLNK)
                return failed(QStringLiteral("entry \"%1\" is a symbolic link").arg(name));
            if (type != 0 && type != S_IFREG && type != S_IFDIR)
                return failed(QStringLiteral("entry \"%1\" is a special file").arg(name));
            if (type == S_IFDIR)
                e.isFolder = true;
            // No set-id bits and no write for others; the owner can always
            // read and write (clean-up removes the files).
            if (mode & 0777)
                e.mode = (mode & 0755) | 0600;
        } else if (opsys == ZIP_OPSYS_DOS && (attributes & 0x10)) {
            e.isFolder = true;
        }

        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(m_zip, zip_uint64_t(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
            return failed(QStringLiteral("entry \"%1\": unreadable").arg(name));
        if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
            return failed(QStringLiteral("entry \"%1\" is encrypted").arg(name));
        if (st.size > zip_uint64_t(kMaxUnpackedBytes))
            return failed(QStringLiteral("entry \"%1\" is too large").arg(name));
        e.size = qint64(st.size);
        total += e.size;
        if (total > kMaxUnpackedBytes)
            return failed(QStringLiteral("the archive unpacks to more than %1 bytes").arg(kMaxUnpackedBytes));
        if (e.isFolder && e.size != 0)
            return failed(QStringLiteral("folder entry \"%1\" has data").arg(name));
        m_entries << e;
    }
    return true;
}

bool ZipExtractor::makeFolders(const QString &root, const QString &relative, QString *error)
{
    QString current = root;
    for (const QString &part : relative.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        current += QLatin1Char('/') + part;
        if (PathGuard::isSymLink(current)) {
            *error = QStringLiteral("%1 is a link").arg(current);
            return false;
        }
        if (PathGuard::existsEntry(current)) {
            if (!QFileInfo(current).isDir()) {
                *error = QStringLiteral("%1 is not a folder").arg(current);
                return false;
            }
            continue;
        }
        if (!QDir().mkdir(current)) {
            *error = QStringLiteral("cannot create %1").arg(current);
            return false;
        }
    }
    return true;
}

bool ZipExtractor::extract(int i, const QString &folder, QString *error)
{
    QString why;
    auto failed = [error, &why]() {
        if (error)
            *error = why;
        return false;
    };
    if (!m_zip || i < 0 || i >= m_entries.size()) {
        why = QStringLiteral("no such entry");
        return failed();
    }
    const Entry &e = m_entries.at(i);
    const QString root = PathGuard::resolve(folder);
    if (root.isEmpty()) {
        why = QStringLiteral("%1 is missing").arg(folder);
        return failed();
    }
    const QString parentRel = e.isFolder ? e.path : e.path.section(QLatin1Char('/'), 0, -2);
    if (!makeFolders(root, parentRel, &why))
        return failed();
    const QString dest = root + QLatin1Char('/') + e.path;
    const QString checkedParent = PathGuard::resolve(QFileInfo(dest).absolutePath());
    if (!(checkedParent == root || PathGuard::isBelow(checkedParent, root))
        || !PathGuard::isBelow(PathGuard::resolve(dest), root)) {
        why = QStringLiteral("%1 leaves the working folder").arg(e.path);
        return failed();
    }
    if (e.isFolder)
        return true;

    if (PathGuard::existsEntry(dest)) {
        if (QFileInfo(dest).isDir() && !PathGuard::isSymLink(dest)) {
            why = QStringLiteral("%1 is a folder").arg(e.path);
            return failed();
        }
        if (!SafeCopy::removeFile(dest)) {
            why = QStringLiteral("cannot replace %1").arg(e.path);
            return failed();
        }
    }
    QFile out(dest);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        why = QStringLiteral("%1: %2").arg(dest, out.errorString());
        return failed();
    }
    zip_file_t *in = zip_fopen_index(m_zip, zip_uint64_t(e.index), 0);
    if (!in) {
        why = QStringLiteral("%1: %2").arg(e.path, QString::fromLocal8Bit(zip_strerror(m_zip)));
        out.close();
        out.remove();
        return failed();
    }
    QByteArray buffer(kChunk, Qt::Uninitialized);
    qint64 written = 0;
    bool ok = true;
    while (true) {
        const zip_int64_t n = zip_fread(in, buffer.data(), zip_uint64_t(buffer.size()));
        if (n < 0) {
            why = QStringLiteral("%1: %2").arg(e.path, QString::fromLocal8Bit(zip_file_strerror(in)));
            ok = false;
            break;
        }
        if (n == 0)
            break;
        written += n;
        if (written > e.size) {
            why = QStringLiteral("%1 inflates beyond its declared %2 bytes").arg(e.path).arg(e.size);
            ok = false;
            break;
        }
        if (out.write(buffer.constData(), n) != n) {
            why = QStringLiteral("%1: %2").arg(dest, out.errorString());
            ok = false;
            break;
        }
    }
    zip_fclose(in);
    if (ok && written != e.size) {
        why = QStringLiteral("%1: %2 of %3 bytes").arg(e.path).arg(written).arg(e.size);
        ok = false;
    }
    if (ok && !out.flush()) {
        why = QStringLiteral("%1: %2").arg(dest, out.errorString());
        ok = false;
    }
    out.close();
    if (!ok) {
        QFile::remove(dest);
        return failed();
    }
    ::chmod(QFile::encodeName(dest).constData(), mode_t(e.mode.value_or(0644)));
    return true;
}
