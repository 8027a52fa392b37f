// One player's run of the real game through the scripted driver, in a game folder: start-up,
// a new Easy game, the whole first level played pair by pair, the second level dealt, the
// settings changed, the help and the leaderboard opened, and the game run out of time with
// the name entered for the high-score table. What the player met is recorded on the way.
#pragma once

#include <string>
#include <vector>

#include "tests/support/drive_session.h"

namespace faults {

// The moments of the run at which message boxes and dialogs can come up.
enum class Step { StartUp, NewGame, LastPair, Settings, Help, Leaderboard, TimeUp, Count };
const char* StepName(Step step);

// A box or dialog the player is expected to meet, and the answer the player gives it.
struct Expected {
    std::string what;    // "msgbox CAPTION: TEXT" (TEXT may end in "*": a prefix) or "dialog ID"
    std::string answer;  // the driver's answer line: "answer ok", "answer text NAME"
};
using Expectations = std::vector<std::vector<Expected>>;  // indexed by Step

struct PlayerRun {
    int exitStatus = -1;
    std::string errors;  // the driver's standard error
    // Every box and dialog met at each step, as "msgbox CAPTION: TEXT" / "dialog ID".
    std::vector<std::vector<std::string>> met =
        std::vector<std::vector<std::string>>(static_cast<int>(Step::Count));
    std::vector<std::string> pictures;  // picture files loaded, in order
    int pairsRemoved = 0;
    bool secondLevelDealt = false;  // level 2 with a full board after the first was cleared
    bool soundOffInForce = false;   // the sound switch read 0 after it was turned off
    bool themeInForce = false;      // the theme read 2 after 飞禽走兽 was chosen
    bool helpOpened = false;
    bool tuneOpened = false;
    bool gameEnded = false;          // the time-up ended the game
    bool musicSwitchOn = false;      // the music switch at the end
    std::vector<std::string> lines;  // everything the driver printed
};

// Runs the player through the folder, answering what `expected` lists at each step.
PlayerRun RunPlayer(const testsupport::DriveOptions& options, const Expectations& expected);

// True when a met box matches an expected one ("*" at the end of the text: a prefix).
bool Matches(const std::string& met, const std::string& expected);

}  // namespace faults
