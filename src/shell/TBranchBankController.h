#pragma once
// The capabilities, captions, price levels, feed addresses, feed parsers
// and news format of one bank branch. The base holds the common values; the
// branch subclasses and CreateForBranch live in the bank session core.
//
// The current controller is shared with the quote threads, so it is held by
// shared ownership: replacing it never frees one that a thread still reads.

#include <QString>
#include <QStringList>
#include <array>
#include <memory>

class TMarket;
class TMarketList;
class TKLineList;
class TSettings;
class IntList;
struct TForexNews;

class TBranchBankController
{
public:
    struct Band {
        QString Caption;
        bool Visible = true;
        QString BuyCaption;
        QString SellCaption;
    };
    struct Level {
        QString LevelName;
        bool LevelOffered = true;
    };

    TBranchBankController();
    virtual ~TBranchBankController();

    // Feed record parsers and merges.
    virtual std::unique_ptr<TMarket> ParseBankQuote(const QString &record) const;
    virtual std::unique_ptr<TMarket> ParseInterQuote(const QString &record, const TSettings &settings) const;
    virtual QString BranchCode() const;
    virtual bool IsCurrencySupported(const QString &currencyCode) const;
    virtual void MergeBankQuotes(TMarketList &list, const QString &feedText) const;
    virtual void MergeInterQuotes(TMarketList &pairs, const QString &feedText, TMarketList &indices,
                                  const TSettings &settings) const;
    virtual void ParseKLine(TKLineList &list, const QString &feedText) const;
    virtual QString KLineUrl(const QString &pairCode, int period) const;
    virtual QString FormatNewsItem(const TForexNews &item) const;

    // Visible flag of an index record: true when the code is not in the
    // user's list, else true exactly when the list marks it 1.
    static bool IndexVisible(const QString &indexCode, const IntList &visibility);

    // Bank-quote table bands 1..7 (index 0..6); band 1 is always shown.
    std::array<Band, 7> Bands;
    // Quote-panel price levels 0..6; level 0 is always offered.
    std::array<Level, 7> Levels;

    bool HasBankQuotes = true;
    bool HasInterQuotes = true;
    bool HasIndices = true;
    bool HasNews = true;
    int ChartMode = 1;
    bool ShowUpDown = true;
    bool ShowOpenPrice = false;
    bool ShowLastPrice = false;
    bool HasFixedTerm = false;
    bool AllowFixedTermIn = true;
    bool AllowAppend = true;
    bool ShowDealDate = true;
    int PriceDivisor = 10000;
    QString IntlQuoteUrl;
    QString BankQuoteUrl;
    QString NewsUrl;
    QString News5Url;
    QString ChartUrl;
    QString SpreadPageUrl;

protected:
    // The feed paths most branches share, on their quote server (a base
    // address without trailing "/"); `chartPath` is the web quote page.
    void SetStandardEndpoints(const QString &quoteServer, const QString &chartPath);
    // Bands `from`..`to` (1-based, as the bank-quote table numbers them)
    // are hidden.
    void HideBands(int from, int to);
    // Quote-panel levels `from`..`to` (0-based) are not offered.
    void WithdrawLevels(int from, int to);
    // A news line whose title links to the item's page: an anchor with
    // target "_blank", the time in parentheses, then "<br><br>".
    static QString FormatNewsLink(const QString &href, const TForexNews &item);
    // The time of a news line, "yyyy-MM-dd HH:mm:ss".
    static QString NewsTimeText(const TForexNews &item);
};

// The current branch's controller, set by the account choice on the GUI
// thread. Threads take their own reference once per poll with
// CurrentBranchController(); replacing it never frees one still in use.
std::shared_ptr<TBranchBankController> CurrentBranchController();
void SetBranchController(std::shared_ptr<TBranchBankController> controller);
