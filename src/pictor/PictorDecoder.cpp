// The decoder record: opening a source, walking its blocks, frame timing.
#include "PictorInternal.h"

#include <cstdlib>
#include <ctime>

using pictor::bytesLeft;
using pictor::tagAt;

namespace {

constexpr uint8_t kGraphicControlLabel = 0xF9;
constexpr size_t kHeaderSize = 13; // signature and logical screen descriptor

uint32_t tickCount()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint32_t(uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u);
}

bool signatureIs(const uint8_t *p, const char *expected)
{
    for (int i = 0; i < 6; ++i) {
        uint8_t c = p[i];
        if (c >= 'A' && c <= 'Z')
            c = uint8_t(c - 'A' + 'a');
        if (c != uint8_t(expected[i]))
            return false;
    }
    return true;
}

unsigned controlDelay(const GIFDECINFO *r)
{
    return unsigned(r->ControlData[2]) | (unsigned(r->ControlData[3]) << 8);
}

} // namespace

extern "C" {

GIFDECINFO *CreateDecoder(void)
{
    auto *record = static_cast<GIFDECINFO *>(malloc(sizeof(GIFDECINFO)));
    if (record)
        GifInitDecoder(record);
    return record;
}

void ReleaseDecoder(GIFDECINFO *record)
{
    if (!record)
        return;
    GifClearUp(record);
    free(record);
}

void GifInitDecoder(GIFDECINFO *record)
{
    if (!record)
        return;
    // A caller's record may hold anything: every field gets a defined value.
    memset(static_cast<void *>(record), 0, sizeof(GIFDECINFO));
    // Every table entry free; the first frame sets up its root codes.
    const int16_t freeEntry = -2;
    auto *prefixes = reinterpret_cast<uint8_t *>(record) + offsetof(GIFDECINFO, Prefix);
    for (size_t i = 0; i < 4096; ++i)
        memcpy(prefixes + 2 * i, &freeEntry, 2);
    record->ClearCode = 256;
    record->EndCode = 257;
    record->FullScreenFrame = 1;
    record->MaskBit = 0x80;
}

int GifSetSource(GIFDECINFO *record, const void *source, size_t length)
{
    if (!record)
        return 0;
    GifClearUp(record);
    const auto *bytes = static_cast<const uint8_t *>(source);
    if (!bytes)
        length = 0;
    record->Source = bytes;
    record->SourceEnd = bytes + length;
    // Until the header is known good the walk sees only the end.
    record->Cursor = record->FirstBlock = record->SourceEnd;
    record->PrevDisposal = record->Disposal = 0;
    record->FullScreenFrame = 1;
    record->HasTransparency = 0;
    record->Interlaced = 0;
    record->MaskBit = 0x80;
    record->Version = 0;

    if (length < 6)
        return 0;
    if (signatureIs(bytes, "gif87a"))
        record->Version = 87;
    else if (signatureIs(bytes, "gif89a"))
        record->Version = 89;
    else
        return 0;
    // Without a whole logical screen descriptor there is no picture to show.
    if (length < kHeaderSize)
        return 0;

    record->ScreenWidth = uint16_t(pictor::readLe16(bytes + 6));
    record->ScreenHeight = uint16_t(pictor::readLe16(bytes + 8));
    const uint8_t flags = bytes[10];
    record->Background = bytes[11];
    const uint8_t *first = bytes + kHeaderSize;
    if (flags & 0x80) {
        const unsigned bits = (flags & 7) + 1;
        const size_t tableSize = size_t(3) << bits;
        const size_t available = bytesLeft(record, first);
        pictor::setupSurfaces(record, bits, first, available);
        first += tableSize < available ? tableSize : available;
    }
    record->FirstBlock = record->Cursor = first;
    return 1;
}

uint8_t GifGetCurBlockTag(GIFDECINFO *record)
{
    return record ? tagAt(record) : uint8_t(PICTOR_TAG_TRAILER);
}

int GifSkipNextBlock(GIFDECINFO *record)
{
    if (!record || tagAt(record) != PICTOR_TAG_EXTENSION)
        return 0;
    const uint8_t *p = record->Cursor;
    const uint8_t *end = record->SourceEnd;
    p += bytesLeft(record, p) < 2 ? bytesLeft(record, p) : 2; // introducer and label
    while (p < end) {
        const unsigned length = *p++;
        if (length == 0)
            break;
        const size_t left = size_t(end - p);
        p += length < left ? length : left;
    }
    record->Cursor = p;
    return 1;
}

int GifNextBlock(GIFDECINFO *record)
{
    if (!record)
        return 0;
    for (;;) {
        const uint8_t tag = tagAt(record);
        if (tag != PICTOR_TAG_EXTENSION)
            return tag == PICTOR_TAG_IMAGE;
        const uint8_t *p = record->Cursor;
        const size_t left = bytesLeft(record, p);
        if (left >= 2 && p[1] == kGraphicControlLabel) {
            // The six bytes after the label; any cut off by the end read as 0.
            for (size_t i = 0; i < 6; ++i)
                record->ControlData[i] = i + 2 < left ? p[i + 2] : 0;
            return 1;
        }
        GifSkipNextBlock(record);
    }
}

void GifGetFrame(GIFDECINFO *record)
{
    if (!record)
        return;
    while (tagAt(record) != PICTOR_TAG_IMAGE) {
        if (!GifSkipNextBlock(record))
            return;
    }
    pictor::decodeFrame(record);
}

unsigned GifParseControl(GIFDECINFO *record)
{
    if (!record || !GifNextBlock(record))
        return PICTOR_END_OF_PICTURE;
    if (tagAt(record) == PICTOR_TAG_IMAGE) {
        GifGetFrame(record);
        return 1;
    }
    // At a graphic control extension: its settings apply to the next frame.
    GifSkipNextBlock(record);
    if (!GifNextBlock(record))
        return PICTOR_END_OF_PICTURE;
    const uint8_t flags = record->ControlData[1];
    record->Disposal = (flags >> 2) & 7;
    record->HasTransparency = flags & 1;
    if (record->HasTransparency)
        record->TransparentIndex = record->ControlData[4];
    if (tagAt(record) == PICTOR_TAG_IMAGE) {
        GifGetFrame(record);
        if (controlDelay(record) == 0) {
            record->ControlData[2] = 1;
            record->ControlData[3] = 0;
        }
    }
    return controlDelay(record);
}

unsigned GifNextFrame(GIFDECINFO *record)
{
    const uint32_t start = tickCount();
    unsigned result;
    // A result of 0 comes only from a control extension that skipped ahead,
    // so this loop ends within the source.
    do {
        result = GifParseControl(record);
    } while (result == 0);
    if (result == PICTOR_END_OF_PICTURE)
        return result;
    const unsigned sum = result + (tickCount() - start);
    return sum == 0 ? 1 : sum;
}

void GifReverse(GIFDECINFO *record)
{
    if (!record)
        return;
    record->Cursor = record->FirstBlock;
    record->PrevDisposal = record->Disposal = 0;
    record->FullScreenFrame = 1;
    pictor::clearCanvas(record);
}

unsigned GetFrameLeft(GIFDECINFO *record)
{
    return record ? record->FrameLeft : 0;
}

unsigned GetFrameTop(GIFDECINFO *record)
{
    return record ? record->FrameTop : 0;
}

unsigned GetFrameWidth(GIFDECINFO *record)
{
    return record ? unsigned(record->FrameRight - record->FrameLeft) : 0;
}

unsigned GetFrameHeight(GIFDECINFO *record)
{
    return record ? unsigned(record->FrameBottom - record->FrameTop) : 0;
}

unsigned GetScreenWidth(GIFDECINFO *record)
{
    return record ? record->ScreenWidth : 0;
}

unsigned GetScreenHeight(GIFDECINFO *record)
{
    return record ? record->ScreenHeight : 0;
}

unsigned GetGifVersion(GIFDECINFO *record)
{
    return record ? record->Version : 0;
}

} // extern "C"
