#include "TFrameAcct.h"

#include "AccountTexts.h"
#include "BankButtonGuard.h"
#include "PrintHook.h"
#include "SharedInstances.h"
#include "SubAccountModel.h"
#include "TAccount.h"
#include "TAcctDetailfm.h"
#include "TBranchBankController.h"
#include "TCurrency.h"
#include "TCurrencyList.h"
#include "TMarketList.h"
#include "TUser.h"
#include "TfmSelectCurr.h"
#include "controls/BandedHeaderView.h"
#include "platform/Formats.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMutexLocker>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {
QLabel *caption(const QString &text, QWidget *parent)
{
    return new QLabel(text, parent);
}

// Totals with the bank quotes under their feed lock.
template <typename F>
auto withQuotes(F f)
{
    static TMarketList empty;
    if (!BankMarketList)
        return f(empty);
    if (BankFeedLock) {
        QMutexLocker l(BankFeedLock);
        return f(*BankMarketList);
    }
    return f(*BankMarketList);
}
} // namespace

TFrameAcct::TFrameAcct(QWidget *parent) : QWidget(parent), m_guard(new BankButtonGuard(this))
{
    setObjectName(QStringLiteral("TFrameAcct"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *header = new QWidget(this);
    header->setObjectName(QStringLiteral("PnlHeader"));
    header->setAttribute(Qt::WA_StyledBackground);
    header->setStyleSheet(QStringLiteral("#PnlHeader{background:#FBF7E8;}"));
    auto *grid = new QGridLayout(header);
    grid->setContentsMargins(8, 6, 8, 6);
    grid->addWidget(caption(QStringLiteral("账户："), header), 0, 0);
    LabAcctNo = new QLabel(header);
    LabAcctNo->setObjectName(QStringLiteral("LabAcctNo"));
    grid->addWidget(LabAcctNo, 0, 1);
    LabNameCaption = caption(QStringLiteral("姓名："), header);
    grid->addWidget(LabNameCaption, 0, 2);
    LabName = new QLabel(header);
    LabName->setObjectName(QStringLiteral("LabName"));
    grid->addWidget(LabName, 0, 3);
    grid->addWidget(caption(QStringLiteral("外币市值折成："), header), 0, 4);
    cbDistCurr = new QComboBox(header);
    cbDistCurr->setObjectName(QStringLiteral("cbDistCurr"));
    cbDistCurr->setPlaceholderText(QStringLiteral("请选择"));
    cbDistCurr->setMinimumWidth(150);
    grid->addWidget(cbDistCurr, 0, 5);
    grid->addWidget(caption(QStringLiteral("总折算参考余额："), header), 1, 0);
    LabTotal = new QLabel(QStringLiteral("-"), header);
    LabTotal->setObjectName(QStringLiteral("LabTotal"));
    grid->addWidget(LabTotal, 1, 1);
    grid->addWidget(caption(QStringLiteral("可用折算参考余额："), header), 1, 2);
    LabCurr = new QLabel(QStringLiteral("-"), header);
    LabCurr->setObjectName(QStringLiteral("LabCurr"));
    grid->addWidget(LabCurr, 1, 3);
    auto *buttons = new QHBoxLayout;
    BtnQuery = new QPushButton(QStringLiteral("查询"), header);
    BtnQuery->setObjectName(QStringLiteral("BtnQuery"));
    BtnPrint = new QPushButton(QStringLiteral("打 印"), header);
    BtnPrint->setObjectName(QStringLiteral("BtnPrint"));
    BtnConvert = new QPushButton(QStringLiteral("折 算"), header);
    BtnConvert->setObjectName(QStringLiteral("BtnConvert"));
    buttons->addWidget(BtnQuery);
    buttons->addWidget(BtnPrint);
    buttons->addWidget(BtnConvert);
    grid->addLayout(buttons, 1, 4, 1, 2);
    grid->setColumnStretch(6, 1);
    layout->addWidget(header);

    Model = new SubAccountModel(this);
    tlAcct = new QTableView(this);
    tlAcct->setObjectName(QStringLiteral("tlAcct"));
    Header = new BandedHeaderView(tlAcct);
    tlAcct->setHorizontalHeader(Header);
    tlAcct->setModel(Model);
    tlAcct->setSelectionBehavior(QAbstractItemView::SelectRows);
    tlAcct->setSelectionMode(QAbstractItemView::SingleSelection);
    tlAcct->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tlAcct->setContextMenuPolicy(Qt::CustomContextMenu);
    tlAcct->verticalHeader()->hide();
    tlAcct->verticalHeader()->setDefaultSectionSize(22);
    tlAcct->setStyleSheet(QStringLiteral("QTableView{selection-background-color:#0958A1;selection-color:white;}"));
    Header->setSectionResizeMode(QHeaderView::Stretch);
    Header->setSectionResizeMode(SubAccountModel::ColNo, QHeaderView::Fixed);
    Header->resizeSection(SubAccountModel::ColNo, 44);
    layout->addWidget(tlAcct, 1);

    BtnPrint->setEnabled(PrintHook::Available());
    m_guard->add(BtnQuery);

    connect(BtnQuery, &QPushButton::clicked, this, [this] {
        if (BankButtonGuard::MayStart() && hooks.requestRefresh)
            hooks.requestRefresh();
    });
    connect(BtnPrint, &QPushButton::clicked, this, [this] {
        if (PrintHook::PrintGrid)
            PrintHook::PrintGrid(tlAcct, 1);
    });
    connect(BtnConvert, &QPushButton::clicked, this, &TFrameAcct::Convert);
    connect(cbDistCurr, &QComboBox::currentIndexChanged, this, [this] { UpdateTotals(); });
    connect(tlAcct, &QTableView::doubleClicked, this, [this](const QModelIndex &index) {
        TAccount *sub = SubAccountAt(index.row());
        if (!sub)
            return;
        if (hooks.openStatement) {
            hooks.openStatement(*sub);
            return;
        }
        TAcctDetailfm dlg(*sub, window());
        dlg.exec();
    });
    connect(tlAcct, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        const QModelIndex index = tlAcct->indexAt(pos);
        TAccount *sub = index.isValid() ? SubAccountAt(index.row()) : nullptr;
        if (!sub || AccountTexts::CurrencyCode(*sub) == QLatin1String("01"))
            return;
        tlAcct->selectRow(index.row());
        if (hooks.subAccountMenu)
            hooks.subAccountMenu(*sub, tlAcct->viewport()->mapToGlobal(pos));
    });
}

QString TFrameAcct::TargetCode() const
{
    const QVariant v = cbDistCurr->currentData();
    return v.isValid() ? v.toString() : QString();
}

void TFrameAcct::SetTarget(const QString &code)
{
    cbDistCurr->setCurrentIndex(cbDistCurr->findData(code));
}

TAccount *TFrameAcct::SubAccountAt(int row) const
{
    if (!CurrentAccount || row < 0 || row >= Model->rowCount())
        return nullptr;
    TAccount *sub = CurrentAccount->SubAccounts.Item(row);
    const SubAccountModel::Row &r = Model->rowAt(row);
    // The grid shows the list as it was at the last fill; a row whose
    // sub-account has changed since is not acted on.
    if (!sub || AccountTexts::CurrencyCode(*sub) != r.code || sub->ChaoHui != r.chaoHui || sub->AccSign != r.accSign)
        return nullptr;
    return sub;
}

void TFrameAcct::Reset()
{
    BtnPrint->setVisible(true);
    LabNameCaption->setVisible(false);
    LabName->setVisible(false);
    LabName->setText(CurrentUser ? CurrentUser->UserName : QString());
    Model->clear();
    const QString no = CurrentAccount ? CurrentAccount->AccountNo : QString();
    LabAcctNo->setText(AccountTexts::MaskAccountNo(no));
    LabAcctNo->setToolTip(no);
    LabTotal->setText(QStringLiteral("-"));
    LabCurr->setText(QStringLiteral("-"));
    const QSignalBlocker block(cbDistCurr);
    cbDistCurr->clear();
    if (CurrencyList) {
        const auto controller = CurrentBranchController();
        const auto entries = CurrencyList->PickerList(
            controller ? std::function<bool(const QString &)>(
                             [controller](const QString &code) { return controller->IsCurrencySupported(code); })
                       : std::function<bool(const QString &)>());
        for (const auto &e : entries) {
            const QString text = e.text.section(QChar(4), 0, 0);
            cbDistCurr->addItem(text, e.text.section(QChar(4), 1));
        }
    }
    cbDistCurr->setCurrentIndex(-1);
}

void TFrameAcct::showTotals(const AccountTotals::Totals &t)
{
    LabCurr->setText(t.valid ? Formats::formatGrouped(t.usable, 2) : QStringLiteral("-"));
    LabTotal->setText(t.valid ? Formats::formatGrouped(t.total, 2) : QStringLiteral("-"));
}

void TFrameAcct::UpdateTotals()
{
    if (!CurrentAccount) {
        showTotals({});
        return;
    }
    const QString target = TargetCode();
    showTotals(withQuotes([&](const TMarketList &q) {
        return AccountTotals::FrameTotals(CurrentAccount->SubAccounts, target, q);
    }));
}

void TFrameAcct::Fill()
{
    UpdateTotals();
    if (CurrentAccount)
        Model->fill(CurrentAccount->SubAccounts);
    else
        Model->clear();
    if (hooks.balancesShown)
        hooks.balancesShown();
}

void TFrameAcct::Convert()
{
    const QString target = TargetCode();
    if (target.isEmpty()) {
        cbDistCurr->setFocus();
        cbDistCurr->showPopup();
        return;
    }
    if (!CurrentAccount)
        return;
    TfmSelectCurr dlg(AccountTotals::HoldingsOf(CurrentAccount->SubAccounts), window());
    if (dlg.exec() != QDialog::Accepted)
        return;
    const auto chosen = dlg.Chosen();
    const auto selection = withQuotes(
        [&](const TMarketList &q) { return AccountTotals::ConvertSelected(chosen, target, q); });
    showTotals(selection.totals);
    if (hooks.converted)
        hooks.converted(CurrencyList ? CurrencyList->NameOf(target) : target, selection.shares);
}
