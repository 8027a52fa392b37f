// The eleven shift modes as a table of (line, segment, direction) moves, one slide written once
// and applied to a column or a row through an index along the line.
#include "game/board/shift.h"

#include <cstring>
#include <utility>

namespace {

// In level order: level n plays the mode of row n - 1.
const ShiftModeInfo kShiftModes[kLevelCount] = {
    {"不变化", ShiftMode::None, ShiftMode::None},
    {"向下", ShiftMode::Down, ShiftMode::None},
    {"向左", ShiftMode::Left, ShiftMode::None},
    {"上下分离", ShiftMode::ApartUpDown, ShiftMode::None},
    {"左右分离", ShiftMode::ApartLeftRight, ShiftMode::None},
    {"上下集中", ShiftMode::TogetherUpDown, ShiftMode::None},
    {"左右集中", ShiftMode::TogetherLeftRight, ShiftMode::None},
    {"上左下右", ShiftMode::RowsLeftRight, ShiftMode::None},
    {"左下右上", ShiftMode::ColumnsDownUp, ShiftMode::None},
    {"向外扩散", ShiftMode::ApartUpDown, ShiftMode::ApartLeftRight},
    {"向内集中", ShiftMode::TogetherLeftRight, ShiftMode::TogetherUpDown},
};
static_assert(static_cast<int>(ShiftMode::Inward) == kLevelCount, "one mode a level");

enum class Kind { None, Run, Block };

// One elementary move on the line of a removed cell.
struct Move {
    Kind kind = Kind::None;
    bool column = false;  // the line is column `line` (index = row) or row `line` (index = x)
    int line = 0;
    int index = 0;           // position of the removed cell along the line
    int lo = 0, hi = 0;      // segment (a run slide uses the whole board region of the line)
    bool towardLow = false;  // up for a column, left for a row
};

struct Parts {
    int xl, yl;  // last column and row of the board region
    int ax, ay;  // last column of the left part, last row of the upper part
};

Parts PartsOf(int difficulty) {
    const DifficultyInfo& d = GetDifficultyInfo(difficulty);
    return Parts{d.width + 1, d.height + 1, d.splitColumn, d.splitRow};
}

Move ColumnMove(Kind kind, Cell c, int lo, int hi, bool towardLow) {
    return Move{kind, true, c.x, c.y, lo, hi, towardLow};
}

Move RowMove(Kind kind, Cell c, int lo, int hi, bool towardLow) {
    return Move{kind, false, c.y, c.x, lo, hi, towardLow};
}

// The move of a removed cell c under a one-phase mode; none for the other modes.
Move MoveFor(ShiftMode mode, Cell c, const Parts& p) {
    const bool upper = c.y <= p.ay;
    const bool left = c.x <= p.ax;
    switch (mode) {
        case ShiftMode::Down:
            return ColumnMove(Kind::Run, c, 2, p.yl, false);
        case ShiftMode::Left:
            return RowMove(Kind::Run, c, 2, p.xl, true);
        case ShiftMode::ApartUpDown:
            return upper ? ColumnMove(Kind::Block, c, 2, p.ay, true)
                         : ColumnMove(Kind::Block, c, p.ay + 1, p.yl, false);
        case ShiftMode::ApartLeftRight:
            return left ? RowMove(Kind::Block, c, 2, p.ax, true)
                        : RowMove(Kind::Block, c, p.ax + 1, p.xl, false);
        case ShiftMode::TogetherUpDown:
            return upper ? ColumnMove(Kind::Block, c, 2, p.ay, false)
                         : ColumnMove(Kind::Block, c, p.ay + 1, p.yl, true);
        case ShiftMode::TogetherLeftRight:
            return left ? RowMove(Kind::Block, c, 2, p.ax, false)
                        : RowMove(Kind::Block, c, p.ax + 1, p.xl, true);
        case ShiftMode::RowsLeftRight:
            return RowMove(Kind::Block, c, 2, p.xl, upper);
        case ShiftMode::ColumnsDownUp:
            return ColumnMove(Kind::Block, c, 2, p.yl, !left);
        case ShiftMode::None:
        case ShiftMode::Outward:
        case ShiftMode::Inward:
            break;
    }
    return Move{};
}

// True when b must be moved before a: both in one line and one segment, and b lies farther from
// the end the tiles move toward. Otherwise the two moves touch different cells.
bool MovesFirst(const Move& b, const Move& a) {
    if (a.kind == Kind::None || b.kind == Kind::None) return false;
    if (a.column != b.column || a.line != b.line || a.lo != b.lo || a.hi != b.hi) return false;
    return a.towardLow ? b.index > a.index : b.index < a.index;
}

bool InRegion(Cell c, const Parts& p) { return c.x >= 2 && c.x <= p.xl && c.y >= 2 && c.y <= p.yl; }

// Applies moves to the grid of one board.
class ShiftEngine {
  public:
    ShiftEngine(TileCode (&grid)[kGridWidth][kGridHeight], const Parts& parts)
        : m_grid(grid), m_parts(parts) {}

    TileCode& At(const Move& m, int i) { return m.column ? m_grid[m.line][i] : m_grid[i][m.line]; }

