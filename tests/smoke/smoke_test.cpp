// Starts the real kivra under Xvfb with Qt's normal X11 platform, plays one pair
// with real X input through xdotool and checks what the screen shows.
//
// The game is located on the screen by its time-bar frame (a 304-pixel cyan
// outline at client (248, 0)), so the test does not depend on the window
// manager's or the menu bar's geometry. The removable pair is found the way a
// player would: F5 tints the two hinted tiles, and the two tiles whose pixels
// changed are the pair.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

// After the test framework: X11 defines macros (None, Bool, Status) that clash with it.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#undef None
#undef Bool
#undef Status

namespace fs = std::filesystem;

namespace {

struct Image {
    int w = 0, h = 0;
    std::vector<uint32_t> px;  // 0x00RRGGBB
    uint32_t at(int x, int y) const { return px[size_t(y) * w + x]; }
};

constexpr uint32_t Rgb(int r, int g, int b) {
    return uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
}

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env,
            const std::string& cwd, int stdout_fd = -1) {
    pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(127);
        for (const auto& e : env) putenv(strdup(e.c_str()));
        int devnull = open("/dev/null", O_RDWR);
        dup2(devnull, 0);
        dup2(stdout_fd >= 0 ? stdout_fd : devnull, 1);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    return pid;
}

// Waits up to timeout_ms for the process to end; returns its exit status or -1.
int WaitFor(pid_t pid, int timeout_ms) {
    for (int waited = 0; waited <= timeout_ms; waited += 20) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        SleepMs(20);
    }
    return -1;
}

void Stop(pid_t pid) {
    if (pid <= 0) return;
    int status;
    if (waitpid(pid, &status, WNOHANG) == pid) return;
    kill(pid, SIGTERM);
    if (WaitFor(pid, 2000) == -1) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
}

int RunTool(const std::vector<std::string>& argv, const std::string& display) {
    pid_t pid = Spawn(argv, {"DISPLAY=" + display}, "");
    return WaitFor(pid, 10000);
}

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

        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        xvfb_ = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1024x768x24",
                       "-nolisten", "tcp"},
                      {}, "", -1);
        close(fds[1]);
        std::string number;
        char c;
        while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        ASSERT_FALSE(number.empty()) << "Xvfb did not start";
        display_name_ = ":" + number;
        display_ = XOpenDisplay(display_name_.c_str());
        ASSERT_NE(display_, nullptr);
    }

    void TearDown() override {
        Stop(kivra_);
        if (display_) XCloseDisplay(display_);
        Stop(xvfb_);
        std::error_code ec;
        fs::remove_all(dir_, ec);
        fs::remove_all(runtime_, ec);
    }

    void StartKivra() {
        kivra_ = Spawn({KIVRA_EXE},
                       {"DISPLAY=" + display_name_, "QT_QPA_PLATFORM=xcb", "SDL_AUDIODRIVER=dummy",
                        "XDG_RUNTIME_DIR=" + runtime_.string()},
                       dir_.string());
    }

    Image Shot() {
        Window root = DefaultRootWindow(display_);
        XWindowAttributes a;
        XGetWindowAttributes(display_, root, &a);
        XImage* xi = XGetImage(display_, root, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
        Image img;
        img.w = a.width;
        img.h = a.height;
        img.px.resize(size_t(img.w) * img.h);
        for (int y = 0; y < img.h; ++y)
            for (int x = 0; x < img.w; ++x)
                img.px[size_t(y) * img.w + x] = uint32_t(XGetPixel(xi, x, y)) & 0xFFFFFF;
        XDestroyImage(xi);
        return img;
    }

    // Finds the client origin from the top edge of the time-bar frame: a run of
    // 304 cyan pixels with black below its inner part.
    bool FindClient(const Image& img, int* ox, int* oy) {
        const uint32_t cyan = Rgb(0, 255, 255);
        for (int y = 0; y + 18 < img.h; ++y) {
            int run = 0;
            for (int x = 0; x < img.w; ++x) {
                run = img.at(x, y) == cyan ? run + 1 : 0;
                if (run == 304 && (x + 1 == img.w || img.at(x + 1, y) != cyan) &&
                    img.at(x - 303, y + 17) == cyan) {
                    *ox = x - 303 - 248;
                    *oy = y;
                    return true;
                }
            }
        }
        return false;
    }

    bool WaitForClient(int* ox, int* oy, int timeout_ms) {
        for (int waited = 0; waited < timeout_ms; waited += 200) {
            if (FindClient(Shot(), ox, oy)) return true;
            SleepMs(200);
        }
        return false;
    }

    // The visible top-level window with the program's caption: its X window id, or "".
    std::string FindWindow() {
        int fds[2];
        if (pipe(fds) != 0) return "";
        pid_t pid = Spawn({"xdotool", "search", "--onlyvisible", "--name", "Qarven Vorn"},
                          {"DISPLAY=" + display_name_}, "", fds[1]);
        close(fds[1]);
        std::string out;
        char c;
        while (read(fds[0], &c, 1) == 1) out += c;
        close(fds[0]);
        WaitFor(pid, 10000);
        return out.substr(0, out.find('\n'));
    }

    bool WaitForWindow(int timeout_ms) {
        for (int waited = 0; waited < timeout_ms; waited += 200) {
            window_ = FindWindow();
            if (!window_.empty()) return true;
            SleepMs(200);
        }
        return false;
    }

    void Key(const char* name) {
        ASSERT_EQ(
            RunTool({"xdotool", "windowfocus", "--sync", window_, "key", name}, display_name_), 0);
    }

    void Click(int x, int y) {
        ASSERT_EQ(RunTool({"xdotool", "mousemove", "--sync", std::to_string(x), std::to_string(y),
                           "click", "1"},
                          display_name_),
                  0);
    }

    fs::path dir_, runtime_;
    pid_t xvfb_ = -1, kivra_ = -1;
    std::string display_name_;
    std::string window_;
    Display* display_ = nullptr;
};

