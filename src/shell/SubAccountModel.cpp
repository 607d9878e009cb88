#include "SubAccountModel.h"

#include "AccountTexts.h"
#include "TAccount.h"
#include "TCurrencyList.h"
#include "controls/GridRoles.h"
#include "platform/Formats.h"

#include <QColor>
#include <cmath>

SubAccountModel::SubAccountModel(QObject *parent) : QAbstractTableModel(parent) {}

double SubAccountModel::RoundedAmount(double amount, const QString &code)
{
    if (Formats::isYen(code))
        return std::round(amount);
    return std::round(amount * 100.0) / 100.0;
}

void SubAccountModel::fill(const TAccountList &subs)
{
    beginResetModel();
    m_rows.clear();
    m_rows.reserve(size_t(subs.Count()));
    for (const auto &sub : subs) {
        Row r;
        r.code = AccountTexts::CurrencyCode(*sub);
        r.name = sub->Currency ? sub->Currency->Name : TCurrencyList::UnknownName();
        r.saveType = sub->SaveType;
        r.chaoHui = sub->ChaoHui;
        r.accSign = sub->AccSign;
        r.usable = RoundedAmount(sub->UseBalance, r.code);
        r.total = RoundedAmount(sub->Balance, r.code);
        m_rows.push_back(std::move(r));
    }
    endResetModel();
}

void SubAccountModel::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

int SubAccountModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int SubAccountModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

double SubAccountModel::amountAt(const Row &r, int column) const
{
    const bool cash = IsCash(r.chaoHui);
    switch (column) {
    case ColCashCurr: return cash ? r.usable : 0;
    case ColBillCurr: return cash ? 0 : r.usable;
    case ColCashTotal: return cash ? r.total : 0;
    case ColBillTotal: return cash ? 0 : r.total;
    default: return 0;
    }
}

QVariant SubAccountModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return {};
    const Row &r = m_rows[size_t(index.row())];
    const int c = index.column();
    switch (role) {
    case Qt::DisplayRole:
        if (c == ColNo)
            return QString::number(index.row() + 1);
        if (c == ColCurr)
            return r.name + QLatin1Char(' ') + r.saveType;
        {
            const double v = amountAt(r, c);
            return v == 0 ? QStringLiteral("-") : Formats::formatAmount(v, r.code);
        }
    case GridRoles::ValueRole:
        if (c == ColNo)
            return index.row() + 1;
        if (c == ColCurr)
            return r.code;
        return amountAt(r, c);
    case Qt::TextAlignmentRole:
        if (c >= ColCashCurr)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        if (c == ColNo)
            return int(Qt::AlignCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::BackgroundRole:
        return index.row() % 2 ? QColor(0xEF, 0xEF, 0xEF) : QColor(Qt::white);
    case Qt::ToolTipRole:
        if (c == ColCurr)
            return r.code;
        return {};
    default:
        return {};
    }
}

QVariant SubAccountModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    static const char *const names[] = {"ColNo", "ColCurr", "ColCashCurr", "ColBillCurr", "ColCashTotal", "ColBillTotal"};
    switch (role) {
    case Qt::DisplayRole:
        switch (section) {
        case ColNo: return QStringLiteral("No.");
        case ColCurr: return QStringLiteral("子账户");
        case ColCashCurr:
        case ColCashTotal: return QStringLiteral("钞");
        default: return QStringLiteral("汇");
        }
    case GridRoles::BandRole:
        if (section == ColCashCurr || section == ColBillCurr)
            return QStringLiteral("可用余额");
        if (section == ColCashTotal || section == ColBillTotal)
            return QStringLiteral("总余额");
        return {};
    case GridRoles::ColumnNameRole:
        return QString::fromLatin1(names[section]);
    default:
        return {};
    }
}
