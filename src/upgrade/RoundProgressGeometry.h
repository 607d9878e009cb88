#pragma once
// The drawing rule of the round progress bar: lines from the centre to
// successive border pixels, starting at the top centre and walking
// clockwise one pixel per line (right along the top edge, down the right
// edge, left along the bottom, up the left edge).

#include <QPoint>
#include <QString>

class RoundProgressGeometry
{
public:
    // How many lines Position stands for: Position * (2*(w+h) - 1) / (Max - Min),
    // within [0, 2*(w+h) - 1]; 0 when Max <= Min.
    static int lineCount(int position, int min, int max, int width, int height);
    // The border pixel of the k-th line (k counted from 0).
    static QPoint borderPoint(int k, int width, int height);
    // The percentage text: Position * 100 / (Max - Min) and "%".
    static QString percentText(int position, int min, int max);
};
