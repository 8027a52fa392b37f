// Start-up of the main window: placement, idle picture, menu marks, timer 1, settings.
#include <gtest/gtest.h>

#include <vector>

#include "game/res/resource_ids.h"
#include "platform/afx/automation.h"
#include "tests/control/harness.h"

namespace {

TEST(Placement, CentresAcrossAndLeavesRoomBelow) {
    EXPECT_EQ(MainWindowPosition(1024, 768), CPoint(112, 81));
    EXPECT_EQ(MainWindowPosition(1920, 1080), CPoint(560, 237));
    EXPECT_EQ(MainWindowPosition(800, 605), CPoint(0, 0));
}

TEST(Placement, TopIsClampedLeftIsNot) {
    EXPECT_EQ(MainWindowPosition(800, 600).y, 0);  // (600 - 605) / 2 is negative
    EXPECT_EQ(MainWindowPosition(640, 480), CPoint(-80, 0));
    EXPECT_EQ(MainWindowPosition(799, 606), CPoint(0, 0));  // -1 / 2 and 1 / 2 truncate to 0
    EXPECT_EQ(MainWindowPosition(797, 768).x, -1);
}

TEST(StartUp, ShowsTheStartPictureAndNoGame) {
    GameHarness h;
    h.Run(1000, [&](CGameDlg& game) {
        EXPECT_FALSE(game.GameInProgress());
        EXPECT_TRUE(game.CountdownStopped());
        EXPECT_EQ(game.TimeLeft(), -1);
        EXPECT_EQ(game.PrizeShown(), -1);
        EXPECT_EQ(game.Difficulty(), 3);
        EXPECT_EQ(game.Level(), 1);
        EXPECT_EQ(h.LastPicture(), "img\\z0.jpg");
    });
    auto pictures = h.Take("picture");
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0].Str("file"), "img\\z0.jpg");
}

