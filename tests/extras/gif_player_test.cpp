// The advert animation: composition (transparency by colour, disposal by saved patches, looping)
// against a giflib-decoded reference, frame timing on the virtual clock, and the animation
// thread started and stopped many times.
#include "game/extras/gif_player.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "tests/extras/compose_check.h"
#include "tests/extras/gif_writer.h"
#include "tests/extras/giflib_reference.h"

namespace {

using giftest::Bytes;
using giftest::GifWriter;
using giftest::Image;
using giftest::Rgb;

Image Filled(int left, int top, int width, int height, std::vector<std::uint8_t> pixels) {
    Image image;
    image.left = left;
    image.top = top;
    image.width = width;
    image.height = height;
    image.pixels = std::move(pixels);
    return image;
}

Image Solid(int left, int top, int width, int height, std::uint8_t index) {
    return Filled(left, top, width, height,
                  std::vector<std::uint8_t>(std::size_t(width) * height, index));
}

const std::vector<Rgb> kColours = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {0, 255, 0}};

TEST(GifCompose, EveryPixelOfTheTransparentColourShowsTheCanvas) {
    // Index 3 has the same colour as the transparent index 1: both let the red canvas through.
    GifWriter writer(4, 2, kColours);
    writer.AddImage(Solid(0, 0, 4, 2, 0));
    writer.GraphicControl(0, true, 1, 0).AddImage(Filled(0, 0, 4, 2, {1, 2, 3, 2, 2, 1, 0, 3}));
    const Bytes bytes = writer.Trailer().bytes();
    gif::Stream stream;
    ASSERT_TRUE(stream.Open(bytes.data(), bytes.size()));
    gif::Animation animation(stream);
    animation.Begin(0);
    ASSERT_TRUE(animation.Step());
    ASSERT_TRUE(animation.Step());
    const std::uint32_t red = 0xFF0000, blue = 0x0000FF;
    EXPECT_EQ(animation.CanvasPixels(),
              (std::vector<std::uint32_t>{red, blue, red, blue, blue, red, red, red}));
    giftest::ExpectCanvasesLikeReference(bytes, 6);
}

TEST(GifCompose, DisposalTwoAndThreeRestoreWhatLayUnderTheFrame) {
    for (int disposal : {2, 3}) {
        SCOPED_TRACE("disposal " + std::to_string(disposal));
        GifWriter writer(6, 5, kColours);
        writer.GraphicControl(1, false, 0, 10).AddImage(Solid(0, 0, 6, 5, 0));
        writer.GraphicControl(disposal, false, 0, 10).AddImage(Solid(1, 1, 3, 2, 2));
        writer.GraphicControl(0, true, 0, 10).AddImage(Filled(2, 2, 2, 2, {0, 1, 1, 0}));
        const Bytes bytes = writer.Trailer().bytes();

        gif::Stream stream;
        ASSERT_TRUE(stream.Open(bytes.data(), bytes.size()));
        gif::Animation animation(stream);
        animation.Begin(0);
        for (int i = 0; i < 3; ++i) ASSERT_TRUE(animation.Step());
        // The blue block is gone again: only the green pixels of the third frame remain on red.
        const auto& canvas = animation.CanvasPixels();
        int blue = 0, green = 0;
        for (std::uint32_t c : canvas) {
            blue += c == 0x0000FF;
            green += c == 0x00FF00;
        }
        EXPECT_EQ(blue, 0);
        EXPECT_EQ(green, 2);
        EXPECT_EQ(canvas[2 * 6 + 3], 0x00FF00u);
        EXPECT_EQ(canvas[3 * 6 + 2], 0x00FF00u);
        giftest::ExpectCanvasesLikeReference(bytes, 9);
    }
}

TEST(GifCompose, DisposalOfAFrameHangingOffTheScreen) {
    GifWriter writer(8, 8, kColours);
    writer.AddImage(Solid(0, 0, 8, 8, 0));
    writer.GraphicControl(3, false, 0, 0).AddImage(Solid(5, 6, 10, 10, 2));
    writer.GraphicControl(2, true, 0, 0).AddImage(Solid(7, 0, 4, 40, 1));
    giftest::ExpectCanvasesLikeReference(writer.Trailer().bytes(), 8);
}

TEST(GifCompose, AnimationLoopsAfterTheTrailerWhateverTheLoopCount) {
    GifWriter writer(5, 5, kColours);
    writer.Loop(1);
    for (std::uint8_t i = 0; i < 3; ++i)
        writer.GraphicControl(0, false, 0, 5).AddImage(Solid(i, i, 2, 2, i));
    giftest::ExpectCanvasesLikeReference(writer.Trailer().bytes(), 10);
}

