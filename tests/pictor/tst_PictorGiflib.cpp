// Pictor against giflib: a corpus encoded with giflib's encoder at test time,
// decoded by both; every frame's canvas, mask, palette, rectangle, control
// data and result compared, and the frame count.
#include "support/FrameSnapshot.h"
#include "support/GifRecipe.h"
#include "support/GiflibReference.h"
#include "support/GiflibWriter.h"
#include "support/RawGif.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

struct CorpusCase {
    std::string name;
    std::function<GifRecipe()> make;
};

GifRecipe singleFrame(unsigned width, unsigned height, unsigned bits, bool noisy, uint32_t seed)
{
    std::mt19937 rng(seed);
    GifRecipe s;
    s.width = width;
    s.height = height;
    s.background = uint8_t(rng() % (1u << bits));
    s.globalPalette = gifspec::palette(bits, rng);
    s.frames.push_back(gifspec::frame(0, 0, width, height,
                                      noisy ? gifspec::noisy(width, height, bits, rng)
                                            : gifspec::flat(width, height, bits, rng)));
    return s;
}

// Random frames over a small screen: rectangles anywhere, every disposal,
// transparency switched on and off, frames without control extensions,
// now and then a local colour table, delays including 0.
GifRecipe animation(unsigned width, unsigned height, unsigned frames, uint32_t seed, unsigned maxDisposal = 3)
{
    std::mt19937 rng(seed);
    GifRecipe s;
    s.width = width;
    s.height = height;
    const unsigned bits = 2 + rng() % 7;
    s.globalPalette = gifspec::palette(bits, rng);
    s.background = uint8_t(rng() % (1u << bits));
    for (unsigned i = 0; i < frames; ++i) {
        const unsigned w = 1 + rng() % width, h = 1 + rng() % height;
        const unsigned x = rng() % (width - w + 1), y = rng() % (height - h + 1);
        unsigned frameBits = bits;
        std::vector<Rgb> local;
        if (rng() % 8 == 0) {
            frameBits = 1 + rng() % 8;
            local = gifspec::palette(frameBits, rng);
        }
        auto f = gifspec::frame(x, y, w, h,
                                rng() % 2 ? gifspec::noisy(w, h, frameBits, rng) : gifspec::flat(w, h, frameBits, rng));
        f.localPalette = std::move(local);
        f.interlaced = rng() % 5 == 0;
        f.control = rng() % 5 != 0;
        f.disposal = rng() % (maxDisposal + 1);
        f.transparent = rng() % 2 ? int(rng() % (1u << frameBits)) : -1;
        f.delay = rng() % 3 == 0 ? 0 : rng() % 200;
        s.frames.push_back(std::move(f));
    }
    return s;
}

std::vector<CorpusCase> corpus()
{
    std::vector<CorpusCase> cases;
    for (unsigned bits = 1; bits <= 8; ++bits) {
        cases.push_back({"Noisy" + std::to_string(bits) + "Bit", [=] { return singleFrame(61, 37, bits, true, bits); }});
        cases.push_back({"Flat" + std::to_string(bits) + "Bit", [=] { return singleFrame(77, 41, bits, false, bits); }});
    }
    for (unsigned height = 1; height <= 10; ++height) {
        cases.push_back({"InterlacedHeight" + std::to_string(height), [=] {
                             std::mt19937 rng(100 + height);
                             GifRecipe s;
                             s.width = 13;
                             s.height = height + 2;
                             s.globalPalette = gifspec::palette(4, rng);
                             auto f = gifspec::frame(2, 1, 9, height, gifspec::noisy(9, height, 4, rng));
                             f.interlaced = true;
                             s.frames.push_back(f);
                             // A plain frame after the interlaced one is written row by row.
                             s.frames.push_back(gifspec::frame(0, 0, 13, height + 2,
                                                               gifspec::flat(13, height + 2, 4, rng)));
                             return s;
                         }});
    }
    for (unsigned disposal = 0; disposal <= 7; ++disposal) {
        cases.push_back({"Disposal" + std::to_string(disposal), [=] {
                             std::mt19937 rng(200 + disposal);
                             GifRecipe s;
                             s.width = 30;
                             s.height = 20;
                             s.background = 5;
                             s.globalPalette = gifspec::palette(4, rng);
                             s.frames.push_back(gifspec::frame(0, 0, 30, 20, gifspec::flat(30, 20, 4, rng)));
                             auto f = gifspec::frame(3, 2, 13, 9, gifspec::noisy(13, 9, 4, rng));
                             f.control = true;
                             f.disposal = disposal;
                             f.transparent = 7;
                             f.delay = 4;
                             s.frames.push_back(f);
                             auto g = gifspec::frame(9, 5, 10, 10, gifspec::noisy(10, 10, 4, rng));
                             g.control = true;
                             g.disposal = disposal;
                             s.frames.push_back(g);
                             s.frames.push_back(gifspec::frame(1, 1, 5, 5, gifspec::noisy(5, 5, 4, rng)));
                             return s;
                         }});
    }
    cases.push_back({"TransparencyOnOddEdges", [] {
                         std::mt19937 rng(300);
                         GifRecipe s;
                         s.width = 45;
                         s.height = 17;
                         s.globalPalette = gifspec::palette(3, rng);
                         for (unsigned i = 0; i < 6; ++i) {
                             auto f = gifspec::frame(i * 5 + 3, i, 11 + i, 9, gifspec::noisy(11 + i, 9, 3, rng));
                             f.control = true;
                             f.transparent = i % 2 ? int(i) : 0;
                             f.disposal = 1;
                             s.frames.push_back(f);
                         }
                         // Opaque control after transparent ones, then a frame without any.
                         auto f = gifspec::frame(0, 0, 45, 17, gifspec::noisy(45, 17, 3, rng));
                         f.control = true;
                         s.frames.push_back(f);
                         s.frames.push_back(gifspec::frame(7, 3, 9, 9, gifspec::noisy(9, 9, 3, rng)));
                         return s;
                     }});
    cases.push_back({"LocalColourTables", [] {
                         std::mt19937 rng(400);
                         GifRecipe s;
                         s.width = 40;
                         s.height = 30;
                         s.background = 1;
                         s.globalPalette = gifspec::palette(2, rng);
                         for (unsigned bits : {8u, 1u, 0u, 5u, 0u, 3u}) {
                             // A frame without a table is encoded against the global one.
                             auto f = gifspec::frame(bits * 2, bits, 20, 20, gifspec::noisy(20, 20, bits ? bits : 2, rng));
                             if (bits)
                                 f.localPalette = gifspec::palette(bits, rng);
                             s.frames.push_back(f);
                         }
                         return s;
                     }});
    cases.push_back({"NoGlobalTable", [] {
                         std::mt19937 rng(500);
                         GifRecipe s;
                         s.width = 16;
                         s.height = 16;
                         auto f = gifspec::frame(0, 0, 16, 16, gifspec::noisy(16, 16, 4, rng));
                         f.localPalette = gifspec::palette(4, rng);
                         s.frames.push_back(f);
                         auto g = gifspec::frame(4, 4, 8, 8, gifspec::noisy(8, 8, 2, rng));
                         g.localPalette = gifspec::palette(2, rng);
                         s.frames.push_back(g);
                         return s;
                     }});
    cases.push_back({"Gif87a", [] {
                         GifRecipe s = singleFrame(33, 21, 5, true, 600);
                         s.gif89 = false;
                         return s;
                     }});
    cases.push_back({"LargeNoisy", [] { return singleFrame(400, 300, 8, true, 700); }});
    cases.push_back({"Photo", [] {
                         std::mt19937 rng(800);
                         GifRecipe s;
                         s.width = 320;
                         s.height = 200;
                         s.globalPalette = gifspec::palette(8, rng);
                         auto f = gifspec::frame(0, 0, 320, 200, gifspec::photo(320, 200, rng));
                         f.interlaced = true;
                         s.frames.push_back(f);
                         return s;
                     }});
    for (uint32_t seed = 1; seed <= 6; ++seed)
        cases.push_back({"LongAnimation" + std::to_string(seed), [=] { return animation(32, 24, 120, 900 + seed); }});
    cases.push_back({"AnimationWithEveryDisposalCode", [] { return animation(50, 10, 80, 1000, 7); }});
    return cases;
}

