#include "TAccountFm.h"

#include "AccountRefresh.h"
#include "BankButtonGuard.h"
#include "NotificationRouter.h"
#include "SessionBank.h"
#include "SharedInstances.h"
#include "TAccount.h"
#include "TCurrencyList.h"
#include "TFrameAcct.h"
#include "platform/MessageBoxes.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPieSeries>
#include <QPieSlice>
#include <QPushButton>
#include <QVBoxLayout>

TAccountFm::TAccountFm(QWidget *parent) : QWidget(parent), m_guard(new BankButtonGuard(this))
{
    setObjectName(QStringLiteral("TAccountFm"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    LabTitle = new QLabel(QStringLiteral("账户信息"), this);
    LabTitle->setObjectName(QStringLiteral("LabTitle"));
    LabTitle->setStyleSheet(QStringLiteral("background:#3598D9;color:white;font-weight:bold;padding:5px;"));
    LabTitle->setCursor(Qt::PointingHandCursor);
    LabTitle->installEventFilter(this);
    layout->addWidget(LabTitle);

    auto *chart = new QChart;
    chart->setTitle(QStringLiteral("外汇分布图"));
    chart->legend()->hide();
    chart->setBackgroundRoundness(0);
    Series = new QPieSeries(chart);
    chart->addSeries(Series);
    Chart = new QChartView(chart, this);
    Chart->setObjectName(QStringLiteral("Chart"));
    Chart->setRenderHint(QPainter::Antialiasing);
    Chart->setMinimumHeight(200);
    layout->addWidget(Chart, 2);

    Frame = new TFrameAcct(this);
    layout->addWidget(Frame, 3);

    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(6, 4, 6, 4);
    buttons->addStretch(1);
    BtnUpdate = new QPushButton(QStringLiteral("更新子账户信息"), this);
    BtnUpdate->setObjectName(QStringLiteral("BtnUpdate"));
    buttons->addWidget(BtnUpdate);
    layout->addLayout(buttons);
    m_guard->add(BtnUpdate);
    connect(BtnUpdate, &QPushButton::clicked, this, &TAccountFm::UpdateSubAccounts);

    Frame->hooks.converted = [this](const QString &target, const std::vector<AccountTotals::Share> &shares) {
        Series->clear();
        for (const auto &s : shares) {
            if (!(s.total > 0))
                continue;
            const QString name = CurrencyList ? CurrencyList->NameOf(s.code) : s.code;
            auto *slice = Series->append(target + QStringLiteral("(") + name + QStringLiteral("折算)"), s.total);
            slice->setLabelVisible(false);
        }
    };
}

bool TAccountFm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == LabTitle && event->type() == QEvent::MouseButtonRelease && hooks.showOverview) {
        hooks.showOverview();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TAccountFm::FocusFirstControl(int)
{
    Frame->cbDistCurr->setFocus();
}

void TAccountFm::ResetPage()
{
    Series->clear();
    Frame->Reset();
}

void TAccountFm::HandleNotification(int message, int)
{
    if (message != MsgAccountChanged)
        return;
    Frame->Fill();
    Series->clear();
    if (hooks.subAccountsShown)
        hooks.subAccountsShown();
}

int TAccountFm::SliceCount() const
{
    return Series->count();
}

QStringList TAccountFm::SliceLabels() const
{
    QStringList out;
    for (QPieSlice *s : Series->slices())
        out << s->label();
    return out;
}

void TAccountFm::UpdateSubAccounts()
{
    if (m_updating || !BankButtonGuard::MayStart() || !CurrentAccount)
        return;
    m_updating = true;
    BtnUpdate->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    try {
        SessionBank::Current().UpdateSubAccounts(*CurrentAccount);
    } catch (...) {
        error = AccountRefresh::ErrorText(std::current_exception());
    }
    QApplication::restoreOverrideCursor();
    if (error.isEmpty() && Frame->hooks.requestRefresh)
        Frame->hooks.requestRefresh();
    BtnUpdate->setEnabled(BankButtonGuard::MayStart());
    m_updating = false;
    if (!error.isEmpty())
        Msg::error(error, QStringLiteral("交易失败！"));
    else
        Msg::information(QStringLiteral("更新子账户信息完成！"));
}
