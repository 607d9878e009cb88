#pragma once
// The customer's other (non-forex) card accounts with a balance query.

#include <QDialog>

class QLabel;
class QPushButton;
class QTableView;
class OtherAccountModel;
class BankButtonGuard;

class TOtherAcctlistFm : public QDialog
{
    Q_OBJECT
public:
    explicit TOtherAcctlistFm(QWidget *parent = nullptr);

    QTableView *Grid = nullptr;
    QLabel *LblStatus = nullptr;
    QPushButton *BtnQuery = nullptr; // "查询选定账户余额"
    QPushButton *BtnClose = nullptr; // "关  闭"
    OtherAccountModel *Model = nullptr;

public slots:
    void QueryBalance();

private:
    BankButtonGuard *m_guard;
    bool m_querying = false;
};
