#pragma once
// A command line as one text and as an argument list.
//
// The rules are those of the usual Windows C runtime, so a line written by a
// Windows-style client reads the same here:
//  - spaces and tabs outside double quotes separate arguments;
//  - a double quote starts or ends a quoted part (it is not kept);
//  - 2n backslashes before a double quote become n backslashes and the
//    quote keeps its meaning; 2n+1 backslashes before a double quote become
//    n backslashes and a literal double quote;
//  - backslashes anywhere else are literal.
// join() quotes exactly as much as split() needs to give the list back.

#include <QString>
#include <QStringList>

class CommandLine
{
public:
    static QStringList split(const QString &line);
    static QString join(const QStringList &arguments);
    static QString quote(const QString &argument);
};
