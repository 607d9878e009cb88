#pragma once
// The account frame's grid: one row per currency sub-account under the
// bands (No.), (sub-account), "可用余额" and "总余额", each amount band with
// its "钞" and "汇" column. Rows hold copies of the values, so refilling or
// freeing the sub-account list never leaves a row pointing at freed
// records; the texts are built when a view asks for them.

#include <QAbstractTableModel>
#include <QString>
#include <vector>

class TAccountList;

class SubAccountModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { ColNo, ColCurr, ColCashCurr, ColBillCurr, ColCashTotal, ColBillTotal, ColumnCount };

    struct Row {
        QString code;     // currency code (empty without a currency)
        QString name;     // currency name
        QString saveType; // SaveType
        QString chaoHui;
        QString accSign;
        double usable = 0; // rounded as shown
        double total = 0;
    };

    explicit SubAccountModel(QObject *parent = nullptr);

    // Rebuilds the rows from the sub-accounts, in list order.
    void fill(const TAccountList &subAccounts);
    void clear();
    const Row &rowAt(int row) const { return m_rows.at(size_t(row)); }
    const std::vector<Row> &rows() const { return m_rows; }

    // Amounts are rounded to 2 decimals, yen (code "27") to whole units.
    static double RoundedAmount(double amount, const QString &code);
    // Which columns a row's usable and total amounts go to.
    static bool IsCash(const QString &chaoHui) { return chaoHui == QLatin1String("0"); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    double amountAt(const Row &row, int column) const;
    std::vector<Row> m_rows;
};
