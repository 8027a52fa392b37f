// Keyboard play through the scripted driver, as another program drives it: the cursor found in
// the printed state, walked cell by cell to a removable pair with the arrow keys and the pair
// picked with Space and Enter; where the cursor starts, stops and goes away.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "game/board/board.h"
#include "tests/support/drive_session.h"
#include "tests/support/scratch_dir.h"

namespace {

using testsupport::BoardFromState;
using testsupport::JsonInt;

// The first two numbers of the array `key` of a state: the cursor, the hint's first cell.
Cell CellOf(const std::string& state, const std::string& key) {
    const std::string pattern = "\"" + key + "\": [";
    const auto at = state.find(pattern);
    if (at == std::string::npos) return Cell{-99, -99};
    char* end = nullptr;
    Cell c;
    c.x = static_cast<int>(std::strtol(state.c_str() + at + pattern.size(), &end, 10));
    c.y = static_cast<int>(std::strtol(end + 1, nullptr, 10));
    return c;
}

std::string Str(Cell c) { return "(" + std::to_string(c.x) + ", " + std::to_string(c.y) + ")"; }

// The keys that walk the cursor from `from` to `to`, one cell a key.
std::string Walk(Cell from, Cell to) {
    std::string keys;
    for (int x = from.x; x != to.x; x += from.x < to.x ? 1 : -1)
        keys += from.x < to.x ? "key Right\n" : "key Left\n";
    for (int y = from.y; y != to.y; y += from.y < to.y ? 1 : -1)
        keys += from.y < to.y ? "key Down\n" : "key Up\n";
    return keys;
}

class KeyboardPlay : public ::testing::Test {
  protected:
    // The driver in a scratch game folder that links to the generated data.
    void SetUp() override {
        dir_.Enter("kivra-keys");
        for (const char* name : {"img", "midi", "ads", "mavek.chm"})
            std::filesystem::create_symlink(std::string(KIVRA_DATA_DIR) + "/" + name, name);
        session_ = std::make_unique<testsupport::DriveSession>(
            testsupport::DriveOptions{KIVRA_DRIVE, dir_.Path()});
    }
    void TearDown() override {
        if (session_) EXPECT_EQ(session_->Quit(), 0);
        session_.reset();
        dir_.Leave();
    }

    // Runs the commands; the state after them is kept, the lines before it returned.
    std::vector<std::string> Run(const std::string& commands) {
        std::vector<std::string> lines = session_->Do(commands);
        if (!lines.empty()) state_ = lines.back();
        return lines;
    }
    long Field(const std::string& key) const { return JsonInt(state_, key); }
    Cell Cursor() const { return CellOf(state_, "cursor"); }
    long Selected() const { return JsonInt(state_, "selection\": {\"count"); }

    // Shows the cursor when it is not, walks it to `cell` and presses `key` there.
    void PickWithKeys(Cell cell, const std::string& key) {
        if (Cursor().x < 0) Run("key Down");
        Run(Walk(Cursor(), cell) + "key " + key);
    }

    // Plays the level to its end with keys alone: the first tile of each pair picked with
    // Space, the second with Enter. The cursor stays on the cell picked whatever the level's
    // shift did to the tiles; returns how many removals moved tiles besides the pair's own.
    int PlayLevelWithKeys() {
        const long level = Field("level");
        int shifted = 0;
        for (int pairs = 0; Field("game_in_progress") == 1 && Field("level") == level; ++pairs) {
            const CBoard before = BoardFromState(state_);
            HintPair pair;
            CBoard search = before;
            if (pairs > 100 || !search.FindMovablePair(pair)) {
                ADD_FAILURE() << "no pair to pick on level " << level << ":\n" << state_;
                return shifted;
            }
            // The boxes and the advert that end the level are answered with OK.
            if (before.TileCount() == 2) Run("answer ok\nanswer ok\nanswer ok");
            const Cell first{pair.x1, pair.y1}, second{pair.x2, pair.y2};
            PickWithKeys(first, "Space");
            EXPECT_EQ(Selected(), 1) << "Space did not select " << Str(first);
            PickWithKeys(second, "Return");
            if (Field("game_in_progress") != 1) break;
            EXPECT_EQ(Cursor(), second) << "the cursor left " << Str(second) << " on level "
                                        << Field("level") << ": " << Str(Cursor());
            if (Field("level") != level) break;
            const CBoard after = BoardFromState(state_);
            EXPECT_EQ(after.TileCount(), before.TileCount() - 2) << "the pair was not removed";
            int changed = 0;
            for (int x = 0; x < kGridWidth; ++x)
                for (int y = 0; y < kGridHeight; ++y) changed += before.At(x, y) != after.At(x, y);
            shifted += changed > 2;
        }
        return shifted;
    }

