#pragma once
// The currency table. Lookups by code never fail: an unknown code gets an
// entry "未知货币"/"Unknown".

#include "TCurrency.h"
#include "TForexObjList.h"

#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

class TCurrencyList : public TForexObjList<TCurrency>
{
public:
    // Builds the table from [CurrencyDic] lines; returns the number added.
    int Build(const QStringList &lines);
    // Parses one [CurrencyDic] line; false when it is skipped.
    static bool ParseLine(const QString &line, TCurrency *out);

    TCurrency *FindByCode(const QString &code);
    TCurrency *FindByNumber(int number);
    QString NameOf(const QString &code);
    TCurrency *FindByName(const QString &name) const;
    int PositionOf(const QString &code) const;

    struct PickerEntry {
        QString text; // Name + " " + EnglishName + "\x04" + Code
        int code = 0;
    };
    // Tradable entries that `supported` accepts (every code when empty).
    std::vector<PickerEntry> PickerList(const std::function<bool(const QString &)> &supported = {}) const;
    QStringList Codes() const;
    QStringList Symbols() const;

    static QString UnknownName() { return QStringLiteral("未知货币"); }
};
