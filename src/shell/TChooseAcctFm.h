#pragma once
// The account choice "选择账户", after login (first choice) and from the menu.

#include <QDialog>
#include <functional>

class CardAccountModel;
class QLabel;
class QPushButton;
class QTableView;
class TAccount;

class TChooseAcctFm : public QDialog
{
    Q_OBJECT
public:
    explicit TChooseAcctFm(bool firstChoice, QWidget *parent = nullptr);

    // Called after an account was applied and before the dialog closes; the
    // main window fetches the sub-accounts there when it is showing.
    static inline std::function<void()> AccountApplied;
    // Called by "退出" at the first choice.
    static inline std::function<void()> EndApplication;
    // Opens the other (non-forex) accounts; the button is disabled without it.
    static inline std::function<void(QWidget *parent)> ShowOtherAccounts;

    QTableView *Grid = nullptr;
    QPushButton *BtnOk = nullptr;
    QPushButton *BtnReLogin = nullptr; // first choice: "重登录"
    QPushButton *BtnCancel = nullptr;  // "退出" at the first choice, else "取消"
    QPushButton *BtnOther = nullptr;   // "查看非外汇账号信息"
    QLabel *LblStatus = nullptr;

    void selectRow(int row);

public slots:
    void Confirm();

private:
    CardAccountModel *m_model;
    bool m_firstChoice;
    // True while a choice is being applied (its fetch keeps events flowing,
    // so a second click or double-click must not apply it again).
    bool m_confirming = false;
};
