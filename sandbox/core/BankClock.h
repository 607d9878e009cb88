#pragma once

#include <QDateTime>
#include <chrono>

// The bank's clock: a date-time that runs with the wall clock from the moment
// it was set, or stands still when frozen. Tests set and advance it; the
// demo lets it run from the real time.
class BankClock
{
public:
    BankClock();

    QDateTime now() const;
    bool isFrozen() const { return m_frozen; }
    void set(const QDateTime &time, bool frozen);
    void advance(qint64 milliseconds);

private:
    QDateTime m_base;
    std::chrono::steady_clock::time_point m_setAt;
    bool m_frozen = false;
};
