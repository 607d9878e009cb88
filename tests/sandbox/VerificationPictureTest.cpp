// The verification picture must decode in an ordinary GIF reader and show
// the code's digits.

#include "PictureReader.h"
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

} // namespace

TEST(SandboxPictureTest, ShowsTheCodeInAPlainGifReader)
{
    for (const char *code : {"0123", "4567", "8901", "7777", "90"}) {
        const QByteArray gif = VerificationPicture::render(QString::fromLatin1(code));
        ASSERT_TRUE(gif.startsWith("GIF89a"));
        const QImage image = decode(gif);
        ASSERT_FALSE(image.isNull()) << code;
        EXPECT_EQ(image.width(), VerificationPicture::widthFor(int(qstrlen(code))));
        EXPECT_EQ(image.height(), VerificationPicture::kHeight);
        EXPECT_EQ(PictureReader::digits(image), QString::fromLatin1(code));
    }
}

TEST(SandboxPictureTest, TwoPicturesOfOneCodeDiffer)
{
    EXPECT_NE(VerificationPicture::render(QStringLiteral("1234")), VerificationPicture::render(QStringLiteral("1234")));
}

// Noise of four colours fills the LZW table many times over: every code width
// step and every table reset has to come out the way a decoder expects.
TEST(SandboxPictureTest, LzwCodingSurvivesFullTables)
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
