// Pieces the decoder's source files share; not part of the interface.
#pragma once

#include "pictor.h"

#include <cstring>

namespace pictor {

// The byte at the cursor; the end of the source reads as the trailer.
inline uint8_t tagAt(const GIFDECINFO *r)
{
    return r->Cursor < r->SourceEnd ? *r->Cursor : PICTOR_TAG_TRAILER;
}

inline size_t bytesLeft(const GIFDECINFO *r, const uint8_t *p)
{
    return p < r->SourceEnd ? size_t(r->SourceEnd - p) : 0;
}

inline unsigned readLe16(const uint8_t *p)
{
    return unsigned(p[0]) | (unsigned(p[1]) << 8);
}

// Installs a colour table of 2^bits entries, of which `available` bytes are
// in the source (the rest read as black). Creates canvas, mask and saved
// area on first use; fills the canvas with the background and clears the
// mask. False when the bitmaps cannot be created.
bool setupSurfaces(GIFDECINFO *r, unsigned bits, const uint8_t *table, size_t available);

// Canvas filled with the background colour, every mask bit cleared.
void clearCanvas(GIFDECINFO *r);

// Decodes the frame whose image descriptor is at the cursor and leaves the
// cursor after the frame's image data.
void decodeFrame(GIFDECINFO *r);

} // namespace pictor
