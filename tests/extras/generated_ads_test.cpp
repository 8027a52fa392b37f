// The 44 adverts of the game's data folder, played by the advert player and compared pixel for
// pixel with giflib's decoding of the same files.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "game/extras/gif_player.h"
#include "tests/extras/giflib_reference.h"

namespace {

std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST(GeneratedAdverts, EveryAdvertPlaysLikeGiflibDecodesIt) {
    int checked = 0;
    for (int difficulty = 1; difficulty <= 4; ++difficulty) {
        for (int level = 1; level <= 11; ++level) {
            char name[32];
            std::snprintf(name, sizeof name, "%d%02d.gif", difficulty, level);
            SCOPED_TRACE(name);
            const std::vector<std::uint8_t> bytes =
                ReadFile(std::string(KIVRA_DATA_DIR "/ads/") + name);
            ASSERT_FALSE(bytes.empty());
            const giftest::RefGif ref = giftest::GiflibDecode(bytes);
            ASSERT_TRUE(ref.ok);
            ASSERT_FALSE(ref.frames.empty());
            // Twice round the animation and one frame more: the loop after the trailer included.
            const int ticks = int(ref.frames.size()) * 2 + 1;
            const auto expected = giftest::ReferenceCanvases(ref, ticks, 0x00F0F0F0);

            gif::Stream stream;
            ASSERT_TRUE(stream.Open(bytes.data(), bytes.size()));
            EXPECT_EQ(stream.ScreenWidth(), ref.screenWidth);
            EXPECT_EQ(stream.ScreenHeight(), ref.screenHeight);
            gif::Animation animation(stream);
            animation.Begin(0x00F0F0F0);
            for (int tick = 0; tick < ticks; ++tick) {
                ASSERT_TRUE(animation.Step()) << "tick " << tick;
                ASSERT_EQ(animation.CanvasPixels(), expected[std::size_t(tick)]) << "tick " << tick;
            }
            ++checked;
        }
    }
    EXPECT_EQ(checked, 44);
}

}  // namespace
