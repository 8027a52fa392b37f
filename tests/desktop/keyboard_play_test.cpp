// A level of Easy played on the desktop with real keys alone: the arrow keys walk the cursor to
// each pair and Space picks it, while the pointer lies still over the board. The themes are
// chosen through the menu's mnemonics, and on each the cursor's frame is on the screen: a dark
// ring, three light rings and a dark ring on the face of its cell.
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>

#include "game/board/board.h"
#include "tests/desktop/desktop_fixture.h"
#include "tests/support/drive_session.h"
#include "tests/support/process.h"
#include "tests/support/status_panel.h"

namespace desktop {
namespace {

using testsupport::Rgb;
using testsupport::WaitUntil;

using KeyboardPlayTest = DesktopTest;

Cell CursorOf(const std::string& state) { return testsupport::JsonCell(state, "cursor"); }

class Player {
  public:
    Player(testsupport::XSession& x, Driver& driver) : x_(x), driver_(driver) {}

    // Waits until the state satisfies `done`; the state is kept.
    bool Await(const std::function<bool(const std::string&)>& done) {
        return WaitUntil(kReactMs,
                         [&] { return driver_.State(&state_, kReactMs) && done(state_); });
    }
    long Field(const std::string& key) const { return JsonNumber(state_, key, -999); }
    const std::string& State() const { return state_; }

    // Walks the cursor to `cell` with the arrow keys and presses Space there.
    bool Pick(Cell cell) {
        const Cell from = CursorOf(state_);
        for (int x = from.x; x != cell.x; x += from.x < cell.x ? 1 : -1)
            x_.Key(from.x < cell.x ? "Right" : "Left");
        for (int y = from.y; y != cell.y; y += from.y < cell.y ? 1 : -1)
            x_.Key(from.y < cell.y ? "Down" : "Up");
        if (!Await([&](const std::string& s) { return CursorOf(s) == cell; })) return false;
        const std::string before = state_;
        x_.Key("space");
        // A pick always changes the count of selected tiles: 0 to 1, or 1 to 0.
        return Await([&](const std::string& s) {
            return testsupport::JsonInt(s, "selection\": {\"count") !=
                   testsupport::JsonInt(before, "selection\": {\"count");
        });
    }

