// The main window: construction, start-up, system commands, timers, painting and shut-down.
#include "game/control/game_dlg.h"

#include <cstdio>

#include "game/control/game_sound.h"
#include "game/control/settings_file.h"
#include "game/extras/about_dlg.h"
#include "game/extras/ad_dlg.h"
#include "game/res/resource_ids.h"
#include "game/scores/score_dialogs.h"
#include "platform/crt/rand.h"
#include "platform/mm/mmsystem.h"
#include "platform/seams/seams.h"

namespace {

// The two program-wide brushes that colour child controls.
struct ControlBrushSet {
    CBrush black{RGB(0, 0, 0)};
    CBrush light{RGB(233, 233, 220)};
};
ControlBrushSet& ControlBrushes() {
    static ControlBrushSet brushes;
    return brushes;
}

constexpr int kWindowWidth = 800;
constexpr int kWindowHeight = 575;

}  // namespace

int CrtRandomSource::Rand() { return crt::rand(); }

CPoint MainWindowPosition(int screenWidth, int screenHeight) {
    // Centred across; the top leaves room below for a taskbar (605 rather than 575) and is
    // never above the screen. The left edge may be negative on a narrow screen.
    int top = (screenHeight - 605) / 2;
    if (top < 0) top = 0;
    return CPoint((screenWidth - kWindowWidth) / 2, top);
}

BEGIN_MESSAGE_MAP(CGameDlg, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_TIMER()
ON_WM_DESTROY()
ON_WM_LBUTTONDOWN()
ON_WM_RBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_HELPINFO()
ON_COMMAND(ID_GAME_EASY, OnGameEasy)
ON_COMMAND(ID_GAME_NORMAL, OnGameNormal)
ON_COMMAND(ID_GAME_HARD, OnGameHard)
ON_COMMAND(ID_GAME_SUPER, OnGameSuper)
ON_COMMAND(ID_GAME_GIVEUP, OnGameGiveUp)
ON_COMMAND(ID_GAME_EXIT, OnGameExit)
ON_COMMAND(ID_OPTION_HINT, OnOptionHint)
ON_COMMAND(ID_OPTION_RESHUFFLE, OnOptionReshuffle)
ON_COMMAND(ID_OPTION_PAUSE, OnOptionPause)
ON_COMMAND(ID_THEME_SEA, OnThemeSea)
ON_COMMAND(ID_THEME_FLOWERS, OnThemeFlowers)
ON_COMMAND(ID_THEME_BEASTS, OnThemeBeasts)
ON_COMMAND(ID_OPTION_MUSIC, OnOptionMusic)
ON_COMMAND(ID_OPTION_SOUND, OnOptionSound)
ON_COMMAND(ID_OPTION_RANK, OnOptionRank)
ON_COMMAND(ID_HELP_RULES, OnHelpRules)
ON_COMMAND(ID_HELP_ABOUT, OnHelpAbout)
END_MESSAGE_MAP()

CGameDlg::CGameDlg(CWnd* parent) : CDialog(IDD_KIVRA_DIALOG, parent) {
    m_icon = LoadIconResource(IDR_MAINFRAME);
    ControlBrushes();
    // Until the first game the menus and the leaderboard start from Hard.
    m_board.SetDifficultyAndLevel(Hard, 1);
}

CGameDlg::~CGameDlg() = default;

BOOL CGameDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    CMenu* sysMenu = GetSystemMenu(FALSE);
    CString about;
    if (sysMenu && about.LoadString(IDS_ABOUTBOX) && !about.IsEmpty()) {
        sysMenu->AppendMenu(MF_SEPARATOR);
        sysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, about);
    }
    SetIcon(m_icon, TRUE);
    SetIcon(m_icon, FALSE);

    LoadIdlePicture(0);

    const CPoint pos =
        MainWindowPosition(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    MoveWindow(pos.x, pos.y, kWindowWidth, kWindowHeight);

    m_view.Init(this);

    crt::srand(static_cast<unsigned>(seams::Time()));

    const Settings settings = LoadSettings();
    m_sound = settings.sound;
    m_music = settings.music;
    m_theme = settings.theme;
    if (m_music) StartRandomTune(this);

    UpdateMenuState();
    SetTimer(TIMER_MUSIC, 1000, nullptr);
    Invalidate(FALSE);
    return TRUE;
}

