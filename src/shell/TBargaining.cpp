#include "TBargaining.h"

#include "platform/Formats.h"

#include <cmath>

TDelegate::TDelegate(TSettings *settings, TAccount *owner) : TBargaining(settings, owner)
{
    BeginDate = Formats::today();
    EndDate = BeginDate;
}

int TDelegate::ValidDays() const
{
    return int(std::floor(EndDate) - std::floor(BeginDate)) + 1;
}
