#pragma once
// The main window's custom quote list: the visible bank-quote records the
// branch supports, with the prices of the customer's price level and the
// change of the international quote for the same pair.
//
// Refreshing keeps rows: a row with the same pair in the same order is
// reused, a row with the pair reversed is deleted, a row whose pair the
// branch does not support is deleted, a missing row is appended.

#include <QAbstractTableModel>
#include <QString>
#include <functional>
#include <vector>

class TMarketList;
class TBranchBankController;

class CustomQuoteModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { ColInCurr, ColOutCurr, ColUpDown, ColInSum, ColOutSum, ColumnCount };

    struct Quote {
        QString code1, code2;
        QString name1, name2;
        bool supported = true;
        double buy = 0, sell = 0, up = 0;
    };

    explicit CustomQuoteModel(QObject *parent = nullptr);

    // The price level shown for UserMarketType: 0, or 1–6 when the branch
    // offers that level, else 0.
    static int LevelFor(int userMarketType, const TBranchBankController *controller);
    // The visible records of `bank` as quotes at `level`, their change taken
    // from `intl` (same pair in either order; 0 when none). Call under the
    // feed locks.
    static std::vector<Quote> Collect(const TMarketList &bank, const TMarketList *intl,
                                      const TBranchBankController *controller, int level);

    void refresh(const std::vector<Quote> &quotes);
    void setCaptions(const QString &levelName);
    void setShowChanges(bool show);
    void clear();

    // Row of the pair in either order, or -1.
    int rowOf(int codeA, int codeB) const;
    const Quote &quoteAt(int row) const { return m_rows.at(size_t(row)); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<Quote> m_rows;
    QString m_levelName = QStringLiteral("基本");
    bool m_showChanges = true;
};
