#include "tests/desktop/desktop_fixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include "tests/support/process.h"

namespace fs = std::filesystem;

namespace desktop {

const char* const kMainTitle = "Qarven Vorn 4.0版";
const char* const kAboutTitle = "关于Qarven Vorn 4.0版";
const char* const kLeaderboardTitle = "Vorn排行榜";
const char* const kNameEntryTitle = "记录积分";
const char* const kProgramCaption = "kivra";
const char* const kTimeUpCaption = "失败";

std::string ScoreTable(const std::vector<std::pair<int, std::string>>& entries) {
    std::string text;
    for (size_t i = 0; i < 10; ++i) {
        if (i < entries.size())
            text += std::to_string(entries[i].first) + "\r\n" + entries[i].second + "\r\n";
        else
            text += "0\r\n\r\n";
    }
    return text;
}

// Saves what the screen shows at a test's first failure, for a look by hand:
// shots/<suite>.<test>.png in the test's working folder.
class DesktopTest::FailureShots : public ::testing::EmptyTestEventListener {
  public:
    // `name`: the test's full name, taken before the test runs (the framework is locked while
    // it reports a result).
    FailureShots(const testsupport::XSession& x, std::string name) : x_(x), name_(std::move(name)) {
        for (char& c : name_)
            if (c == '/') c = '_';
    }
    void OnTestPartResult(const ::testing::TestPartResult& result) override {
        if (taken_ || !result.failed() || !x_.Display()) return;
        taken_ = true;
        std::error_code ec;
        fs::create_directories("shots", ec);
        const std::string path = "shots/" + name_ + ".png";
        if (testsupport::SavePng(x_.Shot(), path))
            std::cerr << "screen at the first failure: " << fs::absolute(path).string() << "\n";
    }

