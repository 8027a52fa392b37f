// The link test: which paths are found, and which one is given when several exist.
#include <gtest/gtest.h>

#include <deque>
#include <optional>

#include "board_test_support.h"

namespace {

// Fewest bends of any path from a to b through EMPTY cells (straight segments along rows and
// columns), by a breadth-first search over (cell, heading); -1 when none joins them.
int FewestBends(const CBoard& b, Cell from, Cell to) {
    const int dx[4] = {0, 0, 1, -1};
    const int dy[4] = {1, -1, 0, 0};
    int best[kGridWidth][kGridHeight][4];
    for (auto& col : best)
        for (auto& cell : col)
            for (int& v : cell) v = 1000;
    struct State {
        int x, y, dir, bends;
    };
    std::deque<State> queue;
    for (int d = 0; d < 4; ++d) queue.push_back({from.x, from.y, d, 0});
    int result = 1000;
    while (!queue.empty()) {
        const State s = queue.front();
        queue.pop_front();
        const int nx = s.x + dx[s.dir], ny = s.y + dy[s.dir];
        if (nx < 0 || nx >= kGridWidth || ny < 0 || ny >= kGridHeight) continue;
        if (nx == to.x && ny == to.y) {
            result = std::min(result, s.bends);
            continue;
        }
        if (b.At(nx, ny) != EMPTY) continue;
        for (int d = 0; d < 4; ++d) {
            const int bends = s.bends + (d == s.dir ? 0 : 1);
            if (bends > 2 || bends >= best[nx][ny][d]) continue;
            best[nx][ny][d] = bends;
            if (d == s.dir)
                queue.push_front({nx, ny, d, bends});
            else
                queue.push_back({nx, ny, d, bends});
        }
    }
    return result == 1000 ? -1 : result;
}

// True when the straight segment between two cells, both ends excluded, is all EMPTY and the two
// cells share a row or a column.
bool SegmentClear(const CBoard& b, Cell p, Cell q) {
    if (p.x != q.x && p.y != q.y) return false;
    const int sx = (q.x > p.x) - (q.x < p.x), sy = (q.y > p.y) - (q.y < p.y);
    for (int x = p.x + sx, y = p.y + sy; x != q.x || y != q.y; x += sx, y += sy)
        if (b.At(x, y) != EMPTY) return false;
    return true;
}

// The path CanLink gives for the two cells; bends -1 when it finds none.
PathRecord PathOf(const CBoard& b, int x1, int y1, int x2, int y2) {
    return b.CanLink(x1, y1, x2, y2).value_or(PathRecord{});
}

// The path really runs from a through its corners to b over EMPTY cells.
bool IsValidPath(const CBoard& b, const PathRecord& p, Cell from, Cell to) {
    Cell points[4];
    int n = 0;
    points[n++] = from;
    for (int i = 0; i < p.bends; ++i) {
        if (b.At(p.corners[i]) != EMPTY) return false;
        points[n++] = p.corners[i];
    }
    points[n++] = to;
    for (int i = 0; i + 1 < n; ++i)
        if (points[i] == points[i + 1] || !SegmentClear(b, points[i], points[i + 1])) return false;
    return true;
}

TEST(IsLineClear, EndsOnlyRowsAndColumnsAndBlockers) {
    CBoard b = MakeBoard(Easy, 1, {{3, 3, 1}, {6, 3, 1}, {4, 6, 2}});
    EXPECT_TRUE(b.IsLineClear(3, 3, 6, 3));    // only empty cells between, ends not examined
    EXPECT_TRUE(b.IsLineClear(3, 3, 4, 3));    // neighbours: nothing between
    EXPECT_TRUE(b.IsLineClear(4, 3, 4, 6));    // the tile at an end does not block
    EXPECT_FALSE(b.IsLineClear(4, 2, 4, 8));   // the tile at (4, 6) lies between
    EXPECT_FALSE(b.IsLineClear(3, 3, 3, 3));   // same cell
    EXPECT_FALSE(b.IsLineClear(3, 3, 6, 6));   // neither row nor column
    EXPECT_FALSE(b.IsLineClear(0, 0, 0, 13));  // the WALL ring blocks
    EXPECT_TRUE(b.IsLineClear(1, 1, 1, 12));   // column 1 is always empty
    EXPECT_FALSE(b.IsLineClear(-1, 3, 5, 3));
}

TEST(CanLink, StraightPathsHaveNoBend) {
    CBoard b = MakeBoard(Easy, 1, {{3, 3, 1}, {4, 3, 1}, {3, 5, 2}, {9, 5, 2}});
    EXPECT_EQ(PathOf(b, 3, 3, 4, 3).bends, 0);
    EXPECT_EQ(PathOf(b, 3, 5, 9, 5).bends, 0);
    // A tile between them: the straight test fails and a bend test takes over.
    b.Set(6, 5, 7);
    EXPECT_EQ(PathOf(b, 3, 5, 9, 5).bends, 2);
}

TEST(CanLink, CornerInFirstCellsColumnIsTriedFirst) {
    CBoard b = MakeBoard(Easy, 1, {{3, 3, 1}, {6, 6, 1}});
    const PathRecord p = PathOf(b, 3, 3, 6, 6);
    EXPECT_EQ(p.bends, 1);
    EXPECT_EQ(p.corners[0], (Cell{3, 6}));
    // The first cell is the start of every scan, so the reversed pair turns at the other corner.
    EXPECT_EQ(PathOf(b, 6, 6, 3, 3).corners[0], (Cell{6, 3}));
    // With the first corner taken, the second one is used.
    b.Set(3, 6, 9);
    const PathRecord q = PathOf(b, 3, 3, 6, 6);
    EXPECT_EQ(q.bends, 1);
    EXPECT_EQ(q.corners[0], (Cell{6, 3}));
}

TEST(CanLink, DownwardScanBeatsAShorterUpwardPath) {
    // A blocker between the two tiles of row 5; the first rows below are blocked in column 6, so
    // the first downward corner that works is row 8, although row 4 above would do.
    CBoard b = MakeBoard(Easy, 1, {{5, 5, 1}, {8, 5, 1}, {6, 5, 2}, {6, 6, 3}, {6, 7, 4}});
    const PathRecord p = PathOf(b, 5, 5, 8, 5);
    EXPECT_EQ(p.bends, 2);
    EXPECT_EQ(p.corners[0], (Cell{5, 8}));
    EXPECT_EQ(p.corners[1], (Cell{8, 8}));
    // Block downward entirely: the nearest upward corner is taken.
    b.Set(5, 6, 5);
    const PathRecord q = PathOf(b, 5, 5, 8, 5);
    EXPECT_EQ(q.corners[0], (Cell{5, 4}));
    EXPECT_EQ(q.corners[1], (Cell{8, 4}));
}

TEST(CanLink, RowScanRightBeforeLeftForOneColumn) {
    CBoard b = MakeBoard(Easy, 1, {{5, 5, 1}, {5, 9, 1}, {5, 7, 2}});
    const PathRecord p = PathOf(b, 5, 5, 5, 9);
    EXPECT_EQ(p.bends, 2);
    EXPECT_EQ(p.corners[0], (Cell{6, 5}));
    EXPECT_EQ(p.corners[1], (Cell{6, 9}));
    b.Set(6, 5, 3);
    const PathRecord q = PathOf(b, 5, 5, 5, 9);
    EXPECT_EQ(q.corners[0], (Cell{4, 5}));
    EXPECT_EQ(q.corners[1], (Cell{4, 9}));
}

TEST(CanLink, FullBoardTopRowEndsJoinThroughRowOne) {
    CBoard b;
    b.SetDifficultyAndLevel(Easy, 1);
    FillRegion(b, [](int, int) { return 5; });
    b.Set(2, 2, 7);
    b.Set(13, 2, 7);
    const PathRecord p = PathOf(b, 2, 2, 13, 2);
    EXPECT_EQ(p.bends, 2);
    EXPECT_EQ(p.corners[0], (Cell{2, 1}));
    EXPECT_EQ(p.corners[1], (Cell{13, 1}));
}

TEST(CanLink, FullEasyBoardRightColumnJoinsThroughColumn14) {
    CBoard b;
    b.SetDifficultyAndLevel(Easy, 1);
    FillRegion(b, [](int, int) { return 5; });
    b.Set(13, 3, 7);
    b.Set(13, 7, 7);
    const PathRecord p = PathOf(b, 13, 3, 13, 7);
    EXPECT_EQ(p.bends, 2);
    EXPECT_EQ(p.corners[0], (Cell{14, 3}));
    EXPECT_EQ(p.corners[1], (Cell{14, 7}));
}

TEST(CanLink, EnclosedTileOnFullSuperBoardCannotLink) {
    // On a full Super board the region reaches row 11 and column 19; only the empty ring of
    // column 1, row 1, column 20 and row 12 remains, and an inner tile is boxed in.
    CBoard b;
    b.SetDifficultyAndLevel(Super, 1);
    FillRegion(b, [](int x, int y) { return (x * 14 + y) % 40 + 1; });
    b.Set(5, 5, 42);
    b.Set(12, 8, 42);
    EXPECT_FALSE(b.CanLink(5, 5, 12, 8));
    EXPECT_FALSE(b.CanLink(12, 8, 5, 5));
}

TEST(CanLink, DifferentPicturesAndBoxedInTilesGiveNoPath) {
    CBoard b = MakeBoard(Easy, 1, {{3, 3, 1}, {6, 6, 1}, {8, 8, 2}, {10, 4, 3}});
    ASSERT_TRUE(b.CanLink(3, 3, 6, 6));
    // Different pictures: rejected before any path is examined.
    EXPECT_FALSE(b.CanLink(3, 3, 8, 8));
    // Same picture, no path: box the second 1 in.
    b.Set(5, 6, 9);
    b.Set(7, 6, 9);
    b.Set(6, 5, 9);
    b.Set(6, 7, 9);
    EXPECT_FALSE(b.CanLink(3, 3, 6, 6));
}

TEST(CanLink, AgreesWithPathSearchOnRandomBoards) {
    // On sparse and dense random boards, CanLink finds a path exactly when one of at most two
    // bends exists, both orders agree, and the path given is a real one with the fewest bends
    // whenever a straight or one-bend path exists.
    SeededRandom rng(12345);
    int linked = 0, refused = 0;
    for (int round = 0; round < 300; ++round) {
        CBoard b;
        const int difficulty = 1 + round % 4;
        b.SetDifficultyAndLevel(difficulty, 1);
        const int density = 30 + rng.Rand() % 65;  // percent of region cells holding a tile
        FillRegion(b,
                   [&](int, int) { return rng.Rand() % 100 < density ? 1 + rng.Rand() % 3 : 0; });
        const DifficultyInfo& d = GetDifficultyInfo(difficulty);
        for (int k = 0; k < 40; ++k) {
            const Cell a{2 + rng.Rand() % d.width, 2 + rng.Rand() % d.height};
            const Cell c{2 + rng.Rand() % d.width, 2 + rng.Rand() % d.height};
            if (a == c || b.At(a) <= 0 || b.At(a) != b.At(c)) continue;
            const int fewest = FewestBends(b, a, c);
            const std::optional<PathRecord> forward = b.CanLink(a, c);
            ASSERT_EQ(forward.has_value(), fewest >= 0)
                << a.x << "," << a.y << " " << c.x << "," << c.y;
            if (forward) {
                ASSERT_TRUE(IsValidPath(b, *forward, a, c));
                if (fewest < 2) {
                    ASSERT_EQ(forward->bends, fewest);
                }
                ++linked;
            } else {
                ++refused;
            }
            ASSERT_EQ(b.CanLink(c, a).has_value(), forward.has_value());
        }
    }
    EXPECT_GT(linked, 100);
    EXPECT_GT(refused, 100);
}

}  // namespace
