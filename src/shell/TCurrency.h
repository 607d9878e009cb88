#pragma once
// One entry of the currency table, built from [CurrencyDic].

#include <QString>

struct TCurrency {
    QString Code;        // the bank's two-digit currency code
    QString Name;        // Chinese name; answers name currencies by it
    QString Symbol;      // short Latin code
    QString EnglishName; // upper-cased
    QString Extra;
    bool Tradable = false;
};
