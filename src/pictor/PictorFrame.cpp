// Decoding one frame: disposal, the LZW image data, interlacing and the
// transparency mask.
//
// The code table keeps, beside each code's first and last character and its
// prefix, the string's length and its last (up to) eight characters with the
// code that holds the part before them. A string is then written straight
// into the canvas row from its end, eight bytes at a time, when it fits in
// the row; otherwise (row ends, clipping, transparency) it is spelled into
// the record's stack first and laid out pixel row by pixel row.
#include "PictorInternal.h"

namespace {

using pictor::bytesLeft;
using pictor::readLe16;

constexpr unsigned kTableSize = 4096;
constexpr unsigned kMaxCodeSize = 12;
constexpr unsigned kPassStart[4] = {0, 4, 2, 1};
constexpr unsigned kPassStep[4] = {8, 8, 4, 2};

template <typename T> inline T load(const uint8_t *p)
{
    T v;
    memcpy(&v, p, sizeof v);
    return v;
}

template <typename T> inline void store(uint8_t *p, T v)
{
    memcpy(p, &v, sizeof v);
}

inline unsigned minOf(unsigned a, unsigned b)
{
    return a < b ? a : b;
}

// Copies 1 to 8 bytes without writing beyond them.
inline void copyShort(uint8_t *dst, const uint8_t *src, unsigned n)
{
    if (n >= 4) {
        uint32_t a = load<uint32_t>(src);
        uint32_t b = load<uint32_t>(src + n - 4);
        store(dst, a);
        store(dst + n - 4, b);
    } else {
        dst[0] = src[0];
        if (n > 1) {
            dst[1] = src[1];
            if (n > 2)
                dst[2] = src[2];
        }
    }
}

// The record's code tables, reached byte-wise because the record is packed.
struct CodeTable {
    uint8_t *first;
    uint8_t *last;
    uint8_t *prefix;
    uint8_t *length;
    uint8_t *chunkPrefix;
    uint8_t *chunks;
    unsigned clear = 0;
    unsigned end = 0;
    unsigned next = 0;
    unsigned size = 0;
    unsigned limit = 0;
    unsigned minCodeSize = 0;

    explicit CodeTable(GIFDECINFO *r)
    {
        auto *base = reinterpret_cast<uint8_t *>(r);
        first = base + offsetof(GIFDECINFO, First);
        last = base + offsetof(GIFDECINFO, Last);
        prefix = base + offsetof(GIFDECINFO, Prefix);
        length = base + offsetof(GIFDECINFO, StringLength);
        chunkPrefix = base + offsetof(GIFDECINFO, ChunkPrefix);
        chunks = base + offsetof(GIFDECINFO, ChunkBytes);
    }

    unsigned lengthOf(unsigned code) const { return load<uint16_t>(length + 2 * code); }
    int chunkPrefixOf(unsigned code) const { return load<int16_t>(chunkPrefix + 2 * code); }

    void restartWidth()
    {
        next = end + 1;
        size = minCodeSize + 1;
        limit = 1u << size;
    }

    // The whole table from scratch: root codes, every other entry free.
    void resetAll(unsigned codeSize)
    {
        minCodeSize = codeSize;
        clear = 1u << codeSize;
        end = clear + 1;
        for (unsigned c = 0; c < clear; ++c) {
            store<int16_t>(prefix + 2 * c, -1);
            first[c] = last[c] = uint8_t(c);
            store<uint16_t>(length + 2 * c, 1);
            store<int16_t>(chunkPrefix + 2 * c, -1);
            chunks[8 * c] = uint8_t(c);
        }
        for (unsigned c = clear; c < kTableSize; ++c)
            store<int16_t>(prefix + 2 * c, -2);
        restartWidth();
    }

    // At a clear code: the entries added since the last reset become free.
    void reset()
    {
        for (unsigned c = end + 1; c < next; ++c)
            store<int16_t>(prefix + 2 * c, -2);
        restartWidth();
    }

    // With a minimum code size of 1 the first free code already needs the
    // wider width once the first code after a clear has been read.
    void widenAfterFirstCode()
    {
        if (next >= limit && size < kMaxCodeSize) {
            ++size;
            limit <<= 1;
        }
    }

