// Drawing the canvas with MaskBlt, loading a file's first frame, and the
// information text.
#include "TestDecoder.h"
#include "support/RawGif.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

// A 32-bit surface of w x h pixels, each 0xXXRRGGBB in memory order B G R X.
struct Surface {
    int width, height;
    std::vector<uint32_t> pixels;
    PictorDC dc;

    Surface(int w, int h, uint32_t fill) : width(w), height(h), pixels(size_t(w) * h, fill)
    {
        dc = PictorDC{w, h, w * 4, reinterpret_cast<uint8_t *>(pixels.data())};
    }
    uint32_t at(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

// Screen 3x1, colours (i, 2i, 3i): a transparent frame leaves pixel 1 undrawn.
std::vector<uint8_t> transparentPicture()
{
    RawGif g;
    g.header(3, 1, 2).control(0, 0).image(0, 0, 3, 1).pixels(2, {1, 0, 2}).trailer();
    return g.out();
}

uint32_t rgb(uint32_t r, uint32_t g, uint32_t b)
{
    return (r << 16) | (g << 8) | b;
}

TEST(PictorMaskBlt, CopyWithoutTheMask)
{
    TestDecoder d(transparentPicture());
    GifParseControl(d.get());
    Surface s(5, 2, 0xFF123456);
    MaskBlt(d.get(), &s.dc, 1, 1, 0);
    EXPECT_EQ(s.at(0, 1), 0xFF123456u);
    EXPECT_EQ(s.at(1, 1), 0xFF000000u | rgb(1, 2, 3));
    EXPECT_EQ(s.at(2, 1), 0xFF000000u | rgb(255, 255, 255)); // the transparent entry is white
    EXPECT_EQ(s.at(3, 1), 0xFF000000u | rgb(2, 4, 6));
    EXPECT_EQ(s.at(4, 1), 0xFF123456u);
    EXPECT_EQ(s.at(1, 0), 0xFF123456u);
}

TEST(PictorMaskBlt, WithTheMaskTheDestinationShowsThroughTransparentPixels)
{
    TestDecoder d(transparentPicture());
    GifParseControl(d.get());
    Surface s(3, 1, 0x00405060);
    MaskBlt(d.get(), &s.dc, 0, 0, 1);
    EXPECT_EQ(s.at(0, 0), rgb(1, 2, 3));
    EXPECT_EQ(s.at(1, 0), 0x00405060u);
    EXPECT_EQ(s.at(2, 0), rgb(2, 4, 6));
}

TEST(PictorMaskBlt, ClipsToTheSurface)
{
    RawGif g;
    g.header(4, 4, 4).image(0, 0, 4, 4).pixels(4, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0}).trailer();
    TestDecoder d(g.out());
    GifParseControl(d.get());
    struct Case {
        int x, y;
    };
    for (const Case &c : {Case{-2, -3}, Case{2, 1}, Case{-10, 0}, Case{0, 10}, Case{-2147483647, 2147483647}}) {
        Surface s(3, 3, 0xAA000000);
        MaskBlt(d.get(), &s.dc, c.x, c.y, 0);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x) {
                const int64_t sx = int64_t(x) - c.x, sy = int64_t(y) - c.y;
                uint32_t expected = 0xAA000000;
                if (sx >= 0 && sx < 4 && sy >= 0 && sy < 4) {
                    const uint32_t i = uint32_t(sy * 4 + sx + 1) % 16;
                    expected |= rgb(i, 2 * i, 3 * i);
                }
                EXPECT_EQ(s.at(x, y), expected) << c.x << "," << c.y << " at " << x << "," << y;
            }
    }
}

TEST(PictorMaskBlt, NothingWithoutCanvasOrSurface)
{
    RawGif g;
    g.header(2, 2, 0).trailer(); // no colour table: no canvas
    TestDecoder d(g.out());
    Surface s(2, 2, 7);
    MaskBlt(d.get(), &s.dc, 0, 0, 1);
    EXPECT_EQ(s.at(0, 0), 7u);
    TestDecoder withCanvas(transparentPicture());
    MaskBlt(withCanvas.get(), nullptr, 0, 0, 1);
    PictorDC empty{2, 2, 8, nullptr};
    MaskBlt(withCanvas.get(), &empty, 0, 0, 1);
}

