#pragma once
// One quote record: a currency pair with up to seven price levels (bank
// quotes), or a pair or index with a price summary (international quotes).

#include <QString>

struct TCurrency;
struct TIndexInfo;

class TMarket
{
public:
    TMarket() = default;
    virtual ~TMarket() = default;

    TCurrency *Currency1 = nullptr;
    TCurrency *Currency2 = nullptr;
    TIndexInfo *IndexInfo = nullptr;
    // Buy then sell per level; level 0 is the base level.
    double BuyPrice0 = 0, SellPrice0 = 0;
    double BuyPrice1 = 0, SellPrice1 = 0;
    double BuyPrice2 = 0, SellPrice2 = 0;
    double BuyPrice3 = 0, SellPrice3 = 0;
    double BuyPrice4 = 0, SellPrice4 = 0;
    double BuyPrice5 = 0, SellPrice5 = 0;
    double BuyPrice6 = 0, SellPrice6 = 0;
    double UpValue = 0;
    double UpRate = 0;
    bool Visible = true;

    // Level 0..6; other levels read and write nothing (0).
    double BuyPrice(int level) const;
    double SellPrice(int level) const;
    void SetBuyPrice(int level, double v);
    void SetSellPrice(int level, double v);

    // International and index records reuse five slots.
    double NewPrice() const { return SellPrice0; }
    double MinPrice() const { return BuyPrice5; }
    double MaxPrice() const { return SellPrice5; }
    double LastPrice() const { return BuyPrice6; }
    double OpenPrice() const { return SellPrice6; }

    // Codes of the two currencies (empty when missing).
    QString Code1() const;
    QString Code2() const;
};
