// Identifiers of the resources kivra is built from: dialog templates, the menu
// and its commands, strings, bitmaps, icon, cursor and WAVE effects.
#pragma once

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_KIVRA_DIALOG 102
#define IDD_RANK_DIALOG 156    // the leaderboard
#define IDD_RECORD_DIALOG 158  // the name entry for the high-score table
#define IDD_AD 159             // the advert between levels

// Controls of the dialogs.
#define IDC_RANK_LIST 1000
#define IDC_RANK_DIFFICULTY 1001
#define IDC_RANK_CLEAR 1002
#define IDC_RECORD_NAME 1003
#define IDC_RECORD_TEXT 1005
#define IDC_ABOUT_FIRST_LINK 1006
#define IDC_ABOUT_SECOND_LINK 1007

// Strings.
#define IDS_ABOUTBOX 101

// System-menu item appended at start-up (low four bits clear, below 0xF000).
#define IDM_ABOUTBOX 0x0010

// Icon, artwork bitmaps, cursor.
#define IDR_MAINFRAME 128
#define IDB_TILES 129
#define IDB_SELECT 130
#define IDB_FRAMES 131
#define IDB_HINT 132
#define IDC_HAND_CURSOR 197

// Menu of the main window.
#define IDR_MENU 135

// Menu commands.
#define ID_GAME_EASY 32772
#define ID_GAME_NORMAL 32773
#define ID_GAME_HARD 32774
#define ID_GAME_GIVEUP 32775
#define ID_GAME_EXIT 32776
#define ID_HELP_RULES 32777
#define ID_HELP_ABOUT 32778
#define ID_OPTION_HINT 32779
#define ID_OPTION_RESHUFFLE 32780
#define ID_OPTION_MUSIC 32781
#define ID_OPTION_SOUND 32782
#define ID_OPTION_RANK 32783
#define ID_GAME_SUPER 32784
#define ID_THEME_SEA 32785
#define ID_THEME_FLOWERS 32786
#define ID_THEME_BEASTS 32787
#define ID_OPTION_PAUSE 32788

// WAVE effects, by the event that plays them.
#define IDW_SELECT 138         // a tile becomes the first selected tile
#define IDW_LINK 139           // a pair connects (played to its end while the path shows)
#define IDW_NO_PATH 140        // same pictures that do not connect
#define IDW_PRIZE_SMALL 143    // one hint, time, 1000 points, one reshuffle
#define IDW_PENALTY 144        // a hint less, time less
#define IDW_PRIZE_MEDIUM 145   // two hints, 2500 points, two reshuffles
#define IDW_PRIZE_BIG 146      // four hints, four reshuffles
#define IDW_MISMATCH 147       // different pictures; a right-click deselects
#define IDW_ALL_CLEARED 148    // the last level is cleared
#define IDW_LEVEL_CLEARED 149  // a level below the last is cleared
#define IDW_HINT 150
#define IDW_GAME_OVER 151
#define IDW_RESHUFFLE 152

// Timers of the main window.
#define TIMER_MUSIC 1
#define TIMER_COUNTDOWN 2
#define TIMER_PRIZE 3
