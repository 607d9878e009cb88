#pragma once
// A horizontal grid header with two rows: bands over groups of columns on
// top, the columns' own captions below. The model names each section's band
// with GridRoles::BandRole; adjacent sections with the same band caption
// form one band, and a section without a band shows its caption over both
// rows. Colours: text on a background (white on "#3598D9" by default).

#include <QColor>
#include <QHeaderView>

class BandedHeaderView : public QHeaderView
{
    Q_OBJECT
public:
    explicit BandedHeaderView(QWidget *parent = nullptr);

    void setColors(const QColor &background, const QColor &text);

    // The band caption of a section (empty: none).
    QString bandOf(int logicalIndex) const;
    // First and last visual index of the band holding the visual index.
    void bandSpan(int visualIndex, int *firstVisual, int *lastVisual) const;

    QSize sizeHint() const override;

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;
    QSize sectionSizeFromContents(int logicalIndex) const override;

private:
    int rowHeight() const;
    QColor m_background = QColor(0x35, 0x98, 0xD9);
    QColor m_text = Qt::white;
};
