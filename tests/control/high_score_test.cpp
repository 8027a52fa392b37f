// The high-score round trip: a game that runs out of time with a ranking score asks for the
// player's name, the Easy table on disk gains the entry in its place, and after a restart of
// the program in the same folder the leaderboard lists it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "game/res/resource_ids.h"
#include "game/scores/score_dialogs.h"
#include "platform/afx/automation.h"
#include "tests/control/harness.h"

namespace {

namespace fs = std::filesystem;

// Names in code page 936, as the table files hold them.
const std::string kLiSi = "\xC0\xEE\xCB\xC4";
const std::string kWangWu = "\xCD\xF5\xCE\xE5";
const std::string kZhangSan = "\xD5\xC5\xC8\xFD";

std::string Table(const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string text;
    for (const auto& e : entries) text += e.first + "\r\n" + e.second + "\r\n";
    return text;
}

std::string ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// One run of the scripted driver in `dir` with `script`; returns its standard output lines.
std::vector<std::string> Drive(const fs::path& dir, const std::string& script, int* status) {
    const fs::path in = dir / "run.script";
    const fs::path out = dir / "run.out";
    {
        std::ofstream s(in, std::ios::binary);
        s << script;
    }
    const std::string command = "cd '" + dir.string() +
                                "' && SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=offscreen '" +
                                KIVRA_DRIVE + "' < run.script > run.out 2> run.err";
    *status = std::system(command.c_str());
    std::vector<std::string> lines;
    std::istringstream text(ReadBytes(out));
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    fs::remove(in);
    fs::remove(out);
    return lines;
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
    for (const auto& l : lines)
        if (l == line) return true;
    return false;
}

class HighScoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("kivra-highscore-" + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        fs::copy(KIVRA_DATA_DIR, dir_, fs::copy_options::recursive);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    fs::path dir_;
};

TEST_F(HighScoreTest, TimeUpRecordsTheNameAndTheLeaderboardShowsItAfterARestart) {
    // 100 (the time-up award of a game with no pair removed) ties with rank 2 and goes above it.
    std::vector<std::pair<std::string, std::string>> before = {
        {"900", kLiSi}, {"100", kWangWu}, {"50", ""}};
    for (int i = 3; i < 10; ++i) before.push_back({"0", ""});
    before[9] = {"0", "last"};
    {
        std::ofstream t(dir_ / "score.1", std::ios::binary);
        t << Table(before);
    }

    // First run: an Easy game that nobody plays; 300 ticks of 600 ms run out, the 301st is
    // the time-up.
    int status = -1;
    const std::vector<std::string> first = Drive(dir_,
                                                 "time 1700000000\n"
                                                 "start\n"
                                                 "key F1\n"
                                                 "answer ok\n"
                                                 "answer text 张三\n"
                                                 "wait 181000\n"
                                                 "state\n"
                                                 "quit\n",
                                                 &status);
    ASSERT_EQ(status, 0);
    EXPECT_TRUE(Has(first,
                    "{\"event\": \"msgbox\", \"caption\": \"失败\", \"text\": "
                    "\"时间到!\\n\\n加时间能量100分.\"}"));
    EXPECT_TRUE(Has(first, "{\"event\": \"dialog\", \"id\": 158, \"caption\": \"记录积分\"}"));
    EXPECT_TRUE(Has(first, "{\"event\": \"dialog_closed\", \"id\": 158, \"result\": 1}"));
    std::string state;
    for (const auto& line : first)
        if (line.rfind("{\"difficulty\"", 0) == 0) state = line;
    EXPECT_NE(state.find("\"score\": 100,"), std::string::npos) << state;
    EXPECT_NE(state.find("\"game_in_progress\": 0,"), std::string::npos) << state;

    // The entry went in at rank 2 above the equal score; the old rank 10 is gone. The name is
    // stored in code page 936 and lines end with CR LF.
    std::vector<std::pair<std::string, std::string>> after = before;
    after.insert(after.begin() + 1, {"100", kZhangSan});
    after.pop_back();
    const std::string expected = Table(after);
    EXPECT_EQ(ReadBytes(dir_ / "score.1"), expected);

    // Second run in the same folder: the leaderboard opens and closes with its button, and the
    // tables are left as they were.
    const std::vector<std::string> second = Drive(dir_,
                                                  "time 1700000500\n"
                                                  "start\n"
                                                  "key F1\n"
                                                  "answer ok\n"
                                                  "menu " +
                                                      std::to_string(ID_OPTION_RANK) +
                                                      "\n"
                                                      "quit\n",
                                                  &status);
    ASSERT_EQ(status, 0);
    EXPECT_TRUE(Has(second, "{\"event\": \"dialog\", \"id\": 156, \"caption\": \"Vorn排行榜\"}"));
    EXPECT_TRUE(Has(second, "{\"event\": \"dialog_closed\", \"id\": 156, \"result\": 1}"));
    EXPECT_EQ(ReadBytes(dir_ / "score.1"), expected);

    // A fresh main window over that table: the leaderboard, opened from the menu during an Easy
    // game, lists the new name in UTF-8 at rank 2.
    const std::string table = ReadBytes(dir_ / "score.1");
    GameHarness h;
    {
        std::ofstream t(fs::path(h.Dir()) / "score.1", std::ios::binary);
        t << table;
    }
    afx::automation::SetLiveDialog(IDD_RANK_DIALOG, true);
    std::vector<std::string> rows;
    int selected = -1;
    bool opened = false;
    int phase = 0;
    afx::InitPlatform();
    afx::automation::UseVirtualClock(1700001000);
    CGameDlg game;
    afx::automation::SetIdleHook([&] {
        if (phase == 0) {
            phase = 1;
            Press("F1");
            opened = afx::automation::MenuCommand(ID_OPTION_RANK);
            phase = 3;
            game.EndDialog(IDCANCEL);
        } else if (phase == 1) {
            phase = 2;
            auto* rank = dynamic_cast<CRankDlg*>(afx::automation::TopWindow());
            if (!rank) return;
            selected = rank->m_comboDifficulty.GetCurSel();
            for (int i = 0; i < rank->m_listScores.GetItemCount(); ++i)
                rows.push_back(std::string(rank->m_listScores.GetItemText(i, 0).GetString()) + "|" +
                               rank->m_listScores.GetItemText(i, 1).GetString() + "|" +
                               rank->m_listScores.GetItemText(i, 2).GetString());
            rank->EndDialog(IDOK);
        } else if (phase == 2) {
            CWnd* top = afx::automation::TopWindow();
            if (top && top != &game) static_cast<CDialog*>(top)->EndDialog(IDABORT);
        }
    });
    game.DoModal();
    afx::automation::SetIdleHook(nullptr);
    afx::automation::SetLiveDialog(IDD_RANK_DIALOG, false);

    EXPECT_TRUE(opened);
    EXPECT_EQ(selected, 0);
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_EQ(rows[0], "1|900|李四");
    EXPECT_EQ(rows[1], "2|100|张三");
    EXPECT_EQ(rows[2], "3|100|王五");
    EXPECT_EQ(rows[3], "4|50|");
    EXPECT_EQ(rows[9], "10|0|");
}

}  // namespace
