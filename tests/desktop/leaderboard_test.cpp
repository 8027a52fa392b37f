// The leaderboard (选项 › 排行榜) with the real program: its difficulty combo box is one line tall
// with its arrow and text and drops its list down below itself; the keyboard can change the
// difficulty shown; clicking a name does not scroll the list sideways.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/desktop/desktop_fixture.h"
#include "tests/support/process.h"

namespace desktop {
namespace {

using testsupport::WaitUntil;

class LeaderboardTest : public DesktopTest {
  protected:
    // Starts the game and opens the leaderboard; its client area (empty with a failure).
    Rect Open() {
        main_ = StartGame();
        if (!main_) return Rect{};
        dialog_ = OpenLeaderboard(main_);
        return dialog_ ? x_.Geometry(dialog_) : Rect{};
    }

    // A control of the dialog template on the screen.
    static Rect Control(const Rect& client, int x, int y, int cx, int cy) {
        const Rect r = DialogUnits(x, y, cx, cy);
        return Rect{client.x + r.x, client.y + r.y, r.w, r.h};
    }

    // Distinct tables per difficulty, so that the table shown tells the difficulty.
    void WriteDistinctTables() const {
        const char* const names[4] = {"Ann", "WWWWWWWW", "mmmm", "Zed Zed"};
        for (int d = 1; d <= 4; ++d) {
            std::vector<std::pair<int, std::string>> rows;
            for (int i = 0; i < 10; ++i) rows.emplace_back(d * 1000 - i * 10, names[d - 1]);
            WriteGameFile("score." + std::to_string(d), ScoreTable(rows));
        }
    }

    XWindow main_ = 0, dialog_ = 0;
};

TEST_F(LeaderboardTest, DifficultyComboIsOneLineAndDropsDownBelow) {
    const Rect client = Open();
    ASSERT_FALSE(client.Empty());
    const Image img = SettledShot(client);
    const Rect combo = Control(client, 132, 16, 48, 55);
    // The dialog's own colour, beside the list (which is mostly white).
    const uint32_t background =
        img.CommonColour(Rect{combo.x, client.y, client.Right() - combo.x, client.h});
    const Rect clear = Control(client, 138, 42, 42, 14);

    // What is drawn from the combo's top down to the 清除记录 button: the combo alone.
    const Rect drawn = img.Ink(Rect{combo.x, combo.y, combo.w, clear.y - combo.y}, background);
    ASSERT_FALSE(drawn.Empty()) << "nothing drawn where the combo box is";
    EXPECT_LE(std::abs(drawn.y - combo.y), 2) << ToString(drawn);
    EXPECT_GE(drawn.h, 16) << "the combo box " << ToString(drawn) << " is not one line tall";
    EXPECT_LE(drawn.h, 24) << "the combo box " << ToString(drawn)
                           << " is not one line tall: it reaches towards 清除记录 at "
                           << ToString(clear);
    const int line = std::min(drawn.h, 24);
    const Rect arrow{drawn.Right() - 16, drawn.y + 4, 14, line - 8};
    const Rect text{drawn.x + 3, drawn.y + 3, drawn.w - 22, line - 6};
    int arrowInk = 0, textInk = 0;
    for (int y = arrow.y; y < arrow.Bottom(); ++y)
        for (int x = arrow.x; x < arrow.Right(); ++x) arrowInk += Dark(img.At(x, y));
    for (int y = text.y; y < text.Bottom(); ++y)
        for (int x = text.x; x < text.Right(); ++x) textInk += Dark(img.At(x, y));
    EXPECT_GE(arrowInk, 3) << "no drop-down arrow at the right of the line " << ToString(arrow);
    EXPECT_GE(textInk, 20) << "no difficulty shown in the line " << ToString(text);
    int buttonInk = 0;
    for (int y = clear.y; y < clear.Bottom(); ++y)
        for (int x = clear.x; x < clear.Right(); ++x) buttonInk += Dark(img.At(x, y));
    EXPECT_GE(buttonInk, 20) << "清除记录 is not readable";

    // Its list opens below the line.
    const auto before = x_.Popups();
    x_.Click(drawn.x + drawn.w / 2, drawn.y + line / 2);
    const XWindow list = x_.WaitForNewPopup(before, kShowMs);
    ASSERT_NE(list, 0u) << "clicking the combo box opened no list";
    const Rect opened = x_.Geometry(list);
    EXPECT_GE(opened.y, drawn.y + line - 2)
        << "the list " << ToString(opened) << " opens over the combo box " << ToString(drawn)
        << " (the dialog's title bar ends at " << client.y << ")";
    x_.Key("Escape");
}

TEST_F(LeaderboardTest, KeyboardChangesTheDifficulty) {
    WriteDistinctTables();
    const Rect client = Open();
    ASSERT_FALSE(client.Empty());
    const Rect combo = Control(client, 132, 16, 48, 14);
    const Rect list = Control(client, 7, 5, 122, 103);
    const Image start = SettledShot(client);

    auto changedFrom = [&](const Image& before, const Rect& part) {
        return WaitUntil(kReactMs, [&] { return !x_.Shot(part).SameAs(before.Crop(part)); });
    };
    x_.Key("Down");
    EXPECT_TRUE(changedFrom(start, client))
        << "Down changed nothing: nothing in the leaderboard has the keyboard focus";
    Image now = SettledShot(client);
    if (now.Crop(combo).SameAs(start.Crop(combo))) {
        // The focus was elsewhere (the list): Tab to the combo box, then Down.
        x_.Key("Tab");
        testsupport::SleepMs(100);
        x_.Key("Down");
        changedFrom(start, combo);
        now = SettledShot(client);
    }
    EXPECT_FALSE(now.Crop(combo).SameAs(start.Crop(combo))) << "the difficulty shown is the same";
    // Rows of the table's body that changed: every entry's name and score, not just a highlight.
    int changedRows = 0;
    for (int y = list.y + 20; y < list.Bottom() - 20; ++y) {
        bool changed = false;
        for (int x = list.x; x < list.Right(); ++x)
            changed = changed || now.At(x, y) != start.At(x, y);
        changedRows += changed;
    }
    EXPECT_GE(changedRows, 40) << "the table's entries did not change with the difficulty";
}

TEST_F(LeaderboardTest, ClickingANameDoesNotScrollSideways) {
    const Rect client = Open();
    ASSERT_FALSE(client.Empty());
    const Rect list = Control(client, 7, 5, 122, 103);
    // The headings' strip, 排名 first.
    const Rect headings{list.x + 1, list.y + 1, list.w - 2, 14};
    const Image before = SettledShot(list);
    ASSERT_GT(before.Colours(headings).size(), 2u) << "no headings at " << ToString(headings);

    // A row of the 姓名 column (after 排名 40 px and 得分 58 px), inside the visible part.
    x_.Click(list.x + 1 + 40 + 58 + 20, list.y + 70);
    ASSERT_TRUE(WaitUntil(kReactMs, [&] { return !x_.Shot(list).SameAs(before); }))
        << "the click did not select a row";
    // A list may bring the clicked cell into view a moment after the click (after the time a
    // double click could take): give it that long.
    const bool scrolled =
        WaitUntil(1500, [&] { return !x_.Shot(headings).SameAs(before.Crop(headings)); });
    EXPECT_FALSE(scrolled) << "the headings moved: the list scrolled sideways";
}

}  // namespace
}  // namespace desktop
