#include "TChooseAcctFm.h"

#include "CardAccountModel.h"
#include "SharedInstances.h"
#include "Startup.h"
#include "TUser.h"
#include "bank/login/AccountChoice.h"
#include "controls/ListGrid.h"
#include "platform/MessageBoxes.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TChooseAcctFm::TChooseAcctFm(bool firstChoice, QWidget *parent)
    : QDialog(parent), m_model(new CardAccountModel(&AccountChoice::RegionName, this)), m_firstChoice(firstChoice)
{
    setObjectName(QStringLiteral("TChooseAcctFm"));
    setWindowTitle(QStringLiteral("选择账户"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    resize(420, 280);

    auto *layout = new QVBoxLayout(this);
    Grid = new QTableView(this);
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->setModel(m_model);
    ListGrid::setUp(Grid);
    layout->addWidget(Grid, 1);

    LblStatus = new QLabel(this);
    LblStatus->setObjectName(QStringLiteral("LblStatus"));
    layout->addWidget(LblStatus);

    auto *buttons = new QHBoxLayout;
    BtnOther = new QPushButton(QStringLiteral("查看非外汇账号信息"), this);
    BtnOther->setObjectName(QStringLiteral("BtnOther"));
    BtnOther->setEnabled(bool(ShowOtherAccounts));
    connect(BtnOther, &QPushButton::clicked, this, [this] {
        if (ShowOtherAccounts)
            ShowOtherAccounts(this);
    });
    buttons->addWidget(BtnOther);
    buttons->addStretch(1);
    BtnOk = new QPushButton(QStringLiteral("确 定"), this);
    BtnOk->setObjectName(QStringLiteral("BtnOk"));
    buttons->addWidget(BtnOk);
    if (firstChoice) {
        BtnReLogin = new QPushButton(QStringLiteral("重登录"), this);
        BtnReLogin->setObjectName(QStringLiteral("BtnReLogin"));
        buttons->addWidget(BtnReLogin);
        connect(BtnReLogin, &QPushButton::clicked, this, &QDialog::reject);
    }
    BtnCancel = new QPushButton(firstChoice ? QStringLiteral("退出") : QStringLiteral("取消"), this);
    BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
    buttons->addWidget(BtnCancel);
    layout->addLayout(buttons);

    connect(BtnOk, &QPushButton::clicked, this, &TChooseAcctFm::Confirm);
    connect(Grid, &QTableView::doubleClicked, this, &TChooseAcctFm::Confirm);
    connect(BtnCancel, &QPushButton::clicked, this, [this] {
        if (m_firstChoice && EndApplication)
            EndApplication();
        reject();
    });

    if (CurrentUser)
        m_model->setAccounts(AccountChoice::Offered(*CurrentUser));
    if (m_model->rowCount() > 0)
        selectRow(0);
}

void TChooseAcctFm::selectRow(int row)
{
    Grid->selectRow(row);
}

void TChooseAcctFm::Confirm()
{
    if (m_confirming)
        return;
    const QModelIndexList rows = Grid->selectionModel()->selectedRows();
    TAccount *account = rows.isEmpty() ? nullptr : m_model->accountAt(rows.first().row());
    if (!account) {
        Msg::information(AccountChoice::kNoSelection, kProductTitle);
        return;
    }
    if (AccountChoice::Apply(account) == AccountChoice::Result::NoBranch) {
        Msg::information(AccountChoice::kNoBranch, kProductTitle);
        return;
    }
    m_confirming = true;
    LblStatus->setText(QStringLiteral("通讯中......"));
    BtnOther->setEnabled(false);
    BtnOk->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (AccountApplied)
        AccountApplied();
    QApplication::restoreOverrideCursor();
    LblStatus->clear();
    m_confirming = false;
    accept();
}
