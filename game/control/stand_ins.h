// Calls from the main window into the high-score tables and the leaderboard. The definitions
// in stand_ins.cpp are minimal versions used until the score tables are linked in.
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
