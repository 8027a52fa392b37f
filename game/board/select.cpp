// The board's half of the player's move: a left click selects, unselects or judges a pair; a
// linked pair is removed by a second call once the window has shown its path.
#include "game/board/board.h"

ClickRecord CBoard::LeftClick(Cell cell) {
    ClickRecord record;
    record.cell = cell;
    if (m_selection.count >= 2) return record;
    if (At(cell) <= 0) return record;

    m_hint = HintPair{};

    int& mark = m_marks[cell.x][cell.y];
    if (mark == 1) {
        mark = 0;
        if (m_selection.count > 0) --m_selection.count;
        if (m_selection.count == 0) {
            m_selection.cells[0] = Cell{};
        }
        m_selection.cells[1] = Cell{};
        record.outcome = ClickOutcome::Unselected;
        return record;
    }

    mark = 1;
    m_selection.cells[m_selection.count] = cell;
    ++m_selection.count;
    if (m_selection.count == 1) {
        record.outcome = ClickOutcome::FirstSelected;
        return record;
    }

    const Cell first = m_selection.cells[0];
    const Cell second = m_selection.cells[1];
    record.first = first;
    record.second = second;
    if (CanLink(first, second)) {
        record.outcome = ClickOutcome::Linked;
        record.path = m_path;
        return record;
    }
    record.outcome =
        At(first) == At(second) ? ClickOutcome::NoPath : ClickOutcome::DifferentPictures;
    m_marks[first.x][first.y] = 0;
    m_marks[second.x][second.y] = 0;
    m_selection = Selection{};
    return record;
}

RemovalRecord CBoard::RemoveSelectedPair() {
    RemovalRecord record;
    if (m_selection.count != 2) return record;
    const Cell first = m_selection.cells[0];
    const Cell second = m_selection.cells[1];
    record.first = first;
    record.second = second;
    record.code = At(first);

    m_grid[first.x][first.y] = EMPTY;
    m_grid[second.x][second.y] = EMPTY;
    record.shift = ShiftAfterRemoval(first, second);
    m_marks[first.x][first.y] = 0;
    m_marks[second.x][second.y] = 0;
    m_selection = Selection{};

    HintPair pair;
    if (FindMovablePair(pair))
        record.outcome = RemovalOutcome::PairLeft;
    else if (IsCleared())
        record.outcome = RemovalOutcome::Cleared;
    else
        record.outcome = RemovalOutcome::Dead;
    return record;
}

bool CBoard::CancelSelection(Cell* cancelled) {
    if (m_selection.count != 1) return false;
    const Cell first = m_selection.cells[0];
    m_marks[first.x][first.y] = 0;
    m_selection = Selection{};
    if (cancelled != nullptr) *cancelled = first;
    return true;
}
