// The scripted driver: its script language, and the program run through it end to end.
#include "tools/kivra-drive/script.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

ScriptCommand Parse(const std::string& line) {
    ScriptCommand cmd;
    std::string error;
    EXPECT_TRUE(ParseScriptLine(line, &cmd, &error)) << line << ": " << error;
    return cmd;
}

bool Rejects(const std::string& line) {
    ScriptCommand cmd;
    std::string error;
    const bool ok = ParseScriptLine(line, &cmd, &error);
    return !ok && !error.empty();
}

TEST(Script, ParsesEveryCommand) {
    EXPECT_EQ(Parse("time 1700000000").seconds, 1700000000);
    EXPECT_EQ(Parse("start").kind, ScriptCommand::Start);
    ScriptCommand k = Parse("key F5");
    EXPECT_EQ(k.kind, ScriptCommand::Key);
    EXPECT_EQ(k.text, "F5");
    EXPECT_EQ(k.edge, ScriptCommand::Press);
    EXPECT_EQ(Parse("key Ctrl down").edge, ScriptCommand::Down);
    EXPECT_EQ(Parse("key Ctrl up").edge, ScriptCommand::Up);
    EXPECT_EQ(Parse("key Alt+Space").text, "Alt+Space");
    ScriptCommand c = Parse("click 140 -7");
    EXPECT_EQ(c.kind, ScriptCommand::Click);
    EXPECT_EQ(c.x, 140);
    EXPECT_EQ(c.y, -7);
    EXPECT_EQ(Parse("rclick 1 2").kind, ScriptCommand::RightClick);
    EXPECT_EQ(Parse("move 1 2").kind, ScriptCommand::Move);
    EXPECT_EQ(Parse("menu 32772").x, 32772);
    EXPECT_EQ(Parse("wait 600").x, 600);
    EXPECT_EQ(Parse("answer ok").text, "ok");
    EXPECT_EQ(Parse("answer no").text, "no");
    EXPECT_EQ(Parse("answer hold").text, "hold");
    EXPECT_EQ(Parse("answer text 张 三").text, "text 张 三");
    EXPECT_EQ(Parse("state").kind, ScriptCommand::State);
    EXPECT_EQ(Parse("shot out.png").text, "out.png");
    EXPECT_EQ(Parse("quit").kind, ScriptCommand::Quit);
}

TEST(Script, CommentsAndBlankLinesAreEmpty) {
    EXPECT_EQ(Parse("").kind, ScriptCommand::Empty);
    EXPECT_EQ(Parse("   # a comment").kind, ScriptCommand::Empty);
    EXPECT_EQ(Parse("wait 5 # five").x, 5);
    EXPECT_EQ(Parse("state\r").kind, ScriptCommand::State);
}

TEST(Script, RejectsMalformedLines) {
    EXPECT_TRUE(Rejects("jump 3"));
    EXPECT_TRUE(Rejects("click 1"));
    EXPECT_TRUE(Rejects("click a b"));
    EXPECT_TRUE(Rejects("wait -5"));
    EXPECT_TRUE(Rejects("wait 5ms"));
    EXPECT_TRUE(Rejects("menu"));
    EXPECT_TRUE(Rejects("key F5 sideways"));
    EXPECT_TRUE(Rejects("answer maybe"));
    EXPECT_TRUE(Rejects("answer hold on"));
    EXPECT_TRUE(Rejects("state now"));
    EXPECT_TRUE(Rejects("time"));
}

// Runs kivra-drive in a copy of the game data with `script` on its standard input.
struct DriveResult {
    int status = -1;
    std::string shot;    // the first bytes of shot.png, when the script saved one
    int shotWidth = 0;   // its width, from the PNG header
    std::string scores;  // score.1 after the run
    std::vector<std::string> lines;
    std::string errors;
};

// With `clearedTables`, the folder also holds four cleared score tables, as a player's does.
DriveResult Drive(const std::string& script, bool clearedTables = false) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("kivra-drive-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::copy(KIVRA_DATA_DIR, dir, fs::copy_options::recursive);
    std::ofstream(dir / "script.txt") << script;
    for (int d = 1; clearedTables && d <= 4; ++d) {
        std::ofstream table(dir / ("score." + std::to_string(d)), std::ios::binary);
        for (int i = 0; i < 10; ++i) table << "0\r\n\r\n";
    }
    const std::string cmd = "cd '" + dir.string() +
                            "' && SDL_AUDIODRIVER=dummy '" KIVRA_DRIVE
                            "' script.txt >out.txt 2>err.txt";
    DriveResult r;
    const int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream out(dir / "out.txt");
    for (std::string line; std::getline(out, line);) r.lines.push_back(line);
    std::stringstream err;
    err << std::ifstream(dir / "err.txt").rdbuf();
    r.errors = err.str();
    std::ifstream png(dir / "shot.png", std::ios::binary);
    unsigned char header[24] = {};
    if (png.read(reinterpret_cast<char*>(header), 24)) {
        r.shot.assign(reinterpret_cast<char*>(header), 8);
        r.shotWidth = header[16] << 24 | header[17] << 16 | header[18] << 8 | header[19];
    }
    std::stringstream scores;
    scores << std::ifstream(dir / "score.1", std::ios::binary).rdbuf();
    r.scores = scores.str();
    fs::remove_all(dir);
    return r;
}

