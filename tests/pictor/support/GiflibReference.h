// giflib's decoder (DGifSlurp) with a small compositor over its frames that
// follows the decoder's rules: canvas of the logical screen filled with the
// background, colour tables replacing palette entries and clearing the
// canvas, disposal 2 clearing the whole screen, disposal 3 restoring canvas
// pixels of the previous rectangle, transparent pixels skipped and marked in
// the mask, the transparent palette entry turned white after each frame.
#pragma once

#include "FrameSnapshot.h"

#include <cstddef>
#include <cstdint>
#include <vector>

struct GifFileType;

class GiflibReference
{
public:
    GiflibReference() = default;
    GiflibReference(const GiflibReference &) = delete;
    GiflibReference &operator=(const GiflibReference &) = delete;
    ~GiflibReference();

    // Decodes the whole file with DGifSlurp; false when giflib fails.
    bool load(const uint8_t *data, size_t size);
    int frameCount() const;
    // Composites frame `index`; frames must be composited in order.
    void composite(int index);
    FrameSnapshot snapshot() const;

    const std::vector<uint8_t> &canvas() const { return m_canvas; }
    const std::vector<uint8_t> &mask() const { return m_mask; }

private:
    void setupSurfaces(const void *colorMap);
    void fill();

    GifFileType *m_file = nullptr;
    const uint8_t *m_data = nullptr;
    size_t m_size = 0;
    size_t m_pos = 0;
    unsigned m_width = 0;
    unsigned m_height = 0;
    size_t m_stride = 0;
    size_t m_maskStride = 0;
    bool m_hasCanvas = false;
    uint8_t m_background = 0;
    std::vector<uint8_t> m_canvas;
    std::vector<uint8_t> m_mask;
    std::vector<uint8_t> m_saved;
    PictorColor m_palette[256] = {};
    unsigned m_colorCount = 0;
    unsigned m_prevDisposal = 0;
    unsigned m_disposal = 0;
    bool m_hasTransparency = false;
    uint8_t m_transparentIndex = 0;
    uint8_t m_control[6] = {};
    unsigned m_result = 0;
    unsigned m_rect[4] = {};
    unsigned m_prevRect[4] = {};

    friend int giflibReadFromMemory(GifFileType *, unsigned char *, int);
};

// Every frame of a GIF through giflib and the compositor; empty when giflib fails.
std::vector<FrameSnapshot> giflibSnapshots(const std::vector<uint8_t> &gif);
