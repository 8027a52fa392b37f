// Fault injection: the real game, through the scripted driver, in game folders where the
// files it reads are missing, empty, cut short, noise, folders or unreadable, and where the
// files it writes cannot be written. In every case the player starts the game, plays the
// whole first level, gets the second dealt, changes settings, opens the help and the
// leaderboard and runs out of time; only the messages that belong to the fault are shown, no
// score table loses its bytes, no stray file is left, and a setting that cannot be saved
// stays in force. Each group prints its cases and their outcomes as a table.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "tests/faults/game_folder.h"
#include "tests/faults/player_run.h"

namespace faults {
namespace {

constexpr const char* kName = "测试";  // the name the player enters for the table

// What the player meets in an undamaged folder, step by step.
Expectations Healthy() {
    Expectations e(static_cast<int>(Step::Count));
    e[static_cast<int>(Step::LastPair)] = {{"msgbox 成功: 过关了!另加*", "answer ok"},
                                           {"dialog 159", "answer ok"},
                                           {"msgbox 成功: 进入第1关.", "answer ok"}};
    e[static_cast<int>(Step::Leaderboard)] = {{"dialog 156", "answer ok"}};
    e[static_cast<int>(Step::TimeUp)] = {{"msgbox 失败: 时间到!*", "answer ok"},
                                         {"dialog 158", std::string("answer text ") + kName}};
    return e;
}

std::vector<Expected>& At(Expectations& e, Step step) { return e[static_cast<int>(step)]; }

// The boxes one load of a damaged picture shows: the picture loader reports what the JPEG
// library says, fatal errors and the first warning; a file it cannot open shows nothing.
std::vector<Expected> PictureBoxes(Damage damage) {
    switch (damage) {
        case Damage::Empty:
            return {{"msgbox JPEG Fatal Error: Empty input file", "answer ok"}};
        case Damage::Truncated:
            return {{"msgbox JPEG Error: Premature end of JPEG file", "answer ok"}};
        case Damage::RandomBytes:
            return {{"msgbox JPEG Fatal Error: Not a JPEG file: starts with *", "answer ok"}};
        default:
            return {};
    }
}

struct Outcome {
    PlayerRun run;
    std::map<std::string, std::string> before, after;
};

// The checks every case shares: the program ended normally, the first level was played
// through and the second dealt, the settings changed in the running game, the game ended
// by time, exactly the expected boxes were met, and no file appeared or vanished.
void CheckPlayerKeptPlaying(const Outcome& o, const Expectations& expected) {
    const PlayerRun& run = o.run;
    EXPECT_EQ(run.exitStatus, 0) << run.errors;
    EXPECT_EQ(run.pairsRemoved, 42);
    EXPECT_TRUE(run.secondLevelDealt);
    EXPECT_TRUE(run.soundOffInForce);
    EXPECT_TRUE(run.themeInForce);
    EXPECT_TRUE(run.gameEnded);
    for (int s = 0; s < static_cast<int>(Step::Count); ++s) {
        const auto& met = run.met[s];
        const auto& want = expected[s];
        std::string metText, wantText;
        for (const auto& m : met) metText += "\n  " + m;
        for (const auto& w : want) wantText += "\n  " + w.what;
        bool same = met.size() == want.size();
        for (size_t i = 0; same && i < met.size(); ++i) same = Matches(met[i], want[i].what);
        EXPECT_TRUE(same) << "at " << StepName(static_cast<Step>(s)) << " met:" << metText
                          << "\nexpected:" << wantText;
    }
    std::string appeared, vanished;
    for (const auto& [name, bytes] : o.after)
        if (!o.before.count(name)) appeared += " " + name;
    for (const auto& [name, bytes] : o.before)
        if (!o.after.count(name)) vanished += " " + name;
    EXPECT_EQ(appeared, "") << "files left behind";
    EXPECT_EQ(vanished, "") << "files lost";
}

std::string Summary(const Outcome& o) {
    int boxes = 0, dialogs = 0;
    for (const auto& step : o.run.met)
        for (const auto& m : step) (m.compare(0, 6, "msgbox") == 0 ? boxes : dialogs)++;
    char line[160];
    std::snprintf(line, sizeof line, "exit %d, %d pairs, level 2 %s, %d boxes, %d dialogs%s%s",
                  o.run.exitStatus, o.run.pairsRemoved, o.run.secondLevelDealt ? "dealt" : "NOT",
                  boxes, dialogs, o.run.helpOpened ? ", help" : "",
                  o.run.tuneOpened ? ", tune" : "");
    return line;
}

void PrintTable(const std::string& title,
                const std::vector<std::pair<std::string, std::string>>& rows) {
    std::printf("\n%s\n", title.c_str());
    for (const auto& [fault, outcome] : rows)
        std::printf("  %-24s %s\n", fault.c_str(), outcome.c_str());
    std::fflush(stdout);
}

// ---- files the game reads, each damaged in every way ----

struct ReadCase {
    const char* files;  // a data-file name or pattern
    // The expectations for a damage, from the healthy ones.
    void (*expect)(Damage, Expectations&);
    // A further check of the outcome (may be null).
    void (*check)(Damage, const Outcome&, const GameFolder&);
};

void ExpectSettings(Damage, Expectations&) {}  // read silently; defaults where unreadable

void CheckSettings(Damage damage, const Outcome& o, const GameFolder&) {
    // The program never creates the settings file, and a folder in its place stays one.
    if (damage == Damage::Missing) {
        EXPECT_EQ(o.after.count("mavek.cfg"), 0u);
    }
    if (damage == Damage::Directory) {
        EXPECT_EQ(o.after.at("mavek.cfg"), "<dir>");
    }
    if (damage == Damage::Unreadable) {
        EXPECT_EQ(o.after.at("mavek.cfg"), o.before.at("mavek.cfg"));
    }
}

void ExpectScores(Damage damage, Expectations& e) {
    // A table that cannot be read asks for no name; a readable one (what it holds counts as
    // far as it goes, the rest as zeros) ranks the finished game.
    if (damage == Damage::Missing || damage == Damage::Directory || damage == Damage::Unreadable)
        At(e, Step::TimeUp).pop_back();
}

void CheckScores(Damage damage, const Outcome& o, const GameFolder&) {
    for (int d = 2; d <= 4; ++d) {
        const std::string name = "score." + std::to_string(d);
        if (o.before.count(name)) {
            EXPECT_EQ(o.after.at(name), o.before.at(name)) << name;
        }
    }
    if (damage == Damage::Missing) {
        EXPECT_EQ(o.after.count("score.1"), 0u);
    }
    if (damage == Damage::Directory || damage == Damage::Unreadable) {
        EXPECT_EQ(o.after.at("score.1"), o.before.at("score.1"));
    }
    if (damage == Damage::Empty || damage == Damage::Truncated) {
        EXPECT_NE(o.after.at("score.1").find("\xB2\xE2\xCA\xD4\r\n"), std::string::npos)
            << "the name entered is in the table";
    }
}

void ExpectPictures(Damage damage, Expectations& e) {
    for (Step step : {Step::StartUp, Step::NewGame}) At(e, step) = PictureBoxes(damage);
    for (const Expected& box : PictureBoxes(damage)) At(e, Step::LastPair).push_back(box);
}

void CheckPictures(Damage, const Outcome& o, const GameFolder&) {
    const std::vector<std::string> loaded{"img\\z0.jpg", "img\\101.jpg", "img\\102.jpg"};
    EXPECT_EQ(o.run.pictures, loaded);
}

void ExpectTunes(Damage, Expectations&) {}  // a tune that cannot be played is skipped silently

void CheckTunes(Damage, const Outcome& o, const GameFolder&) {
    EXPECT_FALSE(o.run.tuneOpened);
    EXPECT_TRUE(o.run.musicSwitchOn) << "the music switch stays on";
}

void ExpectAdverts(Damage, Expectations&) {}  // the advert window opens, with nothing drawn

void ExpectAdvertList(Damage damage, Expectations& e) {
    // Without a line to read there is no advert and no second box; a line that does not begin
    // with "0" (what is left of the file, or noise) still brings the advert.
    if (damage == Damage::Missing || damage == Damage::Empty || damage == Damage::Directory ||
        damage == Damage::Unreadable) {
        auto& last = At(e, Step::LastPair);
        last.erase(last.begin() + 1, last.end());
    }
}

void ExpectHelp(Damage, Expectations&) {}  // the help window shows what it can, silently

void CheckHelpOpened(Damage, const Outcome& o, const GameFolder&) { EXPECT_TRUE(o.run.helpOpened); }

void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.files; }

class ReadFaults : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadFaults, GameKeepsPlaying) {
    const ReadCase& c = GetParam();
    std::vector<std::pair<std::string, std::string>> table;
    for (Damage damage : {Damage::Missing, Damage::Empty, Damage::Truncated, Damage::RandomBytes,
                          Damage::Directory, Damage::Unreadable}) {
        SCOPED_TRACE(std::string(c.files) + ", " + DamageName(damage));
        GameFolder folder(KIVRA_DATA_DIR);
        ASSERT_FALSE(folder.Matching(c.files).empty()) << c.files;
        folder.Apply(c.files, damage);
        Expectations expected = Healthy();
        c.expect(damage, expected);
        Outcome o;
        o.before = folder.Snapshot();
        o.run = RunPlayer({KIVRA_DRIVE, folder.Path()}, expected);
        o.after = folder.Snapshot();
        CheckPlayerKeptPlaying(o, expected);
        if (c.check) c.check(damage, o, folder);
        table.emplace_back(DamageName(damage), Summary(o));
    }
    PrintTable(std::string(c.files) + ":", table);
}

