#include "BandedHeaderView.h"

#include "GridRoles.h"

#include <QPainter>

BandedHeaderView::BandedHeaderView(QWidget *parent) : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(true);
    setHighlightSections(false);
    setDefaultAlignment(Qt::AlignCenter);
}

void BandedHeaderView::setColors(const QColor &background, const QColor &text)
{
    m_background = background;
    m_text = text;
    viewport()->update();
}

QString BandedHeaderView::bandOf(int logicalIndex) const
{
    if (!model())
        return QString();
    const QVariant v = model()->headerData(logicalIndex, Qt::Horizontal, GridRoles::BandRole);
    return v.isValid() ? v.toString() : QString();
}

void BandedHeaderView::bandSpan(int visual, int *first, int *last) const
{
    const QString band = bandOf(logicalIndex(visual));
    int a = visual, b = visual;
    if (!band.isEmpty()) {
        while (a > 0 && bandOf(logicalIndex(a - 1)) == band)
            --a;
        while (b + 1 < count() && bandOf(logicalIndex(b + 1)) == band)
            ++b;
    }
    *first = a;
    *last = b;
}

int BandedHeaderView::rowHeight() const
{
    return fontMetrics().height() + 8;
}

QSize BandedHeaderView::sizeHint() const
{
    QSize s = QHeaderView::sizeHint();
    s.setHeight(2 * rowHeight());
    return s;
}

QSize BandedHeaderView::sectionSizeFromContents(int logicalIndex) const
{
    QSize s = QHeaderView::sectionSizeFromContents(logicalIndex);
    s.setHeight(2 * rowHeight());
    return s;
}

void BandedHeaderView::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    if (!rect.isValid() || !model())
        return;
    painter->save();
    const QString caption = model()->headerData(logicalIndex, Qt::Horizontal, Qt::DisplayRole).toString();
    const QString band = bandOf(logicalIndex);
    const QPen grid(m_text, 1);
    painter->setPen(Qt::NoPen);
    painter->fillRect(rect, m_background);
    painter->setPen(m_text);

    if (band.isEmpty()) {
        painter->drawText(rect.adjusted(2, 0, -2, 0), Qt::AlignCenter, caption);
    } else {
        const int half = rect.height() / 2;
        // The band row spans every section of the band; each section paints
        // the whole band so a partial repaint shows it complete.
        int first = 0, last = 0;
        bandSpan(visualIndex(logicalIndex), &first, &last);
        const int x0 = sectionViewportPosition(this->logicalIndex(first));
        const int x1 = sectionViewportPosition(this->logicalIndex(last)) + sectionSize(this->logicalIndex(last));
        const QRect bandRect(x0, rect.top(), x1 - x0, half);
        painter->setClipRect(rect);
        painter->fillRect(bandRect, m_background);
        painter->drawText(bandRect, Qt::AlignCenter, band);
        painter->setPen(grid);
        painter->drawLine(rect.left(), rect.top() + half, rect.right(), rect.top() + half);
        painter->setPen(m_text);
        painter->drawText(QRect(rect.left() + 2, rect.top() + half, rect.width() - 4, rect.height() - half),
                          Qt::AlignCenter, caption);
    }
    painter->setPen(grid);
    int first = 0, last = 0;
    bandSpan(visualIndex(logicalIndex), &first, &last);
    // Inside a band the column divider stops at the band row.
    const int top = (!band.isEmpty() && visualIndex(logicalIndex) != last) ? rect.top() + rect.height() / 2 : rect.top();
    painter->drawLine(rect.right(), top, rect.right(), rect.bottom());
    painter->restore();
}
