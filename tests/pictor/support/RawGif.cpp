#include "RawGif.h"

#include <algorithm>
#include <cstddef>
#include <map>

std::vector<uint8_t> packCodes(unsigned minCodeSize, const std::vector<unsigned> &codes)
{
    const unsigned clear = 1u << minCodeSize;
    unsigned next = clear + 2, size = minCodeSize + 1;
    bool firstAfterClear = true;
    std::vector<uint8_t> out;
    uint32_t acc = 0;
    unsigned count = 0;
    for (unsigned code : codes) {
        acc |= (code & ((1u << size) - 1)) << count;
        count += size;
        while (count >= 8) {
            out.push_back(uint8_t(acc));
            acc >>= 8;
            count -= 8;
        }
        if (code == clear) {
            next = clear + 2;
            size = minCodeSize + 1;
            firstAfterClear = true;
            continue;
        }
        if (!firstAfterClear && next < 4096)
            ++next;
        if (next >= (1u << size) && size < 12 && (firstAfterClear || next == (1u << size)))
            ++size;
        firstAfterClear = false;
    }
    if (count)
        out.push_back(uint8_t(acc));
    return out;
}

std::vector<unsigned> literalCodes(unsigned minCodeSize, const std::vector<uint8_t> &pixels)
{
    const unsigned clear = 1u << minCodeSize;
    std::vector<unsigned> codes{clear};
    unsigned sinceClear = 0;
    for (uint8_t p : pixels) {
        if (++sinceClear == 3000) {
            codes.push_back(clear);
            sinceClear = 1;
        }
        codes.push_back(p);
    }
    codes.push_back(clear + 1);
    return codes;
}

std::vector<unsigned> lzwCodes(unsigned minCodeSize, const std::vector<uint8_t> &pixels)
{
    const unsigned clear = 1u << minCodeSize;
    std::vector<unsigned> codes{clear};
    std::map<std::pair<unsigned, uint8_t>, unsigned> table;
    unsigned next = clear + 2;
    if (!pixels.empty()) {
        unsigned current = pixels[0];
        for (size_t i = 1; i < pixels.size(); ++i) {
            const auto key = std::make_pair(current, pixels[i]);
            if (auto it = table.find(key); it != table.end()) {
                current = it->second;
                continue;
            }
            codes.push_back(current);
            if (next < 4096) {
                table[key] = next++;
            } else {
                codes.push_back(clear);
                table.clear();
                next = clear + 2;
            }
            current = pixels[i];
        }
        codes.push_back(current);
    }
    codes.push_back(clear + 1);
    return codes;
}

void RawGif::put16(unsigned v)
{
    m_out.push_back(uint8_t(v));
    m_out.push_back(uint8_t(v >> 8));
}

RawGif &RawGif::header(unsigned width, unsigned height, unsigned globalBits, uint8_t background,
                       const char *signature)
{
    m_out.insert(m_out.end(), signature, signature + 6);
    put16(width);
    put16(height);
    m_out.push_back(uint8_t(globalBits ? 0xF0 | (globalBits - 1) : 0x70));
    m_out.push_back(background);
    m_out.push_back(0);
    for (unsigned i = 0; globalBits && i < (1u << globalBits); ++i) {
        m_out.push_back(uint8_t(i));
        m_out.push_back(uint8_t(2 * i));
        m_out.push_back(uint8_t(3 * i));
    }
    return *this;
}

RawGif &RawGif::control(unsigned disposal, int transparent, unsigned delay)
{
    m_out.insert(m_out.end(), {0x21, 0xF9, 4});
    m_out.push_back(uint8_t((disposal & 7) << 2 | (transparent >= 0 ? 1 : 0)));
    put16(delay);
    m_out.push_back(uint8_t(transparent >= 0 ? transparent : 0));
    m_out.push_back(0);
    return *this;
}

RawGif &RawGif::comment(const std::string &text)
{
    m_out.insert(m_out.end(), {0x21, 0xFE});
    for (size_t i = 0; i < text.size(); i += 255) {
        const size_t n = std::min<size_t>(255, text.size() - i);
        m_out.push_back(uint8_t(n));
        m_out.insert(m_out.end(), text.begin() + std::ptrdiff_t(i), text.begin() + std::ptrdiff_t(i + n));
    }
    m_out.push_back(0);
    return *this;
}

RawGif &RawGif::image(unsigned left, unsigned top, unsigned width, unsigned height, bool interlaced,
                      unsigned localBits)
{
    m_out.push_back(0x2C);
    put16(left);
    put16(top);
    put16(width);
    put16(height);
    m_out.push_back(uint8_t((localBits ? 0x80 | (localBits - 1) : 0) | (interlaced ? 0x40 : 0)));
    for (unsigned i = 0; localBits && i < (1u << localBits); ++i) {
        m_out.push_back(uint8_t(255 - i));
        m_out.push_back(uint8_t(i));
        m_out.push_back(128);
    }
    return *this;
}

RawGif &RawGif::data(unsigned minCodeSize, const std::vector<uint8_t> &packed, size_t blockSize)
{
    m_out.push_back(uint8_t(minCodeSize));
    for (size_t i = 0; i < packed.size(); i += blockSize) {
        const size_t n = std::min(blockSize, packed.size() - i);
        m_out.push_back(uint8_t(n));
        m_out.insert(m_out.end(), packed.begin() + std::ptrdiff_t(i), packed.begin() + std::ptrdiff_t(i + n));
    }
    m_out.push_back(0);
    return *this;
}

RawGif &RawGif::pixels(unsigned minCodeSize, const std::vector<uint8_t> &pixels)
{
    return data(minCodeSize, packCodes(minCodeSize, literalCodes(minCodeSize, pixels)));
}

RawGif &RawGif::lzw(unsigned minCodeSize, const std::vector<uint8_t> &pixels)
{
    return data(minCodeSize, packCodes(minCodeSize, lzwCodes(minCodeSize, pixels)));
}

RawGif &RawGif::bytes(std::initializer_list<uint8_t> raw)
{
    m_out.insert(m_out.end(), raw);
    return *this;
}

RawGif &RawGif::bytes(const std::vector<uint8_t> &raw)
{
    m_out.insert(m_out.end(), raw.begin(), raw.end());
    return *this;
}

RawGif &RawGif::trailer()
{
    m_out.push_back(0x3B);
    return *this;
}