INSTANTIATE_TEST_SUITE_P(Files, ReadFaults,
                         testing::Values(ReadCase{"mavek.cfg", ExpectSettings, CheckSettings},
                                         ReadCase{"score.*", ExpectScores, CheckScores},
                                         ReadCase{"img\\*.jpg", ExpectPictures, CheckPictures},
                                         ReadCase{"midi\\*.mid", ExpectTunes, CheckTunes},
                                         ReadCase{"ads\\*.gif", ExpectAdverts, nullptr},
                                         ReadCase{"ads\\url.txt", ExpectAdvertList, nullptr},
                                         ReadCase{"mavek.chm", ExpectHelp, CheckHelpOpened}),
                         [](const testing::TestParamInfo<ReadCase>& info) {
                             std::string name;
                             for (const char* p = info.param.files; *p; ++p)
                                 if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
                             return name;
                         });

// ---- files the game writes, when the writing fails ----

enum class WriteFault { FolderRefusesNewFiles, FileRefusesWrites, FailsPartWay };

const char* WriteFaultName(WriteFault fault) {
    switch (fault) {
        case WriteFault::FolderRefusesNewFiles:
            return "folder mode 555";
        case WriteFault::FileRefusesWrites:
            return "file mode 444";
        case WriteFault::FailsPartWay:
            return "disk full part-way";
    }
    return "?";
}