TEST(StartUp, MissingSettingsFileGivesSoundOnMusicOffFirstTheme) {
    GameHarness h;
    h.Run(1000, [&](CGameDlg& game) {
        EXPECT_TRUE(game.SoundOn());
        EXPECT_FALSE(game.MusicOn());
        EXPECT_EQ(game.Theme(), 0);
        CMenu* menu = game.GetMenu();
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->GetMenuState(ID_OPTION_SOUND, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
        EXPECT_EQ(menu->GetMenuState(ID_OPTION_MUSIC, MF_BYCOMMAND) & MF_CHECKED, 0u);
        EXPECT_EQ(menu->GetMenuState(ID_THEME_SEA, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
    });
}

TEST(StartUp, MenuGreysGameCommandsUntilAGameRuns) {
    GameHarness h;
    h.Run(1000, [&](CGameDlg& game) {
        CMenu* menu = game.GetMenu();
        ASSERT_NE(menu, nullptr);
        for (UINT id : {ID_GAME_GIVEUP, ID_OPTION_RESHUFFLE, ID_OPTION_HINT})
            EXPECT_EQ(menu->GetMenuState(id, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED) << id;
        for (UINT id : {ID_GAME_EASY, ID_GAME_NORMAL, ID_GAME_HARD, ID_GAME_SUPER, ID_OPTION_PAUSE})
            EXPECT_EQ(menu->GetMenuState(id, MF_BYCOMMAND) & MF_GRAYED, 0u) << id;
        EXPECT_EQ(menu->GetMenuState(ID_OPTION_PAUSE, MF_BYCOMMAND) & MF_CHECKED, 0u);

        afx::automation::MenuCommand(ID_GAME_NORMAL);
        EXPECT_TRUE(game.GameInProgress());
        for (UINT id : {ID_GAME_EASY, ID_GAME_NORMAL, ID_GAME_HARD, ID_GAME_SUPER})
            EXPECT_EQ(menu->GetMenuState(id, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED) << id;
        for (UINT id : {ID_GAME_GIVEUP, ID_OPTION_RESHUFFLE, ID_OPTION_HINT})
            EXPECT_EQ(menu->GetMenuState(id, MF_BYCOMMAND) & MF_GRAYED, 0u) << id;

        Press("F11");
        EXPECT_EQ(menu->GetMenuState(ID_OPTION_PAUSE, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
        EXPECT_TRUE(game.Paused());
    });
}

TEST(StartUp, StoredSettingsAreApplied) {
    const int settings[3] = {0, 0, 2};
    GameHarness h(settings);
    h.Run(1000, [&](CGameDlg& game) {
        EXPECT_FALSE(game.SoundOn());
        EXPECT_EQ(game.Theme(), 2);
        CMenu* menu = game.GetMenu();
        EXPECT_EQ(menu->GetMenuState(ID_THEME_BEASTS, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
        EXPECT_EQ(menu->GetMenuState(ID_THEME_SEA, MF_BYCOMMAND) & MF_CHECKED, 0u);
        EXPECT_EQ(menu->GetMenuState(ID_OPTION_SOUND, MF_BYCOMMAND) & MF_CHECKED, 0u);
    });
}

TEST(StartUp, MusicWatchdogTimerRunsEverySecond) {
    GameHarness h;
    h.Run(1000, [&](CGameDlg&) {
        // Timer 1 is the only timer before a game: it comes due one second after start-up.
        EXPECT_EQ(seams::NextTimerDue() - seams::NowMs(), 1000);
        Wait(1000);
        EXPECT_EQ(seams::NextTimerDue() - seams::NowMs(), 1000);
    });
}

TEST(StartUp, SystemMenuCarriesTheAboutItem) {
    GameHarness h;
    h.Run(1000, [&](CGameDlg& game) {
        CMenu* sys = game.GetSystemMenu(FALSE);
        ASSERT_NE(sys, nullptr);
        CString text;
        ASSERT_GT(sys->GetMenuString(IDM_ABOUTBOX, text, MF_BYCOMMAND), 0);
        EXPECT_EQ(text, "关于QarvenVorn版(&A)...");
    });
}

}  // namespace

namespace {

// The dialog ids opened since the events were last cleared.
std::vector<long long> DialogsOpened(GameHarness& h) {
    std::vector<long long> ids;
    for (const auto& e : h.Take("dialog")) ids.push_back(e.Int("id"));
    return ids;
}

TEST(StartUp, AboutLeaderboardAndHelpOpenFromTheirCommands) {
    GameHarness h;
    h.Run(1000, [&](CGameDlg&) {
        h.Events().clear();
        seams::QueueAnswer(seams::Answer{});
        ASSERT_TRUE(afx::automation::MenuCommand(IDM_ABOUTBOX));  // the system-menu item
        EXPECT_EQ(DialogsOpened(h), std::vector<long long>{100});
        seams::QueueAnswer(seams::Answer{});
        ASSERT_TRUE(afx::automation::MenuCommand(ID_HELP_ABOUT));
        EXPECT_EQ(DialogsOpened(h), std::vector<long long>{100});
        seams::QueueAnswer(seams::Answer{});
        ASSERT_TRUE(afx::automation::MenuCommand(ID_OPTION_RANK));
        EXPECT_EQ(DialogsOpened(h), std::vector<long long>{156});
        ASSERT_TRUE(afx::automation::MenuCommand(ID_HELP_RULES));
        auto help = h.Take("help");
        ASSERT_EQ(help.size(), 1u);
        EXPECT_EQ(help[0].Str("file"), "mavek.chm");
    });
}

TEST(StartUp, EscapeEndsTheProgramInTheMiddleOfAGame) {
    GameHarness h;
    h.Run(1000, [&](CGameDlg& game) {
        Press("F1");
        ASSERT_TRUE(game.GameInProgress());
        h.Events().clear();
        Press("Escape");
    });
    // The dialog ends with IDCANCEL: no high-score check, no message.
    bool closed = false, message = false;
    for (const auto& e : h.Events()) {
        if (e.event == "dialog_closed" && e.Int("id") == 102 && e.Int("result") == IDCANCEL)
            closed = true;
        if (e.event == "msgbox" || e.event == "dialog") message = true;
    }
    EXPECT_TRUE(closed);
    EXPECT_FALSE(message);
}

}  // namespace
