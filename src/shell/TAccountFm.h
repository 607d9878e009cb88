#pragma once
// The account page "账户信息": the distribution chart, the account frame
// and "更新子账户信息".

#include "TMainPage.h"

#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;
class QChartView;
class QPieSeries;
class TFrameAcct;
class BankButtonGuard;

class TAccountFm : public QWidget, public TMainPage
{
    Q_OBJECT
public:
    explicit TAccountFm(QWidget *parent = nullptr);

    struct Hooks {
        // The title was clicked: show the overview page.
        std::function<void()> showOverview;
        // The fixed-term trade pages refresh their sub-account lists.
        std::function<void()> subAccountsShown;
    };
    Hooks hooks;

    QString PageClassName() const override { return QStringLiteral("TAccountFm"); }
    void FocusFirstControl(int type) override;
    void ResetPage() override;
    void HandleNotification(int message, int flag) override;

    // "更新子账户信息".
    void UpdateSubAccounts();
    // Pie slices: target name + "(" + currency name + "折算)".
    int SliceCount() const;
    QStringList SliceLabels() const;

    QLabel *LabTitle = nullptr;
    QChartView *Chart = nullptr;
    QPieSeries *Series = nullptr;
    TFrameAcct *Frame = nullptr;
    QPushButton *BtnUpdate = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    BankButtonGuard *m_guard;
    bool m_updating = false;
};