// Easy board: origin (160, 115), 12 x 7 tiles on a 40 x 50 pitch.
constexpr int kOriginX = 160, kOriginY = 115, kCols = 12, kRows = 7;

// Checksum of a tile's face inside its bevel: picture and frame colour.
uint64_t Face(const Image& img, int ox, int oy, int col, int row) {
    uint64_t h = 1469598103934665603ull;
    int x0 = ox + kOriginX + 40 * col, y0 = oy + kOriginY + 50 * row;
    for (int y = y0 + 4; y < y0 + 46; ++y)
        for (int x = x0 + 4; x < x0 + 36; ++x) h = (h ^ img.at(x, y)) * 1099511628211ull;
    return h;
}

int CountColour(const Image& img, int x0, int y0, int x1, int y1, uint32_t colour) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += img.at(x, y) == colour;
    return n;
}

TEST_F(SmokeTest, PlaysAPairWithRealInputAndQuitsOnEscape) {
    StartKivra();
    ASSERT_TRUE(WaitForWindow(20000)) << "the main window did not appear";
    SleepMs(500);
    Key("F1");
    int ox = 0, oy = 0;
    ASSERT_TRUE(WaitForClient(&ox, &oy, 10000)) << "no status panel after F1";

    Image start = Shot();
    // The panel: yellow labels, a full red time bar inside the cyan frame.
    EXPECT_GT(CountColour(start, ox + 0, oy, ox + 32, oy + 16, Rgb(255, 255, 0)), 20)
        << "难度: label";
    EXPECT_GT(CountColour(start, ox + 692, oy, ox + 724, oy + 16, Rgb(255, 255, 0)), 20)
        << "得分: label";
    EXPECT_EQ(start.at(ox + 251, oy + 8), Rgb(255, 0, 0));
    EXPECT_EQ(start.at(ox + 500, oy + 8), Rgb(255, 0, 0));
    int score_pixels_before = CountColour(start, ox + 732, oy, ox + 780, oy + 16, Rgb(0, 255, 0));
    EXPECT_GT(score_pixels_before, 0) << "score 0";

    Key("F5");
    SleepMs(300);
    Image hinted = Shot();
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
    SleepMs(1000);

    Image after = Shot();
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
    EXPECT_EQ(WaitFor(kivra_, 10000), 0) << "Esc ends the program";
    kivra_ = -1;
}

}  // namespace
