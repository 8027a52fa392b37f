// The link test: straight, one bend, two bends, in the fixed order that decides which path the
// player sees when several exist.
#include "game/board/board.h"

bool CBoard::IsLineClear(int x1, int y1, int x2, int y2) const {
    if (x1 < 0 || x1 >= kGridWidth || x2 < 0 || x2 >= kGridWidth) return false;
    if (y1 < 0 || y1 >= kGridHeight || y2 < 0 || y2 >= kGridHeight) return false;
    if (x1 == x2 && y1 != y2) {
        const int lo = y1 < y2 ? y1 : y2;
        const int hi = y1 < y2 ? y2 : y1;
        for (int y = lo + 1; y < hi; ++y)
            if (m_grid[x1][y] != EMPTY) return false;
        return true;
    }
    if (y1 == y2 && x1 != x2) {
        const int lo = x1 < x2 ? x1 : x2;
        const int hi = x1 < x2 ? x2 : x1;
        for (int x = lo + 1; x < hi; ++x)
            if (m_grid[x][y1] != EMPTY) return false;
        return true;
    }
    return false;
}

std::optional<PathRecord> CBoard::CanLink(int x1, int y1, int x2, int y2) const {
    if (At(x1, y1) != At(x2, y2)) return std::nullopt;
    if (x1 < 0 || x1 >= kGridWidth || y1 < 0 || y1 >= kGridHeight) return std::nullopt;
    if (x2 < 0 || x2 >= kGridWidth || y2 < 0 || y2 >= kGridHeight) return std::nullopt;

    PathRecord path;
    if (IsLineClear(x1, y1, x2, y2)) {
        path.bends = 0;
        return path;
    }

    // One bend: the corner in a's column and b's row is tried before the other one.
    const Cell oneBend[2] = {{x1, y2}, {x2, y1}};
    for (const Cell& c : oneBend) {
        if (m_grid[c.x][c.y] == EMPTY && IsLineClear(x1, y1, c.x, c.y) &&
            IsLineClear(c.x, c.y, x2, y2)) {
            path.bends = 1;
            path.corners[0] = c;
            return path;
        }
    }

    // Two bends: walk out of a down, up, right, left; the first corner c1 is every empty cell
    // reachable in a straight line, nearest first, and c2 lies on b's column or row.
    struct Scan {
        int dx, dy;
    };
    const Scan scans[4] = {{0, 1}, {0, -1}, {1, 0}, {-1, 0}};
    for (const Scan& s : scans) {
        for (int cx = x1 + s.dx, cy = y1 + s.dy;
             cx >= 0 && cx < kGridWidth && cy >= 0 && cy < kGridHeight && m_grid[cx][cy] == EMPTY;
             cx += s.dx, cy += s.dy) {
            // A column scan turns along c1's row into b's column; a row scan along c1's column
            // into b's row.
            const Cell c2 = s.dx == 0 ? Cell{x2, cy} : Cell{cx, y2};
            if (m_grid[c2.x][c2.y] == EMPTY && IsLineClear(cx, cy, c2.x, c2.y) &&
                IsLineClear(c2.x, c2.y, x2, y2)) {
                path.bends = 2;
                path.corners[0] = Cell{cx, cy};
                path.corners[1] = c2;
                return path;
            }
        }
    }
    return std::nullopt;
}
