// Keyboard play through the scripted driver, as another program drives it: the cursor read
// from the printed state, walked cell by cell to a removable pair with the arrow keys and the
// pair picked with Space and Enter; where the cursor starts, stops and goes away.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "game/board/board.h"
#include "tests/support/drive_session.h"
#include "tests/support/scratch_dir.h"

// Cells in failure messages.
void PrintTo(const Cell& c, std::ostream* os) { *os << "(" << c.x << ", " << c.y << ")"; }

namespace {

using testsupport::BoardFromState;
using testsupport::JsonCell;

const Cell kNone{-1, -1};

// The keys that walk the cursor from `from` to `to`, one cell a key.
std::string Walk(Cell from, Cell to) {
    std::string keys;
    for (; from.x != to.x; from.x += from.x < to.x ? 1 : -1)
        keys += from.x < to.x ? "key Right\n" : "key Left\n";
    for (; from.y != to.y; from.y += from.y < to.y ? 1 : -1)
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
        EXPECT_EQ(session_->Quit(), 0);
        session_.reset();
        dir_.Leave();
    }

    // Runs the commands and keeps the state after them; the first line they printed.
    std::string Run(const std::string& commands) {
        const auto lines = session_->Do(commands);
        state_ = lines.back();
        return lines.front();
    }
    long Field(const std::string& key) const { return testsupport::JsonInt(state_, key); }
    long Selected() const { return Field("selection\": {\"count"); }
    Cell Cursor() const { return JsonCell(state_, "cursor"); }

