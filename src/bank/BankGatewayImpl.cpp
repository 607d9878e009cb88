#include "BankGatewayImpl.h"

#include "TGetData.h"

void BankGatewayImpl::LoadSubAccounts(TAccount &cardAccount)
{
    TGetData::LoadSubAccounts(cardAccount);
}

void BankGatewayImpl::SendBargaining(TBargaining &trade)
{
    TGetData::SendBargaining(trade);
}

void BankGatewayImpl::SendDelegate(TDelegate &order)
{
    TGetData::SendDelegate(order);
}

void BankGatewayImpl::SendDelegateOpponent(TDelegateOpponent &order)
{
    TGetData::SendDelegateOpponent(order);
}

void BankGatewayImpl::SendDelegateCancel(TDelegateCancel &cancel)
{
    TGetData::SendDelegateCancel(cancel);
}

void BankGatewayImpl::LoadHistory(TBargainingHistory &query)
{
    TGetData::LoadHistory(query);
}

void BankGatewayImpl::LoadToday(TBargainingToday &query)
{
    TGetData::LoadToday(query);
}
