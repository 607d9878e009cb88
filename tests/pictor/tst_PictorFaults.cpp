// Damaged and hostile streams: each frame ends or is clipped cleanly, keeps
// what it drew, and the walk goes on after the frame's data.
#include "TestDecoder.h"
#include "support/RawGif.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Codes of a 2-bit picture: clear 4, end 5, first free 6.
constexpr unsigned kClear = 4, kEnd = 5;

// Screen 8x2, four colours, background 0.
RawGif screen()
{
    RawGif g;
    g.header(8, 2, 2);
    return g;
}

// A 1x1 frame of colour 3 at (0, 1): drawn only when the walk gets past the
// frame before it.
void finalFrame(RawGif &g)
{
    g.image(0, 1, 1, 1).pixels(2, {3}).trailer();
}

struct FaultCase {
    const char *name;
    std::function<std::vector<uint8_t>()> build;
    std::vector<std::string> rows; // canvas after the whole walk
    int frames;                    // frame calls before the end mark
};

std::vector<FaultCase> faultCases()
{
    return {
        {"MissingEndCode",
         [] {
             auto g = screen();
             g.image(0, 0, 8, 2).data(2, packCodes(2, {kClear, 1, 2, 3, 1, 2}));
             finalFrame(g);
             return g.out();
         },
         {"12312000", "30000000"}, 2},
        {"ZeroLengthSubBlockEndsTheData",
         [] {
             // clear, 1, 2, 3 at 3 bits and 1 at 4 bits fill the first two bytes.
             auto packed = packCodes(2, {kClear, 1, 2, 3, 1, 2, 3, 1, kEnd});
             auto g = screen();
             g.image(0, 0, 8, 2).bytes({2, 2, packed[0], packed[1], 0});
             g.bytes({uint8_t(packed.size() - 2)}).bytes(std::vector<uint8_t>(packed.begin() + 2, packed.end()));
             g.bytes({0});
             finalFrame(g);
             return g.out();
         },
         // What follows the empty sub-block is no block: the picture ends there.
         {"12310000", "00000000"}, 1},
        {"CodeAboveTheTable",
         [] {
             auto g = screen();
             // After clear, 1, 2, 3 the first free code is 8 and codes are 4 bits wide.
             g.image(0, 0, 8, 2).data(2, packCodes(2, {kClear, 1, 2, 3, 9, 3, kEnd}));
             finalFrame(g);
             return g.out();
         },
         {"12300000", "30000000"}, 2},
        {"UndefinedCodeRightAfterClear",
         [] {
             auto g = screen();
             g.image(0, 0, 8, 2).data(2, packCodes(2, {kClear, 1, 2, kClear, 6, 3, kEnd}));
             finalFrame(g);
             return g.out();
         },
         {"12000000", "30000000"}, 2},
        {"FirstCodeIsUndefined",
         [] {
             auto g = screen();
             g.image(0, 0, 8, 2).data(2, packCodes(2, {6, 1, kEnd}));
             finalFrame(g);
             return g.out();
         },
         {"00000000", "30000000"}, 2},
        {"MinimumCodeSizeZero",
         [] {
             auto g = screen();
             g.image(0, 0, 8, 2).data(0, {0x55, 0x55, 0x55});
             finalFrame(g);
             return g.out();
         },
         {"00000000", "30000000"}, 2},
        {"MinimumCodeSizeTwelve",
         [] {
             auto g = screen();
             g.image(0, 0, 8, 2).data(12, {0x55, 0x55, 0x55});
             finalFrame(g);
             return g.out();
         },
         {"00000000", "30000000"}, 2},
        {"FramePartlyOutsideTheScreen",
         [] {
             auto g = screen();
             // 4x2 at (6, 1): two pixels of its first row are on the screen.
             g.image(6, 1, 4, 2).pixels(2, {1, 2, 3, 3, 2, 2, 2, 2});
             g.image(0, 0, 1, 1).pixels(2, {3}).trailer();
             return g.out();
         },
         {"30000000", "00000012"}, 2},
        {"FrameWhollyOutsideTheScreen",
         [] {
             auto g = screen();
             g.image(20, 5, 2, 2).pixels(2, {1, 1, 1, 1});
             finalFrame(g);
             return g.out();
         },
         {"00000000", "30000000"}, 2},
        {"FrameEdgeBeyondSixteenBits",
         [] {
             auto g = screen();
             g.image(65530, 65530, 100, 100).pixels(2, std::vector<uint8_t>(10000, 1));
             finalFrame(g);
             return g.out();
         },
         {"00000000", "30000000"}, 2},
        {"ZeroWidthFrame",
         [] {
             auto g = screen();
             g.image(0, 0, 0, 2).pixels(2, {1, 1, 1, 1});
             finalFrame(g);
             return g.out();
         },
         {"00000000", "30000000"}, 2},
        {"ZeroHeightFrame",
         [] {
             auto g = screen();
             g.image(0, 0, 8, 0).pixels(2, {1, 1, 1, 1});
             finalFrame(g);
             return g.out();
         },
         {"00000000", "30000000"}, 2},
        {"MorePixelsThanTheFrameHolds",
         [] {
             auto g = screen();
             g.image(1, 0, 2, 1).pixels(2, {1, 2, 3, 3, 3, 3, 3});
             finalFrame(g);
             return g.out();
         },
         {"01200000", "30000000"}, 2},
        {"DataLeftAfterEndCode",
         [] {
             auto packed = packCodes(2, {kClear, 1, 2, 3, kEnd});
             packed.insert(packed.end(), {0x21, 0x2C, 0x3B, 0x00, 0x21});
             auto g = screen();
             g.image(0, 0, 3, 1).data(2, packed, 4);
             finalFrame(g);
             return g.out();
         },
         {"12300000", "30000000"}, 2},
        {"FrameCompleteBeforeItsEndCode",
         [] {
             auto g = screen();
             g.image(0, 0, 2, 1).data(2, packCodes(2, {kClear, 1, 2, 3, 3, 3, 3, 3, 3, 3, 3, kEnd}), 1);
             finalFrame(g);
             return g.out();
         },
         {"12000000", "30000000"}, 2},
        {"SourceEndsInsideTheData",
         [] {
             auto g = screen();
             g.image(0, 0, 8, 2).bytes({2, 200});
             g.bytes(packCodes(2, {kClear, 1, 2, 3, 1}));
             return g.out();
         },
         {"12310000", "00000000"}, 1},
        {"SourceEndsInsideTheDescriptor",
         [] {
             auto g = screen();
             g.image(0, 0, 1, 1).pixels(2, {2}).bytes({0x2C, 0, 0, 0});
             return g.out();
         },
         {"20000000", "00000000"}, 2},
        {"SourceEndsAfterTheCodeSize",
         [] {
             auto g = screen();
             g.image(0, 0, 1, 1).bytes({2});
             return g.out();
         },
         {"00000000", "00000000"}, 1},
        {"SourceEndsInsideAnExtension",
         [] {
             auto g = screen();
             g.image(0, 0, 1, 1).pixels(2, {2}).bytes({0x21, 0xF9, 4, 0});
             return g.out();
         },
         {"20000000", "00000000"}, 1},
        {"NoColourTableBeforeTheFirstFrame",
         [] {
             RawGif g;
             g.header(8, 2, 0);
             g.image(0, 0, 8, 1).pixels(2, std::vector<uint8_t>(8, 1));
             g.image(0, 1, 1, 1, false, 2).pixels(2, {3}).trailer();
             return g.out();
         },
         {"00000000", "30000000"}, 2},
        {"LocalTableCutOff",
         [] {
             auto g = screen();
             g.image(0, 0, 1, 1, false, 8);
             auto out = g.out();
             out.resize(out.size() - 400);
             return out;
         },
         {"00000000", "00000000"}, 1},
    };
}

