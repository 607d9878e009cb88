#include "TRoundProgressBar.h"

#include "RoundProgressGeometry.h"

#include <QPainter>
#include <QPalette>

TRoundProgressBar::TRoundProgressBar(QWidget *parent)
    : QWidget(parent)
    , m_textFont(font())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TRoundProgressBar::setMin(int value)
{
    m_min = value;
    if (m_max < m_min)
        m_max = m_min;
    setPosition(m_position);
}

void TRoundProgressBar::setMax(int value)
{
    m_max = value;
    if (m_min > m_max)
        m_min = m_max;
    setPosition(m_position);
}

void TRoundProgressBar::setPosition(int value)
{
    m_position = qBound(m_min, value, m_max);
    redraw();
}

void TRoundProgressBar::setTextColor(const QColor &c)
{
    m_textColor = c;
    redraw();
}

void TRoundProgressBar::setLineColor(const QColor &c)
{
    m_lineColor = c;
    redraw();
}

void TRoundProgressBar::setTextFont(const QFont &f)
{
    m_textFont = f;
    redraw();
}

void TRoundProgressBar::setDispText(bool on)
{
    m_dispText = on;
    redraw();
}

void TRoundProgressBar::step()
{
    setPosition(m_position + 1);
}

QImage TRoundProgressBar::render() const
{
    return m_picture.toImage();
}

void TRoundProgressBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    redraw();
}

void TRoundProgressBar::redraw()
{
    const int w = width();
    const int h = height();
    if (w <= 0 || h <= 0)
        return;
    QPixmap pm(w, h);
    const QPalette pal = palette();
    pm.fill(pal.color(QPalette::Button));
    QPainter p(&pm);
    p.setPen(m_lineColor);
    const QPoint centre(w / 2, h / 2);
    const int lines = RoundProgressGeometry::lineCount(m_position, m_min, m_max, w, h);
    for (int k = 0; k < lines; ++k)
        p.drawLine(centre, RoundProgressGeometry::borderPoint(k, w, h));
    if (m_dispText) {
        p.setPen(m_textColor);
        p.setFont(m_textFont);
        p.drawText(QRect(0, 0, w, h), Qt::AlignCenter, RoundProgressGeometry::percentText(m_position, m_min, m_max));
    }
    // Sunken border: shadow on the top and left, highlight on the bottom and right.
    p.setPen(pal.color(QPalette::Dark));
    p.drawLine(0, 0, w - 1, 0);
    p.drawLine(0, 0, 0, h - 1);
    p.setPen(pal.color(QPalette::Light));
    p.drawLine(0, h - 1, w - 1, h - 1);
    p.drawLine(w - 1, 0, w - 1, h - 1);
    p.end();
    m_picture = pm;
    update();
}

void TRoundProgressBar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (m_picture.size() != size())
        redraw();
    p.drawPixmap(0, 0, m_picture);
}
