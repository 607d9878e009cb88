#include "SessionRegistry.h"

#include <QRandomGenerator>

QByteArray SessionRegistry::randomToken(int bytes)
{
    QByteArray raw(bytes, '\0');
    for (int i = 0; i < bytes; ++i)
        raw[i] = static_cast<char>(QRandomGenerator::global()->bounded(256));
    return raw.toHex().toUpper();
}

Session &SessionRegistry::create(const QDateTime &now)
{
    Session s;
    do {
        s.id = randomToken(16);
    } while (find(s.id));
    s.lastActivity = now;
    m_sessions.append(s);
    return m_sessions.last();
}

Session *SessionRegistry::find(const QByteArray &id)
{
    if (id.isEmpty())
        return nullptr;
    for (Session &s : m_sessions)
        if (s.id == id)
            return &s;
    return nullptr;
}

void SessionRegistry::expireIdle(const QDateTime &now, int idleSeconds)
{
    m_sessions.removeIf([&](const Session &s) {
        const qint64 limit = s.isLoggedIn() ? qint64(idleSeconds) : 24 * 3600;
        return s.lastActivity.secsTo(now) > limit;
    });
}
