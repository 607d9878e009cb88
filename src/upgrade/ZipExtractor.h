#pragma once
// Unpacks a package archive into the working folder.
//
// Every entry is checked before anything is written: names that are
// absolute, carry a drive letter, contain a ".." component (with "/" or "\"
// as separator) or name a reserved top-level entry are refused, and so are
// symbolic links and other special files, encrypted entries, more than
// kMaxEntries entries and more than kMaxUnpackedBytes in all. While
// unpacking every written path is checked to stay below the folder after
// its links are resolved, and an entry that inflates beyond its declared
// size stops the unpacking. Entry names without the UTF-8 flag are GBK.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

struct zip;

class ZipExtractor
{
public:
    static constexpr qint64 kMaxUnpackedBytes = 512LL * 1024 * 1024;
    static constexpr qint64 kMaxEntries = 20000;

    struct Entry {
        qint64 index = 0;
        QString path;  // normalised, "/" separators, no trailing "/"
        bool isFolder = false;
        qint64 size = 0;
        std::optional<unsigned> mode; // permission bits from the archive
    };

    ZipExtractor();
    ~ZipExtractor();
    ZipExtractor(const ZipExtractor &) = delete;
    ZipExtractor &operator=(const ZipExtractor &) = delete;

    // False when the file is not a readable zip archive.
    bool open(const QString &archive, QString *error);
    // Reads and checks every entry; reservedNames are top-level names no
    // entry may take (compared without regard to case).
    bool validate(const QStringList &reservedNames, QString *error);
    const QList<Entry> &entries() const { return m_entries; }
    // Writes one checked entry below `folder`.
    bool extract(int i, const QString &folder, QString *error);
    void close();

    // The relative path an entry name stands for, or nullopt when the name
    // is refused. *isFolder tells a name ending in a separator.
    static std::optional<QString> normalizeEntryName(const QString &name, bool *isFolder = nullptr);
    // Raw name bytes as text: UTF-8 when flagged so, else GBK.
    static QString decodeEntryName(const QByteArray &raw, bool utf8);

private:
    bool makeFolders(const QString &root, const QString &relative, QString *error);

    zip *m_zip = nullptr;
    QList<Entry> m_entries;
};
