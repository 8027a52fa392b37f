// Keyboard play on the main window: the arrow keys show the board's cursor and move it, Home
// and End take it to the ends of its row, Space and Enter pick its cell as a left click does and
// Backspace cancels a single selection as the right button does. The cursor shows only during a
// running game that is neither paused nor hidden; the mouse, pausing, hiding and the end of a
// game take it away. While it is not shown, Space and Enter keep their hide command, so a player
// who never presses an arrow key meets the game as before.
#include "game/control/game_dlg.h"

bool CGameDlg::KeyboardPlayKey(UINT key) {
    if (!m_gameInProgress || m_paused || m_hidden) return false;
    const bool arrow = key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
    if (!m_cursor.Shown()) {
        // The first arrow key only shows the cursor, where it was last or on the first tile.
        if (!arrow) return false;
        m_cursor.Show(m_board);
        UpdateCursor();
        return true;
    }
    switch (key) {
        case VK_LEFT:
            m_cursor.Move(m_board, -1, 0);
            break;
        case VK_RIGHT:
            m_cursor.Move(m_board, 1, 0);
            break;
        case VK_UP:
            m_cursor.Move(m_board, 0, -1);
            break;
        case VK_DOWN:
            m_cursor.Move(m_board, 0, 1);
            break;
        case VK_HOME:
            m_cursor.RowStart(m_board);
            break;
        case VK_END:
            m_cursor.RowEnd(m_board);
            break;
        case VK_SPACE:
        case VK_RETURN:
            if (m_board.GetSelection().count < 2) PickCell(m_cursor.Position());
            return true;
        case VK_BACK:
            CancelPick();
            return true;
        default:
            return false;
    }
    UpdateCursor();
    return true;
}

void CGameDlg::OnMouseMove(UINT flags, CPoint point) {
    // Only a pointer that really moved, and over the board, takes the cursor away: a move
    // reported where the pointer already was (a window that appeared under it) does not.
    const bool moved = point != m_lastMouse;
    m_lastMouse = point;
    if (moved && m_cursor.Shown()) {
        const DifficultyInfo& g = GetDifficultyInfo(m_board.GetDifficulty());
        const Rect first = m_board.CellRect(2, 2);
        const Rect last = m_board.CellRect(g.width + 1, g.height + 1);
        if (point.x >= first.left && point.x < last.right && point.y >= first.top &&
            point.y < last.bottom)
            HideCursor();
    }
    CDialog::OnMouseMove(flags, point);
}

void CGameDlg::HideCursor() {
    if (!m_cursor.Shown()) return;
    m_cursor.Hide();
    UpdateCursor();
}

void CGameDlg::UpdateCursor() { m_view.UpdateCursor(this, ViewState()); }
