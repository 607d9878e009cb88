#include "TOtherAcctlistFm.h"

#include "AccountRefresh.h"
#include "BankButtonGuard.h"
#include "OtherAccountModel.h"
#include "SessionBank.h"
#include "SharedInstances.h"
#include "TUser.h"
#include "platform/MessageBoxes.h"

#include <QApplication>
#include <QHBoxLayout>
#include "controls/ListGrid.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TOtherAcctlistFm::TOtherAcctlistFm(QWidget *parent) : QDialog(parent), m_guard(new BankButtonGuard(this))
{
    setObjectName(QStringLiteral("TOtherAcctlistFm"));
    setWindowTitle(QStringLiteral("非外汇账号信息"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    resize(620, 300);
    auto *layout = new QVBoxLayout(this);
    Model = new OtherAccountModel(this);
    Model->setUser(CurrentUser.get());
    Grid = new QTableView(this);
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->setModel(Model);
    ListGrid::setUp(Grid);
    layout->addWidget(Grid, 1);
    LblStatus = new QLabel(this);
    LblStatus->setObjectName(QStringLiteral("LblStatus"));
    layout->addWidget(LblStatus);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    BtnQuery = new QPushButton(QStringLiteral("查询选定账户余额"), this);
    BtnQuery->setObjectName(QStringLiteral("BtnQuery"));
    BtnClose = new QPushButton(QStringLiteral("关  闭"), this);
    BtnClose->setObjectName(QStringLiteral("BtnClose"));
    buttons->addWidget(BtnQuery);
    buttons->addWidget(BtnClose);
    layout->addLayout(buttons);
    m_guard->add(BtnQuery);
    connect(BtnQuery, &QPushButton::clicked, this, &TOtherAcctlistFm::QueryBalance);
    connect(BtnClose, &QPushButton::clicked, this, &QDialog::reject);
    if (Model->rowCount() > 0)
        Grid->selectRow(0);
}

void TOtherAcctlistFm::QueryBalance()
{
    if (m_querying || !BankButtonGuard::MayStart())
        return;
    const QModelIndexList rows = Grid->selectionModel()->selectedRows();
    const int row = rows.isEmpty() ? -1 : rows.first().row();
    TAccount *account = Model->accountAt(row);
    if (!account)
        return;
    m_querying = true;
    LblStatus->setText(QStringLiteral("通讯中......"));
    BtnQuery->setEnabled(false);
    BtnClose->setEnabled(false);
    QString error;
    try {
        SessionBank::Current().LoadBalance(*account);
        Model->setQueried(row);
    } catch (...) {
        error = AccountRefresh::ErrorText(std::current_exception());
    }
    LblStatus->clear();
    BtnQuery->setEnabled(BankButtonGuard::MayStart());
    BtnClose->setEnabled(true);
    m_querying = false;
    if (!error.isEmpty())
        Msg::error(error, QStringLiteral("获取账户余额失败"));
}
