#include "SessionBank.h"

#include "ForexErrors.h"
#include "TAccount.h"


namespace {
SessionBank *g_installed = nullptr;

[[noreturn]] void noBank()
{
    throw EResponseError(QStringLiteral("没有可用的银行连接。"));
}
} // namespace

SessionBank::~SessionBank() = default;

void SessionBank::LoadSubAccounts(TAccount &cardAccount)
{
    cardAccount.Execute();
}

void SessionBank::UpdateSubAccounts(TAccount &)
{
    noBank();
}

void SessionBank::LoadBalance(TAccount &)
{
    noBank();
}

void SessionBank::LoadStatement(TInCom &)
{
    noBank();
}

void SessionBank::KeepAliveOrders(TAccount &) {}
void SessionBank::KeepAliveSubAccounts(TAccount &) {}

bool SessionBank::IsPageUnavailable() const
{
    return false;
}

bool SessionBank::Busy() const
{
    return false;
}

SessionBank &SessionBank::Current()
{
    static SessionBank fallback;
    return g_installed ? *g_installed : fallback;
}

void SessionBank::Install(SessionBank *bank)
{
    g_installed = bank;
}

SessionBusy::SessionBusy(QObject *parent) : QObject(parent) {}

SessionBusy *SessionBusy::Instance()
{
    static SessionBusy *instance = new SessionBusy(nullptr);
    return instance;
}

void SessionBusy::Notify(bool busy)
{
    emit Instance()->busyChanged(busy);
}