// Streams giflib's encoder does not write but its decoder reads.
struct RawCase {
    std::string name;
    std::function<std::vector<uint8_t>()> make;
};

void PrintTo(const RawCase &c, std::ostream *os)
{
    *os << c.name;
}

std::vector<RawCase> rawCases()
{
    return {
        {"MinimumCodeSizeOne", [] {
             std::mt19937 rng(1100);
             RawGif g;
             g.header(37, 29, 1);
             g.image(0, 0, 37, 29).lzw(1, gifspec::flat(37, 29, 1, rng));
             g.image(3, 2, 30, 20).lzw(1, gifspec::noisy(30, 20, 1, rng)).trailer();
             return g.out();
         }},
        {"TableFullWithoutClear", [] {
             // After one clear only root codes: the table fills and the
             // codes go on at 12 bits against it.
             std::mt19937 rng(1200);
             std::vector<unsigned> codes{16};
             for (int i = 0; i < 6000; ++i)
                 codes.push_back(rng() % 16);
             codes.push_back(17);
             RawGif g;
             g.header(100, 60, 4).image(0, 0, 100, 60).data(4, packCodes(4, codes)).trailer();
             return g.out();
         }},
        {"SmallSubBlocks", [] {
             std::mt19937 rng(1300);
             RawGif g;
             g.header(50, 40, 8).image(0, 0, 50, 40, true).data(8, packCodes(8, lzwCodes(8, gifspec::photo(50, 40, rng))), 3);
             g.image(5, 5, 40, 30).data(8, packCodes(8, lzwCodes(8, gifspec::flat(40, 30, 8, rng))), 1).trailer();
             return g.out();
         }},
    };
}

class GiflibRawComparison : public ::testing::TestWithParam<RawCase>
{
};

TEST_P(GiflibRawComparison, EveryFrameMatches)
{
    const std::vector<uint8_t> gif = GetParam().make();
    const auto expected = giflibSnapshots(gif);
    ASSERT_FALSE(expected.empty()) << "giflib refused the stream";
    EXPECT_EQ(compareSnapshots(expected, pictorSnapshots(gif)), "");
}

INSTANTIATE_TEST_SUITE_P(HandMade, GiflibRawComparison, ::testing::ValuesIn(rawCases()),
                         [](const auto &info) { return info.param.name; });

void PrintTo(const CorpusCase &c, std::ostream *os)
{
    *os << c.name;
}

class GiflibComparison : public ::testing::TestWithParam<CorpusCase>
{
};

TEST_P(GiflibComparison, EveryFrameMatches)
{
    const GifRecipe recipe = GetParam().make();
    const std::vector<uint8_t> gif = encodeWithGiflib(recipe);
    ASSERT_FALSE(gif.empty()) << "giflib refused the picture";
    const auto expected = giflibSnapshots(gif);
    ASSERT_EQ(expected.size(), recipe.frames.size());
    EXPECT_EQ(compareSnapshots(expected, pictorSnapshots(gif)), "");
}

INSTANTIATE_TEST_SUITE_P(Corpus, GiflibComparison, ::testing::ValuesIn(corpus()),
                         [](const auto &info) { return info.param.name; });

} // namespace
