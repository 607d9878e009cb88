#pragma once
// News headlines.

#include "TForexObjList.h"

#include <QString>

struct TForexNews {
    QString TitleId;
    QString Title;
    double NewsTime = 0; // time of day
};

class TForexNewsList
{
public:
    TForexNewsList() = default;
    virtual ~TForexNewsList() = default;

    int Count() const { return Items.Count(); }
    TForexNews *Item(int i) const { return Items.Item(i); }
    void Reset()
    {
        Items.Clear();
        Html.clear();
        FirstLoad = true;
    }

    TForexObjList<TForexNews> Items;
    bool FirstLoad = true;
    QString Html;
};
