#include "TAboutForm.h"

#include "Startup.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// The product picture, drawn: a blue disc with the two currency signs.
QPixmap productPicture()
{
    QPixmap pm(72, 72);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x35, 0x98, 0xD9));
    p.setPen(Qt::NoPen);
    p.drawEllipse(2, 2, 68, 68);
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setPixelSize(28);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(0, 0, 72, 72), Qt::AlignCenter, QStringLiteral("$¥"));
    return pm;
}
} // namespace

TAboutForm::TAboutForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TAboutForm"));
    setWindowTitle(QStringLiteral("关于") + kProductTitle);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *layout = new QVBoxLayout(this);
    auto *row = new QHBoxLayout;
    LabPicture = new QLabel(this);
    LabPicture->setPixmap(productPicture());
    row->addWidget(LabPicture);
    auto *texts = new QVBoxLayout;
    auto *title = new QLabel(kProductTitle, this);
    QFont f = title->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 2);
    title->setFont(f);
    texts->addWidget(title);
    LabVersion = new QLabel(QStringLiteral("版本：") + kVersionText, this);
    LabVersion->setObjectName(QStringLiteral("LabVersion"));
    texts->addWidget(LabVersion);
    row->addLayout(texts, 1);
    layout->addLayout(row);
    BtnOk = new QPushButton(QStringLiteral("确定"), this);
    BtnOk->setObjectName(QStringLiteral("BtnOk"));
    BtnOk->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtnOk);
    layout->addLayout(buttons);
    connect(BtnOk, &QPushButton::clicked, this, &QDialog::accept);
}
