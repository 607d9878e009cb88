#include "TAcctDetailfm.h"

#include "AccountRefresh.h"
#include "AccountTexts.h"
#include "BankButtonGuard.h"
#include "PrintHook.h"
#include "SessionBank.h"
#include "StatementModel.h"
#include "TAccount.h"
#include "TCurrencyList.h"
#include "TInCom.h"
#include "TSettings.h"
#include "platform/Formats.h"
#include "platform/MessageBoxes.h"

#include <QApplication>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TAcctDetailfm::TAcctDetailfm(const TAccount &sub, QWidget *parent)
    : QDialog(parent), m_sub(std::make_unique<TAccount>(sub.Settings, sub.User)), m_guard(new BankButtonGuard(this))
{
    m_sub->AccountNo = sub.AccountNo;
    m_sub->Currency = sub.Currency;
    m_sub->ChaoHui = sub.ChaoHui;
    m_sub->SaveType = sub.SaveType;
    m_sub->AccSign = sub.AccSign;
    m_sub->PdtCode = sub.PdtCode;
    m_sub->BranchId = sub.BranchId;
    m_sub->FlagCard = sub.FlagCard;
    m_sub->Balance = sub.Balance;
    m_sub->UseBalance = sub.UseBalance;

    setObjectName(QStringLiteral("TAcctDetailfm"));
    setWindowTitle(QStringLiteral("明细"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    resize(760, 460);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 6);
    auto *title = new QLabel(QStringLiteral("子账户明细"), this);
    title->setObjectName(QStringLiteral("LabTitle"));
    title->setStyleSheet(QStringLiteral("background:#3598D9;color:white;font-weight:bold;padding:5px;"));
    layout->addWidget(title);

    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(8, 4, 8, 4);
    const QString name = (m_sub->Currency ? m_sub->Currency->Name : TCurrencyList::UnknownName()) +
                         QLatin1Char(' ') + m_sub->SaveType;
    LabSubAcct = new QLabel(QStringLiteral("子账户：") + name, this);
    LabSubAcct->setObjectName(QStringLiteral("LabSubAcct"));
    bar->addWidget(LabSubAcct);
    bar->addSpacing(16);
    bar->addWidget(new QLabel(QStringLiteral("发生日期：从"), this));
    const double server = Settings ? Settings->ServerTime : Formats::now();
    const QDate today = Formats::dateOf(server);
    edtBeginDate = new QDateEdit(QDate(today.year(), today.month(), 1), this);
    edtBeginDate->setObjectName(QStringLiteral("edtBeginDate"));
    edtEndDate = new QDateEdit(today, this);
    edtEndDate->setObjectName(QStringLiteral("edtEndDate"));
    for (QDateEdit *e : {edtBeginDate, edtEndDate}) {
        e->setDisplayFormat(QString::fromLatin1(Formats::kDateFormat));
        e->setCalendarPopup(true);
    }
    bar->addWidget(edtBeginDate);
    bar->addWidget(new QLabel(QStringLiteral("到"), this));
    bar->addWidget(edtEndDate);
    bar->addStretch(1);
    BtnQuery = new QPushButton(QStringLiteral("查询"), this);
    BtnQuery->setObjectName(QStringLiteral("BtnQuery"));
    BtnPrint = new QPushButton(QStringLiteral("打印"), this);
    BtnPrint->setObjectName(QStringLiteral("BtnPrint"));
    BtnPrint->setEnabled(PrintHook::Available());
    bar->addWidget(BtnQuery);
    bar->addWidget(BtnPrint);
    layout->addLayout(bar);

    Model = new StatementModel(this);
    Grid = new QTableView(this);
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->setModel(Model);
    Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->verticalHeader()->hide();
    Grid->verticalHeader()->setDefaultSectionSize(22);
    Grid->horizontalHeader()->setStretchLastSection(true);
    Grid->setStyleSheet(QStringLiteral("QHeaderView::section{background:#3598D9;color:white;padding:3px;border:0;}"
                                       "QTableView{selection-background-color:#0958A1;selection-color:white;}"));
    layout->addWidget(Grid, 1);

    m_guard->add(BtnQuery);
    connect(BtnQuery, &QPushButton::clicked, this, &TAcctDetailfm::Query);
    connect(BtnPrint, &QPushButton::clicked, this, [this] {
        if (PrintHook::PrintGrid)
            PrintHook::PrintGrid(Grid, 4);
    });
}

TAcctDetailfm::~TAcctDetailfm() = default;

void TAcctDetailfm::Query()
{
    if (m_querying || !BankButtonGuard::MayStart())
        return;
    m_querying = true;
    setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Model->clear();
    TInCom query(m_sub->Settings);
    query.Account = m_sub.get();
    query.BeginDate = Formats::toDays(edtBeginDate->date());
    query.EndDate = Formats::toDays(edtEndDate->date());
    QString error;
    try {
        SessionBank::Current().LoadStatement(query);
        Model->takeLines(query.Details);
    } catch (...) {
        error = AccountRefresh::ErrorText(std::current_exception());
    }
    QApplication::restoreOverrideCursor();
    setEnabled(true);
    m_querying = false;
    if (!error.isEmpty())
        Msg::error(error, QStringLiteral("查询失败！"));
}
