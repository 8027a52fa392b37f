// The keyboard's cursor on the board: one cell of the board region, shown or not. It moves over
// every cell of the region, tiles and empty cells alike, and stops at the region's edge. Hidden,
// it keeps its cell, so that the next arrow key shows it where it was; shifts and deals never
// move it.
#pragma once

#include "game/board/board.h"

class BoardCursor {
  public:
    bool Shown() const { return m_shown; }
    // The cell while shown; (-1, -1) while hidden.
    Cell Position() const { return m_shown ? m_cell : Cell{}; }

    // Shows the cursor on its last cell, or, when it has none on this board, on the first cell
    // in reading order (row by row, left to right) that holds a tile; on an empty board, on the
    // top-left cell.
    void Show(const CBoard& board);
    void Hide() { m_shown = false; }
    // Drops the last cell: a new game starts again from the first tile.
    void Forget();

    // One cell across (dx) or down (dy); at the edge of the board region it stays.
    void Move(const CBoard& board, int dx, int dy);
    // The first and the last cell of the cursor's row.
    void RowStart(const CBoard& board);
    void RowEnd(const CBoard& board);
    // Puts the cursor on `cell` (a cell of the board region).
    void MoveTo(const CBoard& board, Cell cell);

  private:
    Cell m_cell;  // (-1, -1) until the cursor is first shown
    bool m_shown = false;
};
