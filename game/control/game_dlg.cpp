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

const char* const kPrizeTexts[11] = {
    "不错，送您提示两点!",  "三奖，送您分数2500点!", "喔喔，倒扣提示一点!", "普奖,送您提示一点!",
    "安慰奖,送您时间七秒!", "普奖,送您分数1000点!",  "喔喔,倒扣时间七秒!",  "二奖，送您洗牌一点!",
    "头奖，送您洗牌二点!",  "特奖，送您洗牌四点!",   "头奖，送您提示四点!",
};

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

const char* PrizeText(int index) { return index >= 0 && index < 11 ? kPrizeTexts[index] : ""; }

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
    m_difficulty = Hard;
    m_level = 1;
    m_gameInProgress = 0;
    m_paused = 0;
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

    m_allClearedShown = 0;
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

    m_gameInProgress = 0;
    UpdateMenuState();
    SetTimer(TIMER_MUSIC, 1000, nullptr);

    m_countdownStopped = 1;
    m_timeLeft = -1;
    m_prizeShown = -1;
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

void CGameDlg::DealLevel() {
    m_board.Deal(m_difficulty, m_level, m_rng);
    char name[32];
    std::snprintf(name, sizeof name, "img\\%d%02d.jpg", m_difficulty, m_level);
    m_background.Load(name);
    m_prizeShown = -1;
    m_countdownStopped = 0;
    m_hidden = 0;
    m_timeLeft = 300;
}

void CGameDlg::LoadIdlePicture(int number) {
    char name[32];
    std::snprintf(name, sizeof name, "img\\z%d.jpg", number);
    m_idle.Load(name);
}

GameViewState CGameDlg::ViewState() const {
    GameViewState s;
    s.board = &m_board;
    s.difficulty = m_difficulty;
    s.level = m_level;
    s.score = m_score;
    s.hints = m_hints;
    s.reshuffles = m_reshuffles;
    s.timeLeft = m_timeLeft;
    s.prizeShown = m_prizeShown;
    s.prizeText = m_prizeShown >= 0 ? PrizeText(m_prizeShown) : nullptr;
    s.theme = EffectiveTheme(m_theme);
    s.gameInProgress = m_gameInProgress != 0;
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
