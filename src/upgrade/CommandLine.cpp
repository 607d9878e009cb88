#include "CommandLine.h"

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

} // namespace

QStringList CommandLine::split(const QString &line)
{
    QStringList out;
    QString current;
    bool inArgument = false;
    bool quoted = false;
    const qsizetype n = line.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = line.at(i);
        if (!quoted && isBlank(c)) {
            if (inArgument) {
                out << current;
                current.clear();
                inArgument = false;
            }
            ++i;
            continue;
        }
        inArgument = true;
        if (c == QLatin1Char('\\')) {
            qsizetype count = 0;
            while (i < n && line.at(i) == QLatin1Char('\\')) {
                ++count;
                ++i;
            }
            if (i < n && line.at(i) == QLatin1Char('"')) {
                current += QString(count / 2, QLatin1Char('\\'));
                if (count % 2 == 1) {
                    current += QLatin1Char('"');
                    ++i;
                }
                // An even count leaves the quote to the next turn.
            } else {
                current += QString(count, QLatin1Char('\\'));
            }
            continue;
        }
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            ++i;
            continue;
        }
        current += c;
        ++i;
    }
    if (inArgument)
        out << current;
    return out;
}

QString CommandLine::quote(const QString &argument)
{
    bool needs = argument.isEmpty();
    for (QChar c : argument) {
        if (isBlank(c) || c == QLatin1Char('"')) {
            needs = true;
            break;
        }
    }
    if (!needs)
        return argument;
    QString out = QStringLiteral("\"");
    qsizetype backslashes = 0;
    for (QChar c : argument) {
        if (c == QLatin1Char('\\')) {
            ++backslashes;
            continue;
        }
        if (c == QLatin1Char('"')) {
            out += QString(backslashes * 2 + 1, QLatin1Char('\\'));
            out += QLatin1Char('"');
        } else {
            out += QString(backslashes, QLatin1Char('\\'));
            out += c;
        }
        backslashes = 0;
    }
    // Backslashes before the closing quote are doubled so they stay literal.
    out += QString(backslashes * 2, QLatin1Char('\\'));
    out += QLatin1Char('"');
    return out;
}

QString CommandLine::join(const QStringList &arguments)
{
    QStringList quoted;
    quoted.reserve(arguments.size());
    for (const QString &a : arguments)
        quoted << quote(a);
    return quoted.join(QLatin1Char(' '));
}
