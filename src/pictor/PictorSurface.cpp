// Canvas, mask and saved area of a record, and drawing them onto a surface.
#include "PictorInternal.h"

#include <cstdlib>
#include <sys/mman.h>

namespace {

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PICTOR_PLAIN_SAVED_AREA 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define PICTOR_PLAIN_SAVED_AREA 1
#endif

// The saved area is touched only by frames that restore to the previous
// picture, which most pictures never do. A large one is mapped from the
// system directly, so its pages cost nothing until such a frame writes them
// (a heap block of that size would be cleared, or would push the heap into
// being trimmed and refilled for every picture); a small one comes from the
// heap. The mapping's length (0 for a heap block) is kept in front of the
// area. Under AddressSanitizer it always comes from the heap so that its
// bounds are checked.
constexpr size_t kSavedAreaHeader = 16;

uint8_t *allocateSavedArea(size_t size)
{
    size_t length = size + kSavedAreaHeader;
    void *p = nullptr;
#ifndef PICTOR_PLAIN_SAVED_AREA
    constexpr size_t kMapFrom = size_t(1) << 18;
    if (length >= kMapFrom) {
        p = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED)
            return nullptr;
    }
#endif
    if (!p) {
        p = malloc(length);
        if (!p)
            return nullptr;
        length = 0;
    }
    memcpy(p, &length, sizeof length);
    return static_cast<uint8_t *>(p) + kSavedAreaHeader;
}

void releaseSavedArea(uint8_t *area)
{
    if (!area)
        return;
    uint8_t *base = area - kSavedAreaHeader;
    size_t length;
    memcpy(&length, base, sizeof length);
    if (length)
        munmap(base, length);
    else
        free(base);
}

PictorBitmap *createBitmap(unsigned width, unsigned height, int bitsPerPixel)
{
    auto *bitmap = static_cast<PictorBitmap *>(calloc(1, sizeof(PictorBitmap)));
    if (!bitmap)
        return nullptr;
    const size_t rowBytes = (size_t(width) * size_t(bitsPerPixel) + 7) / 8;
    const size_t stride = (rowBytes + 3) & ~size_t(3);
    // Eight bytes of room after the pixels: the decoder merges whole 64-bit
    // words into a row and writes back the bytes it does not change.
    bitmap->bits = static_cast<uint8_t *>(malloc(stride * height + 8));
    if (!bitmap->bits) {
        free(bitmap);
        return nullptr;
    }
    memset(bitmap->bits + stride * height, 0, 8);
    bitmap->width = int32_t(width);
    bitmap->height = int32_t(height);
    bitmap->bitsPerPixel = bitsPerPixel;
    bitmap->stride = int32_t(stride);
    return bitmap;
}

void releaseSurfaces(GIFDECINFO *r)
{
    PictorDeleteBitmap(r->Bitmap);
    PictorDeleteBitmap(r->Mask);
    releaseSavedArea(r->SavedArea);
    free(r->RowBuffer);
    r->Bitmap = nullptr;
    r->Mask = nullptr;
    r->SavedArea = nullptr;
    r->RowBuffer = nullptr;
    r->Bits = r->PixelPos = nullptr;
    r->MaskBits = r->MaskPos = nullptr;
    r->Stride = r->MaskStride = 0;
}

void loadPalette(PictorBitmap *bitmap, unsigned count, const uint8_t *table, size_t available)
{
    for (unsigned i = 0; i < count; ++i) {
        PictorColor c = {0, 0, 0, 0};
        const size_t at = size_t(i) * 3;
        if (at + 3 <= available) {
            c.red = table[at];
            c.green = table[at + 1];
            c.blue = table[at + 2];
        } else {
            // A table cut off by the end of the source: what is there counts.
            if (at < available)
                c.red = table[at];
            if (at + 1 < available)
                c.green = table[at + 1];
        }
        bitmap->colors[i] = c;
    }
    if (count > bitmap->colorCount)
        bitmap->colorCount = count;
}

} // namespace