// The run with the fault in place; `sizeLimit` is where a write stops for "disk full".
Outcome RunWithWriteFault(const std::string& file, WriteFault fault, long long sizeLimit,
                          const Expectations& expected) {
    GameFolder folder(KIVRA_DATA_DIR);
    testsupport::DriveOptions options{KIVRA_DRIVE, folder.Path()};
    if (fault == WriteFault::FolderRefusesNewFiles) folder.RefuseNewFiles();
    if (fault == WriteFault::FileRefusesWrites) folder.RefuseWrites(file);
    if (fault == WriteFault::FailsPartWay) options.fileSizeLimit = sizeLimit;
    Outcome o;
    o.before = folder.Snapshot();
    o.run = RunPlayer(options, expected);
    o.after = folder.Snapshot();
    return o;
}

const WriteFault kWriteFaults[] = {WriteFault::FolderRefusesNewFiles, WriteFault::FileRefusesWrites,
                                   WriteFault::FailsPartWay};

TEST(WriteFaults, ScoreTableKeepsItsBytes) {
    std::vector<std::pair<std::string, std::string>> table;
    for (WriteFault fault : kWriteFaults) {
        SCOPED_TRACE(WriteFaultName(fault));
        // The new table is about 130 bytes: the disk fills after 40 of them.
        const Outcome o = RunWithWriteFault("score.1", fault, 40, Healthy());
        CheckPlayerKeptPlaying(o, Healthy());
        EXPECT_EQ(o.after.at("score.1"), FixtureScoreTable());
        table.emplace_back(
            WriteFaultName(fault),
            Summary(o) + (o.after.at("score.1") == FixtureScoreTable() ? ", score.1 kept its bytes"
                                                                       : ", score.1 CHANGED"));
    }
    PrintTable("score.1 written after the name was entered:", table);
}

TEST(WriteFaults, SettingStaysInForce) {
    std::vector<std::pair<std::string, std::string>> table;
    const std::string before("\1\0\0\0\1\0\0\0\0\0\0\0", 12);
    for (WriteFault fault : kWriteFaults) {
        SCOPED_TRACE(WriteFaultName(fault));
        // The disk fills after 10 bytes: the sound switch (bytes 0-3) is saved, the theme
        // (bytes 8-11) is not.
        const Outcome o = RunWithWriteFault("mavek.cfg", fault, 10, Healthy());
        CheckPlayerKeptPlaying(o, Healthy());
        const std::string& after = o.after.at("mavek.cfg");
        ASSERT_EQ(after.size(), 12u);
        std::string saved;
        if (fault == WriteFault::FileRefusesWrites) {
            EXPECT_EQ(after, before);
            saved = "nothing saved";
        } else if (fault == WriteFault::FolderRefusesNewFiles) {
            // The file itself takes writes: both changes are saved in place.
            EXPECT_EQ(after, std::string("\0\0\0\0\1\0\0\0\2\0\0\0", 12));
            saved = "both saved in place";
        } else {
            EXPECT_EQ(after.substr(0, 8), std::string("\0\0\0\0\1\0\0\0", 8));
            EXPECT_EQ(after.substr(10), std::string("\0\0", 2));
            saved = "sound saved, theme not";
        }
        table.emplace_back(WriteFaultName(fault), Summary(o) + ", mavek.cfg: " + saved);
    }
    PrintTable("mavek.cfg after sound off and theme 3:", table);
}

}  // namespace
}  // namespace faults
