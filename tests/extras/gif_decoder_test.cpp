// The GIF stream reader and LZW decoder, compared index for index with giflib on hand-made files,
// and driven through broken files that must drop a frame without reading or writing out of bounds.
#include "game/extras/gif_decoder.h"

#include <gtest/gtest.h>

#include "tests/extras/gif_writer.h"
#include "tests/extras/giflib_reference.h"

namespace {

using giftest::Bytes;
using giftest::GifWriter;
using giftest::Image;

// The visible indexes of `frame` as width x height rows, for comparison.
std::vector<std::uint8_t> Indexes(const gif::Frame& frame) {
    std::vector<std::uint8_t> out;
    for (int y = 0; y < frame.visibleHeight; ++y)
        for (int x = 0; x < frame.visibleWidth; ++x) out.push_back(frame.IndexAt(x, y));
    return out;
}

std::vector<std::uint8_t> Clip(const std::vector<std::uint8_t>& pixels, int width, int visW,
                               int visH) {
    std::vector<std::uint8_t> out;
    for (int y = 0; y < visH; ++y)
        for (int x = 0; x < visW; ++x) out.push_back(pixels[std::size_t(y) * width + x]);
    return out;
}

// Decodes every frame with our reader and with giflib and compares them.
void ExpectSameAsGiflib(const Bytes& bytes) {
    const giftest::RefGif ref = giftest::GiflibDecode(bytes);
    ASSERT_TRUE(ref.ok) << "giflib refused the test file";
    gif::Stream stream;
    ASSERT_TRUE(stream.Open(bytes.data(), bytes.size()));
    EXPECT_EQ(stream.ScreenWidth(), ref.screenWidth);
    EXPECT_EQ(stream.ScreenHeight(), ref.screenHeight);
    for (std::size_t i = 0; i < ref.frames.size(); ++i) {
        SCOPED_TRACE("frame " + std::to_string(i));
        const giftest::RefFrame& r = ref.frames[i];
        gif::Frame frame;
        ASSERT_TRUE(stream.NextFrame(frame));
        EXPECT_EQ(frame.left, r.left);
        EXPECT_EQ(frame.top, r.top);
        EXPECT_EQ(frame.width, r.width);
        EXPECT_EQ(frame.height, r.height);
        EXPECT_EQ(Indexes(frame),
                  Clip(r.indexes, r.width, frame.visibleWidth, frame.visibleHeight));
        for (int c = 0; c < r.colourCount; ++c) ASSERT_EQ(frame.colours[c], r.colours[c]) << c;
    }
}

Image Picture(int width, int height, int colours, unsigned seed) {
    Image image;
    image.width = width;
    image.height = height;
    image.pixels = giftest::Noise(width, height, colours, seed);
    return image;
}

TEST(GifHeader, AcceptsBothSignaturesAndReadsTheScreen) {
    for (const char* sig : {"GIF87a", "GIF89a"}) {
        const Bytes bytes = GifWriter(120, 60, giftest::Palette(4), sig).Trailer().bytes();
        gif::Stream stream;
        ASSERT_TRUE(stream.Open(bytes.data(), bytes.size())) << sig;
        EXPECT_EQ(stream.ScreenWidth(), 120);
        EXPECT_EQ(stream.ScreenHeight(), 60);
        EXPECT_EQ(stream.GlobalColourCount(), 4);
    }
}

TEST(GifHeader, RefusesForeignShortAndOversizedFiles) {
    gif::Stream stream;
    Bytes bytes = GifWriter(10, 10, giftest::Palette(8)).Trailer().bytes();
    Bytes foreign = bytes;
    foreign[3] = '9';
    foreign[4] = '0';
    EXPECT_FALSE(stream.Open(foreign.data(), foreign.size()));
    EXPECT_FALSE(stream.Open(bytes.data(), 12));  // header cut short
    // Global table announced with 8 entries, only 7 present.
    EXPECT_FALSE(stream.Open(bytes.data(), 13 + 7 * 3));
    EXPECT_FALSE(stream.HasData());
    const Bytes huge = GifWriter(65535, 65535).Trailer().bytes();
    EXPECT_FALSE(stream.Open(huge.data(), huge.size()));
    EXPECT_TRUE(stream.Open(bytes.data(), bytes.size()));
    EXPECT_FALSE(stream.OpenFile("ads\\no such advert.gif"));
}

TEST(GifLzw, MatchesGiflibForEveryCodeSize) {
    for (int bits = 1; bits <= 8; ++bits) {
        SCOPED_TRACE("bits " + std::to_string(bits));
        GifWriter writer(37, 23, giftest::Palette(1 << bits));
        writer.AddImage(Picture(37, 23, 1 << bits, unsigned(bits)));
        ExpectSameAsGiflib(writer.Trailer().bytes());
    }
}

TEST(GifLzw, FullTableWithAndWithoutClearCodes) {
    // 256 x 200 pixels of noise fill the 4096-entry table many times over.
    for (bool clearWhenFull : {true, false}) {
        SCOPED_TRACE(clearWhenFull ? "clear codes" : "deferred clear");
        Image image = Picture(256, 200, 256, 7);
        image.clearWhenFull = clearWhenFull;
        const Bytes bytes =
            GifWriter(256, 200, giftest::Palette(256)).AddImage(image).Trailer().bytes();
        gif::Stream stream;
        ASSERT_TRUE(stream.Open(bytes.data(), bytes.size()));
        gif::Frame frame;
        ASSERT_TRUE(stream.NextFrame(frame));
        EXPECT_EQ(Indexes(frame), image.pixels);
    }
}

TEST(GifLzw, LongRunsAndRepeatedStrings) {
    // Runs make the encoder send codes it is still defining (the previous string plus its own
    // first byte).
    Image image;
    image.width = 300;
    image.height = 40;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.pixels.push_back(std::uint8_t((x / (1 + y)) % 3));
    ExpectSameAsGiflib(GifWriter(300, 40, giftest::Palette(4)).AddImage(image).Trailer().bytes());
}

TEST(GifLzw, InterlacedRowsOfEveryHeight) {
    for (int height = 1; height <= 17; ++height) {
        SCOPED_TRACE("height " + std::to_string(height));
        Image image = Picture(9, height, 16, unsigned(height));
        image.interlaced = true;
        const Bytes bytes =
            GifWriter(9, height, giftest::Palette(16)).AddImage(image).Trailer().bytes();
        ExpectSameAsGiflib(bytes);
        gif::Stream stream;
        ASSERT_TRUE(stream.Open(bytes.data(), bytes.size()));
        gif::Frame frame;
        ASSERT_TRUE(stream.NextFrame(frame));
        EXPECT_EQ(Indexes(frame), image.pixels);
    }
}

TEST(GifLzw, InterlacedHeightThreeFillsRowsZeroTwoOne) {
    // Written by hand: the pixels 1 1, 3 3, 2 2 come in file order and land on rows 0 (pass 1),
    // 2 (pass 3) and 1 (pass 4).
    Image image;
    image.width = 2;
    image.height = 3;
    image.interlaced = true;
    const Bytes blocks = giftest::SubBlocks(
        giftest::PackCodes({{4, 3}, {1, 3}, {1, 3}, {3, 3}, {3, 4}, {2, 4}, {2, 4}, {5, 4}}));
    const Bytes bytes =
        GifWriter(2, 3, giftest::Palette(4)).AddRawImage(image, 2, blocks).Trailer().bytes();
    gif::Stream stream;
    ASSERT_TRUE(stream.Open(bytes.data(), bytes.size()));
    gif::Frame frame;
    ASSERT_TRUE(stream.NextFrame(frame));
    EXPECT_EQ(Indexes(frame), (std::vector<std::uint8_t>{1, 1, 2, 2, 3, 3}));
    ExpectSameAsGiflib(bytes);
}

TEST(GifBlocks, ExtensionsLocalTablesAndLoopingAfterTheTrailer) {
    Image a = Picture(20, 10, 4, 1);
    Image b = Picture(8, 4, 16, 2);
    b.left = 5;
    b.top = 3;
    b.localTable = giftest::Palette(16, 9);
    // Stray zero bytes between blocks are skipped here (giflib refuses them).
    auto build = [&](bool strayZeros) {
        GifWriter writer(20, 10, giftest::Palette(4, 1));
        writer.Loop(3).Comment("made by hand").GraphicControl(0, false, 0, 7).AddImage(a);
        writer.PlainText("shown by nobody");
        if (strayZeros) writer.Raw({0x00, 0x00});
        writer.GraphicControl(1, true, 2, 0).AddImage(b);
        return writer.Trailer().bytes();
    };
    ExpectSameAsGiflib(build(false));
    const Bytes bytes = build(true);

    gif::Stream stream;
    ASSERT_TRUE(stream.Open(bytes.data(), bytes.size()));
    gif::Frame frame;
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(stream.NextFrame(frame));
        EXPECT_EQ(frame.width, 20);
        EXPECT_EQ(stream.Control().delay, 7);
        EXPECT_FALSE(frame.transparent);
        ASSERT_TRUE(stream.NextFrame(frame));
        EXPECT_EQ(frame.left, 5);
        EXPECT_EQ(Indexes(frame), b.pixels);
        EXPECT_EQ(frame.colours[15], giftest::Palette(16, 9)[15].b |
                                         (giftest::Palette(16, 9)[15].g << 8) |
                                         (giftest::Palette(16, 9)[15].r << 16));
        EXPECT_EQ(stream.Control().disposal, gif::kDisposalNone);
        EXPECT_TRUE(frame.transparent);
        EXPECT_EQ(frame.transparentColour, frame.colours[2]);
    }
}

