#include "RoundProgressGeometry.h"

#include <QtGlobal>

int RoundProgressGeometry::lineCount(int position, int min, int max, int width, int height)
{
    if (max <= min || width <= 0 || height <= 0)
        return 0;
    const qint64 full = 2LL * (width + height) - 1;
    const qint64 n = qint64(position) * full / (qint64(max) - min);
    return int(qBound<qint64>(0, n, full));
}

QPoint RoundProgressGeometry::borderPoint(int k, int width, int height)
{
    if (width <= 0 || height <= 0)
        return QPoint();
    const int w = width - 1;
    const int h = height - 1;
    const int perimeter = qMax(1, 2 * (w + h));
    // Position along the border measured clockwise from the top-left corner.
    int s = (width / 2 + k) % perimeter;
    if (s <= w)
        return QPoint(s, 0);
    s -= w;
    if (s <= h)
        return QPoint(w, s);
    s -= h;
    if (s <= w)
        return QPoint(w - s, h);
    s -= w;
    return QPoint(0, h - s);
}

QString RoundProgressGeometry::percentText(int position, int min, int max)
{
    if (max <= min)
        return QStringLiteral("0%");
    return QString::number(qint64(position) * 100 / (qint64(max) - min)) + QLatin1Char('%');
}
