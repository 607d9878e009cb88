#include "BankClock.h"

BankClock::BankClock() : m_base(QDateTime::currentDateTime()), m_setAt(std::chrono::steady_clock::now()) {}

QDateTime BankClock::now() const
{
    if (m_frozen)
        return m_base;
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - m_setAt);
    return m_base.addMSecs(elapsed.count());
}

void BankClock::set(const QDateTime &time, bool frozen)
{
    m_base = time;
    m_setAt = std::chrono::steady_clock::now();
    m_frozen = frozen;
}

void BankClock::advance(qint64 milliseconds)
{
    set(now().addMSecs(milliseconds), m_frozen);
}
