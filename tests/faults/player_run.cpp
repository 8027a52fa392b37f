#include "tests/faults/player_run.h"

#include "game/res/resource_ids.h"

namespace faults {
namespace {

using testsupport::DriveSession;
using testsupport::EventName;
using testsupport::IsState;
using testsupport::JsonInt;
using testsupport::JsonString;

// The answers for the boxes expected at a step, queued before the step runs.
std::string Answers(const Expectations& expected, Step step) {
    std::string lines;
    for (const Expected& e : expected[static_cast<int>(step)]) lines += e.answer + "\n";
    return lines;
}

class Recorder {
  public:
    explicit Recorder(PlayerRun* run) : run_(run) {}

    // Records what the lines show; returns the state line that ends them ("" when the driver
    // ended before printing it).
    std::string Take(const std::vector<std::string>& lines, Step step) {
        std::string state;
        for (const std::string& line : lines) {
            run_->lines.push_back(line);
            const std::string event = EventName(line);
            if (event == "msgbox")
                run_->met[static_cast<int>(step)].push_back(
                    "msgbox " + JsonString(line, "caption") + ": " + JsonString(line, "text"));
            else if (event == "dialog" && JsonInt(line, "id") != IDD_KIVRA_DIALOG)
                run_->met[static_cast<int>(step)].push_back("dialog " +
                                                            std::to_string(JsonInt(line, "id")));
            else if (event == "picture")
                run_->pictures.push_back(JsonString(line, "file"));
            else if (event == "help")
                run_->helpOpened = true;
            else if (event == "midi")
                run_->tuneOpened = true;
            else if (IsState(line))
                state = line;
        }
        return state;
    }

  private:
    PlayerRun* run_;
};

std::string ClickLine(const Point& p) {
    return "click " + std::to_string(p.x) + " " + std::to_string(p.y);
}

}  // namespace

const char* StepName(Step step) {
    static const char* const names[] = {"start-up", "new game",    "last pair", "settings",
                                        "help",     "leaderboard", "time-up"};
    return names[static_cast<int>(step)];
}

bool Matches(const std::string& met, const std::string& expected) {
    if (!expected.empty() && expected.back() == '*')
        return met.compare(0, expected.size() - 1, expected, 0, expected.size() - 1) == 0;
    return met == expected;
}

PlayerRun RunPlayer(const testsupport::DriveOptions& options, const Expectations& expected) {
    PlayerRun run;
    Recorder record(&run);
    DriveSession driver(options);

    std::string state = record.Take(
        driver.Do(Answers(expected, Step::StartUp) + "time 1000\nstart"), Step::StartUp);
    if (!state.empty())
        state = record.Take(
            driver.Do(Answers(expected, Step::NewGame) + "menu " + std::to_string(ID_GAME_EASY)),
            Step::NewGame);

    // The first level, pair by pair, as the board in the printed state shows it.
    while (!state.empty() && JsonInt(state, "level") == 1 && run.pairsRemoved < 60) {
        Point a, b;
        if (!testsupport::FindPairPoints(state, &a, &b)) break;
        const bool last = testsupport::BoardFromState(state).TileCount() == 2;
        record.Take(driver.Do(ClickLine(a)), Step::NewGame);
        state = record.Take(
            driver.Do((last ? Answers(expected, Step::LastPair) : std::string()) + ClickLine(b)),
            last ? Step::LastPair : Step::NewGame);
        ++run.pairsRemoved;
    }
    if (!state.empty())
        run.secondLevelDealt = JsonInt(state, "level") == 2 &&
                               testsupport::BoardFromState(state).TileCount() == 84 &&
                               JsonInt(state, "game_in_progress") == 1;

    if (!state.empty()) {
        state = record.Take(driver.Do(Answers(expected, Step::Settings) + "menu " +
                                      std::to_string(ID_OPTION_SOUND) + "\nmenu " +
                                      std::to_string(ID_THEME_BEASTS)),
                            Step::Settings);
        run.soundOffInForce = JsonInt(state, "sound") == 0;
        run.themeInForce = JsonInt(state, "theme") == 2;
    }
    if (!state.empty())
        state = record.Take(
            driver.Do(Answers(expected, Step::Help) + "menu " + std::to_string(ID_HELP_RULES)),
            Step::Help);
    if (!state.empty())
        state = record.Take(driver.Do(Answers(expected, Step::Leaderboard) + "menu " +
                                      std::to_string(ID_OPTION_RANK)),
                            Step::Leaderboard);
    if (!state.empty()) {
        state =
            record.Take(driver.Do(Answers(expected, Step::TimeUp) + "wait 302000"), Step::TimeUp);
        run.gameEnded = !state.empty() && JsonInt(state, "game_in_progress") == 0;
        run.musicSwitchOn = JsonInt(state, "music") == 1;
    }
    run.exitStatus = driver.Quit(&run.errors);
    return run;
}

}  // namespace faults