TEST(GifCompose, ABrokenFrameLeavesTheCanvasAsItWas) {
    GifWriter writer(3, 3, kColours);
    writer.AddImage(Solid(0, 0, 3, 3, 2)).Raw({0x77}).AddImage(Solid(0, 0, 1, 1, 1));
    const Bytes bytes = writer.Trailer().bytes();
    gif::Stream stream;
    ASSERT_TRUE(stream.Open(bytes.data(), bytes.size()));
    gif::Animation animation(stream);
    animation.Begin(0);
    ASSERT_TRUE(animation.Step());
    const auto before = animation.CanvasPixels();
    EXPECT_FALSE(animation.Step());
    EXPECT_EQ(animation.CanvasPixels(), before);
    EXPECT_TRUE(animation.Step());
    EXPECT_EQ(animation.CanvasPixels()[0], 0x00FF00u);
}

TEST(GifCompose, EmptyScreensAndFramesComposeNothing) {
    // Screens and frames of zero width or height, with patches to save and restore.
    for (const auto& size : {std::pair<int, int>{0, 10}, {10, 0}, {0, 0}, {6, 6}}) {
        GifWriter writer(size.first, size.second, kColours);
        writer.GraphicControl(2, false, 0, 0).AddImage(Solid(0, 0, 5, 5, 1));
        writer.GraphicControl(3, true, 1, 0).AddImage(Solid(2, 2, 0, 4, 1));
        writer.GraphicControl(2, false, 0, 0).AddImage(Solid(8, 1, 3, 0, 2));
        const Bytes bytes = writer.Trailer().bytes();
        gif::Stream stream;
        ASSERT_TRUE(stream.Open(bytes.data(), bytes.size()));
        gif::Animation animation(stream);
        animation.Begin(0x010203);
        for (int tick = 0; tick < 7; ++tick) EXPECT_TRUE(animation.Step());
        const std::size_t area = std::size_t(size.first) * size.second;
        ASSERT_EQ(animation.CanvasPixels().size(), area);
        if (area != 0) {
            EXPECT_EQ(animation.CanvasPixels()[0], 0x00FF00u);
        }
    }
}

// A host that records what the animation thread shows and when. With a virtual clock of its own,
// time moves only when the test advances it, and the test can wait until the animation thread
// is blocked in Sleep (the sleeper's end time and the count are taken under one lock).
class RecordingHost : public gif::PlayerHost {
  public:
    struct Shown {
        std::int64_t at;
        std::uint32_t firstPixel;
    };

    explicit RecordingHost(bool virtualClock = false) : virtual_(virtualClock) {}