    // A new entry: the string of `prefixCode` followed by `byte`.
    void add(unsigned prefixCode, uint8_t byte)
    {
        const unsigned n = next;
        const unsigned prefixLength = lengthOf(prefixCode);
        store<uint16_t>(length + 2 * n, uint16_t(prefixLength + 1));
        uint8_t *chunk = chunks + 8 * n;
        const unsigned used = prefixLength & 7;
        if (used) {
            memcpy(chunk, chunks + 8 * prefixCode, 8);
            chunk[used] = byte;
            memcpy(chunkPrefix + 2 * n, chunkPrefix + 2 * prefixCode, 2);
        } else {
            chunk[0] = byte;
            store<int16_t>(chunkPrefix + 2 * n, int16_t(prefixCode));
        }
        store<int16_t>(prefix + 2 * n, int16_t(prefixCode));
        first[n] = first[prefixCode];
        last[n] = byte;
        next = n + 1;
        if (next == limit && size < kMaxCodeSize) {
            ++size;
            limit <<= 1;
        }
    }

    // Writes the string of `code` into the bytes just before `end`.
    void spell(unsigned code, uint8_t *endOfString) const
    {
        const unsigned n = ((lengthOf(code) - 1) & 7) + 1;
        uint8_t *p = endOfString - n;
        copyShort(p, chunks + 8 * code, n);
        for (int c = chunkPrefixOf(code); c >= 0; c = chunkPrefixOf(unsigned(c))) {
            p -= 8;
            memcpy(p, chunks + 8 * unsigned(c), 8);
        }
    }
};

// Where the frame's pixels go: the row sequence (plain or interlaced) and the
// part of each row that lies on the canvas.
struct FrameOutput {
    uint8_t *bits;
    uint8_t *maskBits;
    size_t stride;
    size_t maskStride;
    unsigned left;
    unsigned top;
    unsigned width;
    unsigned height;
    unsigned visibleWidth; // columns of a row that lie on the canvas
    unsigned screenHeight;
    bool interlaced;
    bool transparent;
    uint8_t transparentIndex;

    unsigned pass = 0;
    unsigned y = 0;   // frame row
    unsigned col = 0; // frame column of the next pixel
    uint8_t *row = nullptr; // canvas byte of frame column 0, none when the row is off the canvas
    uint8_t *maskRow = nullptr;
    bool done = false;

    void start()
    {
        if (width == 0 || height == 0)
            finish();
        else
            enterRow();
    }

    void finish()
    {
        done = true;
        pass = 4;
        row = nullptr;
    }

    void enterRow()
    {
        col = 0;
        const unsigned canvasRow = top + y;
        if (visibleWidth && canvasRow < screenHeight) {
            row = bits + canvasRow * stride + left;
            maskRow = maskBits + canvasRow * maskStride;
        } else {
            row = nullptr;
        }
    }

    void nextRow()
    {
        if (!interlaced) {
            if (++y >= height)
                return finish();
        } else {
            // Passes that have no row in a short frame are passed over.
            y += kPassStep[pass];
            while (y >= height) {
                if (++pass == 4)
                    return finish();
                y = kPassStart[pass];
            }
        }
        enterRow();
    }

    void draw(unsigned at, const uint8_t *s, unsigned n)
    {
        if (!transparent) {
            memcpy(row + at, s, n);
            return;
        }
        const unsigned x = left + at;
        for (unsigned i = 0; i < n; ++i) {
            if (s[i] != transparentIndex) {
                row[at + i] = s[i];
                maskRow[(x + i) >> 3] |= uint8_t(0x80u >> ((x + i) & 7));
            }
        }
    }

    // Lays out n pixels across rows; pixels past the frame's end are dropped.
    void put(const uint8_t *s, unsigned n)
    {
        while (n && !done) {
            const unsigned k = minOf(n, width - col);
            if (row && col < visibleWidth)
                draw(col, s, minOf(col + k, visibleWidth) - col);
            col += k;
            s += k;
            n -= k;
            if (col == width)
                nextRow();
        }
    }
};

// Skips data sub-blocks up to and including the zero-length terminator.
const uint8_t *skipSubBlocks(const uint8_t *p, const uint8_t *end)
{
    while (p < end) {
        const unsigned length = *p++;
        if (length == 0)
            break;
        const size_t left = size_t(end - p);
        p += length < left ? length : left;
    }
    return p;
}

// Bits of the image data, least significant first, across its sub-blocks.
// A zero-length sub-block or the end of the source ends the data.
struct BitReader {
    const uint8_t *cur;
    const uint8_t *blockEnd;
    const uint8_t *end;
    uint64_t bits = 0;
    unsigned count = 0;
    bool exhausted = false;
    bool terminated = false; // the zero-length terminator has been read

    BitReader(const uint8_t *p, const uint8_t *sourceEnd) : cur(p), blockEnd(p), end(sourceEnd) {}

