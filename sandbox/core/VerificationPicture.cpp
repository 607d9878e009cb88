#include "VerificationPicture.h"

#include "DigitFont.h"

#include <QRandomGenerator>
#include <unordered_map>

namespace {

class BitWriter
{
public:
    void put(int code, int width)
    {
        m_acc |= static_cast<quint32>(code) << m_bits;
        m_bits += width;
        while (m_bits >= 8) {
            m_bytes += static_cast<char>(m_acc & 0xFF);
            m_acc >>= 8;
            m_bits -= 8;
        }
    }
    QByteArray finish()
    {
        if (m_bits > 0)
            m_bytes += static_cast<char>(m_acc & 0xFF);
        m_acc = 0;
        m_bits = 0;
        return m_bytes;
    }

private:
    QByteArray m_bytes;
    quint32 m_acc = 0;
    int m_bits = 0;
};

void putLe16(QByteArray &out, int v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

} // namespace

int VerificationPicture::widthFor(int digits)
{
    return 2 * kMargin + digits * DigitFont::kWidth * kScale + qMax(0, digits - 1) * kGap + 2;
}

QByteArray VerificationPicture::render(const QString &code)
{
    const int w = widthFor(code.size());
    const int h = kHeight;
    QByteArray pixels(w * h, 0);
    auto *rng = QRandomGenerator::global();

    for (int i = 0; i < w * h / 25; ++i)
        pixels[rng->bounded(w * h)] = 2;

    const int glyphW = DigitFont::kWidth * kScale;
    const int glyphH = DigitFont::kHeight * kScale;
    int x0 = kMargin + rng->bounded(3);
    for (QChar c : code) {
        const int digit = c.digitValue();
        const int y0 = 2 + rng->bounded(h - glyphH - 3);
        for (int gy = 0; gy < glyphH; ++gy)
            for (int gx = 0; gx < glyphW; ++gx)
                if (DigitFont::pixel(digit, gx / kScale, gy / kScale))
                    pixels[(y0 + gy) * w + x0 + gx] = 1;
        x0 += glyphW + kGap;
    }
    return encodeGif(w, h, {kBackground, kInk, kNoise, 0xFFFFFFFF}, pixels);
}

QByteArray VerificationPicture::encodeGif(int width, int height, const QList<Rgb> &palette,
                                          const QByteArray &pixels)
{
    QByteArray out("GIF89a");
    putLe16(out, width);
    putLe16(out, height);
    // Global colour table of four entries, eight bits per primary.
    out += static_cast<char>(0x80 | (7 << 4) | 1);
    out += '\0'; // background colour index
    out += '\0'; // pixel aspect ratio
    for (int i = 0; i < 4; ++i) {
        const Rgb c = i < palette.size() ? palette[i] : 0xFFFFFFFF;
        out += static_cast<char>((c >> 16) & 0xFF);
        out += static_cast<char>((c >> 8) & 0xFF);
        out += static_cast<char>(c & 0xFF);
    }
    out += ',';
    putLe16(out, 0);
    putLe16(out, 0);
    putLe16(out, width);
    putLe16(out, height);
    out += '\0'; // no local table, not interlaced
    const int minCodeSize = 2;
    out += static_cast<char>(minCodeSize);
    out += lzwBlocks(pixels, minCodeSize);
    out += ';';
    return out;
}

QByteArray VerificationPicture::lzwBlocks(const QByteArray &pixels, int minCodeSize)
{
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    BitWriter bits;
    std::unordered_map<quint32, int> table;
    int width = minCodeSize + 1;
    int next = clear + 2;

    auto reset = [&] {
        table.clear();
        width = minCodeSize + 1;
        next = clear + 2;
    };

    bits.put(clear, width);
    if (!pixels.isEmpty()) {
        int prefix = static_cast<unsigned char>(pixels[0]);
        for (qsizetype i = 1; i < pixels.size(); ++i) {
            const int k = static_cast<unsigned char>(pixels[i]);
            const quint32 key = (static_cast<quint32>(prefix) << 8) | static_cast<quint32>(k);
            auto it = table.find(key);
            if (it != table.end()) {
                prefix = it->second;
                continue;
            }
            bits.put(prefix, width);
            if (next < 4096) {
                table.emplace(key, next++);
                // The decoder widens its codes one entry behind the encoder:
                // once the next free code no longer fits, so do we.
                if (next > (1 << width) && width < 12)
                    ++width;
            } else {
                bits.put(clear, width);
                reset();
            }
            prefix = k;
        }
        bits.put(prefix, width);
    }
    bits.put(end, width);

    const QByteArray data = bits.finish();
    QByteArray blocks;
    for (qsizetype pos = 0; pos < data.size(); pos += 255) {
        const qsizetype n = qMin<qsizetype>(255, data.size() - pos);
        blocks += static_cast<char>(n);
        blocks += data.mid(pos, n);
    }
    blocks += '\0';
    return blocks;
}
