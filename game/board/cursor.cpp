#include "game/board/cursor.h"

#include <algorithm>

namespace {

// The board region: columns 2..width+1, rows 2..height+1.
Cell Clamp(const CBoard& board, Cell c) {
    const DifficultyInfo& g = GetDifficultyInfo(board.GetDifficulty());
    return Cell{std::clamp(c.x, 2, g.width + 1), std::clamp(c.y, 2, g.height + 1)};
}

bool InRegion(const CBoard& board, Cell c) { return c.x >= 0 && Clamp(board, c) == c; }

}  // namespace

void BoardCursor::Show(const CBoard& board) {
    m_shown = true;
    if (InRegion(board, m_cell)) return;
    const DifficultyInfo& g = GetDifficultyInfo(board.GetDifficulty());
    m_cell = Cell{2, 2};
    for (int y = 2; y <= g.height + 1; ++y) {
        for (int x = 2; x <= g.width + 1; ++x) {
            if (board.At(x, y) > 0) {
                m_cell = Cell{x, y};
                return;
            }
        }
    }
}

void BoardCursor::Forget() {
    m_cell = Cell{};
    m_shown = false;
}

void BoardCursor::Move(const CBoard& board, int dx, int dy) {
    m_cell = Clamp(board, Cell{m_cell.x + dx, m_cell.y + dy});
}

void BoardCursor::RowStart(const CBoard& board) { m_cell = Clamp(board, Cell{2, m_cell.y}); }

void BoardCursor::RowEnd(const CBoard& board) { m_cell = Clamp(board, Cell{kGridWidth, m_cell.y}); }

void BoardCursor::MoveTo(const CBoard& board, Cell cell) { m_cell = Clamp(board, cell); }
