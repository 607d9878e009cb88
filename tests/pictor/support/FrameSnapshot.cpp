#include "FrameSnapshot.h"

#include <cstring>
#include <memory>
#include <sstream>

namespace {

std::string firstDiff(const char *what, size_t frame, const std::vector<uint8_t> &a, const std::vector<uint8_t> &b)
{
    if (a == b)
        return {};
    std::ostringstream s;
    s << "frame " << frame << ": " << what << " differs";
    if (a.size() != b.size()) {
        s << " in size (" << a.size() << " vs " << b.size() << ")";
        return s.str();
    }
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) {
            s << " first at byte " << i << " (" << int(a[i]) << " vs " << int(b[i]) << ")";
            break;
        }
    return s.str();
}

} // namespace

std::string compareSnapshots(const std::vector<FrameSnapshot> &expected, const std::vector<FrameSnapshot> &actual)
{
    std::ostringstream s;
    if (expected.size() != actual.size()) {
        s << "frame count " << expected.size() << " vs " << actual.size();
        return s.str();
    }
    for (size_t i = 0; i < expected.size(); ++i) {
        const auto &e = expected[i];
        const auto &a = actual[i];
        if (e.left != a.left || e.top != a.top || e.width != a.width || e.height != a.height) {
            s << "frame " << i << ": rectangle " << e.left << "," << e.top << " " << e.width << "x" << e.height
              << " vs " << a.left << "," << a.top << " " << a.width << "x" << a.height;
            return s.str();
        }
        if (e.result != a.result) {
            s << "frame " << i << ": result " << e.result << " vs " << a.result;
            return s.str();
        }
        if (e.control != a.control) {
            s << "frame " << i << ": control data differs";
            return s.str();
        }
        if (auto d = firstDiff("canvas", i, e.canvas, a.canvas); !d.empty())
            return d;
        if (auto d = firstDiff("mask", i, e.mask, a.mask); !d.empty())
            return d;
        if (e.colorCount != a.colorCount) {
            s << "frame " << i << ": colour count " << e.colorCount << " vs " << a.colorCount;
            return s.str();
        }
        if (memcmp(e.palette.data(), a.palette.data(), sizeof e.palette) != 0) {
            s << "frame " << i << ": palette differs";
            return s.str();
        }
    }
    return {};
}

std::vector<FrameSnapshot> pictorSnapshots(const std::vector<uint8_t> &gif)
{
    std::vector<FrameSnapshot> frames;
    std::unique_ptr<GIFDECINFO, decltype(&ReleaseDecoder)> record(CreateDecoder(), ReleaseDecoder);
    if (!GifSetSource(record.get(), gif.data(), gif.size()))
        return frames;
    for (;;) {
        const unsigned result = GifParseControl(record.get());
        if (result == PICTOR_END_OF_PICTURE)
            break;
        FrameSnapshot f;
        f.result = result;
        f.left = GetFrameLeft(record.get());
        f.top = GetFrameTop(record.get());
        f.width = GetFrameWidth(record.get());
        f.height = GetFrameHeight(record.get());
        memcpy(f.control.data(), record->ControlData, 6);
        if (const PictorBitmap *canvas = GifGetBitmap(record.get())) {
            f.canvas.assign(canvas->bits, canvas->bits + size_t(canvas->stride) * canvas->height);
            const PictorBitmap *mask = GifGetMask(record.get());
            f.mask.assign(mask->bits, mask->bits + size_t(mask->stride) * mask->height);
            memcpy(f.palette.data(), canvas->colors, sizeof f.palette);
            f.colorCount = canvas->colorCount;
        }
        frames.push_back(std::move(f));
    }
    return frames;
}