    testsupport::ScratchDir dir_;
    std::unique_ptr<testsupport::DriveSession> session_;
    std::string state_;
};

TEST_F(KeyboardPlay, FirstLevelOfEveryDifficultyWithKeysAlone) {
    Run("time 31337\nstart");
    for (const char* key : {"F1", "F2", "F3", "F4"}) {
        Run(std::string("key F8\nkey ") + key);
        ASSERT_EQ(Field("level"), 1) << key;
        EXPECT_EQ(Cursor(), (Cell{-1, -1})) << "a new game shows no cursor before an arrow key";
        PlayLevelWithKeys();
        EXPECT_EQ(Field("level"), 2) << key << " lost on its first level";
        EXPECT_EQ(Field("game_in_progress"), 1) << key;
        EXPECT_EQ(BoardFromState(state_).TileCount(), 2 * (Field("difficulty") == 1   ? 42
                                                           : Field("difficulty") == 2 ? 56
                                                           : Field("difficulty") == 3 ? 72
                                                                                      : 90))
            << "the next level was not dealt";
    }
}

TEST_F(KeyboardPlay, WholeEasyGameKeepsTheCursorOnItsCellThroughEveryShift) {
    Run("time 777\nstart\nkey F1");
    for (int level = 1; level <= 11; ++level) {
        ASSERT_EQ(Field("level"), level);
        ASSERT_EQ(Field("game_in_progress"), 1) << "lost on level " << level;
        const int shifted = PlayLevelWithKeys();
        if (level > 1) EXPECT_GT(shifted, 0) << "no removal on level " << level << " moved tiles";
    }
    EXPECT_EQ(Field("all_cleared_shown"), 1);
    EXPECT_EQ(Cursor(), (Cell{-1, -1})) << "the cursor outlives the game";
    Run("key Down");
    EXPECT_EQ(Cursor(), (Cell{-1, -1})) << "an arrow key shows a cursor without a game";
}

TEST_F(KeyboardPlay, SpaceAndEnterHideWithoutACursorAndPickWithOne) {
    Run("time 5\nstart\nkey F1\nkey Space");
    EXPECT_EQ(Field("hidden"), 1) << "Space without a cursor hides";
    Run("key Left");
    EXPECT_EQ(Cursor(), (Cell{-1, -1})) << "an arrow key shows a cursor on a hidden window";
    Run("key F8\nkey F1\nkey Return");
    EXPECT_EQ(Field("hidden"), 1) << "Enter without a cursor hides";

    Run("key F8\nkey F1\nkey Right");
    ASSERT_EQ(Cursor(), (Cell{2, 2})) << "the first arrow key shows the cursor on the first tile";
    auto lines = Run("key Space");
    EXPECT_EQ(Field("hidden"), 0);
    EXPECT_NE(lines.front().find("\"id\": 138"), std::string::npos) << "no select sound";
    EXPECT_EQ(Selected(), 1);
    Run("key Return");
    EXPECT_EQ(Field("hidden"), 0);
    EXPECT_EQ(Selected(), 0) << "Enter on the selected tile unselects it";
    // Backspace cancels a single selection, with the right button's sound.
    Run("key Space");
    lines = Run("key Backspace");
    EXPECT_EQ(Selected(), 0);
    EXPECT_NE(lines.front().find("\"id\": 147"), std::string::npos) << "no cancel sound";
}

TEST_F(KeyboardPlay, MousePauseAndTheEndOfAGameTakeTheCursorAway) {
    Run("time 5\nstart\nkey F1\nkey Down\nkey Down\nkey Right");
    ASSERT_EQ(Cursor(), (Cell{3, 3}));
    Run("move 400 5");  // the status panel, above the Easy board
    EXPECT_EQ(Cursor(), (Cell{3, 3})) << "a move off the board hides the cursor";
    Run("move 400 300");
    EXPECT_EQ(Cursor(), (Cell{-1, -1})) << "a move over the board leaves the cursor";
    Run("key Left");
    EXPECT_EQ(Cursor(), (Cell{3, 3})) << "the cursor does not come back where it was";
    Run("rclick 5 5");
    EXPECT_EQ(Cursor(), (Cell{-1, -1})) << "a right click leaves the cursor";
    Run("key Up\nclick 5 5");
    EXPECT_EQ(Cursor(), (Cell{-1, -1})) << "a left click leaves the cursor";

    Run("key Up\nkey F11");
    EXPECT_EQ(Cursor(), (Cell{-1, -1})) << "pause leaves the cursor";
    Run("key Up\nkey Space");
    EXPECT_EQ(Cursor(), (Cell{-1, -1})) << "an arrow key shows the cursor while paused";
    EXPECT_EQ(Field("hidden"), 1) << "Space while paused no longer hides";

    Run("key F8\nkey F11\nkey F1\nkey Up");
    EXPECT_EQ(Cursor(), (Cell{2, 2})) << "a new game starts again on the first tile";
    Run("key F8");
    EXPECT_EQ(Cursor(), (Cell{-1, -1})) << "giving up leaves the cursor";
    Run("key F1\nkey Up\nanswer ok\nanswer ok\nwait 181000");
    EXPECT_EQ(Field("game_in_progress"), 0);
    EXPECT_EQ(Cursor(), (Cell{-1, -1})) << "time-up leaves the cursor";
}

TEST_F(KeyboardPlay, CursorStartsOnTheFirstTileInReadingOrderAndStopsAtTheEdges) {
    Run("time 11\nstart\nkey F1");
    // Remove the top-left tile with the mouse; then the first tile in reading order is in row
    // 2, where a column-by-column scan would find one in column 2.
    CBoard board = BoardFromState(state_);
    Cell partner;
    for (int x = 2; x <= 13 && partner.x < 0; ++x)
        for (int y = 2; y <= 8 && partner.x < 0; ++y)
            if ((x != 2 || y != 2) && board.CanLink(2, 2, x, y)) partner = Cell{x, y};
    ASSERT_GE(partner.x, 0) << "no tile links with (2, 2) on this deal";
    const Point a = CellCentre(Easy, 2, 2), b = CellCentre(Easy, partner.x, partner.y);
    Run("click " + std::to_string(a.x) + " " + std::to_string(a.y) + "\nclick " +
        std::to_string(b.x) + " " + std::to_string(b.y));
    ASSERT_EQ(Field("score"), 10);
    const Cell expected = partner == Cell{3, 2} ? Cell{4, 2} : Cell{3, 2};
    Run("key Left");
    EXPECT_EQ(Cursor(), expected);

    // Up and Left stop at the edge; Home and End go to the ends of the row, empty cells too.
    Run("key Up\nkey Home\nkey Left");
    EXPECT_EQ(Cursor(), (Cell{2, 2}));
    Run("key End\nkey Right");
    EXPECT_EQ(Cursor(), (Cell{13, 2}));
    Run(Walk(Cell{13, 2}, Cell{13, 12}));
    EXPECT_EQ(Cursor(), (Cell{13, 8})) << "Down leaves the board";
    Run("key Home");
    EXPECT_EQ(Cursor(), (Cell{2, 8}));

    // A hint takes the shown cursor to the first tile of its pair; hidden, it stays hidden.
    Run("key F5");
    ASSERT_GE(CellOf(state_, "hint").x, 2) << "no hint";
    EXPECT_EQ(Cursor(), CellOf(state_, "hint"));
    Run("move 300 300\nkey F5");
    EXPECT_EQ(Cursor(), (Cell{-1, -1}));
}

}  // namespace
