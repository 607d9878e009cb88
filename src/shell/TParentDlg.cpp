#include "TParentDlg.h"

#include "platform/MessageBoxes.h"

#include <QLabel>
#include <QVBoxLayout>

TParentDlg::TParentDlg(const QString &title, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(Msg::applicationTitle());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    PnlTitle = new QWidget(this);
    PnlTitle->setObjectName(QStringLiteral("PnlTitle"));
    PnlTitle->setAutoFillBackground(true);
    PnlTitle->setStyleSheet(QStringLiteral("#PnlTitle{background:#3598D9;} QLabel{color:white;font-weight:bold;}"));
    auto *titleLayout = new QHBoxLayout(PnlTitle);
    titleLayout->setContentsMargins(8, 4, 8, 4);
    LabTitle = new QLabel(title, PnlTitle);
    LabTitle->setObjectName(QStringLiteral("LabTitle"));
    titleLayout->addWidget(LabTitle);
    layout->addWidget(PnlTitle);

    PnlClient = new QWidget(this);
    PnlClient->setObjectName(QStringLiteral("PnlClient"));
    PnlClient->setStyleSheet(QStringLiteral("#PnlClient{background:#E1E1E1;}"));
    layout->addWidget(PnlClient, 1);
}
