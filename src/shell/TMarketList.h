#pragma once
#include "TForexObjList.h"
#include "TMarket.h"

class TMarketList : public TForexObjList<TMarket>
{
};
