#include "game/scores/score_dialogs.h"

#include <cstdio>

#include "game/board/board.h"
#include "game/scores/score_file.h"
#include "platform/crt/codepage.h"

namespace {

using afx::ControlKind;
using afx::ControlTemplate;

constexpr uint32_t kVisible = WS_CHILD | WS_VISIBLE;

}  // namespace

afx::DialogTemplate RankDialogTemplate() {
    afx::DialogTemplate t;
    t.id = IDD_RANK_DIALOG;
    t.caption = "Vorn排行榜";
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    t.cx = 187;
    t.cy = 115;
    t.controls.push_back(afx::MakeControl(IDC_RANK_LIST, ControlKind::ListView, "",
                                          kVisible | LVS_REPORT | WS_BORDER | WS_TABSTOP, 7, 5, 122,
                                          103));
    ControlTemplate combo =
        afx::MakeControl(IDC_RANK_DIFFICULTY, ControlKind::ComboBox, "",
                         kVisible | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 132, 16, 48, 55);
    for (int d = Easy; d <= Super; ++d) combo.items.push_back(GetDifficultyInfo(d).name);
    t.controls.push_back(combo);
    t.controls.push_back(afx::MakeControl(IDC_STATIC, ControlKind::Static, "难度",
                                          kVisible | SS_LEFT, 132, 7, 17, 8));
    t.controls.push_back(afx::MakeControl(IDC_RANK_CLEAR, ControlKind::Button, "清除记录",
                                          kVisible | WS_TABSTOP, 138, 42, 42, 14));
    t.controls.push_back(afx::MakeControl(IDOK, ControlKind::Button, "关闭",
                                          kVisible | BS_DEFPUSHBUTTON | WS_TABSTOP, 144, 94, 30,
                                          14));
    // Never visible, but Esc still closes the dialog through it.
    t.controls.push_back(afx::MakeControl(IDCANCEL, ControlKind::Button, "Cancel",
                                          WS_CHILD | WS_TABSTOP, 138, 94, 42, 14));
    return t;
}

afx::DialogTemplate RecordDialogTemplate() {
    afx::DialogTemplate t;
    t.id = IDD_RECORD_DIALOG;
    t.caption = "记录积分";
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    t.cx = 187;
    t.cy = 100;
    t.controls.push_back(afx::MakeControl(IDC_RECORD_TEXT, ControlKind::Static, "",
                                          kVisible | SS_LEFT, 7, 7, 173, 8));
    t.controls.push_back(afx::MakeControl(IDC_STATIC, ControlKind::Static,
                                          "姓名:", kVisible | SS_LEFT, 39, 38, 21, 8));
    t.controls.push_back(afx::MakeControl(IDC_RECORD_NAME, ControlKind::Edit, "",
                                          kVisible | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 64,
                                          36, 80, 14));
    t.controls.push_back(afx::MakeControl(IDOK, ControlKind::Button, "记录",
                                          kVisible | BS_DEFPUSHBUTTON | WS_TABSTOP, 35, 72, 50,
                                          14));
    t.controls.push_back(afx::MakeControl(IDCANCEL, ControlKind::Button, "不记录",
                                          kVisible | WS_TABSTOP, 107, 72, 50, 14));
    return t;
}

void RegisterScoreDialogs() {
    static const bool registered = [] {
        afx::RegisterDialogTemplate(RankDialogTemplate());
        afx::RegisterDialogTemplate(RecordDialogTemplate());
        return true;
    }();
    (void)registered;
}

// ---- leaderboard

BEGIN_MESSAGE_MAP(CRankDlg, CDialog)
ON_CBN_SELCHANGE(IDC_RANK_DIFFICULTY, OnSelchangeDifficulty)
ON_BN_CLICKED(IDC_RANK_CLEAR, OnClearScores)
END_MESSAGE_MAP()

CRankDlg::CRankDlg(CWnd* parent) : CDialog((RegisterScoreDialogs(), IDD_RANK_DIALOG), parent) {}

void CRankDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_RANK_DIFFICULTY, m_comboDifficulty);
    DDX_Control(pDX, IDC_RANK_LIST, m_listScores);
}

BOOL CRankDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_listScores.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    m_listScores.InsertColumn(0, "排名", LVCFMT_LEFT, 40);
    m_listScores.InsertColumn(1, "得分", LVCFMT_LEFT, 58);
    m_listScores.InsertColumn(2, "姓名", LVCFMT_LEFT, 80);
    m_comboDifficulty.SetCurSel(m_difficulty - 1);
    FillList();
    return TRUE;
}

void CRankDlg::FillList() {
    m_listScores.DeleteAllItems();
    const int selection = m_comboDifficulty.GetCurSel();
    if (selection == CB_ERR) return;
    std::array<scores::ScoreRow, scores::kEntryCount> rows;
    if (!scores::ReadScoreRows(selection + 1, rows)) return;
    for (int i = 0; i < scores::kEntryCount; ++i) {
        m_listScores.InsertItem(i, "");
        char rank[16];
        std::snprintf(rank, sizeof rank, "%d", i + 1);
        m_listScores.SetItemText(i, 0, rank);
        m_listScores.SetItemText(i, 1, rows[i].score.c_str());
        m_listScores.SetItemText(i, 2, rows[i].name.c_str());
    }
}

void CRankDlg::OnSelchangeDifficulty() { FillList(); }

void CRankDlg::OnClearScores() {
    ClearScores();
    OnOK();
}

// ---- name entry

CRecordDlg::CRecordDlg(CWnd* parent)
    : CDialog((RegisterScoreDialogs(), IDD_RECORD_DIALOG), parent) {}

void CRecordDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_RECORD_NAME, m_name);
    DDV_MaxChars(pDX, m_name, scores::kNameLimit);
}

BOOL CRecordDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    char text[96];
    std::snprintf(text, sizeof text, "排名%d 得分%d 难度:", m_rankIndex + 1, m_score);
    std::string line = text;
    line += GetDifficultyInfo(m_difficulty).numeral;
    SetDlgItemText(IDC_RECORD_TEXT, line.c_str());
    return TRUE;
}

// ---- the calls of the main window

void ClearScores() {
    HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    scores::ResetScoreFiles();
    SetCursor(previous);
}

void RecordHighScore(CWnd* parent, int difficulty, int score) {
    scores::ScoreTable table;
    if (!scores::ReadScoreTable(difficulty, table)) return;
    const int rank = scores::RankOf(table, score);
    if (rank == 0) return;

    CRecordDlg dlg(parent);
    dlg.m_rankIndex = rank - 1;
    dlg.m_score = score;
    dlg.m_difficulty = difficulty;
    if (dlg.DoModal() != IDOK) return;

    // The file keeps code page 936; a character without an equivalent is stored as '?'.
    const std::string name = crt::Utf8ToCp936(dlg.m_name.str());
    scores::WriteScoreTable(difficulty, scores::InsertScore(table, rank, score, name));
}

void ShowLeaderboard(CWnd* parent, int difficulty) {
    CRankDlg dlg(parent);
    dlg.m_difficulty = difficulty;
    dlg.DoModal();
}
