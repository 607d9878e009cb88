#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The login page's verification picture: the code's digits drawn with
// DigitFont on a light background with a sprinkle of noise dots, written as
// a GIF (89a, four colours, LZW-coded) by an encoder of its own.
class VerificationPicture
{
public:
    using Rgb = quint32; // 0xAARRGGBB

    static constexpr int kScale = 3;      // each font pixel is 3 x 3
    static constexpr int kHeight = 40;
    static constexpr int kGap = 4;        // free columns between two digits
    static constexpr int kMargin = 3;

    // The colours of the palette: background, digits, noise, unused.
    static constexpr Rgb kBackground = 0xFFF2F5FA;
    static constexpr Rgb kInk = 0xFF1A3D7C;
    static constexpr Rgb kNoise = 0xFF9AA8B8;

    static int widthFor(int digits);
    // `code` holds digits only. The layout (vertical offsets, noise) is
    // random, so two pictures of one code differ.
    static QByteArray render(const QString &code);

    // Palette-index image to GIF: `pixels` holds width * height indices < 4.
    static QByteArray encodeGif(int width, int height, const QList<Rgb> &palette,
                                const QByteArray &pixels);
    // LZW coding of GIF image data with the given minimum code size, as the
    // sub-block sequence that follows the code-size byte (terminator included).
    static QByteArray lzwBlocks(const QByteArray &pixels, int minCodeSize);
};
