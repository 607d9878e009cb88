// Loading the first frame of a GIF file, and the library's information text.
#include "PictorInternal.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Files larger than this are not read into memory.
constexpr long kMaxFileSize = 1L << 30;

const char kInfoText[] = "PICTOR.DLL Ver0.8\n"
                         "GIF87a and GIF89a decoder of the Ostrel client\n"
                         "Frames with disposal, interlacing and transparency masks\n";

} // namespace

extern "C" {

PictorBitmap *LoadGifFromFile(const char *path)
{
    if (!path)
        return nullptr;
    FILE *file = fopen(path, "rb");
    if (!file)
        return nullptr;
    uint8_t *buffer = nullptr;
    long size = -1;
    if (fseek(file, 0, SEEK_END) == 0)
        size = ftell(file);
    if (size >= 0 && size <= kMaxFileSize && fseek(file, 0, SEEK_SET) == 0) {
        buffer = static_cast<uint8_t *>(malloc(size_t(size) + 1));
        if (buffer && fread(buffer, 1, size_t(size), file) != size_t(size)) {
            free(buffer);
            buffer = nullptr;
        }
    }
    fclose(file);
    if (!buffer)
        return nullptr;

    PictorBitmap *bitmap = nullptr;
    GIFDECINFO *record = CreateDecoder();
    if (record) {
        if (GifSetSource(record, buffer, size_t(size))) {
            GifGetFrame(record);
            // The canvas goes to the caller; mask and saved area are released.
            bitmap = record->Bitmap;
            record->Bitmap = nullptr;
        }
        ReleaseDecoder(record);
    }
    free(buffer);
    return bitmap;
}

void GetDllInfo(char *buffer, int length)
{
    if (!buffer || length <= 0)
        return;
    // Fixed-length copy: zero-filled when the text is shorter, unterminated
    // when the buffer is shorter.
    const size_t textLength = sizeof kInfoText - 1;
    const size_t n = size_t(length);
    const size_t copied = textLength < n ? textLength : n;
    memcpy(buffer, kInfoText, copied);
    memset(buffer + copied, 0, n - copied);
}

unsigned GetDllInfoLen(void)
{
    return unsigned(sizeof kInfoText);
}

} // extern "C"
