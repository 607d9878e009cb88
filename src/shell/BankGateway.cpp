#include "BankGateway.h"

#include "ForexErrors.h"
#include "TAccount.h"
#include "TBargaining.h"
#include "TBargainingHistory.h"
#include "TUser.h"

#include <atomic>

namespace {
std::atomic<BankGateway *> g_gateway{nullptr};

BankGateway &gateway()
{
    BankGateway *g = g_gateway.load();
    if (!g)
        throw EResponseError(QStringLiteral("没有可用的银行连接。"));
    return *g;
}
} // namespace

BankGateway *BankGateway::Current()
{
    return g_gateway.load();
}

void BankGateway::Install(BankGateway *gateway)
{
    g_gateway.store(gateway);
}

// The records' Execute operations hand their bank transaction to the gateway.

void TAccount::Execute()
{
    gateway().LoadSubAccounts(*this);
}

void TUser::Execute() {}

void TBargaining::Execute()
{
    gateway().SendBargaining(*this);
}

void TDelegate::Execute()
{
    gateway().SendDelegate(*this);
}

void TDelegateOpponent::Execute()
{
    // The existing contract travels as the signature field (CONTRACT_NO1).
    SignStr = ContractNo;
    gateway().SendDelegateOpponent(*this);
}

void TDelegateCancel::Execute()
{
    gateway().SendDelegateCancel(*this);
}

void TBargainingHistory::Execute()
{
    gateway().LoadHistory(*this);
}

void TBargainingToday::Execute()
{
    gateway().LoadToday(*this);
}
