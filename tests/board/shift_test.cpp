// The eleven shift modes: the worked examples, the order of the two removed cells, the cells that
// move nothing, the two-phase modes with their holes, and that no shift ever loses a tile.
#include <gtest/gtest.h>

#include "board_test_support.h"

namespace {

using Codes = std::vector<TileCode>;
constexpr TileCode _ = EMPTY;

// Full Easy board numbered column by column: (x, y) holds (x - 2) * 7 + (y - 2) + 1.
CBoard NumberedEasy(int level) {
    CBoard b;
    b.SetDifficultyAndLevel(Easy, level);
    FillRegion(b, [](int x, int y) { return (x - 2) * 7 + (y - 2) + 1; });
    return b;
}

// Empties the two cells and shifts, as a removal does.
ShiftRecord Remove(CBoard& b, Cell first, Cell second) {
    b.Set(first.x, first.y, EMPTY);
    b.Set(second.x, second.y, EMPTY);
    return b.ShiftAfterRemoval(first, second);
}

TEST(ShiftMode1, MovesNothing) {
    CBoard b = NumberedEasy(1);
    const ShiftRecord r = Remove(b, {3, 3}, {10, 6});
    EXPECT_EQ(r.mode, 0);
    EXPECT_FALSE(r.changed);
    EXPECT_EQ(b.At(3, 3), EMPTY);
    EXPECT_EQ(b.At(3, 2), 8);
}

TEST(ShiftMode2, TilesAboveFallUpToTheFirstGap) {
    CBoard b = NumberedEasy(2);
    // Row 2 removed: nothing above it moves.
    Remove(b, {4, 2}, {6, 2});
    EXPECT_EQ(Column(b, 4, 2, 8), (Codes{_, 16, 17, 18, 19, 20, 21}));
    // A gap above the removed tile: only the tiles between fall.
    b = NumberedEasy(2);
    b.Set(5, 3, EMPTY);
    const ShiftRecord r = Remove(b, {5, 6}, {9, 8});
    EXPECT_EQ(r.mode, 2);
    EXPECT_TRUE(r.changed);
    EXPECT_EQ(Column(b, 5, 2, 8), (Codes{22, _, _, 24, 25, 27, 28}));
}

TEST(ShiftMode2, BothInOneColumnStaysPacked) {
    // Tiles above the upper removed one fall by two, those between by one; in either click
    // order.
    for (int order = 0; order < 2; ++order) {
        CBoard b = NumberedEasy(2);
        const Cell upper{4, 4}, lower{4, 7};
        if (order == 0)
            Remove(b, upper, lower);
        else
            Remove(b, lower, upper);
        EXPECT_EQ(Column(b, 4, 2, 8), (Codes{_, _, 15, 16, 18, 19, 21})) << "order " << order;
    }
}

TEST(ShiftMode3, TilesRightMoveLeftUpToTheFirstGap) {
    for (int order = 0; order < 2; ++order) {
        CBoard b = NumberedEasy(3);
        b.Set(11, 4, EMPTY);  // 66
        const Cell left{3, 4}, right{6, 4};
        if (order == 0)
            Remove(b, left, right);
        else
            Remove(b, right, left);
        // Row 4: 3, 10, 17, 24, 31, 38, 45, 52, 59, [66], 73, 80.
        EXPECT_EQ(Row(b, 4, 2, 13), (Codes{3, 17, 24, 38, 45, 52, 59, _, _, _, 73, 80}))
            << "order " << order;
    }
}

TEST(ShiftMode4, UpperPartUpLowerPartDown) {
    // Column of tiles A to G in rows 2 to 8; removing rows 3 and 7 gives A, C, -, -, D, E, G.
    CBoard b = MakeBoard(Easy, 4, {});
    for (int y = 2; y <= 8; ++y) b.Set(6, y, 100 + y);  // A = 102 ... G = 108
    Remove(b, {6, 3}, {6, 7});
    EXPECT_EQ(Column(b, 6, 2, 8), (Codes{102, 104, _, _, 105, 106, 108}));
}

TEST(ShiftMode4, SameSegmentInEitherClickOrder) {
    for (int order = 0; order < 2; ++order) {
        CBoard b = NumberedEasy(4);
        const Cell a{5, 2}, c{5, 3};  // both in the upper part 2..4 of column 5 (22..28)
        if (order == 0)
            Remove(b, a, c);
        else
            Remove(b, c, a);
        EXPECT_EQ(Column(b, 5, 2, 8), (Codes{24, _, _, 25, 26, 27, 28})) << "order " << order;
    }
}

TEST(ShiftMode4And5, FirstCellOfTheHighPartMovesNothing) {
    CBoard b = NumberedEasy(4);
    EXPECT_FALSE(Remove(b, {3, 5}, {9, 5}).changed);  // row Ay + 1 = 5
    b = NumberedEasy(5);
    EXPECT_FALSE(Remove(b, {8, 3}, {8, 7}).changed);  // column Ax + 1 = 8
}

TEST(ShiftMode5, LeftPartLeftRightPartRight) {
    CBoard b = NumberedEasy(5);
    Remove(b, {4, 6}, {12, 6});
    // Row 6: 5, 12, 19, 26, 33, 40 | 47, 54, 61, 68, 75, 82.
    EXPECT_EQ(Row(b, 6, 2, 13), (Codes{5, 12, 26, 33, 40, _, _, 47, 54, 61, 68, 82}));
}

TEST(ShiftMode6And7, TowardTheMiddle) {
    CBoard b = NumberedEasy(6);
    Remove(b, {2, 2}, {2, 8});
    // Column 2: 1..7; upper part moves down, lower part moves up.
    EXPECT_EQ(Column(b, 2, 2, 8), (Codes{_, 2, 3, 4, 5, 6, _}));
    b = NumberedEasy(7);
    Remove(b, {2, 2}, {13, 2});
    EXPECT_EQ(Row(b, 2, 2, 13), (Codes{_, 8, 15, 22, 29, 36, 43, 50, 57, 64, 71, _}));
}

TEST(ShiftMode8And9, WholeLineByPart) {
    CBoard b = NumberedEasy(8);
    // Upper part, column Xl: nothing moves; lower part, column 2: nothing moves.
    EXPECT_FALSE(Remove(b, {13, 3}, {2, 7}).changed);
    b = NumberedEasy(8);
    Remove(b, {4, 3}, {4, 7});
    EXPECT_EQ(Row(b, 3, 2, 13), (Codes{2, 9, 23, 30, 37, 44, 51, 58, 65, 72, 79, _}));
    EXPECT_EQ(Row(b, 7, 2, 13), (Codes{_, 6, 13, 27, 34, 41, 48, 55, 62, 69, 76, 83}));
    b = NumberedEasy(9);
    Remove(b, {3, 4}, {10, 4});
    EXPECT_EQ(Column(b, 3, 2, 8), (Codes{_, 8, 9, 11, 12, 13, 14}));     // left part: down
    EXPECT_EQ(Column(b, 10, 2, 8), (Codes{57, 58, 60, 61, 62, 63, _}));  // right part: up
}

TEST(ShiftMode10, WorkedExample) {
    CBoard b = NumberedEasy(10);
    Remove(b, {3, 3}, {10, 6});
    // After the first phase column 3 reads 8, 10, -, 11, 12, 13, 14 (hole (3, 4)); column 10
    // has 60 moved to row 6 (hole (10, 5)). The second phase slides rows 4 and 5.
    EXPECT_EQ(Row(b, 4, 2, 13), (Codes{3, 17, 24, 31, 38, _, 45, 52, 59, 66, 73, 80}));
    EXPECT_EQ(Row(b, 5, 2, 13), (Codes{4, 11, 18, 25, 32, 39, _, 46, 53, 67, 74, 81}));
    EXPECT_EQ(Column(b, 3, 2, 8), (Codes{8, 10, 17, 11, 12, 13, 14}));
    EXPECT_EQ(b.At(10, 6), 60);
    EXPECT_EQ(b.At(10, 7), 62);
}

TEST(ShiftMode11, WorkedExample) {
    CBoard b = NumberedEasy(11);
    Remove(b, {3, 3}, {10, 6});
    EXPECT_EQ(Column(b, 2, 2, 8), (Codes{_, 1, 3, 4, 5, 6, 7}));
    EXPECT_EQ(Column(b, 13, 6, 8), (Codes{83, 84, _}));
    EXPECT_EQ(Row(b, 6, 2, 13), (Codes{5, 12, 19, 26, 33, 40, 47, 54, 68, 75, 82, 83}));
}

TEST(ShiftMode10, SecondCellsMoveIntoFirstHoleLosesNoTile) {
    // Easy, level 10, full board except (3, 6); removing (3, 7) and (3, 8). The second cell's
    // move slides the tile from (3, 5) into the hole found for (3, 7); the hole is found again
    // from (3, 7) so that the tile survives.
    CBoard b = NumberedEasy(10);
    b.Set(3, 6, EMPTY);  // 12
    const auto before = CodeCounts(b);
    Remove(b, {3, 7}, {3, 8});
    auto after = CodeCounts(b);
    EXPECT_EQ(after.count(11), 1u) << "the tile from (3, 5) was overwritten";
    after[13] = 1;  // the two removed tiles
    after[14] = 1;
    EXPECT_EQ(after, before);
    // Column 3's lower part held 11, -, 13, 14; after the first phase 11 sits at (3, 7), and the
    // holes are (3, 6) (found again) and (3, 8). Row 6 and row 8 slide left toward column 2.
    EXPECT_EQ(b.At(3, 7), 11);
    EXPECT_EQ(Row(b, 6, 2, 7), (Codes{5, 19, 26, 33, 40, _}));
    EXPECT_EQ(Row(b, 8, 2, 7), (Codes{7, 21, 28, 35, 42, _}));
    EXPECT_TRUE(TilesInRegion(b));
}

TEST(ShiftMode11, SecondCellsMoveIntoFirstHoleLosesNoTile) {
    // The same fault along a row: Easy, level 11, row 4 full except (5, 4); removing (4, 4) and
    // (3, 4) in the left part.
    for (int order = 0; order < 2; ++order) {
        CBoard b = NumberedEasy(11);
        b.Set(5, 4, EMPTY);
        const auto before = CodeCounts(b);
        const Cell a{4, 4}, c{3, 4};
        const TileCode ca = b.At(a), cc = b.At(c);
        if (order == 0)
            Remove(b, a, c);
        else
            Remove(b, c, a);
        auto after = CodeCounts(b);
        after[ca] = 1;
        after[cc] = 1;
        EXPECT_EQ(after, before) << "order " << order;
        EXPECT_TRUE(TilesInRegion(b));
    }
}

TEST(ShiftInvariants, NoModeLosesOrCreatesATileOverRandomRemovals) {
    SeededRandom rng(2026);
    for (int round = 0; round < 400; ++round) {
        const int difficulty = 1 + round % 4;
        const int level = 1 + (round / 4) % 11;
        CBoard b;
        b.SetDifficultyAndLevel(difficulty, level);
        const DifficultyInfo& d = GetDifficultyInfo(difficulty);
        // A full or partly emptied board with codes of every kind.
        const int density = 40 + rng.Rand() % 61;
        FillRegion(b,
                   [&](int, int) { return rng.Rand() % 100 < density ? 1 + rng.Rand() % 42 : 0; });
        for (int step = 0; step < 60 && b.TileCount() >= 2; ++step) {
            Cell cells[2];
            for (Cell& c : cells) {
                do {
                    c = Cell{2 + rng.Rand() % d.width, 2 + rng.Rand() % d.height};
                } while (b.At(c) <= 0 || (&c == &cells[1] && c == cells[0]));
            }
            b.Set(cells[0].x, cells[0].y, EMPTY);
            b.Set(cells[1].x, cells[1].y, EMPTY);
            const auto before = CodeCounts(b);
            b.ShiftAfterRemoval(cells[0], cells[1]);
            ASSERT_EQ(CodeCounts(b), before)
                << "difficulty " << difficulty << " level " << level << " removed " << cells[0].x
                << "," << cells[0].y << " and " << cells[1].x << "," << cells[1].y;
            ASSERT_TRUE(TilesInRegion(b));
        }
    }
}

TEST(ShiftInvariants, SameSegmentPairsInEveryModeAndOrder) {
    // Pairs in one line and one segment are where the order matters: exhaustively, for every
    // mode, every pair of cells of one column and of one row of a full numbered board.
    for (int level = 2; level <= 11; ++level) {
        for (int line = 2; line <= 8; ++line) {
            for (int i = 2; i <= 13; ++i) {
                for (int j = 2; j <= 13; ++j) {
                    if (i == j) continue;
                    const Cell pairs[2][2] = {
                        {{i, line}, {j, line}},
                        {{line + 3, i <= 8 ? i : 2}, {line + 3, j <= 8 ? j : 3}}};
                    for (const auto& p : pairs) {
                        if (p[0] == p[1]) continue;
                        CBoard b = NumberedEasy(level);
                        b.Set(line + 1, line, EMPTY);  // a gap somewhere near
                        b.Set(p[0].x, p[0].y, EMPTY);
                        b.Set(p[1].x, p[1].y, EMPTY);
                        const auto before = CodeCounts(b);
                        b.ShiftAfterRemoval(p[0], p[1]);
                        ASSERT_EQ(CodeCounts(b), before)
                            << "level " << level << " " << p[0].x << "," << p[0].y << " " << p[1].x
                            << "," << p[1].y;
                    }
                }
            }
        }
    }
}

}  // namespace