void PrintTo(const FaultCase &c, std::ostream *os)
{
    *os << c.name;
}

class FaultyStream : public ::testing::TestWithParam<FaultCase>
{
};

TEST_P(FaultyStream, EndsOrClipsTheFrameAndGoesOn)
{
    const FaultCase &c = GetParam();
    TestDecoder d(c.build());
    ASSERT_TRUE(d.opened());
    EXPECT_EQ(d.walk(), c.frames);
    EXPECT_EQ(d.rows(), c.rows);
    EXPECT_LE(d->Cursor, d->SourceEnd);
    EXPECT_LE(d->NextCode, 4096);
    EXPECT_LE(d->CodeSize, 12);
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultyStream, ::testing::ValuesIn(faultCases()),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(PictorFaults, ClippedFrameReportsItsVisibleRectangle)
{
    auto g = screen();
    g.image(6, 1, 4, 2).pixels(2, std::vector<uint8_t>(8, 1)).trailer();
    TestDecoder d(g.out());
    EXPECT_EQ(GifParseControl(d.get()), 1u);
    EXPECT_EQ(GetFrameLeft(d.get()), 6u);
    EXPECT_EQ(GetFrameTop(d.get()), 1u);
    EXPECT_EQ(GetFrameWidth(d.get()), 2u);
    EXPECT_EQ(GetFrameHeight(d.get()), 1u);
    EXPECT_FALSE(d->FullScreenFrame);
}

TEST(PictorFaults, ClippedFrameWithRestoreToPreviousStaysInsideTheCanvas)
{
    auto g = screen();
    g.control(3).image(5, 0, 6, 3).pixels(2, std::vector<uint8_t>(18, 2));
    g.image(0, 0, 1, 1).pixels(2, {1}).trailer();
    TestDecoder d(g.out());
    EXPECT_EQ(d.walk(), 2);
    // The second frame restored the clipped rectangle before drawing.
    EXPECT_EQ(d.rows(), (std::vector<std::string>{"10000000", "00000000"}));
}

// A stream that never clears: once the table holds 4096 entries the codes
// stay 12 bits wide and decode against the full table.
TEST(PictorFaults, TableFullWithoutClearKeepsDecoding)
{
    const unsigned width = 80, height = 60;
    std::vector<unsigned> codes{kClear};
    std::vector<uint8_t> expected;
    for (unsigned i = 0; i < width * height; ++i) {
        const uint8_t v = uint8_t((i * 7 + i / 13) & 3);
        codes.push_back(v);
        expected.push_back(v);
    }
    codes.push_back(kEnd);
    RawGif g;
    g.header(width, height, 2).image(0, 0, width, height).data(2, packCodes(2, codes)).trailer();
    TestDecoder d(g.out());
    EXPECT_EQ(d.walk(), 1);
    EXPECT_EQ(d->NextCode, 4096);
    EXPECT_EQ(d->CodeSize, 12);
    std::vector<uint8_t> actual;
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < width; ++x)
            actual.push_back(d.pixel(x, y));
    EXPECT_EQ(actual, expected);
}

