// The keyboard's cursor on the window: a frame of five rings on the face of one cell, dark
// outside and inside with three bright rings between them, so that it stands out on every frame
// colour, theme and background picture, unlike the selection and the hint, which only darken or
// tint a tile's frame.
#include "game/view/view.h"
#include "platform/afx/afxwin.h"

namespace {

// From the face's edge inwards, one pixel each.
constexpr COLORREF kRings[] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 255, 255),
                               RGB(255, 255, 255), RGB(0, 0, 0)};

}  // namespace

void CGameView::DrawCursorFrame(CDC* dc, int x, int y) {
    int inset = 0;
    for (COLORREF c : kRings) {
        const int l = x + inset, t = y + inset;
        const int w = kFaceWidth - 2 * inset, h = kFaceHeight - 2 * inset;
        dc->FillSolidRect(l, t, w, 1, c);
        dc->FillSolidRect(l, t + h - 1, w, 1, c);
        dc->FillSolidRect(l, t + 1, 1, h - 2, c);
        dc->FillSolidRect(l + w - 1, t + 1, 1, h - 2, c);
        ++inset;
    }
}

void CGameView::UpdateCursor(CDC* dc, const GameViewState& s) {
    const bool wanted = s.gameInProgress && s.cursor.x >= 0;
    const Rect face = wanted ? CellRect(s.Difficulty(), s.cursor.x, s.cursor.y) : Rect{};
    const CPoint at(face.left, face.top);
    if (m_cursorDrawn && wanted && at == m_cursorAt) return;
    if (m_cursorDrawn)
        dc->BitBlt(m_cursorAt.x, m_cursorAt.y, kFaceWidth, kFaceHeight, &m_underDC, 0, 0, SRCCOPY);
    m_cursorDrawn = false;
    if (!wanted) return;
    m_underDC.BitBlt(0, 0, kFaceWidth, kFaceHeight, dc, at.x, at.y, SRCCOPY);
    DrawCursorFrame(dc, at.x, at.y);
    m_cursorAt = at;
    m_cursorDrawn = true;
}

void CGameView::UpdateCursor(CWnd* wnd, const GameViewState& s) {
    if (wnd->IsIconic()) return;
    CClientDC dc(wnd);
    UpdateCursor(&dc, s);
}
