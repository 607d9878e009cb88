#pragma once
// Closes every running process of the client: a polite stop (SIGTERM)
// first, a forced one (SIGKILL) for those still running after the grace
// time, then waits until they are gone.

#include "ClientProcesses.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class ProcessCloser : public QObject
{
    Q_OBJECT
public:
    explicit ProcessCloser(QObject *parent = nullptr);

    void setGraceMs(int ms) { m_graceMs = ms; }
    void setPollMs(int ms) { m_pollMs = ms; }
    void close(const QString &executable);

signals:
    // found: how many processes were running; forced: how many needed SIGKILL.
    void finished(int found, int forced);

private:
    void poll();

    QList<ClientProcess> m_processes;
    QTimer m_timer;
    QElapsedTimer m_clock;
    int m_graceMs = 5000;
    int m_pollMs = 50;
    int m_found = 0;
    int m_forced = 0;
    bool m_killed = false;
    bool m_done = true;
};
