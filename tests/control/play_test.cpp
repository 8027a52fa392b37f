// Whole levels and a whole game played through the window's input on fixed seeds.
#include <gtest/gtest.h>

#include "game/res/resource_ids.h"
#include "platform/afx/automation.h"
#include "tests/control/harness.h"

namespace {

// Removes pairs found on the board until the level changes or the game ends. Message boxes
// at the end of the level are answered with OK. Returns the number of pairs removed.
int PlayLevel(CGameDlg& game) {
    const int level = game.Level();
    int pairs = 0;
    while (game.GameInProgress() && game.Level() == level) {
        HintPair pair;
        if (!FindPair(game, &pair)) {
            ADD_FAILURE() << "no removable pair on a board the game left in play";
            return pairs;
        }
        if (game.Board().TileCount() == 2) {
            for (int i = 0; i < 4; ++i) seams::QueueAnswer(seams::Answer{});
        }
        ClickPair(game, pair);
        ++pairs;
    }
    seams::ClearAnswers();
    return pairs;
}

TEST(Play, EveryPairAwardsTenPointsAndFiveTicks) {
    GameHarness h;
    h.Run(1234567, [&](CGameDlg& game) {
        Press("F1");
        ASSERT_TRUE(game.GameInProgress());
        EXPECT_EQ(game.TimeLeft(), 300);
        SetValues(game, [&](GameValues& v) { v.timeLeft = 200; });
        HintPair pair;
        ASSERT_TRUE(FindPair(game, &pair));
        const int before = game.Board().TileCount();
        ClickPair(game, pair);
        EXPECT_EQ(game.Board().TileCount(), before - 2);
        EXPECT_EQ(game.Score(), 10);
        EXPECT_EQ(game.TimeLeft(), 205);
    });
}

TEST(Play, RemovalPlaysTheLinkSoundSynchronouslyAndTakesItsTime) {
    GameHarness h;
    h.Run(99, [&](CGameDlg& game) {
        Press("F1");
        HintPair pair;
        ASSERT_TRUE(FindPair(game, &pair));
        h.Events().clear();
        ClickPair(game, pair);
        auto sounds = h.Take("sound");
        ASSERT_EQ(sounds.size(), 2u);
        EXPECT_EQ(sounds[0].Int("id"), IDW_SELECT);
        EXPECT_FALSE(sounds[0].Bool("sync"));
        EXPECT_EQ(sounds[1].Int("id"), IDW_LINK);
        EXPECT_TRUE(sounds[1].Bool("sync"));

        // With sound off nothing is played, but the path still shows for 300 ms.
        Access::Sound(game) = 0;
        ASSERT_TRUE(FindPair(game, &pair));
        const int64_t before = seams::NowMs();
        ClickPair(game, pair);
        EXPECT_EQ(seams::NowMs() - before, 300);
        EXPECT_TRUE(h.Take("sound").empty());
    });
}

TEST(Play, WholeLevelEndsWithTheBonusAndDealsTheNext) {
    GameHarness h;
    h.Run(20261207, [&](CGameDlg& game) {
        h.Events().clear();
        Press("F2");
        ASSERT_EQ(game.Difficulty(), Normal);
        EXPECT_EQ(game.Hints(), 6);
        EXPECT_EQ(game.Reshuffles(), 3);
        EXPECT_EQ(h.LastPicture(), "img\\201.jpg");
        // Play down to the last pair, then check the bonus of the last one.
        while (game.Board().TileCount() > 2) {
            HintPair pair;
            ASSERT_TRUE(FindPair(game, &pair));
            ClickPair(game, pair);
            ASSERT_TRUE(game.GameInProgress());
        }
        SetValues(game, [&](GameValues& v) { v.timeLeft = 250; });
        const int hints = game.Hints(), reshuffles = game.Reshuffles(), score = game.Score();
        const int bonus = 255 + 10 * hints + 20 * reshuffles;
        h.Events().clear();
        PlayLevel(game);
        EXPECT_EQ(game.Score(), score + 10 + bonus);
        const std::string background = h.LastPicture();
        auto boxes = h.Take("msgbox");
        ASSERT_GE(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].Str("caption"), "成功");
        EXPECT_EQ(boxes[0].Str("text"), "过关了!另加" + std::to_string(bonus) + "分.");
        if (boxes.size() > 1) {
            EXPECT_EQ(boxes[1].Str("text"), "进入第1关.");
        }
        EXPECT_EQ(game.Level(), 2);
        EXPECT_EQ(game.Hints(), hints + 1);
        EXPECT_EQ(game.Reshuffles(), reshuffles + 1);
        EXPECT_EQ(game.TimeLeft(), 300);
        EXPECT_FALSE(game.CountdownStopped());
        EXPECT_EQ(game.Board().TileCount(), 112);
        EXPECT_EQ(background, "img\\202.jpg");
    });
}