  private:
    const testsupport::XSession& x_;
    std::string name_;
    bool taken_ = false;
};

void DesktopTest::SetUp() {
    std::string pattern = (fs::temp_directory_path() / "kivra-desktop-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    scratch_ = pattern;
    gameDir_ = scratch_ + "/game";
    for (const char* dir : {"game", "home", "runtime", "config", "data", "data-dirs"})
        fs::create_directories(scratch_ + "/" + dir);
    chmod((scratch_ + "/runtime").c_str(), 0700);
    for (const auto& entry : fs::directory_iterator(KIVRA_DATA_DIR))
        fs::create_symlink(entry.path(), gameDir_ + "/" + entry.path().filename().string());
    // Sound off, music off, theme 0; every difficulty's table cleared.
    WriteGameFile("mavek.cfg", std::string(12, '\0'));
    for (int d = 1; d <= 4; ++d) WriteGameFile("score." + std::to_string(d), ScoreTable({}));

    std::string error;
    ASSERT_TRUE(x_.StartServer("1024x768x24", &error)) << error;
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    shots_ = new FailureShots(x_, std::string(info->test_suite_name()) + "." + info->name());
    ::testing::UnitTest::GetInstance()->listeners().Append(shots_);
    // openbox with the group's configuration, or the window manager KIVRA_DESKTOP_WM names
    // (metacity, GNOME's classic one), so that every check runs under a second one too.
    const char* other = std::getenv("KIVRA_DESKTOP_WM");
    const std::vector<std::string> wm =
        other && *other ? std::vector<std::string>{other, "--replace", "--sm-disable"}
                        : std::vector<std::string>{"openbox", "--config-file", KIVRA_WM_CONFIG};
    ASSERT_TRUE(x_.StartWindowManager(
        wm, {"HOME=" + scratch_ + "/home", "XDG_CONFIG_HOME=" + scratch_ + "/config"}, &error))
        << error;
}

void DesktopTest::TearDown() {
    if (shots_) delete ::testing::UnitTest::GetInstance()->listeners().Release(shots_);
    shots_ = nullptr;
    if (HasFailure() && driver_.Started()) std::cerr << "driver output:\n" << driver_.Transcript();
    driver_.Stop();
    testsupport::Stop(game_);
    game_ = -1;
    x_.Stop();
    std::error_code ec;
    if (!scratch_.empty()) fs::remove_all(scratch_, ec);
}

std::vector<std::string> DesktopTest::GameEnvironment(const std::vector<std::string>& extra) const {
    std::vector<std::string> env = {
        "DISPLAY=" + x_.DisplayName(),
        "QT_QPA_PLATFORM=xcb",
        "SDL_AUDIODRIVER=dummy",
        "BROWSER=/bin/false",
        "HOME=" + scratch_ + "/home",
        "XDG_RUNTIME_DIR=" + scratch_ + "/runtime",
        "XDG_CONFIG_HOME=" + scratch_ + "/config",
        "XDG_DATA_HOME=" + scratch_ + "/data",
        "XDG_DATA_DIRS=" + scratch_ + "/data-dirs",
    };
    env.insert(env.end(), extra.begin(), extra.end());
    return env;
}

XWindow DesktopTest::StartGame(const std::vector<std::string>& extraEnv) {
    testsupport::Command c;
    c.argv = {KIVRA_EXE};
    c.env = GameEnvironment(extraEnv);
    c.cwd = gameDir_;
    c.stderrFd = 2;
    game_ = testsupport::Spawn(c);
    const XWindow main = x_.WaitForClient(kMainTitle, kStartMs);
    EXPECT_NE(main, 0u) << "the main window did not appear";
    // Its first picture drawn: the window no longer changes.
    if (main) SettledShot(x_.Geometry(main), kShowMs);
    return main;
}

void DesktopTest::StartDriver(const std::vector<std::string>& script) {
    ASSERT_TRUE(driver_.Start({KIVRA_DRIVE_EXE, "--x11"}, gameDir_, GameEnvironment()));
    for (const std::string& line : script) ASSERT_TRUE(driver_.Send(line)) << line;
}

Rect DesktopTest::MenuBar(XWindow main) const {
    // The bar's colour at its empty right end, down to where the client area begins.
    const Rect g = x_.Geometry(main);
    const Image img = x_.Shot(Rect{g.Right() - 4, g.y, 1, std::min(g.h, 60)});
    const uint32_t bar = img.At(g.Right() - 4, g.y + 2);
    int h = 2;
    while (h < img.area.h && img.At(g.Right() - 4, g.y + h) == bar) ++h;
    return Rect{g.x, g.y, g.w, h};
}

std::vector<Rect> DesktopTest::MenuTitles(XWindow main) const {
    const Rect bar = MenuBar(main);
    return InkColumns(x_.Shot(bar), bar, 5, Dark);
}

XWindow DesktopTest::OpenMenu(XWindow main, int index) {
    const std::vector<Rect> titles = MenuTitles(main);
    EXPECT_EQ(titles.size(), 3u) << "menu titles 游戏, 选项, 帮助";
    if (int(titles.size()) <= index) return 0;
    const auto before = x_.Popups();
    const Rect& t = titles[size_t(index)];
    x_.Click(t.x + t.w / 2, t.y + t.h / 2);
    const XWindow menu = x_.WaitForNewPopup(before, kShowMs);
    EXPECT_NE(menu, 0u) << "no drop-down menu opened";
    if (menu) SettledShot(x_.Geometry(menu));
    return menu;
}

std::vector<Rect> DesktopTest::MenuItems(XWindow menu) const {
    const Rect g = x_.Geometry(menu);
    const Rect inside{g.x + 2, g.y + 2, g.w - 4, g.h - 4};
    return InkRows(x_.Shot(inside), inside, 2, Dark);
}

XWindow DesktopTest::ChooseLastItem(XWindow main, int index, const std::string& title) {
    const XWindow menu = OpenMenu(main, index);
    if (!menu) return 0;
    const std::vector<Rect> items = MenuItems(menu);
    EXPECT_FALSE(items.empty()) << "the menu shows no items";
    if (items.empty()) return 0;
    const Rect& last = items.back();
    x_.Click(last.x + last.w / 2, last.y + last.h / 2);
    const XWindow window = x_.WaitForClient(title, kShowMs);
    EXPECT_NE(window, 0u) << "no window " << title;
    if (window) SettledShot(x_.Geometry(window));
    return window;
}

void DesktopTest::WriteGameFile(const std::string& name, const std::string& bytes) const {
    std::ofstream out(GamePath(name), std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string DesktopTest::ReadGameFile(const std::string& name) const {
    std::ifstream in(GamePath(name), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

Image DesktopTest::SettledShot(const Rect& r, int timeoutMs) const {
    // Settled: the same picture for a quarter of a second.
    Image last = x_.Shot(r);
    int same = 0;
    testsupport::WaitUntil(
        timeoutMs,
        [&] {
            Image next = x_.Shot(r);
            same = next.SameAs(last) ? same + 1 : 0;
            last = std::move(next);
            return same >= 3;
        },
        80);
    return last;
}

}  // namespace desktop
