#include "TcheckcloseFm.h"

#include "platform/MessageBoxes.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

QString TcheckcloseFm::Text()
{
    return QStringLiteral("    您将退出本系统，系统将根据您的设置\n\n决定是否保留您的个人信息以便下次使用。");
}

TcheckcloseFm::TcheckcloseFm(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("TcheckcloseFm"));
    setWindowTitle(QStringLiteral("退出确认"));
    setStyleSheet(QStringLiteral("TcheckcloseFm{background:#E1E1E1;border:1px solid #3598D9;}"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);

    PnlTitle = new QWidget(this);
    PnlTitle->setObjectName(QStringLiteral("PnlTitle"));
    PnlTitle->setAttribute(Qt::WA_StyledBackground);
    PnlTitle->setStyleSheet(QStringLiteral("#PnlTitle{background:#3598D9;} QLabel{color:white;font-weight:bold;}"));
    auto *titleLayout = new QHBoxLayout(PnlTitle);
    titleLayout->setContentsMargins(8, 5, 8, 5);
    LabTitle = new QLabel(QStringLiteral("退出确认"), PnlTitle);
    titleLayout->addWidget(LabTitle);
    PnlTitle->installEventFilter(this);
    LabTitle->installEventFilter(this);
    layout->addWidget(PnlTitle);

    LabText = new QLabel(Text(), this);
    LabText->setObjectName(QStringLiteral("LabText"));
    LabText->setContentsMargins(16, 12, 16, 12);
    layout->addWidget(LabText);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    BtnExit = new QPushButton(QStringLiteral("退 出"), this);
    BtnExit->setObjectName(QStringLiteral("BtnExit"));
    BtnCancel = new QPushButton(QStringLiteral("取 消"), this);
    BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
    buttons->addWidget(BtnExit);
    buttons->addWidget(BtnCancel);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    BtnExit->setDefault(true);
    connect(BtnExit, &QPushButton::clicked, this, &QDialog::accept);
    // Escape rejects the dialog as QDialog does.
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TcheckcloseFm::eventFilter(QObject *watched, QEvent *event)
{
    // The borderless window is dragged by its title bar.
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *e = static_cast<QMouseEvent *>(event);
        if (e->button() == Qt::LeftButton) {
            m_dragging = true;
            m_dragFrom = e->globalPosition().toPoint() - frameGeometry().topLeft();
            return true;
        }
        break;
    }
    case QEvent::MouseMove:
        if (m_dragging) {
            move(static_cast<QMouseEvent *>(event)->globalPosition().toPoint() - m_dragFrom);
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        m_dragging = false;
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

bool TcheckcloseFm::Confirm(QWidget *parent)
{
    if (Msg::unattended()) {
        Msg::Request r;
        r.caption = QStringLiteral("退出确认");
        r.text = Text();
        r.icon = Msg::Icon::Question;
        r.buttons = Msg::Ok | Msg::Cancel;
        r.defaultButton = Msg::Ok;
        return Msg::show(r) == Msg::Ok;
    }
    TcheckcloseFm dlg(parent);
    return dlg.exec() == QDialog::Accepted;
}
