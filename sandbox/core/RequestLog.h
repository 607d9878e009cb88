#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonArray>
#include <QList>
#include <QString>

// Every request the sandbox served outside its control path, in order.
struct RequestLogEntry
{
    qint64 seq = 0;
    QDateTime bankTime;     // the bank's clock
    QDateTime wallTime;
    QString path;
    QByteArray rawQuery;
    QString txcode;
    QString outcome;        // "answer", "error", "page", "fault:<kind>", "picture", "login page"
};

class RequestLog
{
public:
    qint64 append(RequestLogEntry entry);
    void setOutcome(qint64 seq, const QString &outcome);
    void clear() { m_entries.clear(); }
    // Entries whose seq is above `since`, as JSON objects.
    QJsonArray toJson(qint64 since) const;
    const QList<RequestLogEntry> &entries() const { return m_entries; }

private:
    QList<RequestLogEntry> m_entries;
    qint64 m_next = 1;
};
