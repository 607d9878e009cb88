#pragma once
// GBK at the edges: ini files, the bank's answers and the client's XML files
// are GBK bytes; inside the program every text is a QString.

#include <QByteArray>
#include <QString>

namespace Gbk {

// Decodes GBK bytes; bytes that are not GBK become U+FFFD, never a failure.
QString decode(const QByteArray &bytes);
QString decode(const char *data, qsizetype size);
// Encodes to GBK; characters GBK cannot carry become "?".
QByteArray encode(const QString &text);
// True when every character of the text can be written in GBK.
bool canEncode(const QString &text);

// Decodes a body by a declared character set name ("gb2312", "GBK",
// "utf-8", "utf-16" …); unknown or empty names are taken as GBK.
QString decodeAs(const QByteArray &bytes, const QString &charset);

} // namespace Gbk