class PictorFile : public ::testing::Test
{
protected:
    std::filesystem::path path(const char *name)
    {
        auto p = std::filesystem::temp_directory_path() / ("pictor-" + std::to_string(getpid()) + "-" + name);
        m_files.push_back(p);
        return p;
    }
    void write(const std::filesystem::path &p, const std::vector<uint8_t> &bytes)
    {
        std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
    }
    void TearDown() override
    {
        for (const auto &p : m_files)
            std::filesystem::remove(p);
    }

private:
    std::vector<std::filesystem::path> m_files;
};

TEST_F(PictorFile, FirstFrameWithoutTransparencyAndOwnedByTheCaller)
{
    RawGif g;
    g.header(3, 2, 2, 1).control(0, 0).image(0, 0, 3, 1).pixels(2, {0, 2, 3});
    g.image(0, 1, 3, 1).pixels(2, {3, 3, 3}).trailer();
    const auto p = path("first.gif");
    write(p, g.out());
    PictorBitmap *bitmap = LoadGifFromFile(p.c_str());
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->width, 3);
    EXPECT_EQ(bitmap->height, 2);
    EXPECT_EQ(bitmap->bitsPerPixel, 8);
    const uint8_t row0[3] = {0, 2, 3}, row1[3] = {1, 1, 1};
    EXPECT_EQ(memcmp(bitmap->bits, row0, 3), 0);
    EXPECT_EQ(memcmp(bitmap->bits + bitmap->stride, row1, 3), 0);
    EXPECT_EQ(bitmap->colors[0].red, 0); // not turned white: no transparency
    EXPECT_EQ(bitmap->colors[3].blue, 9);
    PictorDeleteBitmap(bitmap);
}

TEST_F(PictorFile, NothingForMissingOrForeignFiles)
{
    EXPECT_EQ(LoadGifFromFile(path("missing.gif").c_str()), nullptr);
    EXPECT_EQ(LoadGifFromFile(nullptr), nullptr);
    EXPECT_EQ(LoadGifFromFile(std::filesystem::temp_directory_path().c_str()), nullptr);
    const auto foreign = path("foreign.gif");
    write(foreign, {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(LoadGifFromFile(foreign.c_str()), nullptr);
    const auto empty = path("empty.gif");
    write(empty, {});
    EXPECT_EQ(LoadGifFromFile(empty.c_str()), nullptr);
    RawGif noTable;
    noTable.header(2, 2, 0).image(0, 0, 2, 2).pixels(2, {1, 1, 1, 1}).trailer();
    const auto bare = path("bare.gif");
    write(bare, noTable.out());
    EXPECT_EQ(LoadGifFromFile(bare.c_str()), nullptr);
}

TEST(PictorInfo, FixedLengthCopyOfTheText)
{
    const unsigned length = GetDllInfoLen();
    std::vector<char> whole(length + 8, 'x');
    GetDllInfo(whole.data(), int(whole.size()));
    const std::string text(whole.data());
    EXPECT_EQ(text.size() + 1, length);
    EXPECT_EQ(text.rfind("PICTOR.DLL Ver0.8\n", 0), 0u);
    EXPECT_GT(std::count(text.begin(), text.end(), '\n'), 1);
    for (size_t i = text.size(); i < whole.size(); ++i)
        EXPECT_EQ(whole[i], 0) << i; // zero-filled to the given length

    char shortBuffer[11];
    memset(shortBuffer, 'x', sizeof shortBuffer);
    GetDllInfo(shortBuffer, 10);
    EXPECT_EQ(std::string(shortBuffer, 10), "PICTOR.DLL");
    EXPECT_EQ(shortBuffer[10], 'x'); // no terminating zero, nothing beyond the length

    GetDllInfo(shortBuffer, 0);
    GetDllInfo(nullptr, 10);
    EXPECT_EQ(shortBuffer[0], 'P');
}

} // namespace
