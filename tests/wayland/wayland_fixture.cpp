#include "tests/wayland/wayland_fixture.h"

#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/process.h"

namespace fs = std::filesystem;

namespace wayland {
namespace {

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

std::vector<Compositor> InstalledCompositors() {
    std::vector<Compositor> all;
    for (Compositor c : {Compositor::Mutter, Compositor::Sway, Compositor::KWin})
        if (NestedCompositor::Installed(c)) all.push_back(c);
    return all;
}

std::string CompositorName(const ::testing::TestParamInfo<Compositor>& info) {
    return Name(info.param);
}

void WaylandTest::SetUp() {
    std::string pattern = (fs::temp_directory_path() / "kivra-wayland-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    scratch_ = pattern;
    gameDir_ = scratch_ + "/game";
    for (const char* dir : {"game", "home", "runtime", "config", "data", "data-dirs"})
        fs::create_directories(scratch_ + "/" + dir);
    fs::permissions(scratch_ + "/runtime", fs::perms::owner_all);
    for (const auto& entry : fs::directory_iterator(KIVRA_DATA_DIR))
        fs::create_symlink(entry.path(), gameDir_ + "/" + entry.path().filename().string());
    // Sound off, music off, theme 0; every difficulty's table cleared.
    std::ofstream(GamePath("mavek.cfg"), std::ios::binary) << std::string(12, '\0');
    for (int d = 1; d <= 4; ++d)
        std::ofstream(GamePath("score." + std::to_string(d)), std::ios::binary)
            << desktop::ScoreTable({});

    std::string error;
    ASSERT_TRUE(compositor_.Start(GetParam(), scratch_, Scale(), &error)) << error;
    // The outer display gives its keys to the window under the pointer: the compositor's.
    Screen().Move(Screen().ScreenWidth() - 2, Screen().ScreenHeight() - 2);
}

void WaylandTest::TearDown() {
    if (HasFailure()) {
        const std::string shot = std::string("shots/wayland-") + Name(GetParam()) + ".png";
        std::error_code ec;
        fs::create_directories("shots", ec);
        if (Screen().Display() && testsupport::SavePng(Screen().Shot(), shot))
            std::cerr << "screen at the end of the failed test: " << fs::absolute(shot) << "\n";
        if (driver_.Started()) std::cerr << "driver output:\n" << driver_.Transcript();
        std::cerr << Name(GetParam()) << " wrote:\n" << FileText(compositor_.Log());
    }
    driver_.Stop();
    testsupport::Stop(game_);
    game_ = -1;
    compositor_.Stop();
    std::error_code ec;
    if (!scratch_.empty()) fs::remove_all(scratch_, ec);
}

std::vector<std::string> WaylandTest::GameEnvironment() const {
    std::vector<std::string> env = compositor_.SessionEnvironment();
    env.insert(env.end(), {
                              "SDL_AUDIODRIVER=dummy",
                              "BROWSER=/bin/false",
                              "HOME=" + scratch_ + "/home",
                              "XDG_RUNTIME_DIR=" + scratch_ + "/runtime",
                              "XDG_CONFIG_HOME=" + scratch_ + "/config",
                              "XDG_DATA_HOME=" + scratch_ + "/data",
                              "XDG_DATA_DIRS=" + scratch_ + "/data-dirs",
                          });
    return env;
}

XWindow WaylandTest::StartGame() {
    testsupport::Command c;
    c.argv = {KIVRA_EXE};
    c.env = GameEnvironment();
    c.cwd = gameDir_;
    c.stderrFd = 2;
    game_ = testsupport::Spawn(c);
    const XWindow main = Windows().WaitForClient(desktop::kMainTitle, desktop::kStartMs);
    EXPECT_NE(main, 0u) << "the main window did not appear on the desktop's X server";
    if (main) SettledShot(OnScreen(main), desktop::kShowMs);
    return main;
}

void WaylandTest::StartDriver(const std::vector<std::string>& script) {
    ASSERT_TRUE(driver_.Start({KIVRA_DRIVE_EXE, "--desktop"}, gameDir_, GameEnvironment()));
    for (const std::string& line : script) ASSERT_TRUE(driver_.Send(line)) << line;
}

XWindow WaylandTest::OpenAbout() {
    Screen().Key("a", {"Alt_L"});
    const auto before = Windows().Popups();
    // The help menu is open once its drop-down shows.
    testsupport::WaitUntil(desktop::kShowMs,
                           [&] { return Windows().Popups().size() > before.size(); });
    testsupport::SleepMs(100);
    Screen().Key("a");
    const XWindow about = Windows().WaitForClient(desktop::kAboutTitle, desktop::kShowMs);
    EXPECT_NE(about, 0u) << "no About box";
    if (about) SettledShot(OnScreen(about));
    return about;
}

testsupport::Rect WaylandTest::OnScreen(XWindow w) {
    const testsupport::Rect r = Windows().FrameRect(w);
    const double s = compositor_.XToScreen();
    return testsupport::Rect{int(std::lround(r.x * s)), int(std::lround(r.y * s)), int(r.w * s),
                             int(r.h * s)};
}

testsupport::Image WaylandTest::SettledShot(const testsupport::Rect& r, int timeoutMs) {
    testsupport::Image last = Screen().Shot(r);
    int same = 0;
    testsupport::WaitUntil(
        timeoutMs,
        [&] {
            testsupport::Image next = Screen().Shot(r);
            same = next.SameAs(last) ? same + 1 : 0;
            last = std::move(next);
            return same >= 3;
        },
        80);
    return last;
}

std::string WaylandTest::ReadGameFile(const std::string& name) const {
    return FileText(GamePath(name));
}

}  // namespace wayland
