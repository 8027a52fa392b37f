// The game's values around the board and the rules that change them: the score, the hint and
// reshuffle stocks, the countdown with its time left, the bonus of a cleared level and the
// prize draw. The difficulty and the level are the board's. A plain value the main window owns
// as it owns the board: each operation returns a record of what happened, which the window
// turns into sounds, message boxes, timers and drawing.
#pragma once

#include "game/board/board.h"

// The time of a level, in countdown seconds, and the value a pair's five seconds give when
// they would take the time above it.
constexpr int kFullTime = 300;
constexpr int kTimeCap = 302;
// The points a level whose time runs out still gives, announced in the time-up box.
constexpr int kTimeUpBonus = 100;
// What a removed pair gives: points and countdown seconds.
constexpr int kPairPoints = 10;
constexpr int kPairSeconds = 5;
// A cleared level's bonus: the time left, and these points for each hint and reshuffle left.
constexpr int kBonusPerHint = 10;
constexpr int kBonusPerReshuffle = 20;

// ---- the prize table ----

enum class PrizeEffect { Hints, Score, Time, Reshuffles };

// One prize: the text shown in the status panel (UTF-8), what it changes, by how much (a
// negative amount is a penalty) and its WAVE effect.
struct Prize {
    const char* text;
    PrizeEffect effect;
    int amount;
    int wave;
};

// Prizes by index 0..10; nullptr outside.
const Prize* PrizeAt(int index);
// The text of prize `index`, "" outside 0..10.
const char* PrizeText(int index);

// ---- records of what happened ----

struct PrizeRecord {
    bool drawn = false;  // a prize was drawn and applied: show it, play `wave`, start its timer
    int index = -1;
    int wave = 0;
};

struct LevelClearRecord {
    int bonus = 0;           // time left + 10 a hint + 20 a reshuffle, already added to the score
    bool lastLevel = false;  // the eleventh level: the game is won
};

enum class TickOutcome {
    Idle,     // no level in play, or the countdown stopped: nothing changed
    Counted,  // one second less
    TimeUp,   // the time had run out: the countdown stopped and kTimeUpBonus points were added
};

struct TickRecord {
    TickOutcome outcome = TickOutcome::Idle;
    int timeLeft = -1;  // after the tick
};

// ---- the values ----

struct GameValues {
    int score = 0;
    int hints = 0;
    int reshuffles = 0;
    int timeLeft = -1;         // -1 when no level is in play
    int prizeShown = -1;       // the prize whose text is shown, -1 none
    int countdownStopped = 1;  // 1 while no level is in play, after a clear and at time-up
};

class GameRules {
  public:
    GameRules() = default;
    explicit GameRules(const GameValues& values) : v_(values) {}

    const GameValues& Values() const { return v_; }

    // A new game at `difficulty`: score 0 and the difficulty's stocks.
    void NewGame(int difficulty);
    // A level is dealt: the full time, no prize, the countdown running.
    void StartLevel();

    // A removed pair: five more seconds (above the full time: the cap) and ten points.
    void AwardPair();
    // The level `level` is cleared: the countdown stops and the bonus is added.
    LevelClearRecord ClearLevel(int level);
    // After a cleared level below the last: one more hint and one more reshuffle.
    void NextLevel();
    // The game ends, given up, lost on a dead board or after its last box: the countdown stops.
    void StopCountdown() { v_.countdownStopped = 1; }

    // The prize draw after a removal that leaves a pair: only when the time left is 11 by 12
    // and no prize is shown. One draw of 7 picks the row of the difficulty's table; a penalty
    // also needs its condition (a hint to take, at least 70 seconds) and an even second draw.
    PrizeRecord DrawPrize(int difficulty, RandomSource& rng);
    // The prize's three seconds are over.
    void ClearPrize() { v_.prizeShown = -1; }

    // One countdown second (the window skips it while paused or minimised).
    TickRecord Tick();

    // The stocks, spent by the Hint and Reshuffle commands (callers check that one is left).
    void SpendHint() { --v_.hints; }
    void SpendReshuffle() { --v_.reshuffles; }

    // The Ctrl shortcuts during a game: three hints, three reshuffles, the full time.
    void GiveHints(int n) { v_.hints += n; }
    void GiveReshuffles(int n) { v_.reshuffles += n; }
    void RefillTime() { v_.timeLeft = kFullTime; }

  private:
    GameValues v_;
};
