// The board's half of the player's move: a left click selects, unselects or judges a pair; a
// linked pair is removed by a second call once the window has shown its path.
#include "game/board/board.h"

bool CBoard::IsSelected(Cell cell) const {
    for (int i = 0; i < m_selection.count; ++i)
        if (m_selection.cells[i] == cell) return true;
    return false;
}

ClickRecord CBoard::LeftClick(Cell cell) {
    ClickRecord record;
    record.cell = cell;
    if (m_selection.count >= 2) return record;
    if (At(cell) <= 0) return record;

    m_hint = HintPair{};

    // With fewer than two selected, a selected tile is the only one.
    if (IsSelected(cell)) {
        m_selection = Selection{};
        record.outcome = ClickOutcome::Unselected;
        return record;
    }

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
    if (const std::optional<PathRecord> path = CanLink(first, second)) {
        // The path the window draws for the pair is also kept as the board's path record.
        m_path = *path;
        record.outcome = ClickOutcome::Linked;
        record.path = *path;
        return record;
    }
    record.outcome =
        At(first) == At(second) ? ClickOutcome::NoPath : ClickOutcome::DifferentPictures;
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
    m_selection = Selection{};

    // What comes next is told by the game's pair search. Like every search of the game that
    // finds a pair, it moves the search start past the pair's first column, so the player's
    // next hint starts further right.
    if (FindPairAndAdvanceStart())
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
    m_selection = Selection{};
    if (cancelled != nullptr) *cancelled = first;
    return true;
}
