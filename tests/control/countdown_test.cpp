// The countdown on the virtual clock: ticks, time-up, pause, hide, Ctrl+T, the strip.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "game/res/resource_ids.h"
#include "platform/afx/automation.h"
#include "tests/control/harness.h"

namespace {

constexpr uint32_t kEasyTick = 600;

TEST(Countdown, ThreeHundredTicksThenTimeUpOnTheNext) {
    GameHarness h;
    h.Run(42, [&](CGameDlg& game) {
        Press("F1");
        Wait(kEasyTick * 299);
        EXPECT_EQ(game.TimeLeft(), 1);
        Wait(kEasyTick);
        EXPECT_EQ(game.TimeLeft(), 0);
        EXPECT_TRUE(game.GameInProgress());
        const int score = game.Score();
        h.Events().clear();
        seams::QueueAnswer(seams::Answer{});
        Wait(kEasyTick);
        EXPECT_EQ(game.TimeLeft(), -1);
        EXPECT_FALSE(game.GameInProgress());
        EXPECT_TRUE(game.CountdownStopped());
        EXPECT_EQ(game.Score(), score + 100);
        auto boxes = h.Take("msgbox");
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].Str("caption"), "失败");
        EXPECT_EQ(boxes[0].Str("text"), "时间到!\n\n加时间能量100分.");
        // The tick timer is dead: time stays at -1.
        Wait(kEasyTick * 5);
        EXPECT_EQ(game.TimeLeft(), -1);
    });
}

TEST(Countdown, TimeUpPlaysTheGameOverSoundBeforeItsMessage) {
    GameHarness h;
    h.Run(42, [&](CGameDlg& game) {
        Press("F1");
        SetValues(game, [&](GameValues& v) { v.timeLeft = 0; });
        h.Events().clear();
        seams::QueueAnswer(seams::Answer{});
        Wait(kEasyTick);
        ASSERT_GE(h.Events().size(), 2u);
        EXPECT_EQ(h.Events()[0].event, "sound");
        EXPECT_EQ(h.Events()[0].Int("id"), IDW_GAME_OVER);
        EXPECT_FALSE(h.Events()[0].Bool("sync"));
        EXPECT_EQ(h.Events()[1].event, "msgbox");
    });
}

TEST(Countdown, TimeUpRecordsTheScoreWithItsHundredPoints) {
    GameHarness h;
    {
        // A cleared table: ten entries of score 0 and an empty name.
        std::FILE* f = std::fopen("score.1", "wb");
        ASSERT_NE(f, nullptr);
        for (int i = 0; i < 10; ++i) std::fputs("0\r\n\r\n", f);
        std::fclose(f);
    }
    h.Run(42, [&](CGameDlg& game) {
        Press("F1");
        HintPair pair;
        ASSERT_TRUE(FindPair(game, &pair));
        ClickPair(game, pair);
        ASSERT_EQ(game.Score(), 10);
        SetValues(game, [&](GameValues& v) { v.timeLeft = 0; });
        seams::QueueAnswer(seams::Answer{});                               // the time-up message
        seams::QueueAnswer(seams::Answer{seams::Answer::Text, "Tester"});  // the name entry
        Wait(kEasyTick);
        EXPECT_EQ(game.Score(), 110);
        EXPECT_FALSE(game.GameInProgress());
        EXPECT_EQ(seams::PendingAnswers(), 0u);
    });
    std::FILE* f = std::fopen("score.1", "rb");
    ASSERT_NE(f, nullptr);
    char text[64] = {};
    const size_t n = std::fread(text, 1, sizeof text - 1, f);
    std::fclose(f);
    EXPECT_EQ(std::string(text, n).substr(0, 16), "110\r\nTester\r\n0\r\n");
}

TEST(Countdown, TickPeriodsFollowTheDifficulty) {
    const struct {
        const char* key;
        uint32_t period;
    } cases[] = {{"F1", 600}, {"F2", 700}, {"F3", 800}, {"F4", 830}};
    for (const auto& c : cases) {
        GameHarness h;
        h.Run(42, [&](CGameDlg& game) {
            Press(c.key);
            Wait(c.period * 10 - 1);
            EXPECT_EQ(game.TimeLeft(), 291) << c.key;
            Wait(1);
            EXPECT_EQ(game.TimeLeft(), 290) << c.key;
        });
    }
}

