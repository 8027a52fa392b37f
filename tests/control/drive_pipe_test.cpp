// The scripted driver driven interactively through pipes, as another program would: every
// pair is found from the printed state and clicked at its cell centre.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "game/board/board.h"

namespace {

namespace fs = std::filesystem;

class DrivePipe {
  public:
    DrivePipe() {
        dir_ = fs::temp_directory_path() / ("kivra-pipe-" + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        fs::copy(KIVRA_DATA_DIR, dir_, fs::copy_options::recursive);
        int in[2], out[2];
        if (pipe(in) != 0 || pipe(out) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(in[0], 0);
            dup2(out[1], 1);
            close(in[1]);
            close(out[0]);
            if (chdir(dir_.c_str()) != 0) _exit(127);
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            execl(KIVRA_DRIVE, KIVRA_DRIVE, static_cast<char*>(nullptr));
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        to_ = fdopen(in[1], "w");
        from_ = fdopen(out[0], "r");
    }
    ~DrivePipe() {
        if (to_) std::fclose(to_);
        if (from_) std::fclose(from_);
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    // Sends a command; returns the lines it printed, ending with the state printed after it.
    std::vector<std::string> Do(const std::string& command) {
        std::fprintf(to_, "%s\nstate\n", command.c_str());
        std::fflush(to_);
        std::vector<std::string> lines;
        char buf[65536];
        while (std::fgets(buf, sizeof buf, from_)) {
            std::string line(buf);
            if (!line.empty() && line.back() == '\n') line.pop_back();
            lines.push_back(line);
            if (line.rfind("{\"difficulty\":", 0) == 0) break;
        }
        return lines;
    }

    int Quit() {
        std::fprintf(to_, "quit\n");
        std::fflush(to_);
        std::fclose(to_);
        to_ = nullptr;
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

  private:
    fs::path dir_;
    pid_t pid_ = -1;
    std::FILE* to_ = nullptr;
    std::FILE* from_ = nullptr;
};

long Field(const std::string& state, const std::string& key) {
    const auto at = state.find("\"" + key + "\": ");
    if (at == std::string::npos) return -999999;
    return std::strtol(state.c_str() + at + key.size() + 4, nullptr, 10);
}

// Rebuilds the board from the state's "board" array (22 columns of 14 codes).
CBoard BoardFromState(const std::string& state) {
    CBoard board;
    board.SetDifficultyAndLevel(static_cast<int>(Field(state, "difficulty")),
                                static_cast<int>(Field(state, "level")));
    const char* p = state.c_str() + state.find("\"board\": [") + 10;
    for (int x = 0; x < kGridWidth; ++x)
        for (int y = 0; y < kGridHeight; ++y) {
            while (*p == '[' || *p == ',' || *p == ' ' || *p == ']') ++p;
            char* end = nullptr;
            board.Set(x, y, static_cast<TileCode>(std::strtol(p, &end, 10)));
            p = end;
        }
    return board;
}

TEST(DrivePipe, PlaysAWholeLevelFromTheStateAlone) {
    DrivePipe s;
    s.Do("time 424242\nstart");
    std::string state = s.Do("key F1").back();
    ASSERT_EQ(Field(state, "game_in_progress"), 1);
    int pairs = 0;
    long hintsBefore = -1, reshufflesBefore = -1;
    bool bonusShown = false;
    while (Field(state, "level") == 1 && Field(state, "game_in_progress") == 1 && pairs < 60) {
        CBoard board = BoardFromState(state);
        HintPair pair;
        ASSERT_TRUE(board.FindMovablePair(pair)) << state;
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