TEST(GifBlocks, GraphicControlValuesStayInForceExceptDisposal) {
    GifWriter writer(4, 4, giftest::Palette(4));
    writer.GraphicControl(2, true, 3, 25)
        .AddImage(Picture(4, 4, 4, 1))
        .AddImage(Picture(4, 4, 4, 2));
    const Bytes bytes = writer.Trailer().bytes();
    gif::Stream stream;
    ASSERT_TRUE(stream.Open(bytes.data(), bytes.size()));
    gif::Frame frame;
    ASSERT_TRUE(stream.NextFrame(frame));
    EXPECT_EQ(stream.Control().disposal, gif::kDisposalRestoreBackground);
    stream.SetDisposal(gif::kDisposalNone);  // as the player does once it has disposed
    ASSERT_TRUE(stream.NextFrame(frame));
    EXPECT_EQ(stream.Control().disposal, gif::kDisposalNone);
    EXPECT_EQ(stream.Control().delay, 25);
    EXPECT_TRUE(frame.transparent);
}

TEST(GifBlocks, UnknownBlocksYieldNothingAndTheNextStepGoesOn) {
    GifWriter writer(4, 4, giftest::Palette(4));
    writer.Raw({0x21, 0x42}).Raw({0x99}).AddImage(Picture(4, 4, 4, 3));
    const Bytes bytes = writer.Trailer().bytes();
    gif::Stream stream;
    ASSERT_TRUE(stream.Open(bytes.data(), bytes.size()));
    gif::Frame frame;
    EXPECT_FALSE(stream.NextFrame(frame));  // extension label 0x42
    EXPECT_FALSE(stream.NextFrame(frame));  // block byte 0x99
    EXPECT_TRUE(stream.NextFrame(frame));
}

