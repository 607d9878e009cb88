#include "TMainFm.h"

#include "MessageBoxes.h"
#include "TRoundProgressBar.h"
#include "UpgradeTexts.h"

#include <QCloseEvent>
#include <algorithm>
#include <climits>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TMainFm::TMainFm(UpgradeRunner *runner, QWidget *parent)
    : QWidget(parent)
    , m_runner(runner)
{
    setObjectName(QStringLiteral("MainFm"));
    setWindowTitle(UpgradeTexts::kMainCaption);

    auto *steps = new QVBoxLayout;
    const QString texts[4] = {UpgradeTexts::kStepClose, UpgradeTexts::kStepDownload, UpgradeTexts::kStepApply,
                              UpgradeTexts::kStepRestart};
    for (int i = 0; i < 4; ++i) {
        m_steps[i] = new QLabel(texts[i], this);
        steps->addWidget(m_steps[i]);
    }

    prgTotal = new TRoundProgressBar(this);
    prgTotal->setObjectName(QStringLiteral("prgTotal"));
    prgTotal->setFixedSize(80, 80);
    prgTotal->setLineColor(QColor(0x8c, 0xb4, 0xe8)); // light enough to read the text over
    prgTotal->setMax(runner->totalSteps());
    auto *totalBox = new QVBoxLayout;
    totalBox->addWidget(prgTotal, 0, Qt::AlignHCenter);
    totalBox->addWidget(new QLabel(UpgradeTexts::kTotalLabel, this), 0, Qt::AlignHCenter);

    auto *top = new QHBoxLayout;
    top->addLayout(steps, 1);
    top->addLayout(totalBox);

    lbVer = new QLabel(UpgradeTexts::kVersionInitial, this);
    lbVer->setObjectName(QStringLiteral("lbVer"));
    lbHint = new QLabel(this);
    lbHint->setObjectName(QStringLiteral("lbHint"));
    prgBar = new QProgressBar(this);
    prgBar->setObjectName(QStringLiteral("prgBar"));
    prgBar->setTextVisible(false);
    prgBar->setRange(0, 100);
    prgBar->setValue(0);

    btnCancel = new QPushButton(UpgradeTexts::kCancelButton, this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(lbVer);
    layout->addWidget(lbHint);
    layout->addWidget(prgBar);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    connect(btnCancel, &QPushButton::clicked, this, &QWidget::close);
    connect(runner, &UpgradeRunner::stepLeft, this, [this](UpgradeRunner::Step s) { setStepBold(s, false); });
    connect(runner, &UpgradeRunner::stepEntered, this, [this](UpgradeRunner::Step s, int) { setStepBold(s, true); });
    connect(runner, &UpgradeRunner::versionChanged, lbVer, &QLabel::setText);
    connect(runner, &UpgradeRunner::hintChanged, lbHint, &QLabel::setText);
    connect(runner, &UpgradeRunner::progressRangeChanged, this, [this](qint64 max) {
        prgBar->setRange(0, int(std::clamp<qint64>(max, 0, INT_MAX)));
    });
    connect(runner, &UpgradeRunner::progressChanged, this, [this](qint64 v) {
        prgBar->setValue(int(std::clamp<qint64>(v, 0, prgBar->maximum())));
    });
    connect(runner, &UpgradeRunner::totalAdvanced, prgTotal, &TRoundProgressBar::step);
    connect(runner, &UpgradeRunner::finished, this, [this] { btnCancel->setEnabled(false); });
}

QLabel *TMainFm::stepLabel(UpgradeRunner::Step step) const
{
    const int i = int(step);
    return i >= 0 && i < 4 ? m_steps[i] : nullptr;
}

void TMainFm::setBold(QLabel *label, bool bold)
{
    QFont f = label->font();
    f.setBold(bold);
    label->setFont(f);
}

void TMainFm::setStepBold(UpgradeRunner::Step step, bool bold)
{
    if (QLabel *l = stepLabel(step))
        setBold(l, bold);
    if (step == UpgradeRunner::Step::DownloadPackage || step == UpgradeRunner::Step::ApplyPackage)
        setBold(lbVer, bold);
}

void TMainFm::closeEvent(QCloseEvent *event)
{
    if (m_runner->outcome() != UpgradeRunner::Outcome::Running) {
        event->accept();
        return;
    }
    // The run ends on its own (restore, message, restart); the window goes
    // when it has.
    event->ignore();
    if (m_runner->isCompleted() || m_runner->isEnding() || m_asking)
        return;
    m_asking = true;
    m_runner->setPaused(true);
    const bool yes = Msg::confirm(UpgradeTexts::kExitQuestion, UpgradeTexts::kExitCaption);
    m_asking = false;
    if (yes)
        m_runner->cancel();
    m_runner->setPaused(false);
}
