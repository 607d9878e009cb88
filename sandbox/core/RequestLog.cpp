#include "RequestLog.h"

#include <QJsonObject>

qint64 RequestLog::append(RequestLogEntry entry)
{
    entry.seq = m_next++;
    m_entries.append(entry);
    return entry.seq;
}

void RequestLog::setOutcome(qint64 seq, const QString &outcome)
{
    for (qsizetype i = m_entries.size() - 1; i >= 0; --i) {
        if (m_entries[i].seq == seq) {
            m_entries[i].outcome = outcome;
            return;
        }
    }
}

QJsonArray RequestLog::toJson(qint64 since) const
{
    QJsonArray out;
    for (const RequestLogEntry &e : m_entries) {
        if (e.seq <= since)
            continue;
        QJsonObject o;
        o[QStringLiteral("seq")] = e.seq;
        o[QStringLiteral("time")] = e.bankTime.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss.zzz"));
        o[QStringLiteral("wall")] = e.wallTime.toString(Qt::ISODateWithMs);
        o[QStringLiteral("path")] = e.path;
        o[QStringLiteral("query")] = QString::fromLatin1(e.rawQuery);
        o[QStringLiteral("txcode")] = e.txcode;
        o[QStringLiteral("outcome")] = e.outcome;
        out.append(o);
    }
    return out;
}