TEST(GifBlocks, StreamWithoutImagesOrTrailerNeverLoopsForever) {
    for (const Bytes& tail :
         {Bytes{0x3B}, Bytes{0x00, 0x3B, 0x00}, Bytes{}, Bytes{0x21, 0xFE, 0x00}}) {
        const Bytes bytes = GifWriter(4, 4).Raw(tail).bytes();
        gif::Stream stream;
        ASSERT_TRUE(stream.Open(bytes.data(), bytes.size()));
        gif::Frame frame;
        for (int i = 0; i < 5; ++i) EXPECT_FALSE(stream.NextFrame(frame));
    }
}

TEST(GifBlocks, SubBlockChainPastTheEndRewinds) {
    GifWriter writer(4, 4, giftest::Palette(4));
    writer.AddImage(Picture(4, 4, 4, 1)).Raw({0x21, 0xFE, 0x30, 'a', 'b'});  // comment cut short
    const Bytes bytes = writer.bytes();
    gif::Stream stream;
    ASSERT_TRUE(stream.Open(bytes.data(), bytes.size()));
    gif::Frame frame;
    ASSERT_TRUE(stream.NextFrame(frame));
    EXPECT_FALSE(stream.NextFrame(frame));
    EXPECT_EQ(stream.Position(), 0u);
    EXPECT_TRUE(stream.NextFrame(frame));  // the first image again
}

