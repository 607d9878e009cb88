#include "GifRecipe.h"

namespace gifspec {

std::vector<Rgb> palette(unsigned bits, std::mt19937 &rng)
{
    std::vector<Rgb> colours(size_t(1) << bits);
    for (auto &c : colours)
        c = {uint8_t(rng()), uint8_t(rng()), uint8_t(rng())};
    return colours;
}

std::vector<uint8_t> noisy(unsigned width, unsigned height, unsigned bits, std::mt19937 &rng)
{
    std::vector<uint8_t> pixels(size_t(width) * height);
    const unsigned mask = (1u << bits) - 1;
    for (auto &p : pixels)
        p = uint8_t(rng() & mask);
    return pixels;
}

std::vector<uint8_t> flat(unsigned width, unsigned height, unsigned bits, std::mt19937 &rng)
{
    const unsigned mask = (1u << bits) - 1;
    std::vector<uint8_t> pixels(size_t(width) * height, uint8_t(rng() & mask));
    const unsigned shapes = 3 + rng() % 6;
    for (unsigned s = 0; s < shapes; ++s) {
        const unsigned x0 = rng() % width, y0 = rng() % height;
        const unsigned x1 = x0 + 1 + rng() % (width - x0), y1 = y0 + 1 + rng() % (height - y0);
        const uint8_t colour = uint8_t(rng() & mask);
        const bool stripes = rng() % 3 == 0;
        for (unsigned y = y0; y < y1; ++y)
            for (unsigned x = x0; x < x1; ++x)
                pixels[size_t(y) * width + x] = stripes && (x / 4) % 2 ? uint8_t(~colour & mask) : colour;
    }
    return pixels;
}

std::vector<uint8_t> photo(unsigned width, unsigned height, std::mt19937 &rng)
{
    std::vector<uint8_t> pixels(size_t(width) * height);
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < width; ++x) {
            const unsigned base = (x * 160 / width + y * 90 / height) % 224;
            pixels[size_t(y) * width + x] = uint8_t(base + rng() % 32);
        }
    return pixels;
}

GifFrameSpec frame(unsigned left, unsigned top, unsigned width, unsigned height, std::vector<uint8_t> pixels)
{
    GifFrameSpec f;
    f.left = left;
    f.top = top;
    f.width = width;
    f.height = height;
    f.pixels = std::move(pixels);
    return f;
}

} // namespace gifspec
