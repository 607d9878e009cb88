#include "GiflibReference.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>

int giflibReadFromMemory(GifFileType *file, unsigned char *buffer, int length)
{
    auto *self = static_cast<GiflibReference *>(file->UserData);
    const size_t n = std::min(size_t(length), self->m_size - self->m_pos);
    memcpy(buffer, self->m_data + self->m_pos, n);
    self->m_pos += n;
    return int(n);
}

GiflibReference::~GiflibReference()
{
    if (m_file) {
        int error = 0;
        DGifCloseFile(m_file, &error);
    }
}

bool GiflibReference::load(const uint8_t *data, size_t size)
{
    m_data = data;
    m_size = size;
    m_pos = 0;
    int error = 0;
    m_file = DGifOpen(this, giflibReadFromMemory, &error);
    if (!m_file || DGifSlurp(m_file) != GIF_OK)
        return false;
    m_width = unsigned(m_file->SWidth);
    m_height = unsigned(m_file->SHeight);
    m_stride = (size_t(m_width) + 3) & ~size_t(3);
    m_maskStride = ((size_t(m_width) + 7) / 8 + 3) & ~size_t(3);
    m_background = uint8_t(m_file->SBackGroundColor);
    if (m_file->SColorMap)
        setupSurfaces(m_file->SColorMap);
    return true;
}

int GiflibReference::frameCount() const
{
    return m_file ? m_file->ImageCount : 0;
}

void GiflibReference::fill()
{
    std::fill(m_canvas.begin(), m_canvas.end(), m_background);
    std::fill(m_mask.begin(), m_mask.end(), 0);
}

void GiflibReference::setupSurfaces(const void *colorMap)
{
    const auto *map = static_cast<const ColorMapObject *>(colorMap);
    if (!m_hasCanvas) {
        if (m_width == 0 || m_height == 0 || uint64_t(m_width) * m_height > PICTOR_MAX_PIXELS)
            return;
        m_canvas.resize(m_stride * m_height);
        m_mask.resize(m_maskStride * m_height);
        m_hasCanvas = true;
    }
    for (int i = 0; i < map->ColorCount && i < 256; ++i)
        m_palette[i] = {map->Colors[i].Blue, map->Colors[i].Green, map->Colors[i].Red, 0};
    m_colorCount = std::max(m_colorCount, unsigned(map->ColorCount));
    fill();
}

void GiflibReference::composite(int index)
{
    const SavedImage &image = m_file->SavedImages[index];
    const ExtensionBlock *control = nullptr;
    for (int i = 0; i < image.ExtensionBlockCount; ++i)
        if (image.ExtensionBlocks[i].Function == GRAPHICS_EXT_FUNC_CODE && image.ExtensionBlocks[i].ByteCount >= 4)
            control = &image.ExtensionBlocks[i];
    m_result = 1;
    if (control) {
        const GifByteType *b = control->Bytes;
        m_control[0] = uint8_t(control->ByteCount);
        memcpy(m_control + 1, b, 4);
        m_control[5] = 0;
        m_disposal = (b[0] >> 2) & 7;
        m_hasTransparency = b[0] & 1;
        if (m_hasTransparency)
            m_transparentIndex = b[3];
        if (m_control[2] == 0 && m_control[3] == 0)
            m_control[2] = 1;
        m_result = unsigned(m_control[2]) | (unsigned(m_control[3]) << 8);
    }

    const GifImageDesc &d = image.ImageDesc;
    const unsigned left = unsigned(d.Left), top = unsigned(d.Top);
    const unsigned width = unsigned(d.Width), height = unsigned(d.Height);
    m_rect[0] = std::min(left, m_width);
    m_rect[1] = std::min(top, m_height);
    m_rect[2] = std::min(left + width, m_width);
    m_rect[3] = std::min(top + height, m_height);
    if (d.ColorMap)
        setupSurfaces(d.ColorMap);
    if (!m_hasCanvas)
        return;

    auto copyRect = [&](uint8_t *dst, const uint8_t *src, const unsigned *r) {
        for (unsigned y = r[1]; y < r[3]; ++y)
            memcpy(dst + y * m_stride + r[0], src + y * m_stride + r[0], r[2] - r[0]);
    };
    if (m_prevDisposal == 2)
        fill();
    else if (m_prevDisposal == 3)
        copyRect(m_canvas.data(), m_saved.data(), m_prevRect);
    if (m_disposal == 3) {
        // Only pictures that restore to the previous frame need the copy.
        if (m_saved.empty())
            m_saved.resize(m_stride * m_height);
        copyRect(m_saved.data(), m_canvas.data(), m_rect);
    }
    std::copy(m_rect, m_rect + 4, m_prevRect);

    const unsigned visible = m_rect[2] - m_rect[0];
    for (unsigned y = 0; y < height && top + y < m_height; ++y) {
        if (!visible)
            break;
        const uint8_t *src = image.RasterBits + size_t(y) * width;
        uint8_t *dst = m_canvas.data() + (top + y) * m_stride + left;
        if (!m_hasTransparency) {
            memcpy(dst, src, visible);
            continue;
        }
        uint8_t *maskRow = m_mask.data() + (top + y) * m_maskStride;
        for (unsigned x = 0; x < visible; ++x) {
            if (src[x] != m_transparentIndex) {
                dst[x] = src[x];
                maskRow[(left + x) >> 3] |= uint8_t(0x80 >> ((left + x) & 7));
            }
        }
    }
    m_prevDisposal = m_disposal;
    if (m_hasTransparency)
        m_palette[m_transparentIndex] = {255, 255, 255, 0};
}

FrameSnapshot GiflibReference::snapshot() const
{
    FrameSnapshot f;
    f.left = m_rect[0];
    f.top = m_rect[1];
    f.width = m_rect[2] - m_rect[0];
    f.height = m_rect[3] - m_rect[1];
    f.result = m_result;
    std::copy(m_control, m_control + 6, f.control.begin());
    if (m_hasCanvas) {
        f.canvas = m_canvas;
        f.mask = m_mask;
        std::copy(m_palette, m_palette + 256, f.palette.begin());
        f.colorCount = m_colorCount;
    }
    return f;
}

std::vector<FrameSnapshot> giflibSnapshots(const std::vector<uint8_t> &gif)
{
    std::vector<FrameSnapshot> frames;
    GiflibReference reference;
    if (!reference.load(gif.data(), gif.size()))
        return frames;
    for (int i = 0; i < reference.frameCount(); ++i) {
        reference.composite(i);
        frames.push_back(reference.snapshot());
    }
    return frames;
}