// Broken LZW data: each frame is dropped, and the next step decodes the good image behind it.
struct BrokenCase {
    const char* name;
    std::vector<giftest::Code> codes;
};

TEST(GifLzw, BrokenStreamsDropTheFrameOnly) {
    // 2-bit pictures: clear 4, end 5, first free 6, codes of 3 bits.
    const BrokenCase cases[] = {
        {"code naming an entry not yet defined", {{4, 3}, {1, 3}, {7, 3}, {5, 3}}},
        {"first code after a clear is not a root", {{4, 3}, {6, 3}, {5, 3}}},
        {"end code right after clear leaves rows empty", {{4, 3}, {5, 3}}},
    };
    for (const BrokenCase& c : cases) {
        SCOPED_TRACE(c.name);
        Image image;
        image.width = 4;
        image.height = 4;
        const Image good = Picture(4, 4, 4, 5);
        GifWriter writer(4, 4, giftest::Palette(4));
        writer.AddRawImage(image, 2, giftest::SubBlocks(giftest::PackCodes(c.codes)))
            .AddImage(good);
        const Bytes bytes = writer.Trailer().bytes();
        gif::Stream stream;
        ASSERT_TRUE(stream.Open(bytes.data(), bytes.size()));
        gif::Frame frame;
        const bool first = stream.NextFrame(frame);
        if (std::string(c.name).find("end code") != std::string::npos) {
            // An early end code is a finished image (giflib reads it the same way).
            EXPECT_TRUE(first);
            EXPECT_EQ(Indexes(frame), std::vector<std::uint8_t>(16, 0));
        } else {
            EXPECT_FALSE(first);
        }
        ASSERT_TRUE(stream.NextFrame(frame));
        EXPECT_EQ(Indexes(frame), good.pixels);
    }
}

TEST(GifLzw, MinimumCodeSizeOutOfRangeDropsTheFrame) {
    for (int size : {0, 9, 12, 200}) {
        Image image;
        image.width = image.height = 2;
        const Bytes bytes = GifWriter(2, 2, giftest::Palette(4))
                                .AddRawImage(image, size, giftest::SubBlocks({0xFF, 0xFF, 0xFF}))
                                .Trailer()
                                .bytes();
        gif::Stream stream;
        ASSERT_TRUE(stream.Open(bytes.data(), bytes.size()));
        gif::Frame frame;
        EXPECT_FALSE(stream.NextFrame(frame)) << size;
    }
}

TEST(GifLzw, DataEndingBeforeTheEndCode) {
    const Image image = Picture(16, 8, 4, 11);
    Bytes packed = giftest::PackCodes(giftest::LzwCodes(image.pixels, 2));
    // Without the end code (the last byte holds its bits), all the rows are filled: the frame
    // stands.
    {
        const Bytes bytes =
            GifWriter(16, 8, giftest::Palette(4))
                .AddRawImage(image, 2, giftest::SubBlocks(Bytes(packed.begin(), packed.end() - 1)))
                .bytes();
        gif::Stream stream;
        ASSERT_TRUE(stream.Open(bytes.data(), bytes.size()));
        gif::Frame frame;
        ASSERT_TRUE(stream.NextFrame(frame));
        EXPECT_EQ(Indexes(frame), image.pixels);
    }
    // Cut in the middle, the supplied 0xFF bytes cannot finish the rows: the frame is dropped.
    {
        const Bytes half(packed.begin(), packed.begin() + std::ptrdiff_t(packed.size() / 2));
        const Bytes bytes = GifWriter(16, 8, giftest::Palette(4))
                                .AddRawImage(image, 2, giftest::SubBlocks(half))
                                .bytes();
        gif::Stream stream;
        ASSERT_TRUE(stream.Open(bytes.data(), bytes.size()));
        gif::Frame frame;
        EXPECT_FALSE(stream.NextFrame(frame));
    }
    // A sub-block length that passes the end of the file behaves the same.
    {
        Bytes blocks = giftest::SubBlocks(packed);
        blocks.resize(blocks.size() - 3);
        const Bytes bytes =
            GifWriter(16, 8, giftest::Palette(4)).AddRawImage(image, 2, blocks).bytes();
        gif::Stream stream;
        ASSERT_TRUE(stream.Open(bytes.data(), bytes.size()));
        gif::Frame frame;
        stream.NextFrame(frame);  // either outcome, but inside the buffers
        EXPECT_LE(stream.Position(), stream.DataSize());
    }
}

