#pragma once
// The index table: 23 fixed entries, extended by lookups of unknown codes.

#include "TForexObjList.h"
#include "TIndexInfo.h"

#include <QStringList>

class TIndexInfoList : public TForexObjList<TIndexInfo>
{
public:
    TIndexInfoList();
    // The fixed table as "code,name,decimals" texts.
    static QStringList FixedTable();
    // Adds the entries of "code,name,decimals" texts; an entry without exactly
    // three parts is skipped, a decimals part that is not a number counts 0.
    void AddEntries(const QStringList &entries);
    // Position of the code (case ignored) or -1.
    int FindByCode(const QString &code) const;
    // The entry for the code, appended (name = code, decimals 0) when unknown.
    TIndexInfo *IndexFor(const QString &code);
};
