// Calls from the main window into the high-score tables, the advert window, the About box,
// the leaderboard, the help file, the settings file and the music. Each is declared here so
// the window code names one place; the definitions in stand_ins.cpp are the minimal versions
// used until the full subsystems are linked in, and move out as those land.
#pragma once

#include "platform/afx/afxwin.h"

// High scores: checks the table of `difficulty` and records `score` when it ranks.
void RecordHighScore(CWnd* parent, int difficulty, int score);
// Leaderboard dialog, first showing `difficulty`.
void ShowLeaderboard(CWnd* parent, int difficulty);
// The advert dialog of a cleared level, modal.
void ShowAdvert(CWnd* parent, const CString& caption, const CString& address, int difficulty,
                int level);
// The About box, modal.
void ShowAbout(CWnd* parent);
// Opens the help file mavek.chm at its default topic.
void ShowHelp(CWnd* parent);
// The help viewer's call itself, kept apart from the window framework's headers.
void OpenHelpFile();

// Settings file mavek.cfg: three little-endian 32-bit integers (sound, music, theme).
struct Settings {
    int sound = 1;
    int music = 0;
    int theme = 0;
};
Settings LoadSettings();
void SaveSoundSetting(int sound);
void SaveMusicSetting(int music);
void SaveThemeSetting(int theme);

// Music: starts tune midi\<number>.mid (number 101..117); stops and closes the open tune;
// true when the open tune has played to its end (or none is open).
void PlayTune(CWnd* notify, int number);
void StopMusic();
bool TuneStopped();
