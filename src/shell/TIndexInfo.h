#pragma once
// An index known to the client.

#include <QString>

struct TIndexInfo {
    QString Code;
    QString Name;
    int Decimals = 0;
    // 10 to the minus Decimals (1 when that cannot be computed).
    double PriceUnit() const;
};
