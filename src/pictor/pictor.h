/*
 * Pictor: a GIF (87a and 89a) decoder for pictures held in memory.
 *
 * A decoder record (GIFDECINFO) turns a GIF frame by frame into a canvas of
 * the logical screen size: an 8-bit palette bitmap plus a 1-bit transparency
 * mask. Each frame's disposal method is applied, and MaskBlt draws the canvas
 * onto a 32-bit pixel surface with or without the mask.
 *
 * The library keeps no state outside the records. Different records may be
 * used on different threads at the same time; one record is used by one
 * thread at a time.
 *
 * This header is plain C and is used both by the shared library libPictor.so
 * and by the static copy the client links.
 */
#ifndef PICTOR_H
#define PICTOR_H

#include <stddef.h>
#include <stdint.h>

#if defined(PICTOR_BUILDING_SHARED)
#define PICTOR_API __attribute__((visibility("default")))
#else
#define PICTOR_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Largest canvas, in pixels, the decoder creates. A logical screen above it
 * is treated as a canvas that cannot be created: no frame is drawn. */
#define PICTOR_MAX_PIXELS (1u << 25)

/* One colour table entry, in the byte order blue, green, red, 0. */
typedef struct PictorColor {
    uint8_t blue;
    uint8_t green;
    uint8_t red;
    uint8_t reserved;
} PictorColor;

/* An indexed bitmap: 8 bits per pixel for a canvas, 1 bit per pixel for a
 * mask (leftmost pixel of each byte in bit 7). Rows are top row first, each
 * `stride` bytes long (a multiple of 4). The colour table always has room for
 * 256 entries; `colorCount` of them are defined by the picture (2 for a
 * mask: 0 black, 1 white), the others are black. */
typedef struct PictorBitmap {
    int32_t width;
    int32_t height;
    int32_t bitsPerPixel;
    int32_t stride;
    uint32_t colorCount;
    PictorColor colors[256];
    uint8_t *bits;
} PictorBitmap;

/* A device context MaskBlt draws on: a 32-bit pixel surface, each pixel the
 * bytes blue, green, red and a fourth byte that MaskBlt leaves as it is.
 * Rows are top row first, `stride` bytes apart. The memory is the caller's. */
typedef struct PictorDC {
    int32_t width;
    int32_t height;
    int32_t stride;
    uint8_t *pixels;
} PictorDC;

#pragma pack(push, 1)
/* The whole state of one decoder. The fields follow each other without
 * alignment gaps, so a caller may hold a record of its own (it is about
 * 68 KB: keep it off small stacks) and initialise it with GifInitDecoder.
 * The fields after Prefix are additions of this library: the end of the
 * source, the row being decoded, and the string tables that let the decoder
 * copy eight bytes at a time. */
typedef struct GIFDECINFO {
    uint16_t Version;          /* 87 or 89 after GifSetSource */
    int16_t OwnsSource;        /* non-zero: GifClearUp frees Source with free() */
    const uint8_t *Cursor;     /* read position in the source */
    const uint8_t *FirstBlock; /* first byte after header and global colour table */
    const uint8_t *Source;     /* the buffer given to GifSetSource */
    PictorBitmap *Bitmap;      /* the canvas */
    PictorBitmap *Mask;        /* the transparency mask */
    uint8_t BitBuffer;
    uint8_t BitsLeft;
    int32_t Stride;            /* canvas row length in bytes */
    uint8_t *Bits;             /* canvas pixels, top row first */
    uint8_t *PixelPos;         /* canvas byte of the next pixel */
    int32_t MaskStride;
    uint8_t *MaskBits;
    uint8_t *MaskPos;
    uint8_t MaskBit;           /* 0x80 = leftmost pixel of the byte */
    uint16_t ScreenWidth;
    uint16_t ScreenHeight;
    uint8_t Background;
    uint8_t HasTransparency;
    uint8_t TransparentIndex;
    uint8_t FullScreenFrame;
    uint16_t FrameLeft;        /* current frame, clipped to the logical screen; */
    uint16_t FrameTop;         /* right and bottom are exclusive */
    uint16_t FrameRight;
    uint16_t FrameBottom;
    uint8_t PrevDisposal;
    uint8_t Disposal;
    uint8_t ControlData[6];    /* block size, flags, delay (LE, 1/100 s), index, 0 */
    uint8_t *SavedArea;        /* Stride x ScreenHeight bytes for disposal 3 */
    uint16_t PrevLeft;
    uint16_t PrevTop;
    uint16_t PrevRight;
    uint16_t PrevBottom;
    uint8_t MinCodeSize;
    uint16_t ClearCode;
    uint16_t EndCode;
    int16_t NextCode;
    int16_t Pass;              /* interlace pass 0-3; 4 = frame complete */
    int16_t CodeSize;
    int16_t CodeLimit;
    int16_t BlockLeft;
    int16_t X;
    int16_t Y;
    int16_t Interlaced;
    uint8_t Stack[4096];
    uint8_t First[4096];
    uint8_t Last[4096];
    int16_t Prefix[4096];      /* -1 root code, -2 free entry */
    /* Additions of this library. */
    const uint8_t *SourceEnd;  /* one past the last byte of the source */
    uint8_t *RowBuffer;        /* ScreenWidth + 16 bytes: the row being decoded */
    uint16_t RootCodesReady;   /* codes below this hold their root entries */
    uint16_t StringLength[4096];
    int16_t ChunkPrefix[4096]; /* code holding the string before ChunkBytes, or -1 */
    uint8_t ChunkBytes[4096][8];
} GIFDECINFO;
#pragma pack(pop)

