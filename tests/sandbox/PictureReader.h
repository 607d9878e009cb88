#pragma once

#include <QImage>
#include <QString>

// Reads the digits of a verification picture the way a person would:
// wherever a digit's glyph, at the picture's scale, stands in ink with a
// clear cell around it. Left to right.
class PictureReader
{
public:
    static QString digits(const QImage &picture);
};
