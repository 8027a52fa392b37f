// The drawing of the main window: tiles on their backgrounds, the link path, the status panel
// with its time bar, the idle picture and the minimised icon. The window owns one CGameView
// (the drawing objects live as long as the window) and hands it a read-only view of its state
// at every call.
#pragma once

#include "game/board/board.h"
#include "game/view/picture.h"
#include "platform/gdi/gdi.h"

class CWnd;

// What the drawing reads from the window, filled in at each call.
struct GameViewState {
    const CBoard* board = nullptr;  // with the difficulty and level to draw
    int score = 0;
    int hints = 0;
    int reshuffles = 0;
    int timeLeft = -1;                // bar length in pixels, capped at 300
    int prizeShown = -1;              // -1 none, else the prize index
    const char* prizeText = nullptr;  // the text of prizeShown (UTF-8)
    int theme = 0;                    // 0..2: band of the tile sheet
    bool gameInProgress = false;
    Cell cursor;                           // the keyboard's cursor; (-1, -1) while it is not shown
    const CPicture* background = nullptr;  // the level background
    const CPicture* idle = nullptr;        // the idle picture
    HICON icon = nullptr;                  // drawn while minimised

    // The board's difficulty and level; without a board, Easy and level 1.
    int Difficulty() const { return board ? board->GetDifficulty() : Easy; }
    int Level() const { return board ? board->GetLevel() : 1; }
};

// The status panel's time bar: a pixel a second of time left, from x = 250, at most 300 wide,
// rows 2 to 15. The countdown blackens the strip right of the bar's new end each second, and
// the whole bar at time-up, straight on the screen; the panel draws it whole with each frame.
constexpr int kTimeBarLeft = 250;
constexpr int kTimeBarRight = 550;
constexpr int kTimeBarTop = 2;
constexpr int kTimeBarBottom = 16;
CRect TimeBarCut(int timeLeft);
CRect TimeBarWhole();

// 0 plain, 1 selected, 2 hinted; the hint wins over the selection.
int TileLook(const CBoard& board, int x, int y);

class CGameView {
  public:
    static constexpr int kBackWidth = 860;
    static constexpr int kBackHeight = 738;
    // A tile's face fills its cell; its bevel, right of the face and below it, lies under the
    // faces of its neighbours.
    static constexpr int kFaceWidth = kCellWidth;
    static constexpr int kFaceHeight = kCellHeight;

    CGameView();
    ~CGameView();

    // Loads the artwork (resources 129 to 132) and creates the work DC and the back buffer
    // (860 x 738, compatible with the window's DC; transparent text background, text colour
    // RGB(0,255,0)). `wnd` may be nullptr (a screen-compatible back buffer). False when the
    // artwork is missing: drawing then shows black where tiles would be.
    BOOL Init(CWnd* wnd);

    // WM_PAINT: the icon while minimised; otherwise the game, or the idle picture while no
    // game runs.
    void Paint(CWnd* wnd, const GameViewState& s);
    // Recomposes one tile in the back buffer and copies its 40 x 50 face to the window.
    void RedrawCell(CWnd* wnd, const GameViewState& s, Cell cell);
    // Draws the path of the pair on the window (not the back buffer).
    void DrawLinkPath(CWnd* wnd, const GameViewState& s, const PathRecord& path, Cell first,
                      Cell second);
    // Brings the keyboard's cursor on the window in step with `s.cursor`: puts back what the
    // frame covered where it was drawn and draws it on its new cell.
    void UpdateCursor(CWnd* wnd, const GameViewState& s);

    // The same operations on any DC (the window's, or a test's).
    void PaintGame(CDC* dc, const GameViewState& s, const RECT& client);
    void RedrawCell(CDC* dc, const GameViewState& s, Cell cell);
    void DrawLinkPath(CDC* dc, const GameViewState& s, const PathRecord& path, Cell first,
                      Cell second);
    // The cursor's frame lies on the window only, over the finished picture, inside the 40 x 50
    // face of its cell; the pixels it covers are kept and put back exactly when it leaves, so
    // the back buffer never holds it.
    void UpdateCursor(CDC* dc, const GameViewState& s);
    // The frame itself with the face's top-left corner at (x, y).
    static void DrawCursorFrame(CDC* dc, int x, int y);
    // Background into `target`, then every tile into the back buffer.
    void DrawBoard(CDC* target, const GameViewState& s);
    // One tile into the back buffer with its top-left corner at (x, y).
    void DrawTile(int x, int y, int code, int frameStyle, int look, int theme);

    CDC& BackBuffer() { return m_backDC; }

  private:
    CDC m_workDC;
    CDC m_backDC;
    CBitmap m_backBitmap;
    CBitmap* m_backOld = nullptr;
    CBitmap* m_workOld = nullptr;
    CBitmap m_tiles;          // 129
    CBitmap m_selectOverlay;  // 130
    CBitmap m_frames;         // 131
    CBitmap m_hintOverlay;    // 132
    CDC m_underDC;            // what the cursor's frame covers on the window
    CBitmap m_underBitmap;
    CBitmap* m_underOld = nullptr;
    bool m_cursorDrawn = false;
    CPoint m_cursorAt;  // the face the frame is drawn on
    CPen m_pathPen;
    CPen m_framePen;
    CPen m_barPen;
    CBrush m_frameBrush;
    CBrush m_barBrush;
};
