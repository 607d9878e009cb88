// The verification picture must decode in an ordinary GIF reader and show
// the code's digits.

#include "DigitFont.h"
#include "VerificationPicture.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

QGuiApplication &app()
{
    static int argc = 1;
    static char name[] = "sandbox_picture_test";
    static char *argv[] = {name, nullptr};
    static QGuiApplication *instance = new QGuiApplication(argc, argv);
    return *instance;
}

QImage decode(const QByteArray &gif)
{
    app();
    QBuffer buffer;
    buffer.setData(gif);
    QImageReader reader(&buffer, "gif");
    return reader.read();
}

// Reads the digits of a picture the way a person would: wherever a digit's
// glyph, at the picture's scale, stands in ink with a clear cell around it.
QString readDigits(const QImage &image)
{
    const int s = VerificationPicture::kScale;
    const int w = DigitFont::kWidth * s;
    const int h = DigitFont::kHeight * s;
    auto ink = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < image.width() && y < image.height()
               && image.pixel(x, y) == VerificationPicture::kInk;
    };
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

} // namespace

TEST(VerificationPictureTest, ShowsTheCodeInAPlainGifReader)
{
    for (const char *code : {"0123", "4567", "8901", "7777", "90"}) {
        const QByteArray gif = VerificationPicture::render(QString::fromLatin1(code));
        ASSERT_TRUE(gif.startsWith("GIF89a"));
        const QImage image = decode(gif);
        ASSERT_FALSE(image.isNull()) << code;
        EXPECT_EQ(image.width(), VerificationPicture::widthFor(int(qstrlen(code))));
        EXPECT_EQ(image.height(), VerificationPicture::kHeight);
        EXPECT_EQ(readDigits(image), QString::fromLatin1(code));
    }
}

TEST(VerificationPictureTest, TwoPicturesOfOneCodeDiffer)
{
    EXPECT_NE(VerificationPicture::render(QStringLiteral("1234")), VerificationPicture::render(QStringLiteral("1234")));
}

// Noise of four colours fills the LZW table many times over: every code width
// step and every table reset has to come out the way a decoder expects.
TEST(VerificationPictureTest, LzwCodingSurvivesFullTables)
{
    const int w = 301, h = 257;
    QByteArray pixels(w * h, '\0');
    for (int i = 0; i < pixels.size(); ++i)
        pixels[i] = char(i % 7 < 3 ? (i / 7) % 4 : QRandomGenerator::global()->bounded(4));
    const QList<VerificationPicture::Rgb> palette = {0xFF000000, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
    const QImage image = decode(VerificationPicture::encodeGif(w, h, palette, pixels));
    ASSERT_FALSE(image.isNull());
    ASSERT_EQ(image.size(), QSize(w, h));
    int wrong = 0;
    for (int i = 0; i < pixels.size(); ++i)
        wrong += image.pixel(i % w, i / w) != palette[pixels[i]];
    EXPECT_EQ(wrong, 0);
}