    // Plays the level to its end with keys alone: the first tile of each pair picked with
    // Space, the second with Enter; the cursor stays on the cell picked whatever the level's
    // shift did to the tiles. Returns how many removals moved tiles besides the pair's own.
    int PlayLevelWithKeys() {
        const long level = Field("level");
        int shifted = 0;
        while (Field("game_in_progress") == 1 && Field("level") == level) {
            const CBoard before = BoardFromState(state_);
            const std::optional<MovablePair> found = before.FindMovablePair();
            if (!found) {
                ADD_FAILURE() << "no pair on level " << level << ": " << state_;
                return shifted;
            }
            const HintPair pair = found->cells;
            // The boxes and the advert that end the level are answered with OK.
            if (before.TileCount() == 2) Run("answer ok\nanswer ok\nanswer ok");
            if (Cursor() == kNone) Run("key Down");
            Run(Walk(Cursor(), Cell{pair.x1, pair.y1}) + "key Space");
            EXPECT_EQ(Selected(), 1);
            const Cell second{pair.x2, pair.y2};
            Run(Walk(Cursor(), second) + "key Return");
            if (Field("game_in_progress") != 1 || Field("level") != level) break;
            EXPECT_EQ(Cursor(), second) << "level " << level;
            const CBoard after = BoardFromState(state_);
            EXPECT_EQ(after.TileCount(), before.TileCount() - 2);
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
    const int tiles[] = {0, 84, 112, 144, 180};
    for (int d = 1; d <= 4; ++d) {
        Run("key F8\nkey F" + std::to_string(d));
        EXPECT_EQ(Cursor(), kNone) << "a new game shows no cursor before an arrow key";
        PlayLevelWithKeys();
        EXPECT_EQ(Field("level"), 2) << "difficulty " << d << " lost on its first level";
        EXPECT_EQ(BoardFromState(state_).TileCount(), tiles[d]);
    }
}

TEST_F(KeyboardPlay, WholeEasyGameKeepsTheCursorOnItsCellThroughEveryShift) {
    Run("time 777\nstart\nkey F1");
    for (int level = 1; level <= 11; ++level) {
        ASSERT_EQ(Field("level"), level);
        ASSERT_EQ(Field("game_in_progress"), 1) << "lost on level " << level;
        const int shifted = PlayLevelWithKeys();
        if (level > 1) {
            EXPECT_GT(shifted, 0) << "no removal on level " << level << " moved tiles";
        }
    }
    EXPECT_EQ(Field("all_cleared_shown"), 1);
    EXPECT_EQ(Cursor(), kNone) << "the cursor outlives the game";
    Run("key Down");
    EXPECT_EQ(Cursor(), kNone) << "an arrow key shows a cursor without a game";
}

TEST_F(KeyboardPlay, SpaceAndEnterHideWithoutACursorAndPickWithOne) {
    Run("time 5\nstart\nkey F1\nkey Space\nkey Left");
    EXPECT_EQ(Field("hidden"), 1) << "Space without a cursor hides";
    EXPECT_EQ(Cursor(), kNone) << "an arrow key shows a cursor on a hidden window";
    Run("key F8\nkey F1\nkey Return");
    EXPECT_EQ(Field("hidden"), 1) << "Enter without a cursor hides";

    Run("key F8\nkey F1\nkey Right");
    ASSERT_EQ(Cursor(), (Cell{2, 2})) << "the first arrow key shows the cursor on the first tile";
    EXPECT_NE(Run("key Space").find("\"id\": 138"), std::string::npos) << "no select sound";
    EXPECT_EQ(Selected(), 1);
    Run("key Return");
    EXPECT_EQ(Selected(), 0) << "Enter on the selected tile unselects it";
    Run("key Space");
    EXPECT_NE(Run("key Backspace").find("\"id\": 147"), std::string::npos) << "no cancel sound";
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(Field("hidden"), 0);
}

TEST_F(KeyboardPlay, MousePauseAndTheEndOfAGameTakeTheCursorAway) {
    Run("time 5\nstart\nkey F1\nkey Down\nkey Down\nkey Right\nmove 400 5");
    EXPECT_EQ(Cursor(), (Cell{3, 3})) << "a move above the board hides the cursor";
    Run("move 400 300");
    EXPECT_EQ(Cursor(), kNone) << "a move over the board leaves the cursor";
    Run("key Left");
    EXPECT_EQ(Cursor(), (Cell{3, 3})) << "the cursor does not come back where it was";
    // Pausing hides it, and no arrow key shows it while paused; giving up hides it.
    for (const char* leave : {"rclick 5 5", "click 5 5", "key F11\nkey Up\nkey F11", "key F8"}) {
        Run(std::string("key Up\n") + leave);
        EXPECT_EQ(Cursor(), kNone) << leave;
    }
    Run("key F1\nkey Up");
    EXPECT_EQ(Cursor(), (Cell{2, 2})) << "a new game starts again on the first tile";
    Run("answer ok\nanswer ok\nwait 181000");
    EXPECT_EQ(Field("game_in_progress"), 0);
    EXPECT_EQ(Cursor(), kNone) << "time-up leaves the cursor";
}

TEST_F(KeyboardPlay, CursorStartsOnTheFirstTileInReadingOrderStopsAtTheEdgesAndFollowsHints) {
    Run("time 11\nstart\nkey F1");
    // The top-left tile removed with the mouse: the first tile in reading order is then in row
    // 2, where a scan column by column would find one in column 2.
    CBoard board = BoardFromState(state_);
    Cell partner = kNone;
    for (int x = 2; x <= 13; ++x)
        for (int y = 2; y <= 8; ++y)
            if (partner == kNone && (x > 2 || y > 2) && board.CanLink(2, 2, x, y))
                partner = Cell{x, y};
    ASSERT_NE(partner, kNone) << "no tile links with (2, 2) on this deal";
    const Point a = CellCentre(Easy, 2, 2), b = CellCentre(Easy, partner.x, partner.y);
    Run("click " + std::to_string(a.x) + " " + std::to_string(a.y) + "\nclick " +
        std::to_string(b.x) + " " + std::to_string(b.y) + "\nkey Left");
    ASSERT_EQ(Field("score"), 10);
    EXPECT_EQ(Cursor(), (partner == Cell{3, 2} ? Cell{4, 2} : Cell{3, 2}));

    // Up and Left stop at the edge; Home and End go to the ends of the row, empty cells too.
    Run("key Up\nkey Home\nkey Left");
    EXPECT_EQ(Cursor(), (Cell{2, 2}));
    Run("key End\nkey Right");
    EXPECT_EQ(Cursor(), (Cell{13, 2}));
    Run(Walk(Cell{13, 2}, Cell{13, 12}) + "key Home");
    EXPECT_EQ(Cursor(), (Cell{2, 8}));

    // A hint takes the shown cursor to the first tile of its pair; hidden, it stays hidden.
    Run("key F5");
    ASSERT_GE(JsonCell(state_, "hint").x, 2) << "no hint";
    EXPECT_EQ(Cursor(), JsonCell(state_, "hint"));
    Run("move 300 300\nkey F5");
    EXPECT_EQ(Cursor(), kNone);
}

}  // namespace
