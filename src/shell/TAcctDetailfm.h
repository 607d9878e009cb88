#pragma once
// The statement window "子账户明细" of one sub-account.

#include <QDialog>
#include <memory>

class QDateEdit;
class QLabel;
class QPushButton;
class QTableView;
class StatementModel;
class TAccount;
class BankButtonGuard;

class TAcctDetailfm : public QDialog
{
    Q_OBJECT
public:
    // Works on its own copy of the sub-account, so a refresh that replaces
    // the sub-accounts meanwhile cannot leave it reading freed records.
    explicit TAcctDetailfm(const TAccount &subAccount, QWidget *parent = nullptr);
    ~TAcctDetailfm() override;

    QLabel *LabSubAcct = nullptr;
    QDateEdit *edtBeginDate = nullptr;
    QDateEdit *edtEndDate = nullptr;
    QPushButton *BtnQuery = nullptr;
    QPushButton *BtnPrint = nullptr;
    QTableView *Grid = nullptr;
    StatementModel *Model = nullptr;

    bool Querying() const { return m_querying; }

public slots:
    void Query();

private:
    std::unique_ptr<TAccount> m_sub;
    BankButtonGuard *m_guard;
    bool m_querying = false;
};
