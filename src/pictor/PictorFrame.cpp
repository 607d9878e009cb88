// Decoding one frame: disposal, the LZW image data, interlacing and the
// transparency mask.
//
// The code table keeps, beside each code's first and last character and its
// prefix, the string's length and its last (up to) eight characters with the
// code that holds the part before them. A string is then written from its
// end, eight bytes at a time, into the row buffer when it fits in the row;
// otherwise (row ends, clipped rows) it is spelled into the record's stack
// first and laid out row by row. Finished rows go onto the canvas, through
// the transparency test when the frame has a transparent colour.
#include "PictorInternal.h"

#include <algorithm>

namespace {

using pictor::bytesLeft;
using pictor::readLe16;

constexpr unsigned kTableSize = 4096;
constexpr unsigned kMaxCodeSize = 12;
constexpr unsigned kPassStart[4] = {0, 4, 2, 1};
constexpr unsigned kPassStep[4] = {8, 8, 4, 2};
// Masks of the low n bytes of a little-endian 64-bit word.
constexpr uint64_t kLowBytes[9] = {0,
                                   0xFFull,
                                   0xFFFFull,
                                   0xFFFFFFull,
                                   0xFFFFFFFFull,
                                   0xFFFFFFFFFFull,
                                   0xFFFFFFFFFFFFull,
                                   0xFFFFFFFFFFFFFFull,
                                   ~0ull};

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

// Pixels of s that are not the transparent index go into dst, and their
// bits into the mask row (pixel x at bit 7 - x % 8 of byte x / 8); the
// others leave canvas and mask as they were. Eight pixels at a time: a byte
// compare within a 64-bit word, a blend, and the eight drawn flags gathered
// into mask bits. The words read and written may reach up to seven bytes
// past the span: s must have them readable, dst and the mask row must have
// them inside their buffers (they are written back unchanged).
void drawTransparentSpan(uint8_t *dst, uint8_t *maskRow, unsigned x, const uint8_t *s, unsigned n,
                         uint8_t transparentIndex)
{
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    const uint64_t transparent = kOnes * transparentIndex;
    for (unsigned i = 0; i < n; i += 8) {
        const uint64_t v = load<uint64_t>(s + i);
        const uint64_t t = v ^ transparent;
        const uint64_t inSpan = kLowBytes[n - i < 8 ? n - i : 8];
        const uint64_t drawn = ((((t & kLow7) + kLow7) | t) & ~kLow7 & inSpan) >> 7; // 1 per drawn byte
        const uint64_t select = drawn * 0xFF;
        store<uint64_t>(dst + i, (v & select) | (load<uint64_t>(dst + i) & ~select));
        // Flag of byte k to bit 7 - k, then over the two mask bytes it spans.
        const unsigned flags = unsigned((drawn * 0x8040201008040201ull) >> 56);
        const unsigned at = x + i;
        const unsigned window = flags << (8 - (at & 7));
        maskRow[at >> 3] |= uint8_t(window >> 8);
        maskRow[(at >> 3) + 1] |= uint8_t(window);
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

    // The whole table from scratch: root codes, every other entry free.
    // Root entries never change, so only those not yet set up are written;
    // of the prefixes only those the last frame used can be other than free.
    void resetAll(GIFDECINFO *r, unsigned codeSize)
    {
        minCodeSize = codeSize;
        clear = 1u << codeSize;
        end = clear + 1;
        for (unsigned c = r->RootCodesReady; c < clear; ++c) {
            first[c] = last[c] = uint8_t(c);
            store<uint16_t>(length + 2 * c, 1);
            store<int16_t>(chunkPrefix + 2 * c, -1);
            store<uint64_t>(chunks + 8 * c, uint8_t(c));
        }
        r->RootCodesReady = uint16_t(clear);
        for (unsigned c = 0; c < clear; ++c)
            store<int16_t>(prefix + 2 * c, -1);
        const unsigned lastNext = r->NextCode > 0 ? unsigned(r->NextCode) : 0;
        const unsigned usedEnd = minOf(kTableSize, std::max<unsigned>(r->ClearCode, lastNext));
        for (unsigned c = clear; c < usedEnd; ++c)
            store<int16_t>(prefix + 2 * c, -2);
        next = end + 1;
        size = minCodeSize + 1;
        limit = 1u << size;
    }
};

// Where the frame's pixels go: the row sequence (plain or interlaced) and the
// part of each row that lies on the canvas. A row is decoded into the row
// buffer and copied onto the canvas when it is complete (or when the data
// ends inside it): strings can then be written eight bytes at a time with
// no care for what lies after them, and transparent pixels are sorted out
// once per row.
struct FrameOutput {
    uint8_t *bits;
    uint8_t *maskBits;
    uint8_t *buffer; // screen width + 16 bytes
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
    uint8_t *row = nullptr; // the row buffer, none when the row is off the canvas
    uint8_t *canvasRow = nullptr; // canvas byte of frame column 0
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
        row = canvasRow = nullptr;
    }

    void enterRow()
    {
        col = 0;
        const unsigned canvasY = top + y;
        if (visibleWidth && canvasY < screenHeight) {
            row = buffer;
            canvasRow = bits + canvasY * stride + left;
            maskRow = maskBits + canvasY * maskStride;
        } else {
            row = canvasRow = nullptr;
        }
    }

    // The first `count` decoded pixels of the row onto the canvas.
    void flush(unsigned count)
    {
        const unsigned n = minOf(count, visibleWidth);
        if (!canvasRow || n == 0)
            return;
        if (transparent)
            drawTransparentSpan(canvasRow, maskRow, left, buffer, n, transparentIndex);
        else
            memcpy(canvasRow, buffer, n);
    }

    void nextRow()
    {
        flush(width);
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

    // Lays out n pixels across rows; pixels past the frame's end are dropped.
    void put(const uint8_t *s, unsigned n)
    {
        while (n && !done) {
            const unsigned k = minOf(n, width - col);
            if (row && col < visibleWidth)
                memcpy(row + col, s, minOf(col + k, visibleWidth) - col);
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

// Stray zero bytes after a frame's data are passed over.
const uint8_t *skipTrailingZeros(const uint8_t *p, const uint8_t *end)
{
    while (p < end && *p == 0)
        ++p;
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

    // Byte by byte, across sub-block boundaries (the fast eight-byte refill
    // is in the decoding loop).
    void refill()
    {
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

// The LZW codes of one frame, decoded into the canvas. The hot state lives
// in locals (byte stores into the canvas could otherwise alias it); the
// helpers for row ends, clipped or split strings and sub-block boundaries
// get it handed over and back.
void decodeCodes(GIFDECINFO *r, CodeTable &table, BitReader &in, FrameOutput &out)
{
    uint8_t *const first = table.first;
    uint8_t *const last = table.last;
    uint8_t *const prefixes = table.prefix;
    uint8_t *const lengths = table.length;
    uint8_t *const chunkPrefixes = table.chunkPrefix;
    uint8_t *const chunks = table.chunks;
    uint8_t *const stackEnd = reinterpret_cast<uint8_t *>(r) + offsetof(GIFDECINFO, Stack) + kTableSize;
    const unsigned clear = table.clear;
    const unsigned endCode = table.end;
    const unsigned minCodeSize = table.minCodeSize;
    unsigned next = table.next;
    unsigned size = table.size;
    unsigned limitCode = table.limit;

    const unsigned width = out.width;

    uint64_t bits = 0;
    unsigned count = 0;
    const uint8_t *cur = in.cur;
    const uint8_t *blockEnd = in.blockEnd;

    uint8_t *row = nullptr;
    unsigned col = 0;
    unsigned limit = 0; // strings ending at or before this column go straight into the row
    bool done = false;
    auto takeRow = [&] {
        row = out.row;
        col = out.col;
        limit = row ? out.visibleWidth : 0;
        done = out.done;
    };
    auto endOfRow = [&] {
        out.col = col;
        out.nextRow();
        takeRow();
    };
    auto putSlow = [&](const uint8_t *s, unsigned n) {
        out.col = col;
        out.put(s, n);
        takeRow();
    };
    // A new entry: the string of `prefixCode` followed by `byte`.
    auto add = [&](unsigned prefixCode, uint8_t byte) {
        const unsigned n = next;
        const unsigned prefixLength = load<uint16_t>(lengths + 2 * prefixCode);
        store<uint16_t>(lengths + 2 * n, uint16_t(prefixLength + 1));
        // The chunk is put together in a register and stored whole, so that
        // reading it back right away (a code used just after it was made,
        // as in runs) is served straight from that one store.
        const unsigned used = prefixLength & 7;
        if (used) {
            const uint64_t head = load<uint64_t>(chunks + 8 * prefixCode) & kLowBytes[used];
            store<uint64_t>(chunks + 8 * n, head | (uint64_t(byte) << (8 * used)));
            memcpy(chunkPrefixes + 2 * n, chunkPrefixes + 2 * prefixCode, 2);
        } else {
            store<uint64_t>(chunks + 8 * n, byte);
            store<int16_t>(chunkPrefixes + 2 * n, int16_t(prefixCode));
        }
        store<int16_t>(prefixes + 2 * n, int16_t(prefixCode));
        first[n] = first[prefixCode];
        last[n] = byte;
        next = n + 1;
        if (next == limitCode && size < kMaxCodeSize) {
            ++size;
            limitCode <<= 1;
        }
    };
    // The string of `code` (length bytes) into the bytes just before `e`,
    // eight at a time from its end. Into the row buffer the last chunk is
    // written whole (the bytes after the string are written again later or
    // never shown); into the stack it is merged with the bytes after it,
    // which belong to the table that follows the stack in the record.
    auto spell = [&](unsigned code, unsigned length, uint8_t *e, bool merge) {
        const unsigned n = ((length - 1) & 7) + 1;
        e -= n;
        const uint64_t tail = load<uint64_t>(chunks + 8 * code);
        if (merge) {
            const uint64_t ours = kLowBytes[n];
            store<uint64_t>(e, (tail & ours) | (load<uint64_t>(e) & ~ours));
        } else {
            store<uint64_t>(e, tail);
        }
        if (length <= 8)
            return;
        for (int c = load<int16_t>(chunkPrefixes + 2 * code); c >= 0;
             c = load<int16_t>(chunkPrefixes + 2 * unsigned(c))) {
            e -= 8;
            memcpy(e, chunks + 8 * unsigned(c), 8);
        }
    };

    takeRow();
    int old = -1;
    unsigned highest = next; // first free entry before the last clear, at most 4096
    while (!done) {
        if (count < size) {
            if (blockEnd - cur >= 8) {
                // Eight bytes of the block at once; the bytes beyond the whole
                // ones taken sit above `count` and are the same ones the next
                // refill puts there.
                bits |= load<uint64_t>(cur) << count;
                cur += (63 - count) >> 3;
                count |= 56;
            } else {
                in.bits = bits;
                in.count = count;
                in.cur = cur;
                in.blockEnd = blockEnd;
                in.refill();
                bits = in.bits;
                count = in.count;
                cur = in.cur;
                blockEnd = in.blockEnd;
                if (count < size)
                    break; // the data ended without an end code
            }
        }
        const unsigned code = unsigned(bits) & ((1u << size) - 1);
        bits >>= size;
        count -= size;

        // Root codes and defined entries alike: one well-predicted branch.
        if (code < next && code - clear > 1) [[likely]] {
            if (old >= 0) [[likely]] {
                if (next < kTableSize)
                    add(unsigned(old), first[code]);
            } else if (next >= limitCode && size < kMaxCodeSize) {
                // Minimum code size 1: the first free code already needs the
                // wider width once the first code after a clear is read.
                ++size;
                limitCode <<= 1;
            }
        } else if (code == clear) {
            // The entries added since the last reset become free again; their
            // prefixes are marked free when the frame ends.
            highest = std::max(highest, next);
            next = endCode + 1;
            size = minCodeSize + 1;
            limitCode = 1u << size;
            old = -1;
            continue;
        } else if (code == next && old >= 0) {
            // The string being defined: the previous one plus its own first character.
            add(unsigned(old), first[old]);
        } else {
            break; // the end code, or a code the table does not hold
        }
        old = int(code);
        const unsigned length = load<uint16_t>(lengths + 2 * code);
        if (col + length <= limit) [[likely]] {
            spell(code, length, row + col + length, false);
            col += length;
            if (col == width)
                endOfRow();
        } else {
            spell(code, length, stackEnd, true);
            putSlow(stackEnd - length, length);
        }
    }
    for (unsigned c = next; c < highest; ++c)
        store<int16_t>(prefixes + 2 * c, -2);
    out.col = col;
    if (!out.done)
        out.flush(col); // the data ended inside a row: what it drew is kept
    in.bits = bits;
    in.count = count;
    in.cur = cur;
    in.blockEnd = blockEnd;
    table.next = next;
    table.size = size;
    table.limit = limitCode;
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
    out.buffer = r->RowBuffer;
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
    // Any code size outside 1-11 builds no table: the frame stays undrawn.
    if (minCodeSize >= 1 && minCodeSize < kMaxCodeSize) {
        CodeTable table(r);
        table.resetAll(r, minCodeSize);
        r->ClearCode = uint16_t(table.clear);
        r->EndCode = uint16_t(table.end);
        out.start();
        decodeCodes(r, table, in, out);
        r->NextCode = int16_t(table.next);
        r->CodeSize = int16_t(table.size);
        r->CodeLimit = int16_t(table.limit);
    }

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
        r->Cursor = skipTrailingZeros(p < end ? skipSubBlocks(p + 1, end) : end, end);
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

    r->Cursor = skipTrailingZeros(decodeImageData(r, p, left, top, width, height), end);

    r->PrevDisposal = r->Disposal;
    if (r->HasTransparency)
        r->Bitmap->colors[r->TransparentIndex] = PictorColor{255, 255, 255, 0};
}

} // namespace pictor
