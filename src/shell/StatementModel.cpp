#include "StatementModel.h"

#include "controls/GridRoles.h"
#include "platform/Formats.h"

#include <QColor>

StatementModel::StatementModel(QObject *parent) : QAbstractTableModel(parent) {}

void StatementModel::takeLines(TIncomList &lines)
{
    beginResetModel();
    m_lines.clear();
    m_lines.reserve(size_t(lines.Count()));
    for (const auto &line : lines)
        m_lines.push_back(std::move(*line));
    lines.Clear();
    endResetModel();
}

void StatementModel::clear()
{
    beginResetModel();
    m_lines.clear();
    endResetModel();
}

double StatementModel::Income(const TInComDetail &line)
{
    return line.ChangeAmount.isNegative() ? 0 : line.ChangeAmount.toDouble();
}

double StatementModel::Expense(const TInComDetail &line)
{
    return line.ChangeAmount.isNegative() ? -line.ChangeAmount.toDouble() : 0;
}

int StatementModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

int StatementModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant StatementModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_lines.size()))
        return {};
    const TInComDetail &l = m_lines[size_t(index.row())];
    const int c = index.column();
    if (role == Qt::DisplayRole) {
        switch (c) {
        case ColCurrtype: return l.CurrencyCode;
        case Coldate: return l.ChangeDate <= Formats::kMissingDate ? QString() : Formats::formatDate(l.ChangeDate);
        case ColCunqi: return l.SaveType;
        case ColRemain: return Formats::formatGrouped(l.Balance.toDouble(), 2);
        case ColIn: return Formats::formatGrouped(Income(l), 2);
        case ColOut: return Formats::formatGrouped(Expense(l), 2);
        case ColMark: return l.Memo;
        default: return {};
        }
    }
    if (role == GridRoles::ValueRole) {
        switch (c) {
        case Coldate: return l.ChangeDate;
        case ColRemain: return l.Balance.toDouble();
        case ColIn: return Income(l);
        case ColOut: return Expense(l);
        default: return data(index, Qt::DisplayRole);
        }
    }
    if (role == Qt::TextAlignmentRole)
        return (c == ColRemain || c == ColIn || c == ColOut) ? int(Qt::AlignRight | Qt::AlignVCenter)
                                                             : int(Qt::AlignLeft | Qt::AlignVCenter);
    if (role == Qt::BackgroundRole)
        return index.row() % 2 ? QColor(0xEF, 0xEF, 0xEF) : QColor(Qt::white);
    return {};
}

QVariant StatementModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    static const char *const names[] = {"ColCurrtype", "Coldate", "ColCunqi", "ColRemain", "ColIn", "ColOut", "ColMark"};
    static const char *const captions[] = {"币种代码", "发生日期", "存期", "余额", "收入", "支出", "摘要"};
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(captions[section]);
    if (role == GridRoles::ColumnNameRole)
        return QString::fromLatin1(names[section]);
    return {};
}
