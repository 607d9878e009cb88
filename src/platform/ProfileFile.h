#pragma once
// Windows-style profile (ini) files.
//
// The files are GBK bytes on disk with CRLF line ends. Sections and keys are
// matched without regard to letter case and the first match wins. Values are
// trimmed, one pair of enclosing quotes is removed and the result is cut at
// 1023 characters. A section is read at most 16384 bytes. Every call opens,
// reads (and, for writes, atomically replaces) the file: nothing is held
// open between calls. Lines the calls do not change are written back byte
// for byte, so bytes that are not valid GBK are never lost.

#include <QString>
#include <QStringList>

namespace Profile {

constexpr int kMaxValueLength = 1023;
constexpr int kMaxSectionBytes = 16384;

// The value, or an empty text when the file, section or key is missing.
QString readString(const QString &file, const QString &section, const QString &key);
// True when the key exists in the section (its value may be empty).
bool hasKey(const QString &file, const QString &section, const QString &key);
// The section's lines ("name=value" as stored; blank lines and lines
// starting with ";" are left out), at most kMaxSectionBytes of them.
QStringList readSection(const QString &file, const QString &section);
bool hasSection(const QString &file, const QString &section);
QStringList sectionNames(const QString &file);

// Writes one value; creates the file and the section when missing. False
// when the file cannot be written (nothing is changed then).
bool writeString(const QString &file, const QString &section, const QString &key, const QString &value);
bool writeInt(const QString &file, const QString &section, const QString &key, qint64 value);
bool writeBool(const QString &file, const QString &section, const QString &key, bool value);
bool deleteKey(const QString &file, const QString &section, const QString &key);
// Removes the whole section (its header and all its lines).
bool eraseSection(const QString &file, const QString &section);
// Replaces the section with these "name=value" lines, in order.
bool writeSection(const QString &file, const QString &section, const QStringList &lines);

} // namespace Profile