#ifdef __cplusplus
#define PICTOR_STATIC_ASSERT(c, m) static_assert(c, m)
#else
#define PICTOR_STATIC_ASSERT(c, m) _Static_assert(c, m)
#endif
/* Each field starts right where the one before it ends. */
#define PICTOR_FOLLOWS(a, b)                                                                                       \
    PICTOR_STATIC_ASSERT(offsetof(GIFDECINFO, b) == offsetof(GIFDECINFO, a) + sizeof(((GIFDECINFO *)0)->a),      \
                         "GIFDECINFO: " #b " follows " #a " without a gap")
PICTOR_STATIC_ASSERT(sizeof(void *) == 8, "the record layout assumes 64-bit pointers");
PICTOR_STATIC_ASSERT(offsetof(GIFDECINFO, Version) == 0, "GIFDECINFO starts with Version");
PICTOR_FOLLOWS(Version, OwnsSource);
PICTOR_FOLLOWS(OwnsSource, Cursor);
PICTOR_FOLLOWS(Cursor, FirstBlock);
PICTOR_FOLLOWS(FirstBlock, Source);
PICTOR_FOLLOWS(Source, Bitmap);
PICTOR_FOLLOWS(Bitmap, Mask);
PICTOR_FOLLOWS(Mask, BitBuffer);
PICTOR_FOLLOWS(BitBuffer, BitsLeft);
PICTOR_FOLLOWS(BitsLeft, Stride);
PICTOR_FOLLOWS(Stride, Bits);
PICTOR_FOLLOWS(Bits, PixelPos);
PICTOR_FOLLOWS(PixelPos, MaskStride);
PICTOR_FOLLOWS(MaskStride, MaskBits);
PICTOR_FOLLOWS(MaskBits, MaskPos);
PICTOR_FOLLOWS(MaskPos, MaskBit);
PICTOR_FOLLOWS(MaskBit, ScreenWidth);
PICTOR_FOLLOWS(ScreenWidth, ScreenHeight);
PICTOR_FOLLOWS(ScreenHeight, Background);
PICTOR_FOLLOWS(Background, HasTransparency);
PICTOR_FOLLOWS(HasTransparency, TransparentIndex);
PICTOR_FOLLOWS(TransparentIndex, FullScreenFrame);
PICTOR_FOLLOWS(FullScreenFrame, FrameLeft);
PICTOR_FOLLOWS(FrameLeft, FrameTop);
PICTOR_FOLLOWS(FrameTop, FrameRight);
PICTOR_FOLLOWS(FrameRight, FrameBottom);
PICTOR_FOLLOWS(FrameBottom, PrevDisposal);
PICTOR_FOLLOWS(PrevDisposal, Disposal);
PICTOR_FOLLOWS(Disposal, ControlData);
PICTOR_FOLLOWS(ControlData, SavedArea);
PICTOR_FOLLOWS(SavedArea, PrevLeft);
PICTOR_FOLLOWS(PrevLeft, PrevTop);
PICTOR_FOLLOWS(PrevTop, PrevRight);
PICTOR_FOLLOWS(PrevRight, PrevBottom);
PICTOR_FOLLOWS(PrevBottom, MinCodeSize);
PICTOR_FOLLOWS(MinCodeSize, ClearCode);
PICTOR_FOLLOWS(ClearCode, EndCode);
PICTOR_FOLLOWS(EndCode, NextCode);
PICTOR_FOLLOWS(NextCode, Pass);
PICTOR_FOLLOWS(Pass, CodeSize);
PICTOR_FOLLOWS(CodeSize, CodeLimit);
PICTOR_FOLLOWS(CodeLimit, BlockLeft);
PICTOR_FOLLOWS(BlockLeft, X);
PICTOR_FOLLOWS(X, Y);
PICTOR_FOLLOWS(Y, Interlaced);
PICTOR_FOLLOWS(Interlaced, Stack);
PICTOR_FOLLOWS(Stack, First);
PICTOR_FOLLOWS(First, Last);
PICTOR_FOLLOWS(Last, Prefix);
PICTOR_FOLLOWS(Prefix, SourceEnd);
PICTOR_FOLLOWS(SourceEnd, RowBuffer);
PICTOR_FOLLOWS(RowBuffer, RootCodesReady);
PICTOR_FOLLOWS(RootCodesReady, StringLength);
PICTOR_FOLLOWS(StringLength, ChunkPrefix);
PICTOR_FOLLOWS(ChunkPrefix, ChunkBytes);
PICTOR_STATIC_ASSERT(offsetof(GIFDECINFO, Stack) == 148, "GIFDECINFO layout");
PICTOR_STATIC_ASSERT(offsetof(GIFDECINFO, Prefix) == 12436, "GIFDECINFO layout");
PICTOR_STATIC_ASSERT(sizeof(GIFDECINFO) == offsetof(GIFDECINFO, ChunkBytes) + 4096 * 8, "GIFDECINFO layout");
PICTOR_STATIC_ASSERT(sizeof(GIFDECINFO) == 69798, "GIFDECINFO layout");
#undef PICTOR_FOLLOWS
#undef PICTOR_STATIC_ASSERT

/* Block tags as GifGetCurBlockTag reports them. */
#define PICTOR_TAG_EXTENSION 0x21
#define PICTOR_TAG_IMAGE 0x2C
#define PICTOR_TAG_TRAILER 0x3B

/* The end mark of GifParseControl and GifNextFrame. */
#define PICTOR_END_OF_PICTURE 0xFFFFFFFFu

PICTOR_API GIFDECINFO *CreateDecoder(void);
PICTOR_API void ReleaseDecoder(GIFDECINFO *record);
PICTOR_API void GifInitDecoder(GIFDECINFO *record);

/* Opens a GIF of `length` bytes at `source`; 1 on success, 0 when it is not a
 * GIF. The buffer must stay valid while the record reads it. Reading never
 * goes past `length` bytes: whatever lies beyond counts as the trailer. */
PICTOR_API int GifSetSource(GIFDECINFO *record, const void *source, size_t length);

PICTOR_API void GifGetFrame(GIFDECINFO *record);
PICTOR_API int GifNextBlock(GIFDECINFO *record);
PICTOR_API int GifSkipNextBlock(GIFDECINFO *record);
PICTOR_API unsigned GifParseControl(GIFDECINFO *record);
PICTOR_API unsigned GifNextFrame(GIFDECINFO *record);
PICTOR_API void GifReverse(GIFDECINFO *record);
PICTOR_API uint8_t GifGetCurBlockTag(GIFDECINFO *record);
PICTOR_API PictorBitmap *GifGetBitmap(GIFDECINFO *record);
PICTOR_API PictorBitmap *GifGetMask(GIFDECINFO *record);
PICTOR_API void GifClearUp(GIFDECINFO *record);
PICTOR_API void MaskBlt(GIFDECINFO *record, PictorDC *dc, int x, int y, int useMask);
PICTOR_API unsigned GetFrameLeft(GIFDECINFO *record);
PICTOR_API unsigned GetFrameTop(GIFDECINFO *record);
PICTOR_API unsigned GetFrameWidth(GIFDECINFO *record);
PICTOR_API unsigned GetFrameHeight(GIFDECINFO *record);
PICTOR_API unsigned GetScreenWidth(GIFDECINFO *record);
PICTOR_API unsigned GetScreenHeight(GIFDECINFO *record);
PICTOR_API unsigned GetGifVersion(GIFDECINFO *record);

/* Decodes the first frame of a GIF file; the caller owns the bitmap and
 * frees it with PictorDeleteBitmap. None when the file cannot be read or
 * is not a GIF. */
PICTOR_API PictorBitmap *LoadGifFromFile(const char *path);
PICTOR_API void PictorDeleteBitmap(PictorBitmap *bitmap);

PICTOR_API void GetDllInfo(char *buffer, int length);
PICTOR_API unsigned GetDllInfoLen(void);

#ifdef __cplusplus
}
#endif

#endif /* PICTOR_H */
