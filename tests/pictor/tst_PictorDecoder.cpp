// The decoder's documented behaviour: opening a source, the block walk,
// frame control, disposal, interlacing, transparency, code widths.
#include "TestDecoder.h"
#include "support/RawGif.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

using Rows = std::vector<std::string>;

TEST(PictorSource, SignatureIsCheckedIgnoringCase)
{
    struct Case {
        const char *signature;
        int result;
        unsigned version;
    };
    for (const Case &c : {Case{"GIF89a", 1, 89}, Case{"gif89a", 1, 89}, Case{"GIF87a", 1, 87}, Case{"gIf87A", 1, 87},
                          Case{"GIF88a", 0, 0}, Case{"GIF89b", 0, 0}, Case{"PNG89a", 0, 0}}) {
        RawGif g;
        g.header(4, 4, 1, 0, c.signature).trailer();
        TestDecoder d(g.out());
        EXPECT_EQ(d.opened(), c.result == 1) << c.signature;
        EXPECT_EQ(GetGifVersion(d.get()), c.version) << c.signature;
        if (!c.result) {
            EXPECT_EQ(GifParseControl(d.get()), PICTOR_END_OF_PICTURE);
        }
    }
}

TEST(PictorSource, TooShortForAHeaderIsRefused)
{
    const uint8_t bytes[] = {'G', 'I', 'F', '8', '9', 'a', 4, 0, 4, 0, 0x80, 0};
    for (size_t n = 0; n <= sizeof bytes; ++n) {
        GIFDECINFO *r = CreateDecoder();
        EXPECT_EQ(GifSetSource(r, bytes, n), 0) << n;
        EXPECT_EQ(GifGetCurBlockTag(r), PICTOR_TAG_TRAILER);
        ReleaseDecoder(r);
    }
}

TEST(PictorSource, ScreenDescriptorAndGlobalTable)
{
    RawGif g;
    g.header(13, 3, 3, 5).comment("x").trailer();
    TestDecoder d(g.out());
    ASSERT_TRUE(d.opened());
    EXPECT_EQ(GetScreenWidth(d.get()), 13u);
    EXPECT_EQ(GetScreenHeight(d.get()), 3u);
    EXPECT_EQ(d->Background, 5);
    EXPECT_EQ(d->FirstBlock, d->Source + 13 + 24);
    EXPECT_EQ(d->Cursor, d->FirstBlock);
    EXPECT_EQ(GifGetCurBlockTag(d.get()), PICTOR_TAG_EXTENSION);

    const PictorBitmap *canvas = GifGetBitmap(d.get());
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(canvas->width, 13);
    EXPECT_EQ(canvas->height, 3);
    EXPECT_EQ(canvas->bitsPerPixel, 8);
    EXPECT_EQ(canvas->stride, 16);
    EXPECT_EQ(d->Stride, 16);
    EXPECT_EQ(canvas->colorCount, 8u);
    for (unsigned i = 0; i < 8; ++i) {
        EXPECT_EQ(canvas->colors[i].red, i);
        EXPECT_EQ(canvas->colors[i].green, 2 * i);
        EXPECT_EQ(canvas->colors[i].blue, 3 * i);
        EXPECT_EQ(canvas->colors[i].reserved, 0);
    }
    const PictorBitmap *mask = GifGetMask(d.get());
    ASSERT_NE(mask, nullptr);
    EXPECT_EQ(mask->bitsPerPixel, 1);
    EXPECT_EQ(mask->stride, 4);
    EXPECT_EQ(mask->colorCount, 2u);
    EXPECT_EQ(mask->colors[1].red, 255);
    EXPECT_EQ(d.rows(), Rows(3, "5555555555555"));
    EXPECT_EQ(d.maskRows(), Rows(3, "0000000000000"));
}

TEST(PictorSource, NewSourceReleasesThePreviousOne)
{
    RawGif a, b;
    a.header(4, 4, 1).image(0, 0, 4, 4).pixels(2, std::vector<uint8_t>(16, 1)).trailer();
    b.header(9, 2, 2, 3).trailer();
    TestDecoder d(a.out());
    d.walk();
    const auto second = b.out();
    ASSERT_EQ(GifSetSource(d.get(), second.data(), second.size()), 1);
    EXPECT_EQ(GifGetBitmap(d.get())->width, 9);
    EXPECT_EQ(d.rows(), Rows(2, "333333333"));
    // A source that is not a GIF leaves no canvas and nothing to walk.
    const uint8_t junk[] = "not a picture";
    EXPECT_EQ(GifSetSource(d.get(), junk, sizeof junk), 0);
    EXPECT_EQ(GifGetBitmap(d.get()), nullptr);
    EXPECT_EQ(GifParseControl(d.get()), PICTOR_END_OF_PICTURE);
}

