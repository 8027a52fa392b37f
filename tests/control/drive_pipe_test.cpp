// The scripted driver driven interactively through pipes, as another program would: every
// pair is found from the printed state and clicked at its cell centre.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "game/board/board.h"
#include "tests/support/drive_session.h"

namespace {

using testsupport::BoardFromState;

long Field(const std::string& state, const std::string& key) {
    return testsupport::JsonInt(state, key);
}

// The driver in a fresh copy of the game data, removed afterwards.
class DataCopy {
  public:
    DataCopy() {
        dir_ = std::filesystem::temp_directory_path() / ("kivra-pipe-" + std::to_string(getpid()));
        std::filesystem::remove_all(dir_);
        std::filesystem::copy(KIVRA_DATA_DIR, dir_, std::filesystem::copy_options::recursive);
    }
    ~DataCopy() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    std::string Path() const { return dir_.string(); }

  private:
    std::filesystem::path dir_;
};

TEST(DrivePipe, PlaysAWholeLevelFromTheStateAlone) {
    DataCopy data;
    testsupport::DriveSession s({KIVRA_DRIVE, data.Path()});
    s.Do("time 424242\nstart");
    std::string state = s.Do("key F1").back();
    ASSERT_EQ(Field(state, "game_in_progress"), 1);
    int pairs = 0;
    long hintsBefore = -1, reshufflesBefore = -1;
    bool bonusShown = false;
    while (Field(state, "level") == 1 && Field(state, "game_in_progress") == 1 && pairs < 60) {
        CBoard board = BoardFromState(state);
        const std::optional<MovablePair> found = board.FindMovablePair();
        ASSERT_TRUE(found) << state;
        const HintPair pair = found->cells;
        const Point a = CellCentre(1, pair.x1, pair.y1);
        const Point b = CellCentre(1, pair.x2, pair.y2);
        const long score = Field(state, "score");
        const long prize = Field(state, "prize_shown");
        if (board.TileCount() == 2) {
            hintsBefore = Field(state, "hints");
            reshufflesBefore = Field(state, "reshuffles");
            s.Do("answer ok\nanswer ok\nanswer ok");
        }
        s.Do("click " + std::to_string(a.x) + " " + std::to_string(a.y));
        auto lines = s.Do("click " + std::to_string(b.x) + " " + std::to_string(b.y));
        state = lines.back();
        ++pairs;
        for (const auto& line : lines)
            if (line.find("\"caption\": \"成功\", \"text\": \"过关了!另加") != std::string::npos)
                bonusShown = true;
        if (Field(state, "level") == 1) {
            const long won = Field(state, "prize_shown");
            const long extra = prize == -1 && won == 1 ? 2500 : prize == -1 && won == 5 ? 1000 : 0;
            EXPECT_EQ(Field(state, "score"), score + 10 + extra);
            EXPECT_EQ(BoardFromState(state).TileCount(), board.TileCount() - 2);
        }
    }
    EXPECT_EQ(pairs, 42);
    EXPECT_TRUE(bonusShown);
    EXPECT_EQ(Field(state, "level"), 2);
    EXPECT_EQ(Field(state, "hints"), hintsBefore + 1);
    EXPECT_EQ(Field(state, "reshuffles"), reshufflesBefore + 1);
    EXPECT_EQ(Field(state, "time_left"), 300);
    EXPECT_EQ(BoardFromState(state).TileCount(), 84);
    EXPECT_EQ(s.Quit(), 0);
}

}  // namespace