    void Apply(const Move& m) {
        if (m.index < m.lo || m.index > m.hi) return;
        if (m.kind == Kind::Run) {
            // Walk from the cell against the direction of travel while tiles follow.
            const int step = m.towardLow ? 1 : -1;
            int i = m.index;
            while (i + step >= m.lo && i + step <= m.hi && At(m, i + step) > 0) {
                At(m, i) = At(m, i + step);
                i += step;
            }
            At(m, i) = EMPTY;
        } else if (m.kind == Kind::Block) {
            // Every cell of the segment on the far side moves one step, EMPTY cells included.
            if (m.towardLow) {
                for (int i = m.index; i < m.hi; ++i) At(m, i) = At(m, i + 1);
                if (m.index < m.hi) At(m, m.hi) = EMPTY;
            } else {
                for (int i = m.index; i > m.lo; --i) At(m, i) = At(m, i - 1);
                if (m.index > m.lo) At(m, m.lo) = EMPTY;
            }
        }
    }

    void ApplyPair(Move a, Move b) {
        if (MovesFirst(b, a)) std::swap(a, b);
        Apply(a);
        Apply(b);
    }

    // The hole a first-phase block move left: the first EMPTY cell from the removed cell toward
    // the end of its segment that the tiles moved away from (the split for a move apart, the
    // board's edge for a move together). None when the segment has no EMPTY cell that way.
    Cell FindHole(const Move& m) {
        if (m.kind == Kind::None) return Cell{};
        const int step = m.towardLow ? 1 : -1;
        const int end = m.towardLow ? m.hi : m.lo;
        for (int i = m.index;; i += step) {
            if (At(m, i) == EMPTY) return m.column ? Cell{m.line, i} : Cell{i, m.line};
            if (i == end) break;
        }
        return Cell{};
    }

    // A two-phase mode: the first-phase move on both removed cells, each cell's hole found
    // right after its own move, then the second-phase move at the holes. When both cells lie in
    // one segment, the second cell's move can slide a tile into the first cell's hole; the hole
    // is then found again from its removed cell on the board as it stands, so that no tile is
    // overwritten.
    void TwoPhase(const ShiftModeInfo& mode, const Cell* cells, int count) {
        // Each move starts at its removed cell, which is where its hole is looked for.
        Move moves[2] = {MoveFor(mode.first, cells[0], m_parts),
                         count > 1 ? MoveFor(mode.first, cells[1], m_parts) : Move{}};
        if (count > 1 && MovesFirst(moves[1], moves[0])) std::swap(moves[0], moves[1]);
        Cell holes[2];
        for (int i = 0; i < count; ++i) {
            Apply(moves[i]);
            holes[i] = FindHole(moves[i]);
        }

        int order[2] = {0, 1};
        if (count > 1 && holes[0].x >= 0 && holes[1].x >= 0 &&
            MovesFirst(MoveFor(mode.second, holes[1], m_parts),
                       MoveFor(mode.second, holes[0], m_parts))) {
            std::swap(order[0], order[1]);
        }
        for (int n = 0; n < count; ++n) {
            const int k = order[n];
            Cell hole = holes[k];
            if (hole.x < 0 || m_grid[hole.x][hole.y] != EMPTY) hole = FindHole(moves[k]);
            if (hole.x < 0) continue;
            Apply(MoveFor(mode.second, hole, m_parts));
        }
    }

  private:
    TileCode (&m_grid)[kGridWidth][kGridHeight];
    Parts m_parts;
};

}  // namespace

ShiftMode ShiftModeOfLevel(int level) {
    if (level < 1 || level > kLevelCount) return ShiftMode::None;
    return static_cast<ShiftMode>(level);
}

const ShiftModeInfo& GetShiftModeInfo(ShiftMode mode) {
    return kShiftModes[static_cast<int>(mode) - 1];
}

const char* ShiftModeName(int level) {
    if (level < 1 || level > kLevelCount) return "";
    return GetShiftModeInfo(ShiftModeOfLevel(level)).name;
}

int ShownLevelNumber(int level) { return level - 1; }

ShiftRecord CBoard::ShiftAfterRemoval(Cell first, Cell second) {
    ShiftRecord record;
    const ShiftMode mode = ShiftModeOfLevel(m_level);
    const ShiftModeInfo& info = GetShiftModeInfo(mode);
    if (info.first == ShiftMode::None) return record;
    record.mode = static_cast<int>(mode);

    const Parts parts = PartsOf(m_difficulty);
    // Tiles never leave the board region, so a cell outside it has no move.
    const bool firstIn = InRegion(first, parts);
    const bool secondIn = InRegion(second, parts) && second != first;

    TileCode before[kGridWidth][kGridHeight];
    std::memcpy(before, m_grid, sizeof before);

    ShiftEngine engine(m_grid, parts);
    if (info.second != ShiftMode::None) {
        Cell cells[2];
        int count = 0;
        if (firstIn) cells[count++] = first;
        if (secondIn) cells[count++] = second;
        if (count > 0) engine.TwoPhase(info, cells, count);
    } else {
        Move a = firstIn ? MoveFor(info.first, first, parts) : Move{};
        Move b = secondIn ? MoveFor(info.first, second, parts) : Move{};
        engine.ApplyPair(a, b);
    }
    record.changed = std::memcmp(before, m_grid, sizeof before) != 0;
    return record;
}