void CGameDlg::OnSysCommand(UINT id, LPARAM lParam) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about(this);
        about.DoModal();
        return;
    }
    if ((id & 0xFFF0) == SC_RESTORE) m_hidden = 0;
    CDialog::OnSysCommand(id, lParam);
}

void CGameDlg::OnOK() { Hide(); }

void CGameDlg::OnCancel() { CDialog::OnCancel(); }

void CGameDlg::OnDestroy() {
    CDialog::OnDestroy();
    CloseMusic();
    KillTimer(TIMER_MUSIC);
    KillTimer(TIMER_COUNTDOWN);
    KillTimer(TIMER_PRIZE);
}

void CGameDlg::OnTimer(UINT_PTR id) {
    switch (id) {
        case TIMER_MUSIC:
            MusicWatchdog(m_music, this);
            break;
        case TIMER_COUNTDOWN:
            CountdownTick();
            break;
        case TIMER_PRIZE:
            ClearPrize();
            break;
        default:
            break;
    }
    CDialog::OnTimer(id);
}

void CGameDlg::DealLevel(int difficulty, int level) {
    m_board.Deal(difficulty, level, m_rng);
    char name[32];
    std::snprintf(name, sizeof name, "img\\%d%02d.jpg", difficulty, level);
    m_background.Load(name);
    m_rules.StartLevel();
    m_hidden = 0;
}

void CGameDlg::LoadIdlePicture(int number) {
    char name[32];
    std::snprintf(name, sizeof name, "img\\z%d.jpg", number);
    m_idle.Load(name);
}

GameViewState CGameDlg::ViewState() const {
    const GameValues& v = m_rules.Values();
    GameViewState s;
    s.board = &m_board;
    s.score = v.score;
    s.hints = v.hints;
    s.reshuffles = v.reshuffles;
    s.timeLeft = v.timeLeft;
    s.prizeShown = v.prizeShown;
    s.prizeText = v.prizeShown >= 0 ? PrizeText(v.prizeShown) : nullptr;
    s.theme = EffectiveTheme(m_theme);
    s.gameInProgress = m_gameInProgress != 0;
    s.cursor = m_cursor.Position();
    s.background = &m_background;
    s.idle = &m_idle;
    s.icon = m_icon;
    return s;
}

void CGameDlg::OnPaint() { m_view.Paint(this, ViewState()); }

void CGameDlg::RedrawCell(Cell cell) { m_view.RedrawCell(this, ViewState(), cell); }

void CGameDlg::DrawLinkPath(const PathRecord& path, Cell first, Cell second) {
    m_view.DrawLinkPath(this, ViewState(), path, first, second);
}

HBRUSH CGameDlg::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor) {
    HBRUSH brush = CDialog::OnCtlColor(dc, wnd, ctlColor);
    switch (ctlColor) {
        case CTLCOLOR_DLG:
            dc->SetTextColor(RGB(255, 0, 0));
            dc->SetBkColor(RGB(0, 0, 0));
            return ControlBrushes().black.GetSafeHandle();
        case CTLCOLOR_STATIC:
            dc->SetBkColor(RGB(160, 180, 220));
            return ControlBrushes().black.GetSafeHandle();
        case CTLCOLOR_EDIT:
        case CTLCOLOR_LISTBOX:
        case CTLCOLOR_SCROLLBAR:
            dc->SetTextColor(RGB(0, 0, 0));
            dc->SetBkColor(RGB(233, 233, 220));
            return ControlBrushes().light.GetSafeHandle();
        default:
            return brush;
    }
}
