// The prize draw in the window (its sound, its text for three seconds), what follows a removal
// that leaves a dead board, and the commands around the stocks.
#include <gtest/gtest.h>

#include "game/res/resource_ids.h"
#include "platform/afx/automation.h"
#include "platform/crt/rand.h"
#include "tests/control/harness.h"

namespace {

// A seed whose first draws give `first` mod 7 and, when second >= 0, an even or odd second.
unsigned SeedFor(int first, int secondParity = -1) {
    for (unsigned s = 1;; ++s) {
        crt::Lcg g(s);
        if (g.Next() % 7 != first) continue;
        if (secondParity >= 0 && g.Next() % 2 != secondParity) continue;
        return s;
    }
}

// Empties the board region and places a position: two tiles of `code` side by side at (2, 2)
// and (3, 2), plus, when `dead`, a 2 x 2 checkerboard of codes 5 and 6 that no path can join.
void Place(CGameDlg& game, bool dead) {
    CBoard& b = Access::Board(game);
    for (int x = 1; x <= 20; ++x)
        for (int y = 1; y <= 12; ++y) b.Set(x, y, EMPTY);
    b.Set(2, 2, 3);
    b.Set(3, 2, 3);
    if (dead) {
        b.Set(6, 5, 5);
        b.Set(7, 6, 5);
        b.Set(7, 5, 6);
        b.Set(6, 6, 6);
    } else {
        b.Set(8, 8, 4);
        b.Set(9, 8, 4);
        b.Set(8, 5, 7);
        b.Set(9, 5, 7);
    }
}

void RemoveOnePairAt(CGameDlg& game, int timeBefore) {
    SetValues(game, [&](GameValues& v) { v.timeLeft = timeBefore; });
    ClickPair(game, HintPair{2, 2, 3, 2});
}

TEST(Prize, TextStaysThreeSecondsAndBlocksNewDraws) {
    GameHarness h;
    h.Run(42, [&](CGameDlg& game) {
        Press("F2");
        Place(game, false);
        const int score = game.Score();
        crt::srand(SeedFor(5));  // 1000 points
        h.Events().clear();
        RemoveOnePairAt(game, 90);
        const int64_t shownAt = seams::NowMs();
        EXPECT_EQ(game.PrizeShown(), 5);
        EXPECT_EQ(game.Score(), score + 10 + 1000);
        auto sounds = h.Take("sound");
        ASSERT_FALSE(sounds.empty());
        EXPECT_EQ(sounds.back().Int("id"), IDW_PRIZE_SMALL);
        // While the text is shown a removal that leaves 107 (11 by 12) draws nothing.
        const int hints = game.Hints();
        crt::srand(SeedFor(0));
        SetValues(game, [&](GameValues& v) { v.timeLeft = 102; });
        ClickPair(game, HintPair{8, 8, 9, 8});
        EXPECT_EQ(game.TimeLeft(), 107);
        EXPECT_EQ(game.Hints(), hints);
        EXPECT_EQ(game.PrizeShown(), 5);
        // The removal's link sound took some of the three seconds.
        Wait(static_cast<uint32_t>(shownAt + 2999 - seams::NowMs()));
        EXPECT_EQ(game.PrizeShown(), 5);
        Wait(1);
        EXPECT_EQ(game.PrizeShown(), -1);
    });
}

TEST(DeadBoard, RemovalLeavingNoMoveSpendsAReshuffle) {
    GameHarness h;
    h.Run(42, [&](CGameDlg& game) {
        Press("F1");
        Place(game, true);
        const int reshuffles = game.Reshuffles();
        h.Events().clear();
        RemoveOnePairAt(game, 200);
        EXPECT_TRUE(game.GameInProgress());
        EXPECT_EQ(game.Reshuffles(), reshuffles - 1);
        auto sounds = h.Take("sound");
        ASSERT_FALSE(sounds.empty());
        EXPECT_EQ(sounds.back().Int("id"), IDW_RESHUFFLE);
        HintPair pair;
        EXPECT_TRUE(FindPair(game, &pair));
        EXPECT_EQ(game.Board().TileCount(), 4);
    });
}

TEST(DeadBoard, WithoutReshufflesTheGameIsLost) {
    GameHarness h;
    h.Run(42, [&](CGameDlg& game) {
        Press("F1");
        Place(game, true);
        SetValues(game, [&](GameValues& v) { v.reshuffles = 0; });
        h.Events().clear();
        seams::QueueAnswer(seams::Answer{});
        RemoveOnePairAt(game, 200);
        EXPECT_FALSE(game.GameInProgress());
        EXPECT_TRUE(game.CountdownStopped());
        auto boxes = h.Take("msgbox");
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].Str("caption"), "失败");
        EXPECT_EQ(boxes[0].Str("text"), "没有可消除的牌!");
    });
}

TEST(Commands, HintNeedsStockAndAPair) {
    GameHarness h;
    h.Run(42, [&](CGameDlg& game) {
        Press("F1");
        const int hints = game.Hints();
        h.Events().clear();
        Press("F5");
        EXPECT_EQ(game.Hints(), hints - 1);
        EXPECT_TRUE(game.Board().Hint().IsSet());
        auto sounds = h.Take("sound");
        ASSERT_EQ(sounds.size(), 1u);
        EXPECT_EQ(sounds[0].Int("id"), IDW_HINT);

        CBoard unhinted;  // the same game's board, without the hint shown
        unhinted.SetDifficultyAndLevel(game.Difficulty(), game.Level());
        Access::Board(game) = unhinted;
        Place(game, true);
        Access::Board(game).Set(2, 2, EMPTY);
        Access::Board(game).Set(3, 2, EMPTY);
        Press("F5");  // dead board: nothing, the stock stays
        EXPECT_EQ(game.Hints(), hints - 1);
        EXPECT_FALSE(game.Board().Hint().IsSet());
        EXPECT_TRUE(h.Take("sound").empty());

        SetValues(game, [&](GameValues& v) { v.hints = 0; });
        Place(game, false);
        Press("F5");
        EXPECT_FALSE(game.Board().Hint().IsSet());
    });
}

TEST(Commands, ReshuffleSpendsALifeAndGiveUpEndsTheGame) {
    GameHarness h;
    h.Run(42, [&](CGameDlg& game) {
        Press("F1");
        EXPECT_EQ(game.Reshuffles(), 2);
        Press("F6");
        EXPECT_EQ(game.Reshuffles(), 1);
        Press("F6");
        Press("F6");
        EXPECT_EQ(game.Reshuffles(), 0);
        Press("F8");
        EXPECT_FALSE(game.GameInProgress());
        EXPECT_TRUE(game.CountdownStopped());
        EXPECT_TRUE(h.Take("msgbox").empty());  // giving up asks nothing
    });
}

TEST(Commands, ThemeIsSavedInPlace) {
    const int settings[3] = {1, 0, 0};
    GameHarness h(settings);
    h.Run(42, [&](CGameDlg& game) {
        afx::automation::MenuCommand(ID_THEME_BEASTS);
        EXPECT_EQ(game.Theme(), 2);
        afx::automation::MenuCommand(ID_OPTION_SOUND);
        EXPECT_FALSE(game.SoundOn());
    });
    std::FILE* f = std::fopen("mavek.cfg", "rb");
    ASSERT_NE(f, nullptr);
    unsigned char b[13] = {};
    EXPECT_EQ(std::fread(b, 1, 13, f), 12u);
    std::fclose(f);
    const unsigned char expected[12] = {0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(b[i], expected[i]) << i;
}

}  // namespace
