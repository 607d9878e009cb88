#pragma once
// The upgrade program's window: the four step labels (the current one in
// bold), the version line lbVer, the status line lbHint, the progress bar
// prgBar of the current download or apply, the round bar prgTotal that
// counts steps, and the cancel button. Closing the window (also by the
// button) asks first unless the upgrade is completed.

#include "UpgradeRunner.h"

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class TRoundProgressBar;

class TMainFm : public QWidget
{
    Q_OBJECT
public:
    explicit TMainFm(UpgradeRunner *runner, QWidget *parent = nullptr);

    QLabel *lbVer = nullptr;
    QLabel *lbHint = nullptr;
    QProgressBar *prgBar = nullptr;
    TRoundProgressBar *prgTotal = nullptr;
    QPushButton *btnCancel = nullptr;
    QLabel *stepLabel(UpgradeRunner::Step step) const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void setStepBold(UpgradeRunner::Step step, bool bold);
    static void setBold(QLabel *label, bool bold);

    UpgradeRunner *m_runner;
    QLabel *m_steps[4] = {};
    bool m_asking = false;
};
