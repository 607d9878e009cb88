#include "PictureReader.h"

#include "DigitFont.h"
#include "VerificationPicture.h"

#include <QMap>

QString PictureReader::digits(const QImage &image)
{
    const int s = VerificationPicture::kScale;
    const int w = DigitFont::kWidth * s;
    const int h = DigitFont::kHeight * s;
    auto ink = [&](int x, int y) { return image.pixel(x, y) == VerificationPicture::kInk; };
    QMap<int, int> found; // x -> digit
    for (int y = 0; y + h <= image.height(); ++y) {
        for (int x = 0; x + w <= image.width(); ++x) {
            for (int d = 0; d < 10; ++d) {
                bool match = true;
                for (int gy = 0; gy < h && match; ++gy)
                    for (int gx = 0; gx < w && match; ++gx)
                        match = ink(x + gx, y + gy) == DigitFont::pixel(d, gx / s, gy / s);
                if (match)
                    found.insert(x, d);
            }
        }
    }
    QString out;
    for (int d : found)
        out += QChar(u'0' + d);
    return out;
}
