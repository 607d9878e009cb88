#pragma once
// One chart bar, prices in the order the chart feed gives them.

#include "TForexObjList.h"

struct TKLineData {
    double KTime = 0;
    double Price1 = 0; // high
    double Price2 = 0; // low
    double Price3 = 0; // open
    double Price4 = 0; // close
};

class TKLineList : public TForexObjList<TKLineData>
{
};