  private:
    testsupport::XSession& x_;
    Driver& driver_;
    std::string state_;
};

// Pixels of the frame on the face of `cell` that are not the frame's colours.
int FrameMisses(const Image& img, int clientX, int clientY, Cell cell) {
    const uint32_t rings[5] = {Rgb(0, 0, 0), Rgb(255, 255, 255), Rgb(255, 255, 255),
                               Rgb(255, 255, 255), Rgb(0, 0, 0)};
    const ::Rect r = CellRect(Easy, cell.x, cell.y);
    int misses = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const int inset = std::min(std::min(x - r.left, r.right - 1 - x),
                                       std::min(y - r.top, r.bottom - 1 - y));
            if (inset < 5) misses += img.At(clientX + x, clientY + y) != rings[inset];
        }
    return misses;
}

TEST_F(KeyboardPlayTest, LevelWithArrowKeysAndSpaceShowsTheFrameOnEveryTheme) {
    StartDriver({"time 31337", "start"});
    const XWindow main = x_.WaitForClient(kMainTitle, kStartMs);
    ASSERT_NE(main, 0u) << "no main window";
    SettledShot(x_.Geometry(main), kShowMs);
    Player player(x_, driver_);
    x_.Key("F1");
    ASSERT_TRUE(player.Await([](const std::string& s) {
        return JsonNumber(s, "game_in_progress", 0) == 1;
    })) << "F1 started no game";
    int ox = 0, oy = 0;
    ASSERT_TRUE(testsupport::FindStatusPanel(SettledShot(x_.Geometry(main)), &ox, &oy));
    // The pointer comes to rest over the board before the first arrow key.
    x_.Move(ox + 400, oy + 300);
    testsupport::SleepMs(200);
    x_.Key("Down");
    ASSERT_TRUE(player.Await([](const std::string& s) {
        return CursorOf(s) == Cell{2, 2};
    })) << "the first arrow key showed no cursor on the first tile";

    // Each theme by its mnemonic in 选项 (Alt+S), the cursor one cell further each time.
    for (int theme = 2; theme >= 0; --theme) {
        const auto before = x_.Popups();
        x_.Key("s", {"Alt_L"});
        ASSERT_NE(x_.WaitForNewPopup(before, kShowMs), 0u) << "Alt+S opened no menu";
        testsupport::SleepMs(200);
        x_.Key(std::to_string(theme + 1));
        ASSERT_TRUE(player.Await([&](const std::string& s) {
            return JsonNumber(s, "theme", -1) == theme;
        })) << "the mnemonic chose no theme "
            << theme;
        // The menu lets the keyboard go when it has closed.
        ASSERT_TRUE(WaitUntil(kShowMs, [&] { return x_.Popups() == before; }));
        x_.Key("Right");
        const Cell cell{5 - theme, 2};
        ASSERT_TRUE(player.Await([&](const std::string& s) { return CursorOf(s) == cell; }))
            << "Right after choosing theme " << theme;
        const Image shot = SettledShot(x_.Geometry(main));
        EXPECT_EQ(FrameMisses(shot, ox, oy, cell), 0) << "no cursor frame on theme " << theme;
        EXPECT_GT(FrameMisses(shot, ox, oy, Cell{cell.x - 1, 2}), 100)
            << "the frame stays on the cell left, theme " << theme;
    }

    for (int pairs = 0; player.Field("level") == 1; ++pairs) {
        const CBoard board = testsupport::BoardFromState(player.State());
        const std::optional<MovablePair> found = board.FindMovablePair();
        ASSERT_TRUE(pairs < 42 && found) << player.State();
        const HintPair pair = found->cells;
        if (board.TileCount() == 2)
            for (int i = 0; i < 3; ++i) driver_.Send("answer ok");
        ASSERT_TRUE(player.Pick(Cell{pair.x1, pair.y1})) << "pair " << pairs;
        ASSERT_TRUE(player.Pick(Cell{pair.x2, pair.y2})) << "pair " << pairs;
        ASSERT_EQ(CursorOf(player.State()), (Cell{pair.x2, pair.y2}))
            << "the pointer at rest took the cursor away";
    }
    EXPECT_EQ(player.Field("level"), 2);
    EXPECT_EQ(player.Field("game_in_progress"), 1);
    driver_.Send("quit");
    EXPECT_EQ(driver_.Finish(kShowMs), 0) << driver_.Transcript();
}

// A session without the mouse in the real program: a game started and the cursor shown, the
// leaderboard, the About box and the help window opened by the menus' mnemonics and closed by
// their keys, each time with the keyboard back on the main window, which Esc then ends.
TEST_F(KeyboardPlayTest, SessionWithoutTheMouse) {
    const XWindow main = StartGame();
    ASSERT_NE(main, 0u);
    x_.Key("F1");
    int ox = 0, oy = 0;
    ASSERT_TRUE(WaitUntil(kShowMs, [&] {
        return testsupport::FindStatusPanel(x_.Shot(x_.Geometry(main)), &ox, &oy);
    })) << "F1 started no game";
    x_.Key("Down");
    x_.Key("Right");
    Cell cursor{3, 2};
    EXPECT_TRUE(WaitUntil(kReactMs, [&] {
        return FrameMisses(x_.Shot(x_.Geometry(main)), ox, oy, cursor) == 0;
    })) << "no cursor frame on (3, 2)";

    auto openByKeys = [&](const char* menu, const char* item, const char* title) -> XWindow {
        const auto before = x_.Popups();
        x_.Key(menu, {"Alt_L"});
        if (!x_.WaitForNewPopup(before, kShowMs)) return 0;
        testsupport::SleepMs(200);
        x_.Key(item);
        return x_.WaitForClient(title, kShowMs, true);
    };
    const struct {
        const char* menu;
        const char* item;
        const char* title;
        const char* close;
    } windows[] = {{"s", "n", kLeaderboardTitle, "Escape"},
                   {"a", "a", kAboutTitle, "Return"},
                   {"a", "p", "游戏说明", "Escape"}};
    for (const auto& w : windows) {
        const XWindow window = openByKeys(w.menu, w.item, w.title);
        ASSERT_NE(window, 0u) << "Alt+" << w.menu << " " << w.item << " opened no " << w.title;
        SettledShot(x_.Geometry(window));
        x_.Key(w.close);
        ASSERT_TRUE(x_.WaitGone(window, kReactMs)) << w.close << " did not close " << w.title;
        // The keyboard is back with the game: the cursor goes down a row.
        EXPECT_TRUE(WaitUntil(kShowMs, [&] { return x_.ActiveWindow() == main; }))
            << "the main window is not active after " << w.title << " closed";
        cursor.y += 1;
        x_.Key("Down");
        EXPECT_TRUE(WaitUntil(
            kReactMs, [&] { return FrameMisses(x_.Shot(x_.Geometry(main)), ox, oy, cursor) == 0; }))
            << "Down moved no cursor after " << w.title << " closed";
    }
    x_.Key("Escape");
    EXPECT_EQ(testsupport::WaitExit(game_, kShowMs), 0) << "Esc did not end the program";
    game_ = -1;
}

}  // namespace
}  // namespace desktop
