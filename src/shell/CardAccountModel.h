#pragma once
// The card accounts of the account choice: "账号" and "分行". Texts are
// built when a view asks for them.

#include <QAbstractTableModel>
#include <functional>
#include <vector>

class TAccount;

class CardAccountModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using RegionNameFn = std::function<QString(const QString &branchId)>;
    explicit CardAccountModel(RegionNameFn regionName, QObject *parent = nullptr);

    void setAccounts(std::vector<TAccount *> accounts);
    TAccount *accountAt(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<TAccount *> m_accounts;
    RegionNameFn m_regionName;
};
