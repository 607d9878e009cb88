#include "ProfileFile.h"

#include "GbkText.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <optional>
#include <vector>

namespace Profile {
namespace {

// Larger files are not profile files; they are treated as unreadable.
constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;

struct Line {
    QByteArray raw;   // the line as stored, without its line end
    QString text;     // decoded and trimmed
    bool header = false;
    QString name;     // section name (header) or key (text before "=")
    bool isKey = false;
};

struct Document {
    std::vector<Line> lines;
    bool existed = false;
};

Line parseLine(const QByteArray &raw)
{
    Line l;
    l.raw = raw;
    l.text = Gbk::decode(raw).trimmed();
    if (l.text.startsWith(QLatin1Char('['))) {
        const int close = l.text.indexOf(QLatin1Char(']'));
        if (close > 0) {
            l.header = true;
            l.name = l.text.mid(1, close - 1).trimmed();
        }
        return l;
    }
    if (l.text.startsWith(QLatin1Char(';')))
        return l;
    const int eq = l.text.indexOf(QLatin1Char('='));
    if (eq >= 0) {
        l.isKey = true;
        l.name = l.text.left(eq).trimmed();
    }
    return l;
}

std::optional<Document> load(const QString &file)
{
    Document doc;
    QFile f(file);
    if (!f.exists())
        return doc;
    if (!f.open(QIODevice::ReadOnly) || f.size() > kMaxFileBytes)
        return std::nullopt;
    const QByteArray all = f.readAll();
    doc.existed = true;
    qsizetype start = 0;
    const qsizetype n = all.size();
    while (start < n) {
        qsizetype end = all.indexOf('\n', start);
        if (end < 0)
            end = n;
        qsizetype lineEnd = end;
        if (lineEnd > start && all.at(lineEnd - 1) == '\r')
            --lineEnd;
        doc.lines.push_back(parseLine(all.mid(start, lineEnd - start)));
        start = end + 1;
    }
    return doc;
}

bool same(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Index of the first header of the section, or -1.
int findSection(const Document &doc, const QString &section)
{
    for (size_t i = 0; i < doc.lines.size(); ++i)
        if (doc.lines[i].header && same(doc.lines[i].name, section))
            return int(i);
    return -1;
}

// One past the last line belonging to the section that starts at header.
int sectionEnd(const Document &doc, int header)
{
    size_t i = size_t(header) + 1;
    while (i < doc.lines.size() && !doc.lines[i].header)
        ++i;
    return int(i);
}

int findKey(const Document &doc, int header, const QString &key)
{
    const int end = sectionEnd(doc, header);
    for (int i = header + 1; i < end; ++i)
        if (doc.lines[size_t(i)].isKey && same(doc.lines[size_t(i)].name, key))
            return i;
    return -1;
}

QString valueOf(const Line &l)
{
    const int eq = l.text.indexOf(QLatin1Char('='));
    QString v = l.text.mid(eq + 1).trimmed();
    if (v.size() >= 2 && ((v.startsWith(QLatin1Char('"')) && v.endsWith(QLatin1Char('"')))
                          || (v.startsWith(QLatin1Char('\'')) && v.endsWith(QLatin1Char('\'')))))
        v = v.mid(1, v.size() - 2);
    if (v.size() > kMaxValueLength)
        v.truncate(kMaxValueLength);
    return v;
}

// The last non-blank line of the section, so new keys go before the blank
// lines that separate it from the next section.
int insertPoint(const Document &doc, int header)
{
    int end = sectionEnd(doc, header);
    while (end - 1 > header && doc.lines[size_t(end - 1)].text.isEmpty())
        --end;
    return end;
}

bool save(const QString &file, const Document &doc)
{
    // A file without its owner's write bit is read-only, as on the systems
    // whose profile files these are, even for a user who could override it.
    QFileInfo fi(file);
    if (fi.exists() && (!(fi.permissions() & QFileDevice::WriteOwner) || !fi.isWritable()))
        return false;
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    QByteArray bytes;
    for (const Line &l : doc.lines) {
        bytes += l.raw;
        bytes += "\r\n";
    }
    if (out.write(bytes) != bytes.size())
        return false;
    return out.commit();
}

Line keyLine(const QString &key, const QString &value)
{
    return parseLine(Gbk::encode(key + QLatin1Char('=') + value));
}

Line headerLine(const QString &section)
{
    return parseLine(Gbk::encode(QLatin1Char('[') + section + QLatin1Char(']')));
}

// Appends a new, empty section at the end of the document; returns its header.
int appendSection(Document &doc, const QString &section)
{
    if (!doc.lines.empty() && !doc.lines.back().text.isEmpty())
        doc.lines.push_back(parseLine(QByteArray()));
    doc.lines.push_back(headerLine(section));
    return int(doc.lines.size() - 1);
}

} // namespace

QString readString(const QString &file, const QString &section, const QString &key)
{
    const auto doc = load(file);
    if (!doc)
        return QString();
    const int h = findSection(*doc, section);
    if (h < 0)
        return QString();
    const int k = findKey(*doc, h, key);
    return k < 0 ? QString() : valueOf(doc->lines[size_t(k)]);
}

bool hasKey(const QString &file, const QString &section, const QString &key)
{
    const auto doc = load(file);
    if (!doc)
        return false;
    const int h = findSection(*doc, section);
    return h >= 0 && findKey(*doc, h, key) >= 0;
}

QStringList readSection(const QString &file, const QString &section)
{
    QStringList out;
    const auto doc = load(file);
    if (!doc)
        return out;
    const int h = findSection(*doc, section);
    if (h < 0)
        return out;
    const int end = sectionEnd(*doc, h);
    qsizetype used = 0;
    for (int i = h + 1; i < end; ++i) {
        const Line &l = doc->lines[size_t(i)];
        if (l.text.isEmpty() || l.text.startsWith(QLatin1Char(';')))
            continue;
        // Each line takes its bytes and a terminator; the whole section
        // ends with one more terminator.
        used += l.raw.trimmed().size() + 1;
        if (used + 1 > kMaxSectionBytes)
            break;
        out << l.text;
    }
    return out;
}

bool hasSection(const QString &file, const QString &section)
{
    const auto doc = load(file);
    return doc && findSection(*doc, section) >= 0;
}

QStringList sectionNames(const QString &file)
{
    QStringList out;
    const auto doc = load(file);
    if (!doc)
        return out;
    for (const Line &l : doc->lines)
        if (l.header)
            out << l.name;
    return out;
}

bool writeString(const QString &file, const QString &section, const QString &key, const QString &value)
{
    auto doc = load(file);
    if (!doc || section.trimmed().isEmpty() || key.trimmed().isEmpty())
        return false;
    int h = findSection(*doc, section);
    if (h < 0)
        h = appendSection(*doc, section);
    const int k = findKey(*doc, h, key);
    if (k >= 0) {
        // Keep the key as stored (its letter case), replace only the value.
        doc->lines[size_t(k)] = keyLine(doc->lines[size_t(k)].name, value);
    } else {
        const int at = insertPoint(*doc, h);
        doc->lines.insert(doc->lines.begin() + at, keyLine(key, value));
    }
    return save(file, *doc);
}

bool writeInt(const QString &file, const QString &section, const QString &key, qint64 value)
{
    return writeString(file, section, key, QString::number(value));
}

bool writeBool(const QString &file, const QString &section, const QString &key, bool value)
{
    return writeString(file, section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool deleteKey(const QString &file, const QString &section, const QString &key)
{
    auto doc = load(file);
    if (!doc)
        return false;
    const int h = findSection(*doc, section);
    if (h < 0)
        return true;
    const int k = findKey(*doc, h, key);
    if (k < 0)
        return true;
    doc->lines.erase(doc->lines.begin() + k);
    return save(file, *doc);
}

bool eraseSection(const QString &file, const QString &section)
{
    auto doc = load(file);
    if (!doc)
        return false;
    if (!doc->existed)
        return true;
    bool changed = false;
    for (int h = findSection(*doc, section); h >= 0; h = findSection(*doc, section)) {
        doc->lines.erase(doc->lines.begin() + h, doc->lines.begin() + sectionEnd(*doc, h));
        changed = true;
    }
    return !changed || save(file, *doc);
}

bool writeSection(const QString &file, const QString &section, const QStringList &lines)
{
    auto doc = load(file);
    if (!doc || section.trimmed().isEmpty())
        return false;
    // Remove every copy of the section, then put the new one where the
    // first copy stood (or at the end).
    int at = -1;
    for (int h = findSection(*doc, section); h >= 0; h = findSection(*doc, section)) {
        if (at < 0)
            at = h;
        doc->lines.erase(doc->lines.begin() + h, doc->lines.begin() + sectionEnd(*doc, h));
    }
    std::vector<Line> block;
    block.push_back(headerLine(section));
    for (const QString &l : lines)
        block.push_back(parseLine(Gbk::encode(l)));
    if (at < 0) {
        if (!doc->lines.empty() && !doc->lines.back().text.isEmpty())
            doc->lines.push_back(parseLine(QByteArray()));
        doc->lines.insert(doc->lines.end(), block.begin(), block.end());
    } else {
        block.push_back(parseLine(QByteArray()));
        doc->lines.insert(doc->lines.begin() + at, block.begin(), block.end());
    }
    return save(file, *doc);
}

} // namespace Profile
