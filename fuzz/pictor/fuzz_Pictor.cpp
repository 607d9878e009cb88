// Fuzz target for the GIF decoder: opens the input as an exact-size source,
// walks every frame twice with a rewind in between, draws each frame with
// MaskBlt, and checks the record's invariants after every step.
#include "pictor.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Larger logical screens are skipped so that each run stays fast; the
// canvas size cap itself is covered by the unit tests.
constexpr uint64_t kMaxScreenPixels = 1u << 16;

void check(bool condition, const char *what)
{
    if (!condition) {
        fprintf(stderr, "invariant broken: %s\n", what);
        abort();
    }
}

void checkRecord(const GIFDECINFO *r)
{
    check(r->Cursor >= r->Source && r->Cursor <= r->SourceEnd, "cursor inside the source");
    check(r->FirstBlock >= r->Source && r->FirstBlock <= r->SourceEnd, "first block inside the source");
    check(r->Pass >= 0 && r->Pass <= 4, "pass 0-4");
    check(r->NextCode >= 0 && r->NextCode <= 4096, "next code at most 4096");
    check(r->CodeSize >= 0 && r->CodeSize <= 12, "code size at most 12");
    check(r->FrameLeft <= r->FrameRight && r->FrameRight <= r->ScreenWidth, "frame columns on the screen");
    check(r->FrameTop <= r->FrameBottom && r->FrameBottom <= r->ScreenHeight, "frame rows on the screen");
    check(r->PrevRight <= r->ScreenWidth && r->PrevBottom <= r->ScreenHeight, "previous frame on the screen");
    if (r->Bitmap) {
        const size_t canvas = size_t(r->Stride) * r->ScreenHeight;
        const size_t mask = size_t(r->MaskStride) * r->ScreenHeight;
        check(r->Bits == r->Bitmap->bits && r->MaskBits == r->Mask->bits, "pixel memory of the bitmaps");
        check(r->PixelPos >= r->Bits && r->PixelPos <= r->Bits + canvas, "pixel position inside the canvas");
        check(r->MaskPos >= r->MaskBits && r->MaskPos <= r->MaskBits + mask, "mask position inside the mask");
        check(r->MaskBit != 0, "mask bit set");
    }
}

// Every frame call until the end mark; their results in order.
std::vector<unsigned> walk(GIFDECINFO *r, PictorDC *dc, int x, int y, size_t size)
{
    std::vector<unsigned> results;
    for (;;) {
        const unsigned result = GifParseControl(r);
        checkRecord(r);
        if (result == PICTOR_END_OF_PICTURE)
            break;
        results.push_back(result);
        // Every call moves past at least one byte of the source.
        check(results.size() <= size + 1, "the walk ends");
        MaskBlt(r, dc, x, y, int(results.size() & 1));
    }
    return results;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size >= 10) {
        const uint64_t width = data[6] | (data[7] << 8), height = data[8] | (data[9] << 8);
        if (width * height > kMaxScreenPixels)
            return 0;
    }
    // One record for every run, set up afresh each time: a new 68 KB block
    // per run costs more than the decoding itself under the sanitizers.
    static GIFDECINFO *const record = CreateDecoder();
    GIFDECINFO *r = record;
    GifInitDecoder(r);
    if (GifSetSource(r, data, size)) {
        checkRecord(r);
        // A surface smaller than most canvases, placed from the input so
        // that clipping on every side is exercised.
        constexpr int kSurfaceWidth = 24, kSurfaceHeight = 16;
        std::vector<uint32_t> surface(kSurfaceWidth * kSurfaceHeight, 0x00808080);
        PictorDC dc{kSurfaceWidth, kSurfaceHeight, kSurfaceWidth * 4, reinterpret_cast<uint8_t *>(surface.data())};
        const int x = size > 11 ? int(data[size - 1] % 48) - 24 : 0;
        const int y = size > 11 ? int(data[size - 2] % 32) - 16 : 0;

        const std::vector<unsigned> first = walk(r, &dc, x, y, size);
        GifReverse(r);
        check(r->Cursor == r->FirstBlock, "rewound to the first block");
        const std::vector<unsigned> second = walk(r, &dc, x, y, size);
        check(first == second, "the second walk meets the same frames");

        GifReverse(r);
        GifGetFrame(r);
        checkRecord(r);
        GetFrameWidth(r);
        GetFrameHeight(r);
    }
    GifClearUp(r);
    return 0;
}
