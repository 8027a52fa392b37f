#include "game/control/game_rules.h"

#include "game/res/resource_ids.h"

namespace {

const Prize kPrizes[11] = {
    {"不错，送您提示两点!", PrizeEffect::Hints, 2, IDW_PRIZE_MEDIUM},
    {"三奖，送您分数2500点!", PrizeEffect::Score, 2500, IDW_PRIZE_MEDIUM},
    {"喔喔，倒扣提示一点!", PrizeEffect::Hints, -1, IDW_PENALTY},
    {"普奖,送您提示一点!", PrizeEffect::Hints, 1, IDW_PRIZE_SMALL},
    {"安慰奖,送您时间七秒!", PrizeEffect::Time, 14, IDW_PRIZE_SMALL},
    {"普奖,送您分数1000点!", PrizeEffect::Score, 1000, IDW_PRIZE_SMALL},
    {"喔喔,倒扣时间七秒!", PrizeEffect::Time, -14, IDW_PENALTY},
    {"二奖，送您洗牌一点!", PrizeEffect::Reshuffles, 1, IDW_PRIZE_SMALL},
    {"头奖，送您洗牌二点!", PrizeEffect::Reshuffles, 2, IDW_PRIZE_MEDIUM},
    {"特奖，送您洗牌四点!", PrizeEffect::Reshuffles, 4, IDW_PRIZE_BIG},
    {"头奖，送您提示四点!", PrizeEffect::Hints, 4, IDW_PRIZE_BIG},
};

// The prize of each of the seven draws: Easy to Hard draw the first seven prizes, penalties
// included; Super draws only gains.
const int kLowerDraws[7] = {0, 1, 2, 3, 4, 5, 6};
const int kSuperDraws[7] = {0, 10, 7, 3, 4, 8, 9};

}  // namespace

const Prize* PrizeAt(int index) { return index >= 0 && index < 11 ? &kPrizes[index] : nullptr; }

const char* PrizeText(int index) {
    const Prize* prize = PrizeAt(index);
    return prize ? prize->text : "";
}

void GameRules::NewGame(int difficulty) {
    const DifficultyInfo& d = GetDifficultyInfo(difficulty);
    v_.reshuffles = d.reshuffles;
    v_.hints = d.hints;
    v_.score = 0;
}

void GameRules::StartLevel() {
    v_.prizeShown = -1;
    v_.countdownStopped = 0;
    v_.timeLeft = kFullTime;
}

void GameRules::AwardPair() {
    v_.timeLeft += kPairSeconds;
    if (v_.timeLeft > kFullTime) v_.timeLeft = kTimeCap;
    v_.score += kPairPoints;
}

LevelClearRecord GameRules::ClearLevel(int level) {
    v_.countdownStopped = 1;
    LevelClearRecord record;
    record.bonus = v_.timeLeft + kBonusPerHint * v_.hints + kBonusPerReshuffle * v_.reshuffles;
    record.lastLevel = level >= kLevelCount;
    v_.score += record.bonus;
    return record;
}

void GameRules::NextLevel() {
    ++v_.hints;
    ++v_.reshuffles;
}

PrizeRecord GameRules::DrawPrize(int difficulty, RandomSource& rng) {
    PrizeRecord record;
    if (v_.timeLeft % 12 != 11 || v_.prizeShown >= 0) return record;
    const int* draws = difficulty == Super ? kSuperDraws : kLowerDraws;
    const int index = draws[rng.Rand() % 7];
    const Prize& prize = kPrizes[index];
    if (prize.amount < 0) {
        // Penalties: the condition first, then a second draw decides.
        const bool eligible =
            prize.effect == PrizeEffect::Hints ? v_.hints >= 1 : v_.timeLeft >= 70;
        if (!eligible || rng.Rand() % 2 != 0) return record;
    }
    switch (prize.effect) {
        case PrizeEffect::Hints:
            v_.hints += prize.amount;
            break;
        case PrizeEffect::Score:
            v_.score += prize.amount;
            break;
        case PrizeEffect::Time:
            v_.timeLeft += prize.amount;
            break;
        case PrizeEffect::Reshuffles:
            v_.reshuffles += prize.amount;
            break;
    }
    v_.prizeShown = index;
    record.drawn = true;
    record.index = index;
    record.wave = prize.wave;
    return record;
}

TickRecord GameRules::Tick() {
    TickRecord record;
    if (v_.timeLeft < 0 || v_.countdownStopped) return record;
    if (v_.timeLeft == 0) {
        v_.timeLeft = -1;
        v_.countdownStopped = 1;
        v_.score += kTimeUpBonus;
        record.outcome = TickOutcome::TimeUp;
    } else {
        --v_.timeLeft;
        record.outcome = TickOutcome::Counted;
    }
    record.timeLeft = v_.timeLeft;
    return record;
}