bool Has(const std::string& line, const std::string& part) {
    return line.find(part) != std::string::npos;
}

TEST(Drive, PrintsTraceAndStateAsJsonLines) {
    DriveResult r =
        Drive("time 1000\nstart\nstate\nkey F1\nstate\nwait 600\nstate\nshot shot.png\nquit\n");
    ASSERT_EQ(r.status, 0) << r.errors;
    EXPECT_EQ(r.shot, std::string("\x89PNG\r\n\x1a\n", 8));
    std::vector<std::string> states;
    bool startPicture = false, levelPicture = false;
    for (const auto& line : r.lines) {
        if (Has(line, "\"board\": [")) states.push_back(line);
        if (line == "{\"event\": \"picture\", \"file\": \"img\\\\z0.jpg\"}") startPicture = true;
        if (line == "{\"event\": \"picture\", \"file\": \"img\\\\101.jpg\"}") levelPicture = true;
    }
    EXPECT_TRUE(startPicture);
    EXPECT_TRUE(levelPicture);
    ASSERT_EQ(states.size(), 3u);
    EXPECT_EQ(states[0].rfind("{\"difficulty\": 3, \"level\": 1, \"score\": 0, ", 0), 0u)
        << states[0];
    EXPECT_TRUE(
        Has(states[0], "\"time_left\": -1, \"game_in_progress\": 0, \"countdown_stopped\": 1"));
    EXPECT_TRUE(Has(states[0], "\"selection\": {\"count\": 0, \"cells\": [[-1, -1], [-1, -1]]}"));
    EXPECT_TRUE(Has(states[0], "\"hint\": [-1, -1, -1, -1]"));
    EXPECT_TRUE(
        Has(states[1],
            "{\"difficulty\": 1, \"level\": 1, \"score\": 0, \"hints\": 4, \"reshuffles\": 2, "
            "\"time_left\": 300, \"game_in_progress\": 1, \"countdown_stopped\": 0"));
    EXPECT_TRUE(Has(states[2], "\"time_left\": 299"));
    // The board: 22 columns of 14 codes, the ring as -1.
    EXPECT_TRUE(Has(states[1],
                    "\"board\": [[-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1], "
                    "[-1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1], [-1, 0, "));
    EXPECT_TRUE(Has(states[1], "\"marks\": [[0, 0, 0,"));
}

TEST(Drive, EscapeEndsTheProgramAndTheScriptWithIt) {
    DriveResult r = Drive("time 5\nstart\nkey F1\nkey Escape\nstate\n");
    ASSERT_EQ(r.status, 0) << r.errors;
    bool state = false, closed = false;
    for (const auto& line : r.lines) {
        if (Has(line, "\"board\": [")) state = true;
        if (line == "{\"event\": \"dialog_closed\", \"id\": 102, \"result\": 2}") closed = true;
    }
    EXPECT_TRUE(closed);
    EXPECT_FALSE(state) << "the program should have ended before the state command";
}

// A held box stays open for a look and for keys: the time-up box answers Esc itself and the
// game goes on (no hide, no end of the program); the name entry that follows takes typed keys
// and a later answer, and the score file holds the name.
TEST(Drive, HeldBoxesTakeShotsKeysAndALaterAnswer) {
    DriveResult r = Drive(
        "time 1000\nstart\nkey F1\nanswer hold\nwait 181000\nshot shot.png\nanswer hold\n"
        "key Escape\nkey A\nkey D\nkey A\nanswer ok\nstate\nquit\n",
        true);
    ASSERT_EQ(r.status, 0) << r.errors;
    EXPECT_EQ(r.shot, std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_GE(r.shotWidth, 160) << "the box's client area, not the main window's";
    EXPECT_LT(r.shotWidth, 400);
    bool box = false, entry = false, recorded = false, state = false;
    for (const auto& line : r.lines) {
        if (Has(line, "\"event\": \"msgbox\", \"caption\": \"失败\"")) box = true;
        if (Has(line, "\"event\": \"dialog\", \"id\": 158")) entry = true;
        if (line == "{\"event\": \"dialog_closed\", \"id\": 158, \"result\": 1}") recorded = true;
        if (Has(line, "\"board\": [")) {
            state = true;
            EXPECT_TRUE(Has(line, "\"score\": 100")) << line;
            EXPECT_TRUE(Has(line, "\"hidden\": 0")) << line;
        }
    }
    EXPECT_TRUE(box);
    EXPECT_TRUE(entry);
    EXPECT_TRUE(recorded);
    EXPECT_TRUE(state) << "the program ended before the state command";
    EXPECT_EQ(r.scores.substr(0, 10), "100\r\nada\r\n");
}

TEST(Drive, UnknownCommandsAndUnansweredBoxesAreErrors) {
    DriveResult r = Drive("start\nfly away\n");
    EXPECT_NE(r.status, 0);
    EXPECT_TRUE(Has(r.errors, "fly")) << r.errors;

    // A time-up message with no answer queued.
    r = Drive("time 5\nstart\nkey F1\nwait 181000\n");
    EXPECT_NE(r.status, 0);
    EXPECT_TRUE(Has(r.errors, "no answer")) << r.errors;
}

}  // namespace
