// Commands, keys and menu state of the main window.
#include "game/control/game_dlg.h"
#include "game/control/game_sound.h"
#include "game/control/settings_file.h"
#include "game/extras/about_dlg.h"
#include "game/extras/ad_dlg.h"
#include "game/res/resource_ids.h"
#include "game/scores/score_dialogs.h"

namespace {

// Set by a key-down of Ctrl, cleared by its key-up and after each Ctrl shortcut tried.
int g_ctrlDown = 0;

}  // namespace

void CGameDlg::NewGame(int difficulty) {
    if (!IsValidDifficulty(difficulty)) difficulty = Easy;
    m_rules.NewGame(difficulty);
    m_gameInProgress = 1;
    m_cursor.Forget();
    UpdateMenuState();
    DealLevel(difficulty, 1);
    SetTimer(TIMER_COUNTDOWN, GetDifficultyInfo(difficulty).tickPeriodMs, nullptr);
    Invalidate(FALSE);
}

void CGameDlg::OnGameEasy() { NewGame(Easy); }
void CGameDlg::OnGameNormal() { NewGame(Normal); }
void CGameDlg::OnGameHard() { NewGame(Hard); }
void CGameDlg::OnGameSuper() { NewGame(Super); }

void CGameDlg::GiveUp() {
    HideCursor();
    KillTimer(TIMER_COUNTDOWN);
    m_gameInProgress = 0;
    m_rules.StopCountdown();
    UpdateMenuState();
    if (m_allClearedShown == 1) {
        LoadIdlePicture(0);
        m_allClearedShown = 0;
    }
    Invalidate(FALSE);
}

void CGameDlg::OnGameGiveUp() { GiveUp(); }

void CGameDlg::OnGameExit() { OnCancel(); }

void CGameDlg::Hide() {
    HideCursor();
    m_hidden = 1;
    ShowWindow(SW_MINIMIZE);
}

void CGameDlg::OnOptionHint() {
    if (m_rules.Values().hints <= 0) return;
    if (!m_board.ShowHint()) return;
    PlayEffect(m_sound, IDW_HINT);
    m_rules.SpendHint();
    // A shown cursor goes to the first tile of the pair, ready to pick it.
    if (m_cursor.Shown()) {
        const HintPair& hint = m_board.Hint();
        m_cursor.MoveTo(m_board, Cell{hint.x1, hint.y1});
    }
    Invalidate(FALSE);
}

void CGameDlg::OnOptionReshuffle() {
    if (m_rules.Values().reshuffles <= 0) return;
    PlayEffect(m_sound, IDW_RESHUFFLE);
    m_rules.SpendReshuffle();
    m_board.Shuffle(m_rng);
    Invalidate(FALSE);
}

void CGameDlg::OnOptionPause() {
    m_paused = !m_paused;
    if (m_paused) HideCursor();
    UpdateMenuState();
}

void CGameDlg::SetTheme(int theme) {
    m_theme = theme;
    UpdateMenuState();
    SaveThemeSetting(m_theme);
    Invalidate(FALSE);
}

void CGameDlg::OnThemeSea() { SetTheme(0); }
void CGameDlg::OnThemeFlowers() { SetTheme(1); }
void CGameDlg::OnThemeBeasts() { SetTheme(2); }

void CGameDlg::OnOptionMusic() {
    m_music = ToggleMusic(m_music, this);
    UpdateMenuState();
    SaveMusicSetting(m_music);
}

void CGameDlg::OnOptionSound() {
    m_sound = !m_sound;
    UpdateMenuState();
    SaveSoundSetting(m_sound);
}

void CGameDlg::OnOptionRank() { ShowLeaderboard(this, m_board.GetDifficulty()); }

void CGameDlg::OnHelpRules() { ShowGameHelp(); }

void CGameDlg::OnHelpAbout() {
    CAboutDlg about(this);
    about.DoModal();
}

BOOL CGameDlg::OnHelpInfo(HELPINFO*) {
    if (!m_gameInProgress) NewGame(Easy);
    return TRUE;
}

