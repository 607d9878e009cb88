#include "TfmSelectCurr.h"

#include "AccountTexts.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

std::vector<AccountTotals::Holding> TfmSelectCurr::Offered(const std::vector<AccountTotals::Holding> &holdings)
{
    std::vector<AccountTotals::Holding> out;
    for (const auto &h : holdings)
        if (h.code != QLatin1String("01"))
            out.push_back(h);
    return out;
}

QString TfmSelectCurr::ItemText(const AccountTotals::Holding &h)
{
    return QStringLiteral("%1   %2").arg(AccountTexts::CashMark(h.chaoHui), h.name);
}

TfmSelectCurr::TfmSelectCurr(const std::vector<AccountTotals::Holding> &subs, QWidget *parent)
    : QDialog(parent), m_offered(Offered(subs))
{
    setObjectName(QStringLiteral("TfmSelectCurr"));
    setWindowTitle(QStringLiteral("选择折算币种"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *layout = new QVBoxLayout(this);
    List = new QListWidget(this);
    List->setObjectName(QStringLiteral("List"));
    for (const auto &h : m_offered) {
        auto *item = new QListWidgetItem(ItemText(h), List);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Checked);
    }
    layout->addWidget(List, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    BtnOk = new QPushButton(QStringLiteral("确 定"), this);
    BtnOk->setObjectName(QStringLiteral("BtnOk"));
    BtnCancel = new QPushButton(QStringLiteral("取 消"), this);
    BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
    buttons->addWidget(BtnOk);
    buttons->addWidget(BtnCancel);
    layout->addLayout(buttons);
    connect(BtnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(280, 320);
}

std::vector<AccountTotals::Holding> TfmSelectCurr::Chosen() const
{
    std::vector<AccountTotals::Holding> out;
    for (int i = 0; i < List->count() && i < int(m_offered.size()); ++i)
        if (List->item(i)->checkState() == Qt::Checked)
            out.push_back(m_offered[size_t(i)]);
    return out;
}
