#pragma once
// The login numbers remembered on this machine: section [LOGINNO] of
// "DededEri.ini", keys "user0", "user1", … in order, each value the login
// number's GBK bytes in standard Base64.

#include <QString>
#include <QStringList>

namespace LoginNumbers {

// The stored numbers that may be offered: those whose per-user settings load
// and keep SaveCerty, each once, in stored order.
QStringList Offered();
// All stored numbers, decoded, in order.
QStringList Stored();
// Appends the number unless its Base64 form is stored already (letter case
// ignored); the section is then rewritten with consecutive keys.
void Remember(const QString &loginNumber);

QString Encode(const QString &loginNumber);
QString Decode(const QString &stored);

} // namespace LoginNumbers