TEST(PictorBlocks, WalkStopsAtImagesAndControlExtensions)
{
    RawGif g;
    g.header(4, 1, 1).comment("hello").bytes({0x21, 0xFF, 3, 'A', 'B', 'C', 2, 1, 2, 0});
    g.control(1, -1, 300).image(0, 0, 1, 1).pixels(2, {1}).bytes({0x2A}).trailer();
    TestDecoder d(g.out());
    EXPECT_EQ(GifSkipNextBlock(d.get()), 1); // the comment
    EXPECT_EQ(GifGetCurBlockTag(d.get()), PICTOR_TAG_EXTENSION);
    EXPECT_EQ(GifNextBlock(d.get()), 1); // skips the application extension, stops at the control one
    EXPECT_EQ(GifGetCurBlockTag(d.get()), PICTOR_TAG_EXTENSION);
    const uint8_t control[6] = {4, 1 << 2, 300 & 255, 300 >> 8, 0, 0};
    EXPECT_EQ(memcmp(d->ControlData, control, 6), 0);
    EXPECT_EQ(GifNextBlock(d.get()), 1); // stays on it
    EXPECT_EQ(GifSkipNextBlock(d.get()), 1);
    EXPECT_EQ(GifGetCurBlockTag(d.get()), PICTOR_TAG_IMAGE);
    EXPECT_EQ(GifSkipNextBlock(d.get()), 0);
    EXPECT_EQ(GifNextBlock(d.get()), 1);
    GifGetFrame(d.get());
    EXPECT_EQ(GifGetCurBlockTag(d.get()), 0x2A);
    EXPECT_EQ(GifNextBlock(d.get()), 0); // an unknown block ends the picture
    EXPECT_EQ(GifParseControl(d.get()), PICTOR_END_OF_PICTURE);
}

TEST(PictorBlocks, GetFrameSkipsControlExtensions)
{
    RawGif g;
    g.header(3, 1, 2).control(0, 2, 5).image(0, 0, 3, 1).pixels(2, {1, 2, 3}).trailer();
    TestDecoder d(g.out());
    GifGetFrame(d.get());
    EXPECT_EQ(d->HasTransparency, 0);
    EXPECT_EQ(d.rows(), Rows{"123"});
    EXPECT_EQ(d.maskRows(), Rows{"000"});
    EXPECT_EQ(GifGetCurBlockTag(d.get()), PICTOR_TAG_TRAILER);
}

TEST(PictorControl, DelaysAndResults)
{
    RawGif g;
    g.header(2, 1, 1);
    g.image(0, 0, 1, 1).pixels(2, {1});      // no control extension: 1
    g.control(0, -1, 0).image(0, 0, 1, 1).pixels(2, {1}); // delay 0 becomes 1
    g.control(0, -1, 25).image(0, 0, 1, 1).pixels(2, {1});
    g.control(0, -1, 0).control(0, -1, 9).image(0, 0, 1, 1).pixels(2, {1});
    g.control(0, -1, 4).trailer(); // a control extension with no frame after it
    TestDecoder d(g.out());
    EXPECT_EQ(GifParseControl(d.get()), 1u);
    EXPECT_EQ(GifParseControl(d.get()), 1u);
    EXPECT_EQ(d->ControlData[2], 1);
    EXPECT_EQ(GifParseControl(d.get()), 25u);
    // Two control extensions in a row: the first call stops between them
    // with the second one's delay and draws nothing; the second draws.
    EXPECT_EQ(GifParseControl(d.get()), 9u);
    EXPECT_EQ(GifGetCurBlockTag(d.get()), PICTOR_TAG_EXTENSION);
    EXPECT_EQ(GifParseControl(d.get()), 9u);
    EXPECT_EQ(GifGetCurBlockTag(d.get()), PICTOR_TAG_EXTENSION);
    EXPECT_EQ(GifParseControl(d.get()), PICTOR_END_OF_PICTURE);
}

