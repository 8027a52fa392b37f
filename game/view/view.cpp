#include "game/view/view.h"

#include <algorithm>
#include <cstdio>

#include "game/board/shift.h"
#include "game/res/data_layout.h"
#include "game/res/resource_ids.h"
#include "platform/afx/afxwin.h"

namespace {

// The top-left corner of a cell's tile, and its centre (where the link path runs).
CPoint TileOrigin(int difficulty, int x, int y) {
    const Rect r = CellRect(difficulty, x, y);
    return CPoint(r.left, r.top);
}

CPoint TileCentre(int difficulty, int x, int y) {
    const Point p = CellCentre(difficulty, x, y);
    return CPoint(p.x, p.y);
}

}  // namespace

CRect TimeBarCut(int timeLeft) {
    const int end = std::min(kTimeBarLeft + timeLeft, kTimeBarRight);
    return CRect(end + 1, kTimeBarTop, kTimeBarRight + 1, kTimeBarBottom);
}

CRect TimeBarWhole() { return CRect(kTimeBarLeft, kTimeBarTop, kTimeBarRight + 1, kTimeBarBottom); }

int TileLook(const CBoard& board, int x, int y) {
    const HintPair& h = board.Hint();
    if ((h.x1 == x && h.y1 == y) || (h.x2 == x && h.y2 == y)) return 2;
    return board.Mark(x, y) ? 1 : 0;
}

CGameView::CGameView() {
    m_pathPen.CreatePen(PS_SOLID, 6, RGB(255, 128, 0));
    m_framePen.CreatePen(PS_SOLID, 1, RGB(0, 255, 255));
    m_barPen.CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    m_frameBrush.CreateSolidBrush(RGB(0, 0, 0));
    m_barBrush.CreateSolidBrush(RGB(255, 0, 0));
}

CGameView::~CGameView() {
    if (m_backOld) m_backDC.SelectObject(m_backOld);
    if (m_workOld) m_workDC.SelectObject(m_workOld);
    if (m_underOld) m_underDC.SelectObject(m_underOld);
}

BOOL CGameView::Init(CWnd* wnd) {
    const bool artwork = m_tiles.LoadBitmap(IDB_TILES) && m_selectOverlay.LoadBitmap(IDB_SELECT) &&
                         m_frames.LoadBitmap(IDB_FRAMES) && m_hintOverlay.LoadBitmap(IDB_HINT);
    m_workDC.CreateCompatibleDC(nullptr);
    m_backDC.CreateCompatibleDC(nullptr);
    if (wnd) {
        CClientDC dc(wnd);
        m_backBitmap.CreateCompatibleBitmap(&dc, kBackWidth, kBackHeight);
    } else {
        m_backBitmap.CreateCompatibleBitmap(nullptr, kBackWidth, kBackHeight);
    }
    m_backOld = m_backDC.SelectObject(&m_backBitmap);
    m_underDC.CreateCompatibleDC(nullptr);
    m_underBitmap.CreateCompatibleBitmap(nullptr, kFaceWidth, kFaceHeight);
    m_underOld = m_underDC.SelectObject(&m_underBitmap);
    m_backDC.SetBkMode(TRANSPARENT);
    m_backDC.SetTextColor(RGB(0, 255, 0));
    return artwork ? TRUE : FALSE;
}

void CGameView::DrawTile(int x, int y, int code, int frameStyle, int look, int theme) {
    // The frame: its mask cuts the two bevel corners, then the coloured block goes on.
    CBitmap* old = m_workDC.SelectObject(&m_frames);
    if (!m_workOld) m_workOld = old;
    m_backDC.BitBlt(x, y, kTileWidth, kTileHeight, &m_workDC, 0, 0, SRCAND);
    m_backDC.BitBlt(x, y, kTileWidth, kTileHeight, &m_workDC, 0, kTileHeight * frameStyle,
                    SRCPAINT);
    // Only the frame is tinted: the picture goes on top afterwards.
    if (look == 2 || look == 1) {
        m_workDC.SelectObject(look == 2 ? &m_hintOverlay : &m_selectOverlay);
        m_backDC.BitBlt(x, y, kOverlayDrawnWidth, kOverlayHeight, &m_workDC, 0, 0, SRCAND);
    }
    m_workDC.SelectObject(&m_tiles);
    const int row = kSheetCell * (code - 1);
    const int px = x + kPictureLeft, py = y + kPictureTop;
    m_backDC.BitBlt(px, py, kSheetCell, kSheetCell, &m_workDC, kSheetBand * theme + kSheetCell, row,
                    SRCAND);
    m_backDC.BitBlt(px, py, kSheetCell, kSheetCell, &m_workDC, kSheetBand * theme, row, SRCPAINT);
}

void CGameView::DrawBoard(CDC* target, const GameViewState& s) {
    const DifficultyInfo& g = GetDifficultyInfo(s.Difficulty());
    if (s.background)
        s.background->Draw(target, g.originX + 6, g.originY + 6, g.width * kFaceWidth,
                           g.height * kFaceHeight);
    if (!s.board) return;
    const CBoard& b = *s.board;
    // Column-major, top to bottom: each tile's bevel is overdrawn by the face of the tile to
    // its right and of the tile below it.
    for (int x = 2; x <= g.width + 1; ++x) {
        for (int y = 2; y <= g.height + 1; ++y) {
            const TileCode code = b.At(x, y);
            if (code <= 0) continue;
            const CPoint p = TileOrigin(s.Difficulty(), x, y);
            DrawTile(p.x, p.y, code, b.FrameStyle(), TileLook(b, x, y), s.theme);
        }
    }
}

