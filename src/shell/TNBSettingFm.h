#pragma once
// The options dialog "系统设置": idle exit, what is kept on this machine,
// the session trade password (hidden).

#include "TParentDlg.h"

#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

class TNBSettingFm : public TParentDlg
{
    Q_OBJECT
public:
    // What "确定" changes outside the settings: the idle-exit step (with
    // the PostTimer stopped and restarted), the session trade password.
    struct Hooks {
        std::function<void(int step)> setIdleExitStep;
        std::function<void(const QString &password)> setSessionTransPassword;
    };

    TNBSettingFm(Hooks hooks, QWidget *parent = nullptr);

    QComboBox *cbExitOnIdle = nullptr;
    QCheckBox *ckbSaveIni = nullptr;
    QCheckBox *ckbSaveData = nullptr;
    QCheckBox *ckbCerty = nullptr;
    QCheckBox *ckbSaveDealPwd = nullptr;
    QLineEdit *edPwd = nullptr;
    QPushButton *BtnOk = nullptr;
    QPushButton *BtnReset = nullptr;

public slots:
    void Confirm();

private:
    Hooks m_hooks;
};
