#include "TNBSettingFm.h"

#include "SessionKeeper.h"
#include "SharedInstances.h"
#include "Startup.h"
#include "TSettings.h"
#include "TUser.h"
#include "platform/MessageBoxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TNBSettingFm::TNBSettingFm(Hooks hooks, QWidget *parent)
    : TParentDlg(QStringLiteral("系统设置"), parent), m_hooks(std::move(hooks))
{
    setObjectName(QStringLiteral("TNBSettingFm"));
    setWindowTitle(QStringLiteral("系统设置"));
    auto *layout = new QVBoxLayout(PnlClient);
    auto *idle = new QHBoxLayout;
    idle->addWidget(new QLabel(QStringLiteral("空闲退出："), PnlClient));
    cbExitOnIdle = new QComboBox(PnlClient);
    cbExitOnIdle->setObjectName(QStringLiteral("cbExitOnIdle"));
    cbExitOnIdle->addItems({QStringLiteral("从不"), QStringLiteral("10分钟后"), QStringLiteral("20分钟后"),
                            QStringLiteral("30分钟后")});
    idle->addWidget(cbExitOnIdle);
    idle->addStretch(1);
    layout->addLayout(idle);

    ckbSaveIni = new QCheckBox(QStringLiteral("在本机上保留自定义行情设置"), PnlClient);
    ckbSaveIni->setObjectName(QStringLiteral("ckbSaveIni"));
    ckbSaveData = new QCheckBox(QStringLiteral("在本机上保留盈亏分析和财务日历数据"), PnlClient);
    ckbSaveData->setObjectName(QStringLiteral("ckbSaveData"));
    ckbCerty = new QCheckBox(QStringLiteral("在本机上保留证件号码/用户昵称"), PnlClient);
    ckbCerty->setObjectName(QStringLiteral("ckbCerty"));
    ckbSaveDealPwd = new QCheckBox(QStringLiteral("保存交易密码(系统退出时将自动清除)"), PnlClient);
    ckbSaveDealPwd->setObjectName(QStringLiteral("ckbSaveDealPwd"));
    edPwd = new QLineEdit(PnlClient);
    edPwd->setObjectName(QStringLiteral("edPwd"));
    edPwd->setEchoMode(QLineEdit::Password);
    edPwd->setMaxLength(50);
    for (QWidget *w : {static_cast<QWidget *>(ckbSaveIni), static_cast<QWidget *>(ckbSaveData),
                       static_cast<QWidget *>(ckbCerty), static_cast<QWidget *>(ckbSaveDealPwd),
                       static_cast<QWidget *>(edPwd)})
        layout->addWidget(w);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    BtnOk = new QPushButton(QStringLiteral("确定"), PnlClient);
    BtnOk->setObjectName(QStringLiteral("BtnOk"));
    BtnReset = new QPushButton(QStringLiteral("取消"), PnlClient);
    BtnReset->setObjectName(QStringLiteral("BtnReset"));
    buttons->addWidget(BtnOk);
    buttons->addWidget(BtnReset);
    layout->addLayout(buttons);

    const bool fromCD = TSettings::RunFromCD();
    ckbSaveIni->setVisible(!fromCD);
    ckbSaveData->setVisible(!fromCD);
    ckbCerty->setVisible(!fromCD);
    ckbSaveDealPwd->setVisible(false);
    edPwd->setVisible(false);

    cbExitOnIdle->setCurrentIndex(SessionKeeper::IdleItemFor(Settings->ExitSysIdleTime));
    ckbSaveIni->setChecked(Settings->SaveIni);
    ckbSaveData->setChecked(Settings->SaveProfitData);
    ckbCerty->setChecked(Settings->SaveCerty);
    ckbSaveDealPwd->setChecked(Settings->SaveDealPwd);
    edPwd->setText(Settings->SaveDealPwd && CurrentUser ? CurrentUser->TransPassword : QString());
    edPwd->setEnabled(Settings->SaveDealPwd);
    connect(ckbSaveDealPwd, &QCheckBox::toggled, edPwd, &QLineEdit::setEnabled);

    connect(BtnOk, &QPushButton::clicked, this, &TNBSettingFm::Confirm);
    connect(BtnReset, &QPushButton::clicked, this, &QDialog::reject);
}

void TNBSettingFm::Confirm()
{
    Settings->SaveDealPwd = ckbSaveDealPwd->isChecked();
    if (CurrentUser)
        CurrentUser->TransPassword = edPwd->text();
    if (m_hooks.setSessionTransPassword)
        m_hooks.setSessionTransPassword(edPwd->text());

    const int item = cbExitOnIdle->currentIndex();
    Settings->ExitSysIdleTime = SessionKeeper::IdleSecondsForItem(item);
    if (m_hooks.setIdleExitStep)
        m_hooks.setIdleExitStep(item - 1);

    if (!TSettings::RunFromCD()) {
        Settings->SaveIni = ckbSaveIni->isChecked();
        Settings->SaveProfitData = ckbSaveData->isChecked();
        Settings->SaveCerty = ckbCerty->isChecked();
        if (!LoginName.trimmed().isEmpty() &&
            (!Settings->SaveUserIni(LoginName) || !QFileInfo(Settings->UserIniPath(LoginName)).isFile()))
            Msg::warning(QStringLiteral("个人设置文件无法写入，本次的设置只在本次运行中有效。"), kProductTitle);
    }
    accept();
}
