#include "ProcessCloser.h"

#include <csignal>

ProcessCloser::ProcessCloser(QObject *parent)
    : QObject(parent)
{
    connect(&m_timer, &QTimer::timeout, this, &ProcessCloser::poll);
}

void ProcessCloser::close(const QString &executable)
{
    m_processes = ClientProcesses::find(executable);
    m_found = int(m_processes.size());
    m_forced = 0;
    m_killed = false;
    m_done = false;
    for (const ClientProcess &p : m_processes)
        ClientProcesses::signal(p, SIGTERM);
    m_clock.start();
    m_timer.start(m_pollMs);
    QTimer::singleShot(0, this, &ProcessCloser::poll);
}

void ProcessCloser::poll()
{
    if (m_done)
        return;
    QList<ClientProcess> running;
    for (const ClientProcess &p : m_processes) {
        if (ClientProcesses::isRunning(p))
            running << p;
    }
    m_processes = running;
    if (m_processes.isEmpty()) {
        m_timer.stop();
        m_done = true;
        emit finished(m_found, m_forced);
        return;
    }
    if (!m_killed && m_clock.elapsed() >= m_graceMs) {
        m_killed = true;
        m_forced = int(m_processes.size());
        for (const ClientProcess &p : m_processes)
            ClientProcesses::signal(p, SIGKILL);
        m_clock.restart();
    } else if (m_killed && m_clock.elapsed() >= m_graceMs) {
        // Past a forced stop and another grace time: whatever is left (a
        // process stuck in the kernel) is not waited for any longer.
        m_timer.stop();
        m_done = true;
        emit finished(m_found, m_forced);
    }
}
