// The leaderboard (template 156) and the name entry (template 158) over the score tables, and
// the two calls the main window makes.
#pragma once

#include "game/res/resource_ids.h"
#include "platform/afx/afxwin.h"
#include "platform/afx/templates.h"

// The templates as data, and their registration with the framework (done by the dialogs'
// constructors as well, so calling it is optional; repeating it is harmless).
afx::DialogTemplate RankDialogTemplate();
afx::DialogTemplate RecordDialogTemplate();
void RegisterScoreDialogs();

// The leaderboard: the ten entries of one difficulty, a combo box to switch difficulty, and a
// button that clears all four tables.
class CRankDlg : public CDialog {
  public:
    explicit CRankDlg(CWnd* parent = nullptr);

    int m_difficulty = 3;  // shown first, 1..4; set before DoModal
    CComboBox m_comboDifficulty;
    CListCtrl m_listScores;

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnSelchangeDifficulty();
    void OnClearScores();
    // Refills the list from the table of the difficulty selected in the combo box.
    void FillList();

    DECLARE_MESSAGE_MAP()
};

// The name entry shown when a finished game ranks.
class CRecordDlg : public CDialog {
  public:
    explicit CRecordDlg(CWnd* parent = nullptr);

    int m_rankIndex = 0;  // 0-based
    int m_score = 0;
    int m_difficulty = 1;  // 1..4
    CString m_name;        // UTF-8; at most 60 bytes in code page 936

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
};

// Resets all four score tables, with the wait cursor shown meanwhile.
void ClearScores();

// The high-score check at the end of a game: when `score` ranks in the table of `difficulty`,
// asks for the name and rewrites the table with the new entry in place. A missing table asks
// nothing; a table that cannot be written keeps its old content; both silently.
void RecordHighScore(CWnd* parent, int difficulty, int score);

// The leaderboard command: the dialog, opening on `difficulty`.
void ShowLeaderboard(CWnd* parent, int difficulty);
