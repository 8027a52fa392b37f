#include "game/control/view_stand_in.h"

#include <algorithm>
#include <cstdio>

#include "game/control/game_dlg.h"
#include "game/res/resource_ids.h"
#include "platform/seams/seams.h"

BOOL CPicture::Load(const char* name) {
    seams::Trace("picture", {{"file", name}});
    m_name = name;
    return TRUE;
}

void CPicture::Draw(CDC*, int, int, int, int) const {}

void CGameView::Init(CWnd* wnd) {
    m_tiles.LoadBitmap(IDB_TILES);
    m_selectOverlay.LoadBitmap(IDB_SELECT);
    m_frames.LoadBitmap(IDB_FRAMES);
    m_hintOverlay.LoadBitmap(IDB_HINT);
    m_workDC.CreateCompatibleDC(nullptr);
    m_backDC.CreateCompatibleDC(nullptr);
    {
        CClientDC dc(wnd);
        m_backBitmap.CreateCompatibleBitmap(&dc, 860, 738);
    }
    m_backDC.SelectObject(&m_backBitmap);
    m_backDC.SetBkMode(TRANSPARENT);
    m_backDC.SetTextColor(RGB(0, 255, 0));
}

void CGameView::DrawTile(int x, int y, int code, int frameStyle, int look, int theme) {
    if (theme < 0 || theme > 2) theme = 0;
    m_workDC.SelectObject(&m_frames);
    m_backDC.BitBlt(x, y, 46, 56, &m_workDC, 0, 0, SRCAND);
    m_backDC.BitBlt(x, y, 46, 56, &m_workDC, 0, 56 * frameStyle, SRCPAINT);
    if (look == 2 || look == 1) {
        m_workDC.SelectObject(look == 2 ? &m_hintOverlay : &m_selectOverlay);
        m_backDC.BitBlt(x, y, 41, 50, &m_workDC, 0, 0, SRCAND);
    }
    m_workDC.SelectObject(&m_tiles);
    m_backDC.BitBlt(x + 1, y + 5, 39, 39, &m_workDC, 78 * theme + 39, 39 * (code - 1), SRCAND);
    m_backDC.BitBlt(x + 1, y + 5, 39, 39, &m_workDC, 78 * theme, 39 * (code - 1), SRCPAINT);
}

namespace {

int TileLook(const CBoard& board, int x, int y) {
    const HintPair& h = board.Hint();
    if ((h.x1 == x && h.y1 == y) || (h.x2 == x && h.y2 == y)) return 2;
    return board.Mark(x, y);
}

}  // namespace

void CGameView::PaintGame(CDC* dc, const GameViewState& s, const RECT& client) {
    const int w = client.right, h = client.bottom;
    CRect all(0, 0, w, h);
    m_backDC.FillSolidRect(&all, RGB(0, 0, 0));
    const DifficultyInfo& g = GetDifficultyInfo(s.difficulty);
    if (s.background)
        s.background->Draw(&m_backDC, g.originX + 6, g.originY + 6, g.width * 40, g.height * 50);
    const CBoard& b = *s.board;
    for (int x = 2; x <= g.width + 1; ++x)
        for (int y = 2; y <= g.height + 1; ++y)
            if (b.At(x, y) > 0) {
                const Rect r = b.CellRect(x, y);
                DrawTile(r.left, r.top, b.At(x, y), b.FrameStyle(), TileLook(b, x, y), s.theme);
            }
    char num[32];
    m_backDC.SetTextColor(RGB(255, 255, 0));
    m_backDC.TextOut(0, 0, "难度:");
    m_backDC.TextOut(564, 0, "生命:");
    m_backDC.TextOut(88, 0, "关卡:");
    m_backDC.TextOut(628, 0, "提示:");
    m_backDC.TextOut(692, 0, "得分:");
    if (s.prizeShown >= 0) {
        m_backDC.SetTextColor(RGB(255, 0, 255));
        CRect line(0, 18, 780, 36);
        m_backDC.DrawText(PrizeText(s.prizeShown), -1, &line,
                          DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    m_backDC.SetTextColor(RGB(0, 255, 0));
    std::snprintf(num, sizeof num, "%d", s.reshuffles);
    m_backDC.TextOut(602, 0, num);
    std::snprintf(num, sizeof num, "%d", s.hints);
    m_backDC.TextOut(664, 0, num);
    std::snprintf(num, sizeof num, "%d", s.score);
    m_backDC.TextOut(732, 0, num);
    m_backDC.SetTextColor(RGB(128, 128, 255));
    std::snprintf(num, sizeof num, "%d", s.level - 1);
    m_backDC.TextOut(128, 0, num);
    m_backDC.TextOut(40, 0, DifficultyNumeral(s.difficulty));
    m_backDC.TextOut(160, 0, ShiftModeName(s.level));
    CPen* oldPen = m_backDC.SelectObject(&m_framePen);
    CBrush* oldBrush = m_backDC.SelectObject(&m_frameBrush);
    m_backDC.Rectangle(248, 0, 552, 18);
    m_backDC.SelectObject(&m_barPen);
    m_backDC.SelectObject(&m_barBrush);
    if (s.timeLeft > 0) m_backDC.Rectangle(250, 2, std::min(250 + s.timeLeft, 550), 16);
    m_backDC.SelectObject(oldPen);
    m_backDC.SelectObject(oldBrush);
    dc->BitBlt(0, 0, w, h, &m_backDC, 0, 0, SRCCOPY);
}

void CGameView::Paint(CWnd* wnd, const GameViewState& s) {
    CPaintDC dc(wnd);
    CRect client;
    wnd->GetClientRect(&client);
    if (wnd->IsIconic()) {
        if (s.icon) {
            const int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
            dc.DrawIcon((client.Width() - cx + 1) / 2, (client.Height() - cy + 1) / 2, s.icon);
        }
        return;
    }
    if (s.gameInProgress && s.board) {
        PaintGame(&dc, s, client);
    } else if (s.idle) {
        s.idle->Draw(&dc, 0, 0, 800, 575);
    }
}

void CGameView::RedrawCell(CWnd* wnd, const GameViewState& s, Cell cell) {
    const CBoard& b = *s.board;
    if (b.At(cell) <= 0) return;
    const Rect r = b.CellRect(cell.x, cell.y);
    DrawTile(r.left, r.top, b.At(cell), b.FrameStyle(), TileLook(b, cell.x, cell.y), s.theme);
    CClientDC dc(wnd);
    dc.BitBlt(r.left, r.top, 40, 50, &m_backDC, r.left, r.top, SRCCOPY);
}

void CGameView::DrawLinkPath(CWnd* wnd, const GameViewState& s, const PathRecord& path, Cell first,
                             Cell second) {
    const CBoard& b = *s.board;
    CClientDC dc(wnd);
    CPen* old = dc.SelectObject(&m_pathPen);
    const Point p0 = b.CellCentre(first.x, first.y);
    dc.MoveTo(p0.x, p0.y);
    for (int i = 0; i < path.bends && i < 2; ++i) {
        const Point c = b.CellCentre(path.corners[i].x, path.corners[i].y);
        dc.LineTo(c.x, c.y);
    }
    const Point p1 = b.CellCentre(second.x, second.y);
    dc.LineTo(p1.x, p1.y);
    dc.SelectObject(old);
}
