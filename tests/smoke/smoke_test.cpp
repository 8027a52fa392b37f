// Starts the real kivra under Xvfb and a window manager with Qt's normal X11 platform, plays
// one pair with real X input and checks what the screen shows.
//
// The game is located on the screen by its time-bar frame (FindStatusPanel), so the test does
// not depend on the window manager's or the menu bar's geometry. The removable pair is found
// the way a player would: F5 tints the two hinted tiles, and the two tiles whose pixels
// changed are the pair.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/process.h"
#include "tests/support/status_panel.h"
#include "tests/support/x_session.h"

namespace fs = std::filesystem;
using testsupport::Image;
using testsupport::Rgb;

namespace {

class SmokeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("kivra-smoke-" + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        fs::copy(KIVRA_DATA_DIR, dir_, fs::copy_options::recursive);
        runtime_ = dir_.string() + "-runtime";
        fs::create_directories(runtime_);
        fs::permissions(runtime_, fs::perms::owner_all);
        // Sound off, music off, theme 0: the run makes no noise and needs no audio device.
        std::ofstream(dir_ / "mavek.cfg", std::ios::binary).write("\0\0\0\0\0\0\0\0\0\0\0\0", 12);

        std::string error;
        ASSERT_TRUE(x_.StartServer("1024x768x24", &error)) << error;
        ASSERT_TRUE(x_.StartWindowManager(KIVRA_WM_CONFIG, {"HOME=" + runtime_.string()}, &error))
            << error;
    }

    void TearDown() override {
        testsupport::Stop(kivra_);
        x_.Stop();
        std::error_code ec;
        fs::remove_all(dir_, ec);
        fs::remove_all(runtime_, ec);
    }

    void StartKivra() {
        testsupport::Command c;
        c.argv = {KIVRA_EXE};
        c.env = {"DISPLAY=" + x_.DisplayName(), "QT_QPA_PLATFORM=xcb", "SDL_AUDIODRIVER=dummy",
                 "HOME=" + runtime_.string(), "XDG_RUNTIME_DIR=" + runtime_.string()};
        c.cwd = dir_.string();
        kivra_ = testsupport::Spawn(c);
    }

    bool WaitForClient(int* ox, int* oy, int timeout_ms) {
        return testsupport::WaitUntil(
            timeout_ms, [&] { return testsupport::FindStatusPanel(x_.Shot(), ox, oy); }, 200);
    }

    void Key(const char* name) {
        x_.Key(name);
        testsupport::SleepMs(100);
    }

    void Click(int x, int y) { x_.Click(x, y); }

    fs::path dir_, runtime_;
    pid_t kivra_ = -1;
    testsupport::XSession x_;
};

// Easy board: origin (160, 115), 12 x 7 tiles on a 40 x 50 pitch.
constexpr int kOriginX = 160, kOriginY = 115, kCols = 12, kRows = 7;

// Checksum of a tile's face inside its bevel: picture and frame colour.
uint64_t Face(const Image& img, int ox, int oy, int col, int row) {
    uint64_t h = 1469598103934665603ull;
    int x0 = ox + kOriginX + 40 * col, y0 = oy + kOriginY + 50 * row;
    for (int y = y0 + 4; y < y0 + 46; ++y)
        for (int x = x0 + 4; x < x0 + 36; ++x) h = (h ^ img.At(x, y)) * 1099511628211ull;
    return h;
}

int CountColour(const Image& img, int x0, int y0, int x1, int y1, uint32_t colour) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += img.At(x, y) == colour;
    return n;
}

TEST_F(SmokeTest, PlaysAPairWithRealInputAndQuitsOnEscape) {
    StartKivra();
    ASSERT_NE(x_.WaitForClient("Qarven Vorn", 20000, true), 0u) << "the main window did not appear";
    testsupport::SleepMs(500);
    Key("F1");
    int ox = 0, oy = 0;
    ASSERT_TRUE(WaitForClient(&ox, &oy, 10000)) << "no status panel after F1";

    Image start = x_.Shot();
    // The panel: yellow labels, a full red time bar inside the cyan frame.
    EXPECT_GT(CountColour(start, ox + 0, oy, ox + 32, oy + 16, Rgb(255, 255, 0)), 20)
        << "难度: label";
    EXPECT_GT(CountColour(start, ox + 692, oy, ox + 724, oy + 16, Rgb(255, 255, 0)), 20)
        << "得分: label";
    EXPECT_EQ(start.At(ox + 251, oy + 8), Rgb(255, 0, 0));
    EXPECT_EQ(start.At(ox + 500, oy + 8), Rgb(255, 0, 0));
    int score_pixels_before = CountColour(start, ox + 732, oy, ox + 780, oy + 16, Rgb(0, 255, 0));
    EXPECT_GT(score_pixels_before, 0) << "score 0";

    Key("F5");
    testsupport::SleepMs(300);
    Image hinted = x_.Shot();
    std::vector<std::pair<int, int>> changed;
    for (int c = 0; c < kCols; ++c)
        for (int r = 0; r < kRows; ++r)
            if (Face(start, ox, oy, c, r) != Face(hinted, ox, oy, c, r)) changed.emplace_back(c, r);
    ASSERT_EQ(changed.size(), 2u) << "the hint marks exactly two tiles";

    auto centre = [&](std::pair<int, int> cell, int* x, int* y) {
        *x = ox + kOriginX + 40 * cell.first + 20;
        *y = oy + kOriginY + 50 * cell.second + 25;
    };
    int x, y;
    centre(changed[0], &x, &y);
    Click(x, y);
    centre(changed[1], &x, &y);
    Click(x, y);
    testsupport::SleepMs(1000);

    Image after = x_.Shot();
    for (auto cell : changed) {
        EXPECT_NE(Face(after, ox, oy, cell.first, cell.second),
                  Face(start, ox, oy, cell.first, cell.second))
            << "tile " << cell.first << "," << cell.second << " is still there";
    }
    // Every other tile is untouched on the first level, which has no shift.
    int others_changed = 0;
    for (int c = 0; c < kCols; ++c)
        for (int r = 0; r < kRows; ++r) {
            if (std::make_pair(c, r) == changed[0] || std::make_pair(c, r) == changed[1]) continue;
            others_changed += Face(after, ox, oy, c, r) != Face(start, ox, oy, c, r);
        }
    EXPECT_EQ(others_changed, 0);
    // The score grew from "0" to "10": more green pixels behind 得分:.
    EXPECT_GT(CountColour(after, ox + 732, oy, ox + 780, oy + 16, Rgb(0, 255, 0)),
              score_pixels_before);

    Key("Escape");
    EXPECT_EQ(testsupport::WaitExit(kivra_, 10000), 0) << "Esc ends the program";
    kivra_ = -1;
}

}  // namespace