TEST(PictorFaults, CanvasAboveThePixelCapIsNotCreated)
{
    for (auto [w, h] : {std::pair{65535u, 65535u}, std::pair{8193u, 4096u}, std::pair{0u, 10u}, std::pair{10u, 0u}}) {
        RawGif g;
        g.header(w, h, 2).image(0, 0, 2, 2).pixels(2, {1, 1, 1, 1}).trailer();
        TestDecoder d(g.out());
        ASSERT_TRUE(d.opened());
        EXPECT_EQ(GifGetBitmap(d.get()), nullptr) << w << "x" << h;
        EXPECT_EQ(GifGetMask(d.get()), nullptr);
        EXPECT_EQ(d.walk(), 1);
        EXPECT_EQ(d->Cursor, d->SourceEnd - 1); // at the trailer, past the frame
        PictorDC dc{4, 4, 16, nullptr};
        uint32_t pixels[16] = {};
        dc.pixels = reinterpret_cast<uint8_t *>(pixels);
        MaskBlt(d.get(), &dc, 0, 0, 1); // draws nothing, must not crash
    }
}

TEST(PictorFaults, CanvasAtThePixelCapIsCreated)
{
    RawGif g;
    g.header(8192, 4096, 1).trailer();
    TestDecoder d(g.out());
    ASSERT_NE(GifGetBitmap(d.get()), nullptr);
    EXPECT_EQ(GifGetBitmap(d.get())->stride, 8192);
    EXPECT_EQ(GifGetMask(d.get())->stride, 1024);
}

// Every cut of a multi-frame picture decodes without leaving the source and
// draws a prefix of what the whole picture draws.
TEST(PictorFaults, EveryTruncationStaysInBounds)
{
    RawGif g;
    g.header(9, 5, 3).comment("cut here");
    g.control(2, 1, 5).image(1, 1, 7, 3, true).pixels(3, std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 0, 1, 2, 3, 4,
                                                                              5, 6, 7, 0, 1, 2, 3, 4, 5});
    g.control(3).image(0, 0, 9, 5, false, 3).pixels(3, std::vector<uint8_t>(45, 6)).trailer();
    const auto whole = g.out();
    TestDecoder full(whole);
    const int frames = full.walk();
    ASSERT_EQ(frames, 2);
    for (size_t n = 0; n < whole.size(); ++n) {
        TestDecoder d(std::vector<uint8_t>(whole.begin(), whole.begin() + ptrdiff_t(n)));
        if (!d.opened())
            continue;
        const int walked = d.walk();
        EXPECT_GE(walked, 0) << n;
        EXPECT_LE(walked, frames) << n;
        EXPECT_LE(d->Cursor, d->SourceEnd) << n;
        EXPECT_GE(d->Cursor, d->Source) << n;
    }
}

} // namespace
