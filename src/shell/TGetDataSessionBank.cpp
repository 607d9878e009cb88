#include "TGetDataSessionBank.h"

#include "TGetData.h"
#include "TransactionGuard.h"

#include <QObject>

void TGetDataSessionBank::LoadSubAccounts(TAccount &card)
{
    TGetData::LoadSubAccounts(card);
}

void TGetDataSessionBank::UpdateSubAccounts(TAccount &card)
{
    TGetData::UpdateSubAccounts(card);
}

void TGetDataSessionBank::LoadBalance(TAccount &account)
{
    TGetData::LoadBalance(account);
}

void TGetDataSessionBank::LoadStatement(TInCom &query)
{
    TGetData::LoadStatement(query);
}

void TGetDataSessionBank::KeepAliveOrders(TAccount &account)
{
    TGetData::KeepAliveOrders(account);
}

void TGetDataSessionBank::KeepAliveSubAccounts(TAccount &account)
{
    TGetData::KeepAliveSubAccounts(account);
}

bool TGetDataSessionBank::IsPageUnavailable() const
{
    return TGetData::IsPageUnavailable();
}

bool TGetDataSessionBank::Busy() const
{
    return TransactionGuard::Busy();
}

void TGetDataSessionBank::InstallForClient()
{
    static TGetDataSessionBank bank;
    static bool connected = false;
    SessionBank::Install(&bank);
    if (!connected) {
        connected = true;
        QObject::connect(TransactionGuard::Instance(), &TransactionGuard::busyChanged, SessionBusy::Instance(),
                         [](bool busy) { SessionBusy::Notify(busy); });
    }
}
