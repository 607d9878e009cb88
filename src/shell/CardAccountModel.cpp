#include "CardAccountModel.h"

#include "TAccount.h"

CardAccountModel::CardAccountModel(RegionNameFn regionName, QObject *parent)
    : QAbstractTableModel(parent), m_regionName(std::move(regionName))
{
}

void CardAccountModel::setAccounts(std::vector<TAccount *> accounts)
{
    beginResetModel();
    m_accounts = std::move(accounts);
    endResetModel();
}

TAccount *CardAccountModel::accountAt(int row) const
{
    return row >= 0 && row < int(m_accounts.size()) ? m_accounts[size_t(row)] : nullptr;
}

int CardAccountModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_accounts.size());
}

int CardAccountModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant CardAccountModel::data(const QModelIndex &index, int role) const
{
    const TAccount *a = accountAt(index.row());
    if (!a || role != Qt::DisplayRole)
        return {};
    if (index.column() == 0)
        return a->AccountNo;
    return m_regionName ? m_regionName(a->BranchId) : QString();
}

QVariant CardAccountModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 0 ? QStringLiteral("账号") : QStringLiteral("分行");
}
