// Minimal drawing of the main window, used until the full view module is linked in: pictures
// are only traced, tiles and the status panel are composed as the window shows them.
#pragma once

#include <string>

#include "game/board/board.h"
#include "platform/afx/afxwin.h"

class CPicture {
  public:
    // Loads a picture by the program's name for it ("img\101.jpg"); reported to the trace.
    BOOL Load(const char* name);
    void Draw(CDC* dc, int x, int y, int width, int height) const;
    const std::string& Name() const { return m_name; }

  private:
    std::string m_name;
};

struct GameViewState {
    const CBoard* board = nullptr;
    int difficulty = 3;
    int level = 1;
    int score = 0;
    int hints = 0;
    int reshuffles = 0;
    int timeLeft = -1;
    int prizeShown = -1;
    int theme = 0;
    bool gameInProgress = false;
    const CPicture* background = nullptr;
    const CPicture* idle = nullptr;
    HICON icon = nullptr;
};

class CGameView {
  public:
    // Loads the artwork and creates the drawing surfaces for the window.
    void Init(CWnd* wnd);
    // WM_PAINT: the icon while minimised, else the game or the idle picture.
    void Paint(CWnd* wnd, const GameViewState& s);
    void RedrawCell(CWnd* wnd, const GameViewState& s, Cell cell);
    void DrawLinkPath(CWnd* wnd, const GameViewState& s, const PathRecord& path, Cell first,
                      Cell second);

  private:
    void DrawTile(int x, int y, int code, int frameStyle, int look, int theme);
    void PaintGame(CDC* dc, const GameViewState& s, const RECT& client);

    CDC m_workDC;
    CDC m_backDC;
    CBitmap m_backBitmap;
    CBitmap m_tiles, m_selectOverlay, m_frames, m_hintOverlay;
    CPen m_pathPen{PS_SOLID, 6, RGB(255, 128, 0)};
    CPen m_framePen{PS_SOLID, 1, RGB(0, 255, 255)};
    CPen m_barPen{PS_SOLID, 1, RGB(255, 0, 0)};
    CBrush m_frameBrush{RGB(0, 0, 0)};
    CBrush m_barBrush{RGB(255, 0, 0)};
};
