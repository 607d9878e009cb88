#pragma once
// The running processes of the client: those whose executable is the
// client's full path (after resolving links) and that belong to the same
// user as this program. This program itself is never one of them.

#include <QList>
#include <QString>

struct ClientProcess
{
    qint64 pid = 0;
    quint64 startTime = 0; // tells a reused process number from the original
    bool operator==(const ClientProcess &) const = default;
};

class ClientProcesses
{
public:
    static QList<ClientProcess> find(const QString &executable);
    // True while the process still runs (not ended, not a zombie, the same
    // start time).
    static bool isRunning(const ClientProcess &process);
    // Signals the process if it is still the one found.
    static bool signal(const ClientProcess &process, int signalNumber);
};
