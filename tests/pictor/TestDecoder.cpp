#include "TestDecoder.h"

TestDecoder::TestDecoder(std::vector<uint8_t> gif)
    : m_gif(std::move(gif)), m_record(CreateDecoder(), ReleaseDecoder)
{
    m_opened = GifSetSource(m_record.get(), m_gif.data(), m_gif.size()) == 1;
}

int TestDecoder::walk()
{
    int frames = 0;
    // Bounded: each frame call moves past at least one byte of the source.
    for (size_t i = 0; i <= m_gif.size() + 1; ++i) {
        if (GifParseControl(m_record.get()) == PICTOR_END_OF_PICTURE)
            return frames;
        ++frames;
    }
    return -1;
}

std::vector<std::string> TestDecoder::rows() const
{
    std::vector<std::string> out;
    const PictorBitmap *canvas = m_record->Bitmap;
    if (!canvas)
        return out;
    static const char digits[] = "0123456789abcdef";
    for (int y = 0; y < canvas->height; ++y) {
        std::string row;
        for (int x = 0; x < canvas->width; ++x) {
            const uint8_t v = canvas->bits[size_t(y) * canvas->stride + x];
            row += v < 16 ? digits[v] : '?';
        }
        out.push_back(row);
    }
    return out;
}

std::vector<std::string> TestDecoder::maskRows() const
{
    std::vector<std::string> out;
    const PictorBitmap *mask = m_record->Mask;
    if (!mask)
        return out;
    for (int y = 0; y < mask->height; ++y) {
        std::string row;
        for (int x = 0; x < mask->width; ++x)
            row += (mask->bits[size_t(y) * mask->stride + x / 8] & (0x80 >> (x % 8))) ? '1' : '0';
        out.push_back(row);
    }
    return out;
}

uint8_t TestDecoder::pixel(unsigned x, unsigned y) const
{
    return m_record->Bitmap->bits[size_t(y) * m_record->Bitmap->stride + x];
}