TEST(PictorControl, NextFrameAddsTheElapsedTimeAndSkipsEmptySteps)
{
    RawGif g;
    g.header(2, 1, 1);
    g.control(0, -1, 0).control(0, -1, 0).image(0, 0, 1, 1).pixels(2, {1});
    g.control(0, -1, 40).image(1, 0, 1, 1).pixels(2, {1}).trailer();
    TestDecoder d(g.out());
    const unsigned first = GifNextFrame(d.get());
    EXPECT_GE(first, 1u);
    EXPECT_LT(first, 1000u);
    EXPECT_EQ(d.rows(), Rows{"10"}); // the zero result in between did not end the call
    const unsigned second = GifNextFrame(d.get());
    EXPECT_GE(second, 40u);
    EXPECT_LT(second, 1040u);
    EXPECT_EQ(GifNextFrame(d.get()), PICTOR_END_OF_PICTURE);
}

TEST(PictorControl, TransparencySettingsCarryToFramesWithoutControl)
{
    RawGif g;
    g.header(4, 1, 2, 3);
    g.control(1, 2).image(0, 0, 4, 1).pixels(2, {1, 2, 1, 2}); // 2 is transparent
    g.image(0, 0, 4, 1).pixels(2, {2, 0, 2, 0});               // no control: still transparent
    g.control(1).image(0, 0, 2, 1).pixels(2, {2, 2}).trailer(); // bit 0 clear: opaque
    TestDecoder d(g.out());
    GifParseControl(d.get());
    EXPECT_EQ(d.rows(), Rows{"1313"});
    EXPECT_EQ(d.maskRows(), Rows{"1010"});
    GifParseControl(d.get());
    EXPECT_EQ(d.rows(), Rows{"1010"});
    EXPECT_EQ(d.maskRows(), Rows{"1111"});
    GifParseControl(d.get());
    EXPECT_EQ(d->HasTransparency, 0);
    EXPECT_EQ(d.rows(), Rows{"2210"});
    EXPECT_EQ(d.maskRows(), Rows{"1111"}); // opaque frames leave the mask alone
}

TEST(PictorControl, TransparentPaletteEntryTurnsWhite)
{
    RawGif g;
    g.header(2, 1, 2).control(0, 1).image(0, 0, 2, 1).pixels(2, {1, 2}).trailer();
    TestDecoder d(g.out());
    const PictorColor before = GifGetBitmap(d.get())->colors[1];
    EXPECT_EQ(before.red, 1);
    GifParseControl(d.get());
    const PictorColor after = GifGetBitmap(d.get())->colors[1];
    EXPECT_EQ(after.red, 255);
    EXPECT_EQ(after.green, 255);
    EXPECT_EQ(after.blue, 255);
    EXPECT_EQ(GifGetBitmap(d.get())->colors[2].red, 2);
}

TEST(PictorFrames, InterlacedRowsThenPlainRows)
{
    // Each row of the frame holds its own row number; the stream carries
    // them in pass order 0 8 | 4 | 2 6 | 1 3 5 7 9.
    std::vector<uint8_t> stream;
    for (unsigned y : {0, 8, 4, 2, 6, 1, 3, 5, 7, 9})
        stream.insert(stream.end(), 3, uint8_t(y));
    RawGif g;
    g.header(3, 10, 4, 15).image(0, 0, 3, 10, true).pixels(4, stream);
    std::vector<uint8_t> plain;
    for (unsigned y = 0; y < 4; ++y)
        plain.insert(plain.end(), 3, uint8_t(10 + y));
    g.image(0, 3, 3, 4).pixels(4, plain).trailer();
    TestDecoder d(g.out());
    GifParseControl(d.get());
    EXPECT_EQ(d.rows(), (Rows{"000", "111", "222", "333", "444", "555", "666", "777", "888", "999"}));
    EXPECT_EQ(d->Pass, 4);
    GifParseControl(d.get());
    EXPECT_EQ(d->Interlaced, 0);
    EXPECT_EQ(d.rows(), (Rows{"000", "111", "222", "aaa", "bbb", "ccc", "ddd", "777", "888", "999"}));
}

TEST(PictorFrames, ShortInterlacedFramesSkipEmptyPasses)
{
    struct Case {
        unsigned height;
        std::vector<unsigned> order;
    };
    for (const Case &c : {Case{1, {0}}, Case{2, {0, 1}}, Case{3, {0, 2, 1}}, Case{4, {0, 2, 1, 3}},
                          Case{5, {0, 4, 2, 1, 3}}}) {
        std::vector<uint8_t> stream;
        for (unsigned y : c.order)
            stream.insert(stream.end(), 2, uint8_t(y + 1));
        RawGif g;
        g.header(2, 6, 3).image(0, 1, 2, c.height, true).pixels(3, stream).trailer();
        TestDecoder d(g.out());
        EXPECT_EQ(d.walk(), 1);
        Rows expected(6, "00");
        for (unsigned y = 0; y < c.height; ++y)
            expected[y + 1] = std::string(2, char('1' + y));
        EXPECT_EQ(d.rows(), expected) << "height " << c.height;
        EXPECT_EQ(d->Pass, 4);
    }
}

