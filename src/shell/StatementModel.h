#pragma once
// The statement grid of one sub-account: "币种代码", "发生日期", "存期",
// "余额", "收入", "支出", "摘要". Rows are the statement lines themselves
// (taken over from the query); texts are built when a view asks for them.

#include "TInCom.h"

#include <QAbstractTableModel>
#include <vector>

class StatementModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { ColCurrtype, Coldate, ColCunqi, ColRemain, ColIn, ColOut, ColMark, ColumnCount };

    explicit StatementModel(QObject *parent = nullptr);

    // Takes the query's lines (the query's list is left empty).
    void takeLines(TIncomList &lines);
    void clear();
    int lineCount() const { return int(m_lines.size()); }
    const TInComDetail &lineAt(int row) const { return m_lines.at(size_t(row)); }

    // "收入" is the amount when it is 0 or more, "支出" its negation
    // otherwise; the other column is 0.
    static double Income(const TInComDetail &line);
    static double Expense(const TInComDetail &line);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<TInComDetail> m_lines;
};
