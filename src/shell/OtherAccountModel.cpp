#include "OtherAccountModel.h"

#include "TUser.h"
#include "controls/GridRoles.h"
#include "platform/Formats.h"

OtherAccountModel::OtherAccountModel(QObject *parent) : QAbstractTableModel(parent) {}

void OtherAccountModel::setUser(const TUser *user)
{
    beginResetModel();
    m_rows.clear();
    if (user)
        for (const auto &a : user->Accounts)
            if (a->AccountType != QLatin1String("91"))
                m_rows.push_back({a.get(), a->AccountNo, a->UseBalance, a->Balance, a->FrozenBalance, false});
    endResetModel();
}

TAccount *OtherAccountModel::accountAt(int row) const
{
    return row >= 0 && row < int(m_rows.size()) ? m_rows[size_t(row)].account : nullptr;
}

void OtherAccountModel::setQueried(int row)
{
    if (row < 0 || row >= int(m_rows.size()))
        return;
    Row &r = m_rows[size_t(row)];
    r.usable = r.account->UseBalance;
    r.balance = r.account->Balance;
    r.frozen = r.account->Balance - r.account->UseBalance;
    r.account->FrozenBalance = r.frozen;
    r.queried = true;
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

int OtherAccountModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int OtherAccountModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant OtherAccountModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return {};
    const Row &r = m_rows[size_t(index.row())];
    const int c = index.column();
    const double v = c == ColUseBalance ? r.usable : c == ColBalance ? r.balance : r.frozen;
    if (role == Qt::DisplayRole) {
        if (c == ColAccountNo)
            return r.accountNo;
        if (r.queried && v == 0)
            return QStringLiteral("0.00");
        if (!r.queried && !(v > 0))
            return QStringLiteral("-");
        return Formats::formatGrouped(v, 2);
    }
    if (role == GridRoles::ValueRole)
        return c == ColAccountNo ? QVariant(r.accountNo) : QVariant(v);
    if (role == Qt::TextAlignmentRole && c != ColAccountNo)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant OtherAccountModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return {};
    static const char *const captions[] = {"账号", "当前可用余额市值", "总余额市值", "冻结资金市值"};
    return QString::fromUtf8(captions[section]);
}