TEST(Play, WholeGameEndsOnTheAllClearedPictureUntilTheNextGiveUp) {
    GameHarness h;
    h.Run(777, [&](CGameDlg& game) {
        Press("F1");
        for (int level = 1; level <= 11; ++level) {
            ASSERT_EQ(game.Level(), level);
            ASSERT_TRUE(game.GameInProgress()) << "lost on level " << level;
            PlayLevel(game);
        }
        EXPECT_FALSE(game.GameInProgress());
        EXPECT_TRUE(game.CountdownStopped());
        EXPECT_TRUE(game.AllClearedShown());
        EXPECT_EQ(h.LastPicture(), "img\\z1.jpg");
        Press("F8");
        EXPECT_FALSE(game.AllClearedShown());
        EXPECT_EQ(h.LastPicture(), "img\\z0.jpg");
    });
    bool allCleared = false;
    for (const auto& e : h.Events())
        if (e.event == "msgbox" && e.Str("caption") == "结束" &&
            e.Str("text").rfind("恭喜你，全部过关了!\n\n另加", 0) == 0)
            allCleared = true;
    EXPECT_TRUE(allCleared);
}

TEST(Play, NewGameKeysAreIgnoredWhileAGameRuns) {
    GameHarness h;
    h.Run(5, [&](CGameDlg& game) {
        Press("F3");
        ASSERT_EQ(game.Difficulty(), Hard);
        HintPair pair;
        ASSERT_TRUE(FindPair(game, &pair));
        ClickPair(game, pair);
        Press("F2");
        Press("F1");
        EXPECT_EQ(game.Difficulty(), Hard);
        EXPECT_EQ(game.Score(), 10);
    });
}

TEST(Play, ClicksAreIgnoredWithoutAGame) {
    GameHarness h;
    h.Run(5, [&](CGameDlg& game) {
        Press("F1");
        Press("F8");
        const TileCode code = game.Board().At(2, 2);
        ASSERT_GT(code, 0);  // the board of the abandoned game is still there
        h.Events().clear();
        const CPoint p = CellPoint(game, 2, 2);
        afx::automation::Click(p.x, p.y);
        EXPECT_EQ(game.Board().GetSelection().count, 0);
        EXPECT_TRUE(h.Take("sound").empty());
        EXPECT_EQ(game.Board().Mark(2, 2), 0);
        EXPECT_EQ(game.Board().At(2, 2), code);
    });
}

TEST(Play, ClickLeftOfTheOriginSelectsColumnTwo) {
    GameHarness h;
    h.Run(5, [&](CGameDlg& game) {
        Press("F1");  // Easy: origin (160, 115)
        h.Events().clear();
        afx::automation::Click(140, 115 + 25);
        EXPECT_EQ(game.Board().GetSelection().count, 1);
        EXPECT_EQ(game.Board().Mark(2, 2), 1);
        auto sounds = h.Take("sound");
        ASSERT_EQ(sounds.size(), 1u);
        EXPECT_EQ(sounds[0].Int("id"), IDW_SELECT);
        // Clicking it again unselects it without a sound.
        afx::automation::Click(140, 115 + 25);
        EXPECT_EQ(game.Board().GetSelection().count, 0);
        EXPECT_TRUE(h.Take("sound").empty());
    });
}

TEST(Play, RightClickCancelsASingleSelectionOnly) {
    GameHarness h;
    h.Run(5, [&](CGameDlg& game) {
        Press("F1");
        afx::automation::Click(100, 100, true);  // nothing selected: nothing happens
        EXPECT_TRUE(h.Take("sound").empty());
        const CPoint p = CellPoint(game, 3, 3);
        afx::automation::Click(p.x, p.y);
        h.Events().clear();
        afx::automation::Click(p.x, p.y, true);
        EXPECT_EQ(game.Board().GetSelection().count, 0);
        EXPECT_EQ(game.Board().Mark(3, 3), 0);
        auto sounds = h.Take("sound");
        ASSERT_EQ(sounds.size(), 1u);
        EXPECT_EQ(sounds[0].Int("id"), IDW_MISMATCH);
    });
}

}  // namespace
