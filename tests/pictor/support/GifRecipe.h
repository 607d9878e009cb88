// A GIF described as data: what the giflib writer encodes and the corpus
// generators produce.
#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <vector>

using Rgb = std::array<uint8_t, 3>;

struct GifFrameSpec {
    unsigned left = 0;
    unsigned top = 0;
    unsigned width = 0;
    unsigned height = 0;
    bool interlaced = false;
    std::vector<Rgb> localPalette; // empty: none; otherwise 2^n entries
    bool control = false;          // a graphic control extension precedes the frame
    unsigned disposal = 0;
    int transparent = -1; // transparent colour index, -1 for none
    unsigned delay = 0;
    std::vector<uint8_t> pixels; // width x height, row-major
};

struct GifRecipe {
    unsigned width = 0;
    unsigned height = 0;
    uint8_t background = 0;
    bool gif89 = true;
    std::vector<Rgb> globalPalette; // empty: none
    std::vector<GifFrameSpec> frames;
};

// Builders for corpus pictures, deterministic for a given generator state.
namespace gifspec {

std::vector<Rgb> palette(unsigned bits, std::mt19937 &rng);
// Independent random indices below 2^bits: codes stay short, tables fill.
std::vector<uint8_t> noisy(unsigned width, unsigned height, unsigned bits, std::mt19937 &rng);
// A few large rectangles and stripes: long strings.
std::vector<uint8_t> flat(unsigned width, unsigned height, unsigned bits, std::mt19937 &rng);
// Smooth gradient with dithering noise, like a photograph reduced to a palette.
std::vector<uint8_t> photo(unsigned width, unsigned height, std::mt19937 &rng);

GifFrameSpec frame(unsigned left, unsigned top, unsigned width, unsigned height, std::vector<uint8_t> pixels);

} // namespace gifspec
