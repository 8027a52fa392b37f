// The game's values and rules as plain values: stocks of a new game, the pair award and its
// cap, the bonus of a cleared level, the prize draw of each table with its penalties, and the
// countdown to time-up.
#include <gtest/gtest.h>

#include <deque>

#include "game/control/game_rules.h"
#include "game/res/resource_ids.h"

namespace {

// Hands out the given numbers in order and counts the draws; running dry fails the test.
class ScriptedRandom : public RandomSource {
  public:
    explicit ScriptedRandom(std::deque<int> values) : values_(std::move(values)) {}
    int Rand() override {
        ++draws;
        if (values_.empty()) {
            ADD_FAILURE() << "more draws than scripted";
            return 0;
        }
        const int v = values_.front();
        values_.pop_front();
        return v;
    }
    int draws = 0;

  private:
    std::deque<int> values_;
};

GameValues InPlay(int timeLeft, int hints = 4, int reshuffles = 2, int score = 0) {
    GameValues v;
    v.timeLeft = timeLeft;
    v.hints = hints;
    v.reshuffles = reshuffles;
    v.score = score;
    v.countdownStopped = 0;
    return v;
}

TEST(Stocks, NewGameTakesTheDifficultysStocksAndStartsFromZero) {
    const struct {
        int difficulty, reshuffles, hints;
    } rows[] = {{Easy, 2, 4}, {Normal, 3, 6}, {Hard, 4, 8}, {Super, 5, 10}, {7, 2, 4}};
    for (const auto& row : rows) {
        GameRules rules(InPlay(17, 1, 1, 999));
        rules.NewGame(row.difficulty);
        EXPECT_EQ(rules.Values().reshuffles, row.reshuffles) << row.difficulty;
        EXPECT_EQ(rules.Values().hints, row.hints) << row.difficulty;
        EXPECT_EQ(rules.Values().score, 0);
        rules.StartLevel();
        EXPECT_EQ(rules.Values().timeLeft, kFullTime);
        EXPECT_EQ(rules.Values().countdownStopped, 0);
        EXPECT_EQ(rules.Values().prizeShown, -1);
    }
}

TEST(Stocks, SpentAndGivenByTheCommands) {
    GameRules rules(InPlay(120, 3, 2));
    rules.SpendHint();
    rules.SpendReshuffle();
    EXPECT_EQ(rules.Values().hints, 2);
    EXPECT_EQ(rules.Values().reshuffles, 1);
    rules.GiveHints(3);
    rules.GiveReshuffles(3);
    rules.RefillTime();
    EXPECT_EQ(rules.Values().hints, 5);
    EXPECT_EQ(rules.Values().reshuffles, 4);
    EXPECT_EQ(rules.Values().timeLeft, kFullTime);
}

TEST(PairAward, FiveSecondsAndTenPointsCappedAboveTheFullTime) {
    const struct {
        int before, after;
    } rows[] = {{200, 205}, {295, 300}, {296, 302}, {298, 302}, {302, 302}};
    for (const auto& row : rows) {
        GameRules rules(InPlay(row.before, 0, 0, 40));
        rules.AwardPair();
        EXPECT_EQ(rules.Values().timeLeft, row.after) << row.before;
        EXPECT_EQ(rules.Values().score, 50);
    }
}

TEST(LevelBonus, TimeLeftTenAHintTwentyAReshuffle) {
    GameRules rules(InPlay(100, 3, 2, 1000));
    const LevelClearRecord cleared = rules.ClearLevel(4);
    EXPECT_EQ(cleared.bonus, 100 + 30 + 40);
    EXPECT_FALSE(cleared.lastLevel);
    EXPECT_EQ(rules.Values().score, 1170);
    EXPECT_EQ(rules.Values().countdownStopped, 1);
    rules.NextLevel();
    EXPECT_EQ(rules.Values().hints, 4);
    EXPECT_EQ(rules.Values().reshuffles, 3);
    EXPECT_TRUE(GameRules(InPlay(0, 0, 0)).ClearLevel(kLevelCount).lastLevel);
}

struct Expect {
    int prize, hints, reshuffles, score, timeLeft, wave;
};

// Draws once at time 95 (11 by 12) with `first` (and `second`) and checks the outcome.
void CheckDraw(int difficulty, std::deque<int> draws, const Expect& e, int startTime = 95) {
    GameRules rules(InPlay(startTime, 4, 2, 0));
    ScriptedRandom rng(std::move(draws));
    const PrizeRecord prize = rules.DrawPrize(difficulty, rng);
    EXPECT_EQ(prize.drawn, e.prize >= 0);
    EXPECT_EQ(prize.index, e.prize);
    EXPECT_EQ(rules.Values().prizeShown, e.prize);
    EXPECT_EQ(prize.wave, e.wave);
    EXPECT_EQ(rules.Values().hints, e.hints);
    EXPECT_EQ(rules.Values().reshuffles, e.reshuffles);
    EXPECT_EQ(rules.Values().score, e.score);
    EXPECT_EQ(rules.Values().timeLeft, e.timeLeft);
}

TEST(Prize, LowerTableByTheFirstDrawModSeven) {
    // 7 + r draws the same row as r: the draw is taken mod 7.
    CheckDraw(Easy, {7}, {0, 6, 2, 0, 95, IDW_PRIZE_MEDIUM});
    CheckDraw(Normal, {1}, {1, 4, 2, 2500, 95, IDW_PRIZE_MEDIUM});
    CheckDraw(Hard, {3}, {3, 5, 2, 0, 95, IDW_PRIZE_SMALL});
    CheckDraw(Easy, {4}, {4, 4, 2, 0, 109, IDW_PRIZE_SMALL});
    CheckDraw(Easy, {12}, {5, 4, 2, 1000, 95, IDW_PRIZE_SMALL});
    EXPECT_STREQ(PrizeText(1), "三奖，送您分数2500点!");
}

TEST(Prize, SuperTableOnlyGains) {
    CheckDraw(Super, {0}, {0, 6, 2, 0, 95, IDW_PRIZE_MEDIUM});
    CheckDraw(Super, {1}, {10, 8, 2, 0, 95, IDW_PRIZE_BIG});
    CheckDraw(Super, {2}, {7, 4, 3, 0, 95, IDW_PRIZE_SMALL});
    CheckDraw(Super, {3}, {3, 5, 2, 0, 95, IDW_PRIZE_SMALL});
    CheckDraw(Super, {5}, {8, 4, 4, 0, 95, IDW_PRIZE_MEDIUM});
    CheckDraw(Super, {6}, {9, 4, 6, 0, 95, IDW_PRIZE_BIG});
    // The time prize goes above the full time: 287 + 14.
    CheckDraw(Super, {4}, {4, 4, 2, 0, 301, IDW_PRIZE_SMALL}, 287);
}

TEST(Prize, PenaltiesNeedTheirConditionAndAnEvenSecondDraw) {
    CheckDraw(Easy, {2, 0}, {2, 3, 2, 0, 95, IDW_PENALTY});  // a hint less
    CheckDraw(Easy, {2, 1}, {-1, 4, 2, 0, 95, 0});           // odd: spared
    CheckDraw(Hard, {6, 4}, {6, 4, 2, 0, 83 - 14, IDW_PENALTY}, 83);
    CheckDraw(Hard, {6, 3}, {-1, 4, 2, 0, 83, 0}, 83);
    // Without the condition there is no second draw at all.
    for (int time : {59, 47}) {
        GameRules rules(InPlay(time, 4, 2));
        ScriptedRandom rng({6});
        EXPECT_FALSE(rules.DrawPrize(Normal, rng).drawn);
        EXPECT_EQ(rng.draws, 1);
        EXPECT_EQ(rules.Values().timeLeft, time);
    }
    GameRules noHint(InPlay(95, 0, 2));
    ScriptedRandom rng({2});
    EXPECT_FALSE(noHint.DrawPrize(Easy, rng).drawn);
    EXPECT_EQ(rng.draws, 1);
    EXPECT_EQ(noHint.Values().hints, 0);
}

TEST(Prize, OnlyAtElevenByTwelveAndNotWhileOneIsShown) {
    for (int time : {94, 96, 0, 12}) {
        GameRules rules(InPlay(time));
        ScriptedRandom rng({});
        EXPECT_FALSE(rules.DrawPrize(Easy, rng).drawn) << time;
        EXPECT_EQ(rng.draws, 0);
    }
    GameRules rules(InPlay(95));
    ScriptedRandom rng({5, 0});
    ASSERT_TRUE(rules.DrawPrize(Easy, rng).drawn);
    GameValues later = rules.Values();
    later.timeLeft = 107;
    GameRules shown(later);
    EXPECT_FALSE(shown.DrawPrize(Easy, rng).drawn);
    EXPECT_EQ(rng.draws, 1);
    shown.ClearPrize();
    EXPECT_EQ(shown.Values().prizeShown, -1);
    EXPECT_TRUE(shown.DrawPrize(Easy, rng).drawn);
}

TEST(Countdown, CountsDownThenTimeUpAddsAHundredOnce) {
    GameRules rules(InPlay(2, 0, 0, 50));
    EXPECT_EQ(rules.Tick().outcome, TickOutcome::Counted);
    const TickRecord last = rules.Tick();
    EXPECT_EQ(last.outcome, TickOutcome::Counted);
    EXPECT_EQ(last.timeLeft, 0);
    const TickRecord up = rules.Tick();
    EXPECT_EQ(up.outcome, TickOutcome::TimeUp);
    EXPECT_EQ(up.timeLeft, -1);
    EXPECT_EQ(rules.Values().score, 150);
    EXPECT_EQ(rules.Values().countdownStopped, 1);
    EXPECT_EQ(rules.Tick().outcome, TickOutcome::Idle);
    EXPECT_EQ(rules.Values().score, 150);
}

TEST(Countdown, StoppedOrWithoutALevelNothingHappens) {
    GameRules stopped(InPlay(40));
    stopped.StopCountdown();
    EXPECT_EQ(stopped.Tick().outcome, TickOutcome::Idle);
    EXPECT_EQ(stopped.Values().timeLeft, 40);
    GameRules idle;  // before the first game
    EXPECT_EQ(idle.Tick().outcome, TickOutcome::Idle);
    EXPECT_EQ(idle.Values().timeLeft, -1);
}

}  // namespace