    std::uint32_t TickCount() override {
        if (!virtual_) return PlayerHost::TickCount();
        std::lock_guard<std::mutex> lock(mutex_);
        return std::uint32_t(now_);
    }
    void Sleep(std::uint32_t ms) override {
        if (!virtual_) return PlayerHost::Sleep(ms);
        std::unique_lock<std::mutex> lock(mutex_);
        if (std::this_thread::get_id() == owner_) {
            now_ += ms;  // the window thread waiting lets time pass
            changed_.notify_all();
            return;
        }
        const std::int64_t end = now_ + ms;
        ++sleeps_;
        changed_.notify_all();
        changed_.wait(lock, [&] { return now_ >= end; });
    }
    void BeginDrawing(std::uint32_t* canvas, int width, int height) override {
        std::fill(canvas, canvas + std::size_t(width) * height, 0xABCDEFu);
    }
    void Present(const std::uint32_t* canvas, int width, int height) override {
        std::lock_guard<std::mutex> lock(mutex_);
        shown_.push_back({now_, width > 0 && height > 0 ? canvas[0] : 0u});
    }
    void EndDrawing() override {
        std::lock_guard<std::mutex> lock(mutex_);
        ++ended_;
    }
    void Advance(std::int64_t ms) {
        std::lock_guard<std::mutex> lock(mutex_);
        now_ += ms;
        changed_.notify_all();
    }
    // Waits until the animation thread has gone to sleep `count` times in all.
    bool WaitForSleeps(int count) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10), [&] { return sleeps_ >= count; });
    }
    bool WaitForShown() {
        for (int i = 0; i < 1000; ++i) {
            if (!shown().empty()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }
    std::vector<Shown> shown() {
        std::lock_guard<std::mutex> lock(mutex_);
        return shown_;
    }
    int ended() {
        std::lock_guard<std::mutex> lock(mutex_);
        return ended_;
    }

  private:
    const bool virtual_;
    const std::thread::id owner_ = std::this_thread::get_id();
    std::mutex mutex_;
    std::condition_variable changed_;
    std::int64_t now_ = 5000;
    int sleeps_ = 0;
    int ended_ = 0;
    std::vector<Shown> shown_;
};

TEST(GifPlayer, DelaysOnTheVirtualClock) {
    // Frame 1 has delay 0 (shown 50 ms), frame 2 delay 25 (250 ms), frame 3 delay 3 (30 ms).
    GifWriter writer(2, 2, kColours);
    writer.GraphicControl(0, false, 0, 0).AddImage(Solid(0, 0, 2, 2, 0));
    writer.GraphicControl(0, false, 0, 25).AddImage(Solid(0, 0, 2, 2, 1));
    writer.GraphicControl(0, false, 0, 3).AddImage(Solid(0, 0, 2, 2, 2));
    const Bytes bytes = writer.Trailer().bytes();

    RecordingHost host(true);
    {
        gif::Player player(host);
        ASSERT_TRUE(player.LoadBytes(bytes.data(), bytes.size()));
        player.Start();
        int sleeps = 1;
        ASSERT_TRUE(host.WaitForSleeps(sleeps));
        for (int step = 0; step < 70; ++step) {
            host.Advance(10);
            ASSERT_TRUE(host.WaitForSleeps(++sleeps)) << "step " << step;
        }
        EXPECT_EQ(player.Stop(), gif::kStopped);
    }

    const auto shown = host.shown();
    // 700 ms: 50, 250, 30, 50, 250, 30 and the first frame again.
    ASSERT_EQ(shown.size(), 7u);
    const std::int64_t t0 = shown[0].at;
    const std::int64_t expectedAt[] = {0, 50, 300, 330, 380, 630, 660};
    const std::uint32_t expectedColour[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFF0000,
                                            0x00FF00, 0x0000FF, 0xFF0000};
    for (std::size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(shown[i].at - t0, expectedAt[i]) << i;
        EXPECT_EQ(shown[i].firstPixel, expectedColour[i]) << i;
    }
    EXPECT_EQ(host.ended(), 1);
}

TEST(GifPlayer, StateWordThroughStartAndStop) {
    RecordingHost host;
    gif::Player player(host);
    EXPECT_EQ(player.Stop(), gif::kNeverStarted);
    player.Start();  // nothing loaded: no thread
    EXPECT_EQ(player.State(), gif::kNeverStarted);
    EXPECT_FALSE(player.Load("ads\\no such advert.gif"));
    player.Start();
    EXPECT_EQ(player.State(), gif::kNeverStarted);

    const Bytes bytes = GifWriter(2, 2, kColours).AddImage(Solid(0, 0, 2, 2, 1)).Trailer().bytes();
    ASSERT_TRUE(player.LoadBytes(bytes.data(), bytes.size()));
    player.Start();
    EXPECT_EQ(player.State(), gif::kRunning);
    EXPECT_TRUE(host.WaitForShown());
    EXPECT_EQ(player.Stop(), gif::kStopped);
    EXPECT_EQ(player.Stop(), gif::kStopped);
    EXPECT_EQ(host.ended(), 1);
}

TEST(GifPlayer, ThreadStartedAndStoppedManyTimes) {
    GifWriter writer(16, 16, kColours);
    writer.GraphicControl(3, true, 0, 1).AddImage(Solid(0, 0, 16, 16, 1));
    writer.GraphicControl(2, false, 0, 0).AddImage(Solid(4, 4, 8, 8, 2));
    const Bytes bytes = writer.Trailer().bytes();
    RecordingHost host;
    int loads = 0;
    {
        gif::Player player(host);
        for (int round = 0; round < 150; ++round) {
            if (round % 10 == 0) {
                ASSERT_TRUE(player.LoadBytes(bytes.data(), bytes.size()));
                ++loads;
            }
            player.Start();
            player.Start();  // a second start while running changes nothing
            if (round % 3 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            ASSERT_EQ(player.Stop(), gif::kStopped) << round;
        }
        player.Start();  // left running: destruction stops it
    }
    EXPECT_EQ(host.ended(), 151);
    EXPECT_EQ(loads, 15);
}

}  // namespace