TEST(PictorFrames, MaskBitsFollowAnUnalignedLeftEdge)
{
    RawGif g;
    g.header(20, 2, 2);
    std::vector<uint8_t> pixels;
    for (unsigned i = 0; i < 18; ++i)
        pixels.push_back(i % 3 == 0 ? 0 : 1);
    g.control(1, 0).image(3, 0, 9, 2).pixels(2, pixels).trailer();
    TestDecoder d(g.out());
    GifParseControl(d.get());
    EXPECT_EQ(d.maskRows(), (Rows{"00001101101100000000", "00001101101100000000"}));
    EXPECT_EQ(d.rows(), (Rows{"00001101101100000000", "00001101101100000000"}));
}

TEST(PictorFrames, RestoreToBackgroundClearsTheWholeScreen)
{
    RawGif g;
    g.header(6, 2, 2, 3);
    g.control(0, 0).image(0, 0, 6, 2).pixels(2, std::vector<uint8_t>(12, 1));
    g.control(2).image(1, 0, 2, 1).pixels(2, {2, 2});
    g.control(0).image(5, 1, 1, 1).pixels(2, {1}).trailer();
    TestDecoder d(g.out());
    GifParseControl(d.get());
    GifParseControl(d.get());
    EXPECT_EQ(d.rows(), (Rows{"122111", "111111"}));
    GifParseControl(d.get());
    EXPECT_EQ(d.rows(), (Rows{"333333", "333331"}));
    EXPECT_EQ(d.maskRows(), (Rows{"000000", "000000"}));
}

TEST(PictorFrames, RestoreToPreviousPutsBackCanvasPixelsOnly)
{
    RawGif g;
    g.header(5, 2, 2);
    g.image(0, 0, 5, 2).pixels(2, {1, 2, 3, 1, 2, 3, 1, 2, 3, 1});
    g.control(3, 0).image(1, 0, 3, 2).pixels(2, {3, 3, 3, 3, 3, 3});
    g.control(1).image(4, 1, 1, 1).pixels(2, {2}).trailer();
    TestDecoder d(g.out());
    GifParseControl(d.get());
    GifParseControl(d.get());
    EXPECT_EQ(d.rows(), (Rows{"13332", "33331"}));
    GifParseControl(d.get());
    EXPECT_EQ(d.rows(), (Rows{"12312", "31232"}));
    EXPECT_EQ(d.maskRows(), (Rows{"01110", "01110"})); // the mask is not restored
}

TEST(PictorFrames, LocalTableClearsTheCanvasAndStays)
{
    RawGif g;
    g.header(4, 1, 2, 2);
    g.image(0, 0, 4, 1).pixels(2, {1, 1, 1, 1});
    g.image(1, 0, 1, 1, false, 3).pixels(3, {7});
    g.image(3, 0, 1, 1).pixels(2, {1}).trailer();
    TestDecoder d(g.out());
    GifParseControl(d.get());
    GifParseControl(d.get());
    EXPECT_EQ(d.rows(), Rows{"2722"});
    EXPECT_EQ(GifGetBitmap(d.get())->colors[7].red, 248); // local colour i is (255 - i, i, 128)
    EXPECT_EQ(GifGetBitmap(d.get())->colors[7].blue, 128);
    GifParseControl(d.get());
    EXPECT_EQ(d.rows(), Rows{"2721"});
    const PictorColor c = GifGetBitmap(d.get())->colors[1];
    EXPECT_EQ(c.red, 254);
    EXPECT_EQ(c.green, 1);
    EXPECT_EQ(c.blue, 128);
    EXPECT_EQ(GifGetBitmap(d.get())->colorCount, 8u);
}

