#pragma once
// The account frame: the current card account's currency sub-accounts with
// their balances and the totals converted into a chosen currency. Used by
// the account page and the overview page.

#include <QWidget>
#include <functional>
#include <vector>

#include "AccountTotals.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableView;
class BandedHeaderView;
class SubAccountModel;
class BankButtonGuard;
class TAccount;

class TFrameAcct : public QWidget
{
    Q_OBJECT
public:
    explicit TFrameAcct(QWidget *parent = nullptr);

    // What the frame asks of its owners.
    struct Hooks {
        // "查询": MsgAccountChanged with 0 sent to the main window.
        std::function<void()> requestRefresh;
        // After a fill: the trade pages refresh their balance hints.
        std::function<void()> balancesShown;
        // Right-click on a sub-account row that is not in "01".
        std::function<void(const TAccount &sub, const QPoint &globalPos)> subAccountMenu;
        // "折 算" confirmed: one share per converted currency.
        std::function<void(const QString &targetName, const std::vector<AccountTotals::Share> &)> converted;
        // Opens the statement window (tests replace it).
        std::function<void(const TAccount &sub)> openStatement;
    };
    Hooks hooks;

    // When an account is applied: account label, empty grid, totals "-",
    // the currency box refilled.
    void Reset();
    // On MsgAccountChanged: totals (sorting the sub-accounts), then the grid.
    void Fill();
    // Recomputes the totals for the chosen currency.
    void UpdateTotals();
    // "折 算".
    void Convert();

    QString TargetCode() const;
    void SetTarget(const QString &code);
    // The sub-account of a grid row (nullptr when the list changed since).
    TAccount *SubAccountAt(int row) const;

    QLabel *LabAcctNo = nullptr;
    QLabel *LabNameCaption = nullptr;
    QLabel *LabName = nullptr;
    QComboBox *cbDistCurr = nullptr;
    QLabel *LabTotal = nullptr;
    QLabel *LabCurr = nullptr;
    QPushButton *BtnQuery = nullptr;
    QPushButton *BtnPrint = nullptr;
    QPushButton *BtnConvert = nullptr;
    QTableView *tlAcct = nullptr;
    BandedHeaderView *Header = nullptr;
    SubAccountModel *Model = nullptr;

private:
    void showTotals(const AccountTotals::Totals &t);
    BankButtonGuard *m_guard;
};
