#pragma once
// The upgrade program's round progress bar: lines from the centre to the
// border sweep clockwise from the top centre as Position grows, with the
// percentage in the middle and a sunken border. It draws into an
// off-screen picture and copies it on paint.

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QWidget>

class TRoundProgressBar : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int Min READ Min WRITE setMin)
    Q_PROPERTY(int Max READ Max WRITE setMax)
    Q_PROPERTY(int Position READ Position WRITE setPosition)
    Q_PROPERTY(QColor TextColor READ TextColor WRITE setTextColor)
    Q_PROPERTY(QColor LineColor READ LineColor WRITE setLineColor)
    Q_PROPERTY(QFont TextFont READ TextFont WRITE setTextFont)
    Q_PROPERTY(bool DispText READ DispText WRITE setDispText)

public:
    explicit TRoundProgressBar(QWidget *parent = nullptr);

    int Min() const { return m_min; }
    int Max() const { return m_max; }
    int Position() const { return m_position; }
    QColor TextColor() const { return m_textColor; }
    QColor LineColor() const { return m_lineColor; }
    QFont TextFont() const { return m_textFont; }
    bool DispText() const { return m_dispText; }

    void setMin(int value);
    void setMax(int value);
    // Clamped into [Min, Max].
    void setPosition(int value);
    void setTextColor(const QColor &c);
    void setLineColor(const QColor &c);
    void setTextFont(const QFont &f);
    void setDispText(bool on);
    // Adds 1 to Position.
    void step();

    // The current picture (what paintEvent copies).
    QImage render() const;

    QSize sizeHint() const override { return QSize(80, 80); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void redraw();

    int m_min = 0;
    int m_max = 100;
    int m_position = 0;
    QColor m_textColor = Qt::black;
    QColor m_lineColor = Qt::blue;
    QFont m_textFont;
    bool m_dispText = true;
    QPixmap m_picture;
};