TEST(PictorFrames, CodesWidenToTwelveBitsAndClearNarrowsThem)
{
    const unsigned clear = 4, end = 5;
    // 4090 literal codes after a clear fill the table (first free 6).
    std::vector<unsigned> codes{clear};
    std::vector<uint8_t> expected;
    for (unsigned i = 0; i < 4091; ++i) {
        codes.push_back(i % 4);
        expected.push_back(uint8_t(i % 4));
    }
    std::vector<unsigned> narrow = codes;
    narrow.insert(narrow.end(), {clear, 3, 2, end});
    codes.push_back(end);
    expected.insert(expected.end(), {3, 2});
    const unsigned width = unsigned(expected.size());

    RawGif g;
    g.header(width, 1, 2).image(0, 0, width - 2, 1).data(2, packCodes(2, codes));
    g.image(0, 0, width, 1).data(2, packCodes(2, narrow)).trailer();
    TestDecoder d(g.out());
    GifParseControl(d.get());
    EXPECT_EQ(d->CodeSize, 12);
    EXPECT_EQ(d->NextCode, 4096);
    EXPECT_EQ(d->CodeLimit, 4096);
    GifParseControl(d.get());
    EXPECT_EQ(d->CodeSize, 3);
    EXPECT_EQ(d->NextCode, 7);
    std::vector<uint8_t> actual;
    for (unsigned x = 0; x < width; ++x)
        actual.push_back(d.pixel(x, 0));
    EXPECT_EQ(actual, expected);
}

TEST(PictorFrames, RepeatedStringsAndTheCodeBeingDefined)
{
    const unsigned clear = 4, end = 5;
    // 6 = "13", 7 = "31", 8 = "131" (used in the step that defines it),
    // 9 = "1312", 10 = "23", 11 = "311".
    RawGif g;
    g.header(14, 1, 2).image(0, 0, 14, 1).data(2, packCodes(2, {clear, 1, 3, 6, 8, 2, 7, 9, end})).trailer();
    TestDecoder d(g.out());
    GifParseControl(d.get());
    // 1 | 3 | 13 | 131 | 2 | 31 | 1312
    EXPECT_EQ(d.rows(), Rows{"13131312311312"});
}

TEST(PictorFrames, WideMinimumCodeSizeKeepsTheLowByteOfRootCodes)
{
    // Code size 11: clear 2048, end 2049, codes 12 bits wide from the start.
    RawGif g;
    g.header(5, 1, 8).image(0, 0, 5, 1).data(11, packCodes(11, {2048, 300, 1000, 2050, 7, 2049})).trailer();
    TestDecoder d(g.out());
    GifParseControl(d.get());
    EXPECT_EQ(d->CodeSize, 12);
    EXPECT_EQ(d->ClearCode, 2048);
    const uint8_t expected[5] = {300 & 255, 1000 & 255, 300 & 255, 1000 & 255, 7};
    for (unsigned x = 0; x < 5; ++x)
        EXPECT_EQ(d.pixel(x, 0), expected[x]) << x;
}

TEST(PictorFrames, TableStateAfterAFrame)
{
    // A frame with code size 8, then one with code size 2 and a clear: the
    // record describes the last frame's table.
    RawGif g;
    g.header(40, 2, 8).image(0, 0, 40, 1).lzw(8, std::vector<uint8_t>(40, 200));
    g.image(0, 1, 6, 1).data(2, packCodes(2, {4, 1, 2, 6, 4, 3, 2, 5})).trailer();
    TestDecoder d(g.out());
    EXPECT_EQ(d.walk(), 2);
    EXPECT_EQ(d->MinCodeSize, 2);
    EXPECT_EQ(d->ClearCode, 4);
    EXPECT_EQ(d->EndCode, 5);
    EXPECT_EQ(d->NextCode, 7); // after the clear: 3, 2 define entry 6 = "32"
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(d->Prefix[c], -1) << c;
        EXPECT_EQ(d->First[c], c);
        EXPECT_EQ(d->Last[c], c);
    }
    EXPECT_EQ(d->Prefix[6], 3);
    EXPECT_EQ(d->First[6], 3);
    EXPECT_EQ(d->Last[6], 2);
    for (int c = 4; c < 4096; ++c) {
        if (c != 6) {
            EXPECT_EQ(d->Prefix[c], -2) << c;
        }
    }
    EXPECT_EQ(d.rows()[1].substr(0, 6), "121232");
}

