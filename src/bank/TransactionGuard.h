#pragma once
// One bank transaction at a time. While a transaction (or every page of a
// paged query, or the image fetch) waits for the bank, the guard is taken:
// another transaction that tries to start is refused with EResponseError
// and sends nothing, and the keep-alive requests are skipped. Windows
// connect to busyChanged to keep their buttons and timers blocked
// meanwhile. GUI thread only.

#include <QObject>
#include <QString>

class TransactionGuard : public QObject
{
    Q_OBJECT
public:
    static TransactionGuard *Instance();
    static bool Busy();
    // The text of the refusal.
    static QString BusyMessage();

    // Takes the guard for its lifetime; throws EResponseError with
    // BusyMessage when it is already taken.
    class Lock
    {
    public:
        Lock();
        ~Lock();
        Lock(const Lock &) = delete;
        Lock &operator=(const Lock &) = delete;
    };

signals:
    void busyChanged(bool busy);

private:
    explicit TransactionGuard(QObject *parent);
};
