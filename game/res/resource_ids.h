// Identifiers of the resources kivra is built from: dialog templates, the menu
// and its commands, strings, bitmaps, icon, cursor and WAVE effects.
#pragma once

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_KIVRA_DIALOG 102
#define IDD_RANK 156
#define IDD_RECORD 158
#define IDD_AD 159

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

// WAVE effects.
#define IDW_PRIZE_SMALL 143
#define IDW_PENALTY 144
#define IDW_PRIZE_MEDIUM 145
#define IDW_PRIZE_BIG 146
#define IDW_SELECT 138
#define IDW_LINK 139
#define IDW_NO_PATH 140
#define IDW_MISMATCH 147
#define IDW_ALL_CLEARED 148
#define IDW_LEVEL_CLEARED 149
#define IDW_HINT 150
#define IDW_GAME_OVER 151
#define IDW_RESHUFFLE 152

// Timers of the main window.
#define TIMER_MUSIC 1
#define TIMER_COUNTDOWN 2
#define TIMER_PRIZE 3
