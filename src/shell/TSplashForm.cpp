#include "TSplashForm.h"

#include "Startup.h"

#include <QApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

namespace {

QPixmap splashPicture()
{
    QPixmap pm(420, 220);
    QPainter p(&pm);
    QLinearGradient g(0, 0, 0, pm.height());
    g.setColorAt(0, QColor(0x35, 0x98, 0xD9));
    g.setColorAt(1, QColor(0x1B, 0x4F, 0x8A));
    p.fillRect(pm.rect(), g);
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setPointSize(22);
    f.setBold(true);
    p.setFont(f);
    p.drawText(pm.rect().adjusted(0, 0, 0, -40), Qt::AlignCenter, kProductTitle);
    f.setPointSize(10);
    f.setBold(false);
    p.setFont(f);
    p.drawText(pm.rect().adjusted(0, 0, -12, -8), Qt::AlignRight | Qt::AlignBottom, kVersionText);
    return pm;
}

} // namespace

TSplashForm::TSplashForm(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_picture(new QLabel(this)), lbStatusText(new QLabel(this))
{
    setObjectName(QStringLiteral("TSplashForm"));
    lbStatusText->setObjectName(QStringLiteral("lbStatusText"));
    m_picture->setPixmap(splashPicture());
    lbStatusText->setStyleSheet(QStringLiteral("color: #1B4F8A; padding: 4px;"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_picture);
    layout->addWidget(lbStatusText);
    adjustSize();
    if (const QScreen *screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TSplashForm::showStatus(const QString &text)
{
    if (!text.isEmpty())
        lbStatusText->setText(text);
    show();
    raise();
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QString TSplashForm::statusText() const
{
    return lbStatusText->text();
}
