#pragma once
// The customer's other card accounts (every type but "91"): "账号",
// "当前可用余额市值", "总余额市值", "冻结资金市值".

#include <QAbstractTableModel>
#include <QString>
#include <vector>

class TAccount;
class TUser;

class OtherAccountModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { ColAccountNo, ColUseBalance, ColBalance, ColFrozen, ColumnCount };

    explicit OtherAccountModel(QObject *parent = nullptr);

    void setUser(const TUser *user);
    // Not owned; valid while the user lives.
    TAccount *accountAt(int row) const;
    // Takes the balances the query wrote into the row's account.
    void setQueried(int row);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct Row {
        TAccount *account = nullptr;
        QString accountNo;
        double usable = 0;
        double balance = 0;
        double frozen = 0;
        bool queried = false; // values from the balance query: 0 shows "0.00"
    };
    std::vector<Row> m_rows;
};
