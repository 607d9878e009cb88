#include "GiflibWriter.h"

#include <gif_lib.h>

#include <algorithm>

namespace {

int writeToVector(GifFileType *file, const GifByteType *data, int length)
{
    auto *out = static_cast<std::vector<uint8_t> *>(file->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

ColorMapObject *makeMap(const std::vector<Rgb> &colours)
{
    if (colours.empty())
        return nullptr;
    std::vector<GifColorType> entries(colours.size());
    for (size_t i = 0; i < colours.size(); ++i)
        entries[i] = {colours[i][0], colours[i][1], colours[i][2]};
    return GifMakeMapObject(int(colours.size()), entries.data());
}

bool putFrame(GifFileType *file, const GifFrameSpec &f)
{
    if (f.control) {
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = int(f.disposal);
        gcb.DelayTime = int(f.delay);
        gcb.TransparentColor = f.transparent;
        GifByteType bytes[4];
        const size_t n = EGifGCBToExtension(&gcb, bytes);
        if (EGifPutExtension(file, GRAPHICS_EXT_FUNC_CODE, int(n), bytes) != GIF_OK)
            return false;
    }
    ColorMapObject *local = makeMap(f.localPalette);
    const int ok = EGifPutImageDesc(file, int(f.left), int(f.top), int(f.width), int(f.height), f.interlaced, local);
    GifFreeMapObject(local);
    if (ok != GIF_OK)
        return false;
    // giflib writes lines in the order given: interlaced frames go pass by pass.
    std::vector<unsigned> rows;
    if (f.interlaced) {
        static const unsigned start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (unsigned y = start[pass]; y < f.height; y += step[pass])
                rows.push_back(y);
    } else {
        for (unsigned y = 0; y < f.height; ++y)
            rows.push_back(y);
    }
    std::vector<GifPixelType> line(f.width);
    for (unsigned y : rows) {
        std::copy_n(f.pixels.begin() + std::ptrdiff_t(y) * f.width, f.width, line.begin());
        if (EGifPutLine(file, line.data(), int(f.width)) != GIF_OK)
            return false;
    }
    return true;
}

} // namespace

std::vector<uint8_t> encodeWithGiflib(const GifRecipe &recipe)
{
    std::vector<uint8_t> out;
    int error = 0;
    GifFileType *file = EGifOpen(&out, writeToVector, &error);
    if (!file)
        return {};
    EGifSetGifVersion(file, recipe.gif89);
    ColorMapObject *global = makeMap(recipe.globalPalette);
    bool ok = EGifPutScreenDesc(file, int(recipe.width), int(recipe.height), 8, recipe.background, global) == GIF_OK;
    GifFreeMapObject(global);
    for (const auto &f : recipe.frames) {
        if (!ok)
            break;
        ok = putFrame(file, f);
    }
    if (EGifCloseFile(file, &error) != GIF_OK || !ok)
        return {};
    return out;
}