TEST(Countdown, PauseFreezesTheClockButNotTheBoard) {
    GameHarness h;
    h.Run(42, [&](CGameDlg& game) {
        Press("F1");
        Wait(kEasyTick * 3);
        EXPECT_EQ(game.TimeLeft(), 297);
        Press("F11");
        Wait(kEasyTick * 100);
        EXPECT_EQ(game.TimeLeft(), 297);
        HintPair pair;
        ASSERT_TRUE(FindPair(game, &pair));
        ClickPair(game, pair);
        EXPECT_EQ(game.TimeLeft(), 302);
        Press("F11");
        EXPECT_FALSE(game.Paused());
        Wait(kEasyTick);
        EXPECT_EQ(game.TimeLeft(), 301);
    });
}

TEST(Countdown, HideFreezesTheClockUntilRestored) {
    GameHarness h;
    h.Run(42, [&](CGameDlg& game) {
        Press("F1");
        Press("Space");
        EXPECT_TRUE(game.Hidden());
        EXPECT_TRUE(game.IsIconic());
        Wait(kEasyTick * 10);
        EXPECT_EQ(game.TimeLeft(), 300);
        game.SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
        EXPECT_FALSE(game.Hidden());
        Wait(kEasyTick);
        EXPECT_EQ(game.TimeLeft(), 299);
        // Enter reaches the hidden default button: the same hide command.
        Press("Return");
        EXPECT_TRUE(game.Hidden());
    });
}

TEST(Countdown, CtrlTRefillsTheClockOnlyDuringAGame) {
    GameHarness h;
    h.Run(42, [&](CGameDlg& game) {
        afx::automation::Key("Ctrl", afx::automation::KeyEdge::Down);
        Press("T");
        afx::automation::Key("Ctrl", afx::automation::KeyEdge::Up);
        EXPECT_EQ(game.TimeLeft(), -1);
        Press("F1");
        Wait(kEasyTick * 50);
        EXPECT_EQ(game.TimeLeft(), 250);
        afx::automation::Key("Ctrl", afx::automation::KeyEdge::Down);
        Press("T");
        EXPECT_EQ(game.TimeLeft(), 300);
        // The flag is spent: D without a new Ctrl press adds nothing.
        const int hints = game.Hints();
        Press("D");
        EXPECT_EQ(game.Hints(), hints);
        afx::automation::Key("Ctrl", afx::automation::KeyEdge::Up);
        afx::automation::Key("Ctrl", afx::automation::KeyEdge::Down);
        Press("D");
        afx::automation::Key("Ctrl", afx::automation::KeyEdge::Up);
        EXPECT_EQ(game.Hints(), hints + 3);
        afx::automation::Key("Ctrl", afx::automation::KeyEdge::Down);
        Press("L");
        afx::automation::Key("Ctrl", afx::automation::KeyEdge::Up);
        EXPECT_EQ(game.Reshuffles(), 5);
    });
}

TEST(Countdown, TickBlackensTheStripOnTheWindowWithoutARepaint) {
    GameHarness h;
    h.Run(42, [&](CGameDlg& game) {
        Press("F1");
        auto surface = game.GetSurface();
        ASSERT_TRUE(surface);
        auto pixel = [&](int x, int y) { return surface->Row(y)[x] & 0xFFFFFFu; };
        EXPECT_EQ(pixel(549, 8), 0xFF0000u);  // full red bar
        SetValues(game, [&](GameValues& v) { v.timeLeft = 101; });
        Wait(kEasyTick);  // 100 left: strip from x = 351 to 549 is black
        EXPECT_EQ(game.TimeLeft(), 100);
        EXPECT_EQ(pixel(350, 8), 0xFF0000u);
        EXPECT_EQ(pixel(351, 8), 0x000000u);
        EXPECT_EQ(pixel(549, 8), 0x000000u);
        EXPECT_EQ(pixel(351, 2), 0x000000u);
        EXPECT_EQ(pixel(351, 15), 0x000000u);
        EXPECT_EQ(pixel(550, 8), 0x000000u);  // inside of the frame, painted black already
        EXPECT_EQ(pixel(551, 8), 0x00FFFFu);  // the frame is left alone
        EXPECT_EQ(pixel(351, 1), 0x000000u);  // frame inside row 1 stays black
        EXPECT_EQ(pixel(300, 0), 0x00FFFFu);
    });
}

}  // namespace