    // Moves to the next sub-block; once the data has ended, cur stays on
    // blockEnd so nothing more is read.
    bool nextBlock()
    {
        if (exhausted)
            return false;
        if (cur < end) {
            const unsigned length = *cur++;
            const size_t left = size_t(end - cur);
            blockEnd = cur + (length < left ? length : left);
            if (length == 0)
                terminated = true;
            else if (cur < blockEnd)
                return true;
        }
        blockEnd = cur;
        exhausted = true;
        return false;
    }

    void refill()
    {
        if (blockEnd - cur >= 8) {
            // Eight bytes of the block at once; the bytes beyond the whole
            // ones taken sit above `count` and are the same ones the next
            // refill puts there.
            bits |= load<uint64_t>(cur) << count;
            cur += (63 - count) >> 3;
            count |= 56;
            return;
        }
        while (count <= 56) {
            if (cur == blockEnd && !nextBlock())
                return;
            bits |= uint64_t(*cur++) << count;
            count += 8;
        }
    }
};

void copyRect(uint8_t *dst, const uint8_t *src, size_t stride, unsigned left, unsigned top, unsigned right,
              unsigned bottom, unsigned screenWidth, unsigned screenHeight)
{
    right = minOf(right, screenWidth);
    bottom = minOf(bottom, screenHeight);
    if (left >= right)
        return;
    for (unsigned y = top; y < bottom; ++y)
        memcpy(dst + y * stride + left, src + y * stride + left, right - left);
}

// The LZW image data at p (its minimum code size byte first); returns the
// position after the data's terminator.
const uint8_t *decodeImageData(GIFDECINFO *r, const uint8_t *p, unsigned left, unsigned top, unsigned width,
                               unsigned height)
{
    const uint8_t *end = r->SourceEnd;
    if (p >= end)
        return end;
    const unsigned minCodeSize = *p++;
    r->MinCodeSize = uint8_t(minCodeSize);
    r->BlockLeft = 0;
    r->BitsLeft = 0;
    r->BitBuffer = 0;
    r->Pass = 0;

    FrameOutput out;
    out.bits = r->Bits;
    out.maskBits = r->MaskBits;
    out.stride = size_t(r->Stride);
    out.maskStride = size_t(r->MaskStride);
    out.left = left;
    out.top = top;
    out.width = width;
    out.height = height;
    out.visibleWidth = left < r->ScreenWidth ? minOf(width, r->ScreenWidth - left) : 0;
    out.screenHeight = r->ScreenHeight;
    out.interlaced = r->Interlaced != 0;
    out.transparent = r->HasTransparency != 0;
    out.transparentIndex = r->TransparentIndex;

    BitReader in(p, end);
    if (minCodeSize >= 1 && minCodeSize < kMaxCodeSize) {
        CodeTable table(r);
        table.resetAll(minCodeSize);
        r->ClearCode = uint16_t(table.clear);
        r->EndCode = uint16_t(table.end);
        out.start();
        uint8_t *stackEnd = reinterpret_cast<uint8_t *>(r) + offsetof(GIFDECINFO, Stack) + kTableSize;
        const bool transparent = out.transparent;
        int old = -1;
        while (!out.done) {
            if (in.count < table.size) {
                in.refill();
                if (in.count < table.size)
                    break; // the data ended without an end code
            }
            const unsigned code = unsigned(in.bits) & ((1u << table.size) - 1);
            in.bits >>= table.size;
            in.count -= table.size;

            if (code < table.clear) {
                if (old >= 0 && table.next < kTableSize)
                    table.add(unsigned(old), uint8_t(code));
                const uint8_t value = uint8_t(code);
                if (!transparent && out.row && out.col < out.visibleWidth) {
                    out.row[out.col] = value;
                    if (++out.col == width)
                        out.nextRow();
                } else {
                    out.put(&value, 1);
                }
                if (old < 0)
                    table.widenAfterFirstCode();
                old = int(code);
                continue;
            }
            if (code == table.clear) {
                table.reset();
                old = -1;
                continue;
            }
            if (code == table.end)
                break;
            if (code < table.next) {
                if (old >= 0 && table.next < kTableSize)
                    table.add(unsigned(old), table.first[code]);
            } else if (code == table.next && old >= 0) {
                // The string being defined: the previous one plus its own first character.
                table.add(unsigned(old), table.first[old]);
            } else {
                break; // a code the table does not hold
            }
            const unsigned length = table.lengthOf(code);
            if (!transparent && out.row && out.col + length <= out.visibleWidth) {
                table.spell(code, out.row + out.col + length);
                out.col += length;
                if (out.col == width)
                    out.nextRow();
            } else {
                table.spell(code, stackEnd);
                out.put(stackEnd - length, length);
            }
            old = int(code);
        }
        r->NextCode = int16_t(table.next);
        r->CodeSize = int16_t(table.size);
        r->CodeLimit = int16_t(table.limit);
    }
    // Any other code size builds no table: the frame stays undrawn.

    // Where the next pixel would go, kept inside the canvas.
    const unsigned nextX = left + out.col;
    const unsigned nextY = top + (out.done ? height : out.y);
    const size_t canvasSize = out.stride * r->ScreenHeight;
    const size_t maskSize = out.maskStride * r->ScreenHeight;
    const size_t pixelOffset = size_t(nextY) * out.stride + nextX;
    const size_t maskOffset = size_t(nextY) * out.maskStride + nextX / 8;
    r->PixelPos = r->Bits + (pixelOffset < canvasSize ? pixelOffset : canvasSize);
    r->MaskPos = r->MaskBits + (maskOffset < maskSize ? maskOffset : maskSize);
    r->MaskBit = uint8_t(0x80u >> (nextX & 7));
    r->X = int16_t(minOf(nextX, 0x7FFF));
    r->Y = int16_t(minOf(nextY, 0x7FFF));
    r->Pass = int16_t(out.pass);
    r->BlockLeft = int16_t(in.blockEnd - in.cur);

    if (in.terminated)
        return in.cur;
    return skipSubBlocks(in.blockEnd, end);
}

} // namespace

