// The main window: owns every piece of game state and runs the game inside its message
// handlers. The board and its rules live in CBoard, the values around it (score, stocks,
// countdown, prizes) in GameRules, the drawing in game/view; the handlers turn what those
// report into sounds, message boxes, timers and drawing.
#pragma once

#include "game/board/board.h"
#include "game/board/cursor.h"
#include "game/control/game_rules.h"
#include "game/view/view.h"
#include "platform/afx/afxwin.h"

// The program's one random generator behind the board's random source.
class CrtRandomSource : public RandomSource {
  public:
    int Rand() override;
};

// Window placement of the 800 x 575 main window on a screen of the given size.
CPoint MainWindowPosition(int screenWidth, int screenHeight);

class CGameDlg : public CDialog {
  public:
    explicit CGameDlg(CWnd* parent = nullptr);
    ~CGameDlg() override;

    // Read access for the scripted driver and the tests.
    const CBoard& Board() const { return m_board; }
    const GameRules& Rules() const { return m_rules; }
    int Difficulty() const { return m_board.GetDifficulty(); }
    int Level() const { return m_board.GetLevel(); }
    int Score() const { return m_rules.Values().score; }
    int Hints() const { return m_rules.Values().hints; }
    int Reshuffles() const { return m_rules.Values().reshuffles; }
    int TimeLeft() const { return m_rules.Values().timeLeft; }
    bool GameInProgress() const { return m_gameInProgress != 0; }
    bool CountdownStopped() const { return m_rules.Values().countdownStopped != 0; }
    bool Paused() const { return m_paused != 0; }
    bool Hidden() const { return m_hidden != 0; }
    int PrizeShown() const { return m_rules.Values().prizeShown; }
    int Theme() const { return m_theme; }
    bool SoundOn() const { return m_sound != 0; }
    bool MusicOn() const { return m_music != 0; }
    bool AllClearedShown() const { return m_allClearedShown != 0; }
    Cell Cursor() const { return m_cursor.Position(); }  // (-1, -1) while not shown

  protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL PreTranslateMessage(MSG* msg) override;

    void OnSysCommand(UINT id, LPARAM lParam) override;
    void OnPaint() override;
    void OnTimer(UINT_PTR id) override;
    void OnDestroy() override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnRButtonDown(UINT flags, CPoint point) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    BOOL OnHelpInfo(HELPINFO* info) override;
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor) override;

    // Commands.
    void OnGameEasy();
    void OnGameNormal();
    void OnGameHard();
    void OnGameSuper();
    void OnGameGiveUp();
    void OnGameExit();
    void OnOptionHint();
    void OnOptionReshuffle();
    void OnOptionPause();
    void OnThemeSea();
    void OnThemeFlowers();
    void OnThemeBeasts();
    void OnOptionMusic();
    void OnOptionSound();
    void OnOptionRank();
    void OnHelpRules();
    void OnHelpAbout();

    DECLARE_MESSAGE_MAP()

  private:
    friend struct GameDlgTestAccess;  // tests set up positions: a board, the rules' values

    void NewGame(int difficulty);
    void GiveUp();
    void Hide();
    void SetTheme(int theme);
    void UpdateMenuState();
    void DealLevel(int difficulty, int level);

    // The player's move on a cell, from a left click or the keyboard's cursor; and the cancel
    // of a single selection, from the right button or Backspace.
    void PickCell(Cell cell);
    void CancelPick();

    // Keyboard play: the cursor keys, and Space, Enter and Backspace while the cursor is shown.
    // True when the key was taken for it.
    bool KeyboardPlayKey(UINT key);
    void HideCursor();
    void UpdateCursor();  // the window's frame follows the cursor

    void LevelCleared();
    void ShowAdvert(const CString& caption, const CString& address);
    void GameLost();
    void DrawPrize();
    void CountdownTick();
    void ClearPrize();
    void RecordHighScore();

    void RedrawCell(Cell cell);
    void DrawLinkPath(const PathRecord& path, Cell first, Cell second);
    void LoadIdlePicture(int number);

    GameViewState ViewState() const;

    int m_paused = 0;
    int m_theme = 0;
    int m_allClearedShown = 0;
    CPicture m_background;
    CPicture m_idle;
    int m_hidden = 0;
    int m_music = 0;
    int m_sound = 1;
    int m_gameInProgress = 0;
    CBoard m_board;  // its difficulty and level are the game's
    GameRules m_rules;
    CGameView m_view;  // drawing objects: work DC, back buffer, artwork, pens and brushes
    HICON m_icon = nullptr;
    CrtRandomSource m_rng;
    BoardCursor m_cursor;
    CPoint m_lastMouse{-1, -1};  // where the last mouse message found the pointer
};