namespace pictor {

void clearCanvas(GIFDECINFO *r)
{
    if (!r->Bitmap)
        return;
    memset(r->Bits, r->Background, size_t(r->Stride) * r->ScreenHeight);
    memset(r->MaskBits, 0, size_t(r->MaskStride) * r->ScreenHeight);
}

bool setupSurfaces(GIFDECINFO *r, unsigned bits, const uint8_t *table, size_t available)
{
    const unsigned count = 1u << bits;
    if (!r->Bitmap) {
        const uint64_t pixels = uint64_t(r->ScreenWidth) * r->ScreenHeight;
        if (pixels == 0 || pixels > PICTOR_MAX_PIXELS)
            return false;
        r->Bitmap = createBitmap(r->ScreenWidth, r->ScreenHeight, 8);
        r->Mask = createBitmap(r->ScreenWidth, r->ScreenHeight, 1);
        if (r->Bitmap) {
            // Only ever read where a restore-to-previous frame saved pixels.
            r->Stride = r->Bitmap->stride;
            r->SavedArea = allocateSavedArea(size_t(r->Stride) * r->ScreenHeight);
        }
        r->RowBuffer = static_cast<uint8_t *>(calloc(size_t(r->ScreenWidth) + 16, 1));
        if (!r->Bitmap || !r->Mask || !r->SavedArea || !r->RowBuffer) {
            releaseSurfaces(r);
            return false;
        }
        r->Mask->colorCount = 2;
        r->Mask->colors[1] = PictorColor{255, 255, 255, 0};
        r->Stride = r->Bitmap->stride;
        r->MaskStride = r->Mask->stride;
        r->Bits = r->PixelPos = r->Bitmap->bits;
        r->MaskBits = r->MaskPos = r->Mask->bits;
    }
    loadPalette(r->Bitmap, count, table, available);
    clearCanvas(r);
    return true;
}

} // namespace pictor

extern "C" {

void PictorDeleteBitmap(PictorBitmap *bitmap)
{
    if (!bitmap)
        return;
    free(bitmap->bits);
    free(bitmap);
}

PictorBitmap *GifGetBitmap(GIFDECINFO *record)
{
    return record ? record->Bitmap : nullptr;
}

PictorBitmap *GifGetMask(GIFDECINFO *record)
{
    return record ? record->Mask : nullptr;
}

void GifClearUp(GIFDECINFO *record)
{
    if (!record)
        return;
    releaseSurfaces(record);
    if (record->OwnsSource)
        free(const_cast<uint8_t *>(record->Source));
    record->Source = nullptr;
    // Nothing may read the released source any more: the walk sees the end.
    record->SourceEnd = nullptr;
    record->Cursor = nullptr;
    record->FirstBlock = nullptr;
}

// Draws the canvas at (x, y), clipped to the surface. With the mask every
// destination pixel becomes (destination OR mask) AND canvas colour, mask 1
// being white; without it the canvas colour is copied. The fourth byte of a
// destination pixel is kept.
void MaskBlt(GIFDECINFO *record, PictorDC *dc, int x, int y, int useMask)
{
    if (!record || !record->Bitmap || !dc || !dc->pixels)
        return;
    const PictorBitmap *canvas = record->Bitmap;
    const PictorBitmap *mask = record->Mask;
    if (dc->width <= 0 || dc->height <= 0 || int64_t(dc->stride) < int64_t(dc->width) * 4)
        return;
    const int64_t width = canvas->width < 0 ? -int64_t(canvas->width) : canvas->width;
    const int64_t height = canvas->height < 0 ? -int64_t(canvas->height) : canvas->height;
    const int64_t x0 = x < 0 ? 0 : x;
    const int64_t y0 = y < 0 ? 0 : y;
    const int64_t x1 = int64_t(x) + width < dc->width ? int64_t(x) + width : dc->width;
    const int64_t y1 = int64_t(y) + height < dc->height ? int64_t(y) + height : dc->height;
    if (x0 >= x1 || y0 >= y1)
        return;

    uint32_t colours[256];
    for (int i = 0; i < 256; ++i) {
        const PictorColor &c = canvas->colors[i];
        colours[i] = uint32_t(c.blue) | (uint32_t(c.green) << 8) | (uint32_t(c.red) << 16);
    }
    const bool withMask = useMask && mask;
    for (int64_t dy = y0; dy < y1; ++dy) {
        const int64_t sy = dy - y;
        const uint8_t *src = canvas->bits + sy * canvas->stride;
        const uint8_t *maskRow = withMask ? mask->bits + sy * mask->stride : nullptr;
        uint8_t *dst = dc->pixels + dy * dc->stride;
        for (int64_t dx = x0; dx < x1; ++dx) {
            const int64_t sx = dx - x;
            uint32_t d;
            memcpy(&d, dst + dx * 4, 4);
            const uint32_t colour = colours[src[sx]];
            if (withMask) {
                if (maskRow[sx >> 3] & (0x80 >> (sx & 7)))
                    d |= 0x00FFFFFFu;
                d &= colour | 0xFF000000u;
            } else {
                d = (d & 0xFF000000u) | colour;
            }
            memcpy(dst + dx * 4, &d, 4);
        }
    }
}

} // extern "C"
