#pragma once
// Decisions of the main window that depend on values alone: the trade
// page and trade-area height for a trade type, the default page, the
// indices strip's texts, the caption with the server clock.

#include <QColor>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

class TMarketList;

namespace MainWindowLogic {

struct TransLayout {
    int page = 0;   // notebook page 0..5
    int height = 0; // trade-area height without TransAreaExtra
};
// Trade type 0 (instant), 1 (order), 2 (appended) for demand or fixed-term
// deposits; the demand order page is 520 high with the add-bill box ticked.
TransLayout TransLayoutFor(int type, bool fixedTerm, bool addBillChecked);
inline constexpr int kCancelTabHeight = 340;

// The index of the first class name equal to DefaultForm (case ignored),
// or -1.
int DefaultPageIndex(const QString &defaultForm, const QStringList &classNames);

struct StripItem {
    QString text;
    QColor color;
};
// One item per visible index record: name, a space, NewPrice with the
// index's decimals; red for a rise, green for a fall, white otherwise.
// Call under the feed lock.
std::vector<StripItem> StripItems(const TMarketList &indices);

// The window caption: title + " [北京时间：" + server time + "]".
QString ClockCaption(const QString &title, double serverTime);

// The trade-area width rule: on screens at most 800 pixels wide the deal
// grids get the narrow layout while the trade area shows.
inline bool NarrowDealGrids(int screenWidth, bool tradeAreaVisible)
{
    return screenWidth <= 800 && tradeAreaVisible;
}

// The branch chart modes.
inline constexpr int kChartNative = 0;
inline constexpr int kChartWebPage = 1;
inline constexpr int kChartPlugin = 2;
inline constexpr int kChartNone = 3;
// The chart plug-in's parameter: the MD5 digest of the local time as
// "yyyyMMddhhnn", 32 upper-case hexadecimal digits.
QString PluginParameter(const QDateTime &localTime);

} // namespace MainWindowLogic