namespace pictor {

void decodeFrame(GIFDECINFO *r)
{
    const uint8_t *p = r->Cursor;
    const uint8_t *end = r->SourceEnd;
    if (bytesLeft(r, p) < 10) {
        r->Cursor = end; // a descriptor cut off by the end of the source
        return;
    }
    const unsigned left = readLe16(p + 1);
    const unsigned top = readLe16(p + 3);
    const unsigned width = readLe16(p + 5);
    const unsigned height = readLe16(p + 7);
    const uint8_t flags = p[9];
    p += 10;
    r->Interlaced = (flags & 0x40) ? 1 : 0;

    // The frame rectangle as far as it lies on the logical screen.
    const unsigned screenWidth = r->ScreenWidth;
    const unsigned screenHeight = r->ScreenHeight;
    r->FrameLeft = uint16_t(minOf(left, screenWidth));
    r->FrameTop = uint16_t(minOf(top, screenHeight));
    r->FrameRight = uint16_t(minOf(left + width, screenWidth));
    r->FrameBottom = uint16_t(minOf(top + height, screenHeight));

    if (flags & 0x80) {
        const unsigned bits = (flags & 7) + 1;
        const size_t tableSize = size_t(3) << bits;
        const size_t available = bytesLeft(r, p);
        setupSurfaces(r, bits, p, available);
        p += tableSize < available ? tableSize : available;
    }
    if (!r->Bitmap) {
        // Nothing to draw on; the walk still goes on after the frame.
        r->Cursor = p < end ? skipSubBlocks(p + 1, end) : end;
        return;
    }

    r->FullScreenFrame = r->FrameLeft == 0 && r->FrameTop == 0 && r->FrameRight == screenWidth
                         && r->FrameBottom == screenHeight;
    const size_t stride = size_t(r->Stride);
    if (r->PrevDisposal == 2)
        clearCanvas(r);
    else if (r->PrevDisposal == 3)
        copyRect(r->Bits, r->SavedArea, stride, r->PrevLeft, r->PrevTop, r->PrevRight, r->PrevBottom, screenWidth,
                 screenHeight);
    if (r->Disposal == 3)
        copyRect(r->SavedArea, r->Bits, stride, r->FrameLeft, r->FrameTop, r->FrameRight, r->FrameBottom,
                 screenWidth, screenHeight);
    r->PrevLeft = r->FrameLeft;
    r->PrevTop = r->FrameTop;
    r->PrevRight = r->FrameRight;
    r->PrevBottom = r->FrameBottom;

    p = decodeImageData(r, p, left, top, width, height);
    while (p < end && *p == 0)
        ++p;
    r->Cursor = p;

    r->PrevDisposal = r->Disposal;
    if (r->HasTransparency)
        r->Bitmap->colors[r->TransparentIndex] = PictorColor{255, 255, 255, 0};
}

} // namespace pictor