TEST(GifLzw, MorePixelsThanTheFrameHoldsAreDropped) {
    // 64 pixels of data for a 3 x 2 frame.
    Image image;
    image.width = 3;
    image.height = 2;
    const std::vector<std::uint8_t> pixels = giftest::Noise(8, 8, 4, 3);
    const Bytes bytes =
        GifWriter(3, 2, giftest::Palette(4))
            .AddRawImage(image, 2,
                         giftest::SubBlocks(giftest::PackCodes(giftest::LzwCodes(pixels, 2))))
            .Trailer()
            .bytes();
    gif::Stream stream;
    ASSERT_TRUE(stream.Open(bytes.data(), bytes.size()));
    gif::Frame frame;
    ASSERT_TRUE(stream.NextFrame(frame));
    EXPECT_EQ(Indexes(frame), std::vector<std::uint8_t>(pixels.begin(), pixels.begin() + 6));
    EXPECT_EQ(frame.pixels.size(), 8u);  // two rows of stride 4
}

TEST(GifLzw, FrameLargerThanTheScreenIsClipped) {
    Image image = Picture(30, 20, 16, 4);
    image.left = 10;
    image.top = 5;
    const Bytes bytes = GifWriter(25, 15, giftest::Palette(16)).AddImage(image).Trailer().bytes();
    ExpectSameAsGiflib(bytes);
    gif::Stream stream;
    ASSERT_TRUE(stream.Open(bytes.data(), bytes.size()));
    gif::Frame frame;
    ASSERT_TRUE(stream.NextFrame(frame));
    EXPECT_EQ(frame.visibleWidth, 15);
    EXPECT_EQ(frame.visibleHeight, 10);
    EXPECT_EQ(Indexes(frame), Clip(image.pixels, 30, 15, 10));
    // Entirely off the screen: nothing is kept, but the image is still read.
    Image away = Picture(5, 5, 4, 1);
    away.left = 40000;
    const Bytes offscreen =
        GifWriter(25, 15, giftest::Palette(16)).AddImage(away).AddImage(image).bytes();
    ASSERT_TRUE(stream.Open(offscreen.data(), offscreen.size()));
    ASSERT_TRUE(stream.NextFrame(frame));
    EXPECT_EQ(frame.visibleWidth, 0);
    EXPECT_TRUE(frame.pixels.empty());
    ASSERT_TRUE(stream.NextFrame(frame));
    EXPECT_EQ(frame.left, 10);
}

TEST(GifColours, TransparentIndexOutsideTheTableMakesNothingTransparent) {
    GifWriter writer(4, 4, giftest::Palette(4));
    writer.GraphicControl(0, true, 200, 0).AddImage(Picture(4, 4, 4, 1));
    writer.GraphicControl(0, true, 3, 0).AddImage(Picture(4, 4, 4, 1));
    const Bytes bytes = writer.Trailer().bytes();
    gif::Stream stream;
    ASSERT_TRUE(stream.Open(bytes.data(), bytes.size()));
    gif::Frame frame;
    ASSERT_TRUE(stream.NextFrame(frame));
    EXPECT_FALSE(frame.transparent);
    EXPECT_EQ(frame.colours[200], 0u);
    ASSERT_TRUE(stream.NextFrame(frame));
    EXPECT_TRUE(frame.transparent);
}

}  // namespace