BOOL CGameDlg::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN) {
        // Keys of keyboard play are theirs alone: Space and Enter that pick a tile must not
        // also hide the window.
        if (KeyboardPlayKey(static_cast<UINT>(msg->wParam))) return TRUE;
        switch (msg->wParam) {
            case VK_CONTROL:
                g_ctrlDown = 1;
                break;
            case VK_SPACE:
                Hide();
                break;
            case 'D':
            case 'L':
            case 'T':
                if (g_ctrlDown) {
                    if (m_gameInProgress == 1) {
                        if (msg->wParam == 'D') m_rules.GiveHints(3);
                        if (msg->wParam == 'L') m_rules.GiveReshuffles(3);
                        if (msg->wParam == 'T') m_rules.RefillTime();
                        Invalidate(FALSE);
                    }
                    g_ctrlDown = 0;
                }
                break;
            case VK_F2:
                if (!m_gameInProgress) NewGame(Normal);
                break;
            case VK_F3:
                if (!m_gameInProgress) NewGame(Hard);
                break;
            case VK_F4:
                if (!m_gameInProgress) NewGame(Super);
                break;
            case VK_F5:
                OnOptionHint();
                break;
            case VK_F6:
                OnOptionReshuffle();
                break;
            case VK_F8:
                GiveUp();
                break;
            case VK_F11:
                OnOptionPause();
                break;
            default:
                break;
        }
    } else if (msg->message == WM_KEYUP && msg->wParam == VK_CONTROL) {
        g_ctrlDown = 0;
    }
    return CDialog::PreTranslateMessage(msg);
}

void CGameDlg::UpdateMenuState() {
    CMenu* menu = GetMenu();
    if (!menu) return;
    const UINT newGame[] = {ID_GAME_EASY, ID_GAME_NORMAL, ID_GAME_HARD, ID_GAME_SUPER};
    const UINT inGame[] = {ID_GAME_GIVEUP, ID_OPTION_RESHUFFLE, ID_OPTION_HINT};
    for (UINT id : newGame) menu->EnableMenuItem(id, MF_BYCOMMAND | MF_ENABLED);
    for (UINT id : inGame) menu->EnableMenuItem(id, MF_BYCOMMAND | MF_ENABLED);
    menu->CheckMenuItem(ID_OPTION_MUSIC, MF_BYCOMMAND | MF_UNCHECKED);
    menu->CheckMenuItem(ID_OPTION_SOUND, MF_BYCOMMAND | MF_UNCHECKED);
    if (m_gameInProgress == 0) {
        for (UINT id : inGame) menu->EnableMenuItem(id, MF_BYCOMMAND | MF_GRAYED);
    } else {
        for (UINT id : newGame) menu->EnableMenuItem(id, MF_BYCOMMAND | MF_GRAYED);
    }
    if (m_music) menu->CheckMenuItem(ID_OPTION_MUSIC, MF_BYCOMMAND | MF_CHECKED);
    if (m_sound) menu->CheckMenuItem(ID_OPTION_SOUND, MF_BYCOMMAND | MF_CHECKED);
    menu->CheckMenuItem(ID_THEME_SEA, MF_BYCOMMAND | MF_UNCHECKED);
    menu->CheckMenuItem(ID_THEME_FLOWERS, MF_BYCOMMAND | MF_UNCHECKED);
    menu->CheckMenuItem(ID_THEME_BEASTS, MF_BYCOMMAND | MF_UNCHECKED);
    const int theme = EffectiveTheme(m_theme);
    const UINT themeItem = theme == 1   ? ID_THEME_FLOWERS
                           : theme == 2 ? ID_THEME_BEASTS
                                        : ID_THEME_SEA;
    menu->CheckMenuItem(themeItem, MF_BYCOMMAND | MF_CHECKED);
    menu->CheckMenuItem(ID_OPTION_PAUSE, MF_BYCOMMAND | (m_paused ? MF_CHECKED : MF_UNCHECKED));
}