void CGameView::PaintGame(CDC* dc, const GameViewState& s, const RECT& client) {
    const int w = client.right - client.left, h = client.bottom - client.top;
    CRect all(0, 0, w, h);
    m_backDC.FillSolidRect(&all, RGB(0, 0, 0));
    DrawBoard(&m_backDC, s);

    m_backDC.SetTextColor(RGB(255, 255, 0));
    m_backDC.TextOut(0, 0, "难度:");
    m_backDC.TextOut(564, 0, "生命:");
    m_backDC.TextOut(88, 0, "关卡:");
    m_backDC.TextOut(628, 0, "提示:");
    m_backDC.TextOut(692, 0, "得分:");
    if (s.prizeShown >= 0 && s.prizeText) {
        m_backDC.SetTextColor(RGB(255, 0, 255));
        CRect line(0, 18, 780, 36);
        m_backDC.DrawText(s.prizeText, -1, &line, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    char number[16];
    m_backDC.SetTextColor(RGB(0, 255, 0));
    std::snprintf(number, sizeof number, "%d", s.reshuffles);
    m_backDC.TextOut(602, 0, number);
    std::snprintf(number, sizeof number, "%d", s.hints);
    m_backDC.TextOut(664, 0, number);
    std::snprintf(number, sizeof number, "%d", s.score);
    m_backDC.TextOut(732, 0, number);
    m_backDC.SetTextColor(RGB(128, 128, 255));
    // The panel shows the level's number less one: 0 for the first level, 10 for the last.
    std::snprintf(number, sizeof number, "%d", ShownLevelNumber(s.Level()));
    m_backDC.TextOut(128, 0, number);
    m_backDC.TextOut(40, 0, GetDifficultyInfo(s.Difficulty()).numeral);
    m_backDC.TextOut(160, 0, ShiftModeName(s.Level()));

    CPen* oldPen = m_backDC.SelectObject(&m_framePen);
    CBrush* oldBrush = m_backDC.SelectObject(&m_frameBrush);
    m_backDC.Rectangle(kTimeBarLeft - 2, kTimeBarTop - 2, kTimeBarRight + 2, kTimeBarBottom + 2);
    m_backDC.SelectObject(&m_barPen);
    m_backDC.SelectObject(&m_barBrush);
    if (s.timeLeft > 0)
        m_backDC.Rectangle(kTimeBarLeft, kTimeBarTop,
                           std::min(kTimeBarLeft + s.timeLeft, kTimeBarRight), kTimeBarBottom);
    m_backDC.SelectObject(oldPen);
    m_backDC.SelectObject(oldBrush);

    dc->BitBlt(0, 0, w, h, &m_backDC, 0, 0, SRCCOPY);
    m_cursorDrawn = false;  // the whole picture is new: nothing to put back
    UpdateCursor(dc, s);
}

void CGameView::RedrawCell(CDC* dc, const GameViewState& s, Cell cell) {
    if (!s.board) return;
    const CBoard& b = *s.board;
    const TileCode code = b.At(cell);
    if (code <= 0) return;
    const CPoint p = TileOrigin(s.Difficulty(), cell.x, cell.y);
    DrawTile(p.x, p.y, code, b.FrameStyle(), TileLook(b, cell.x, cell.y), s.theme);
    // Only the face reaches the window; the bevel painted over the neighbours stays in the
    // back buffer until the next full repaint.
    dc->BitBlt(p.x, p.y, kFaceWidth, kFaceHeight, &m_backDC, p.x, p.y, SRCCOPY);
    // A new face under the cursor: the frame goes on again over it.
    if (m_cursorDrawn && m_cursorAt == p) {
        m_cursorDrawn = false;
        UpdateCursor(dc, s);
    }
}

void CGameView::DrawLinkPath(CDC* dc, const GameViewState& s, const PathRecord& path, Cell first,
                             Cell second) {
    CPen* old = dc->SelectObject(&m_pathPen);
    dc->MoveTo(TileCentre(s.Difficulty(), first.x, first.y));
    for (int i = 0; i < path.bends && i < 2; ++i)
        dc->LineTo(TileCentre(s.Difficulty(), path.corners[i].x, path.corners[i].y));
    dc->LineTo(TileCentre(s.Difficulty(), second.x, second.y));
    dc->SelectObject(old);
}

void CGameView::Paint(CWnd* wnd, const GameViewState& s) {
    CPaintDC dc(wnd);
    CRect client;
    wnd->GetClientRect(&client);
    m_cursorDrawn = false;
    if (wnd->IsIconic()) {
        wnd->SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
        if (s.icon) {
            const int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
            dc.DrawIcon((client.Width() - cx + 1) / 2, (client.Height() - cy + 1) / 2, s.icon);
        }
        return;
    }
    if (s.gameInProgress) {
        PaintGame(&dc, s, client);
    } else if (s.idle) {
        // Nothing else: where the picture does not reach, the dialog background stays.
        s.idle->Draw(&dc, 0, 0, s.idle->Width(), s.idle->Height());
    }
}

void CGameView::RedrawCell(CWnd* wnd, const GameViewState& s, Cell cell) {
    if (!s.board || s.board->At(cell) <= 0) return;
    CClientDC dc(wnd);
    RedrawCell(&dc, s, cell);
}

void CGameView::DrawLinkPath(CWnd* wnd, const GameViewState& s, const PathRecord& path, Cell first,
                             Cell second) {
    CClientDC dc(wnd);
    DrawLinkPath(&dc, s, path, first, second);
}