TEST(PictorFrames, LongStringsAcrossRowsAndOffTheScreen)
{
    // Runs far longer than a row, on a frame that sticks out to the right.
    std::vector<uint8_t> pixels(200, 1);
    std::fill(pixels.begin() + 120, pixels.end(), 2);
    RawGif g;
    g.header(7, 20, 2).image(3, 2, 10, 20).lzw(2, pixels).trailer();
    TestDecoder d(g.out());
    d.walk();
    const Rows rows = d.rows();
    ASSERT_EQ(rows.size(), 20u);
    EXPECT_EQ(rows[0], "0000000");
    EXPECT_EQ(rows[2], "0001111");
    EXPECT_EQ(rows[13], "0001111");
    EXPECT_EQ(rows[14], "0002222");
    EXPECT_EQ(rows[19], "0002222");
}

TEST(PictorFrames, ReverseStartsAgainFromTheFirstFrame)
{
    RawGif g;
    g.header(3, 1, 2, 2);
    g.control(1, 3, 7).image(0, 0, 3, 1).pixels(2, {1, 3, 1});
    g.image(1, 0, 1, 1).pixels(2, {0}).trailer();
    TestDecoder d(g.out());
    EXPECT_EQ(d.walk(), 2);
    EXPECT_EQ(d.rows(), Rows{"101"});
    GifReverse(d.get());
    EXPECT_EQ(d->Cursor, d->FirstBlock);
    EXPECT_EQ(d.rows(), Rows{"222"});
    EXPECT_EQ(d.maskRows(), Rows{"000"});
    EXPECT_EQ(d->HasTransparency, 1);
    EXPECT_EQ(GifParseControl(d.get()), 7u);
    EXPECT_EQ(d.rows(), Rows{"121"});
    EXPECT_EQ(d.walk(), 1);
}

TEST(PictorRecord, InitGivesACallersRecordDefinedStartValues)
{
    auto *r = static_cast<GIFDECINFO *>(malloc(sizeof(GIFDECINFO)));
    memset(static_cast<void *>(r), 0xAB, sizeof(GIFDECINFO));
    GifInitDecoder(r);
    EXPECT_EQ(r->Pass, 0);
    EXPECT_EQ(r->BitsLeft, 0);
    EXPECT_EQ(r->BlockLeft, 0);
    EXPECT_EQ(r->X, 0);
    EXPECT_EQ(r->Y, 0);
    EXPECT_EQ(r->OwnsSource, 0);
    EXPECT_EQ(r->PrevDisposal, 0);
    EXPECT_EQ(r->Disposal, 0);
    EXPECT_EQ(r->Bitmap, nullptr);
    EXPECT_EQ(r->Mask, nullptr);
    EXPECT_EQ(r->SavedArea, nullptr);
    EXPECT_EQ(r->ClearCode, 256);
    EXPECT_EQ(r->FullScreenFrame, 1);
    EXPECT_EQ(r->MaskBit, 0x80);
    // Nothing to walk before a source is set.
    EXPECT_EQ(GifParseControl(r), PICTOR_END_OF_PICTURE);
    GifReverse(r);
    GifClearUp(r);
    free(r);
}

TEST(PictorRecord, ClearUpFreesAnOwnedSource)
{
    RawGif g;
    g.header(2, 2, 1).image(0, 0, 2, 2).pixels(2, {1, 0, 0, 1}).trailer();
    auto *copy = static_cast<uint8_t *>(malloc(g.out().size()));
    memcpy(copy, g.out().data(), g.out().size());
    GIFDECINFO *r = CreateDecoder();
    ASSERT_EQ(GifSetSource(r, copy, g.out().size()), 1);
    r->OwnsSource = 1;
    EXPECT_EQ(GifParseControl(r), 1u);
    GifClearUp(r);
    EXPECT_EQ(r->Source, nullptr);
    EXPECT_EQ(r->Bitmap, nullptr);
    EXPECT_EQ(GifParseControl(r), PICTOR_END_OF_PICTURE);
    GifClearUp(r); // a second call frees nothing twice
    ReleaseDecoder(r);
}

TEST(PictorRecord, NullRecordIsHarmless)
{
    EXPECT_EQ(GifSetSource(nullptr, "GIF89a", 6), 0);
    EXPECT_EQ(GifParseControl(nullptr), PICTOR_END_OF_PICTURE);
    EXPECT_EQ(GifNextFrame(nullptr), PICTOR_END_OF_PICTURE);
    EXPECT_EQ(GifGetBitmap(nullptr), nullptr);
    EXPECT_EQ(GetScreenWidth(nullptr), 0u);
    GifReverse(nullptr);
    GifClearUp(nullptr);
    ReleaseDecoder(nullptr);
    MaskBlt(nullptr, nullptr, 0, 0, 1);
}

} // namespace
