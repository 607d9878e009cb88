// Writes GIF streams byte by byte, including ones no encoder would produce:
// arbitrary LZW code sequences, odd sub-block layouts, cut-off data.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

// Packs LZW codes least significant bit first with the width a decoder reads
// them at: minimum code size + 1 after a clear, one wider each time the next
// free code reaches the width's limit, at most 12.
std::vector<uint8_t> packCodes(unsigned minCodeSize, const std::vector<unsigned> &codes);

// Clear, every pixel as a root code (a clear again well before the table
// fills), end.
std::vector<unsigned> literalCodes(unsigned minCodeSize, const std::vector<uint8_t> &pixels);

// A real LZW encoding (longest match, clear when the table is full), so
// that codes stand for long strings.
std::vector<unsigned> lzwCodes(unsigned minCodeSize, const std::vector<uint8_t> &pixels);

class RawGif
{
public:
    // Signature, logical screen and, with globalBits > 0, a global table of
    // 2^globalBits colours where colour i is (i, 2i, 3i) mod 256.
    RawGif &header(unsigned width, unsigned height, unsigned globalBits, uint8_t background = 0,
                   const char *signature = "GIF89a");
    RawGif &control(unsigned disposal, int transparent = -1, unsigned delay = 0);
    RawGif &comment(const std::string &text);
    // Image descriptor and, with localBits > 0, a local table (colour i is
    // (255 - i, i, 128)).
    RawGif &image(unsigned left, unsigned top, unsigned width, unsigned height, bool interlaced = false,
                  unsigned localBits = 0);
    // Minimum code size, the packed bytes in sub-blocks of blockSize, terminator.
    RawGif &data(unsigned minCodeSize, const std::vector<uint8_t> &packed, size_t blockSize = 255);
    // A whole frame of literal codes.
    RawGif &pixels(unsigned minCodeSize, const std::vector<uint8_t> &pixels);
    // A whole frame LZW-encoded.
    RawGif &lzw(unsigned minCodeSize, const std::vector<uint8_t> &pixels);
    RawGif &bytes(std::initializer_list<uint8_t> raw);
    RawGif &bytes(const std::vector<uint8_t> &raw);
    RawGif &trailer();

    const std::vector<uint8_t> &out() const { return m_out; }

private:
    void put16(unsigned v);
    std::vector<uint8_t> m_out;
};
