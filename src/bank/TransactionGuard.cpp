#include "TransactionGuard.h"

#include "ForexErrors.h"

#include <QCoreApplication>
#include <QPointer>

namespace {
bool g_busy = false;
QPointer<TransactionGuard> g_guard;
} // namespace

TransactionGuard::TransactionGuard(QObject *parent) : QObject(parent) {}

TransactionGuard *TransactionGuard::Instance()
{
    if (!g_guard)
        g_guard = new TransactionGuard(QCoreApplication::instance());
    return g_guard;
}

bool TransactionGuard::Busy()
{
    return g_busy;
}

QString TransactionGuard::BusyMessage()
{
    return QStringLiteral("上一笔银行交易尚未完成，请稍后再试！");
}

TransactionGuard::Lock::Lock()
{
    if (g_busy)
        throw EResponseError(BusyMessage());
    g_busy = true;
    emit Instance()->busyChanged(true);
}

TransactionGuard::Lock::~Lock()
{
    g_busy = false;
    if (g_guard)
        emit g_guard->busyChanged(false);
}
