// The LZW decoder's work and its code widths on crafted data: codes that each name the longest
// string in the table cost no more than the pixels they write, and one-bit images with a minimum
// code size of 1 widen their codes as giflib reads them.
#include "game/extras/gif_lzw.h"

#include <gtest/gtest.h>

#include <memory>

#include "game/extras/gif_decoder.h"
#include "tests/extras/gif_writer.h"
#include "tests/extras/giflib_reference.h"

namespace {

using giftest::Bytes;
using giftest::Code;

std::vector<unsigned> Values(const std::vector<Code>& codes) {
    std::vector<unsigned> values;
    for (const Code& c : codes) values.push_back(c.value);
    return values;
}

// A frame of `width` x `height` decoded straight from packed codes; `steps` gets the table
// links followed.
bool Decode(const Bytes& packed, int minCodeSize, int width, int height, std::size_t* steps,
            gif::Frame* out = nullptr) {
    const Bytes blocks = giftest::SubBlocks(packed);
    gif::Frame frame;
    frame.width = frame.visibleWidth = width;
    frame.height = frame.visibleHeight = height;
    frame.stride = (width + 3) & ~3;
    frame.pixels.assign(std::size_t(frame.stride) * height, 0);
    gif::CodeReader reader(blocks.data(), blocks.size(), 0);
    gif::RowWriter rows(frame, false);
    auto table = std::make_unique<gif::LzwTable>();
    const bool ok = gif::DecodeLzw(minCodeSize, reader, rows, *table);
    *steps = table->steps;
    if (out) *out = frame;
    return ok;
}

TEST(GifLzwWork, CodesNamingTheLongestStringCostNoMoreThanThePixelsWritten) {
    const std::vector<unsigned> values = giftest::LongestStringCodes(1 << 20);
    const Bytes packed = giftest::PackCodes(giftest::GiflibWidths(values, 2));
    ASSERT_GT(packed.size(), 1000000u);

    // A 1 x 1 frame: full after its first pixel; the megabyte after it is only read through.
    std::size_t steps = 0;
    EXPECT_TRUE(Decode(packed, 2, 1, 1, &steps)) << "the data ends with its end code";
    EXPECT_EQ(steps, 0u);

    // A 100 x 100 frame: the strings fill it, then the rest is read through.
    gif::Frame frame;
    EXPECT_TRUE(Decode(packed, 2, 100, 100, &steps, &frame));
    EXPECT_LE(steps, 100u * 100u + 4096u);
    EXPECT_EQ(frame.IndexAt(99, 99), 0) << "every string is made of the root 0";
}

// Reading through a full frame's data still checks every code: one naming an entry that does
// not exist drops the frame.
TEST(GifLzwWork, ABadCodeAfterTheRowsAreFullStillDropsTheFrame) {
    std::vector<unsigned> values = giftest::LongestStringCodes(100000);
    values.pop_back();  // no end code yet
    values.insert(values.end(),
                  {4, 0, 7});  // clear, a root, then entry 7 of a fresh table (6 is next)
    values.push_back(5);
    std::size_t steps = 0;
    EXPECT_FALSE(Decode(giftest::PackCodes(giftest::GiflibWidths(values, 2)), 2, 1, 1, &steps));
    values[values.size() - 2] = 6;  // the entry being defined: fine
    EXPECT_TRUE(Decode(giftest::PackCodes(giftest::GiflibWidths(values, 2)), 2, 1, 1, &steps));
}

TEST(GifLzwWidths, MinimumCodeSizeOneMatchesGiflib) {
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        giftest::Image image;
        image.width = 37;
        image.height = 23;
        image.pixels = giftest::Noise(image.width, image.height, 2, seed);
        const std::vector<unsigned> values = Values(giftest::LzwCodes(image.pixels, 1));
        const Bytes bytes =
            giftest::GifWriter(image.width, image.height, giftest::Palette(2))
                .AddRawImage(
                    image, 1,
                    giftest::SubBlocks(giftest::PackCodes(giftest::GiflibWidths(values, 1))))
                .Trailer()
                .bytes();
        const giftest::RefGif ref = giftest::GiflibDecode(bytes);
        ASSERT_TRUE(ref.ok);
        ASSERT_EQ(ref.frames.size(), 1u);
        ASSERT_EQ(ref.frames[0].indexes, image.pixels) << "giflib reads the file as written";

        gif::Stream stream;
        ASSERT_TRUE(stream.Open(bytes.data(), bytes.size()));
        gif::Frame frame;
        ASSERT_TRUE(stream.NextFrame(frame));
        std::vector<std::uint8_t> decoded;
        for (int y = 0; y < frame.visibleHeight; ++y)
            for (int x = 0; x < frame.visibleWidth; ++x) decoded.push_back(frame.IndexAt(x, y));
        EXPECT_EQ(decoded, image.pixels);
    }
}

TEST(GifLzwWidths, TruncatedMinimumCodeSizeOneFrameIsDropped) {
    giftest::Image image;
    image.width = 37;
    image.height = 23;
    image.pixels = giftest::Noise(image.width, image.height, 2, 7);
    std::vector<unsigned> values = Values(giftest::LzwCodes(image.pixels, 1));
    values.resize(values.size() / 3);  // no end code, most rows never filled
    std::size_t steps = 0;
    EXPECT_FALSE(Decode(giftest::PackCodes(giftest::GiflibWidths(values, 1)), 1, image.width,
                        image.height, &steps));
}

}  // namespace
