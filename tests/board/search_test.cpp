// The pair search with its rotating start, hints, and the shuffle with its forced pair.
#include <gtest/gtest.h>

#include <optional>

#include "board_test_support.h"

namespace {

// Removes random linked pairs until none is left or `removals` are done; returns the count.
int PlayRandomRemovals(CBoard& b, RandomSource& rng, int removals) {
    int done = 0;
    for (; done < removals; ++done) {
        // A random search start, so that pairs come from all over the board.
        b.SetSearchStart(rng.Rand() % 20);
        const std::optional<MovablePair> found = b.FindMovablePair();
        if (!found) break;
        const HintPair& pair = found->cells;
        b.Set(pair.x1, pair.y1, EMPTY);
        b.Set(pair.x2, pair.y2, EMPTY);
    }
    return done;
}

TEST(PairSearch, HintsMoveTheStartColumnWhichWrapsAtBoardWidth) {
    // Easy scans columns 0..13, so the start wraps at 14.
    CBoard b =
        MakeBoard(Easy, 1, {{3, 3, 1}, {3, 4, 2}, {3, 5, 1}, {7, 3, 2}, {10, 5, 3}, {10, 6, 3}});
    // Asking for the pair leaves the board as it was.
    const std::optional<MovablePair> asked = b.FindMovablePair();
    ASSERT_TRUE(asked);
    EXPECT_EQ(asked->path.bends, 2);
    EXPECT_EQ(b.SearchStart(), 0);
    EXPECT_EQ(b.Path().bends, -1);
    // A hint shows the same pair, moves the start past its column and records its path.
    ASSERT_TRUE(b.ShowHint());
    const HintPair& hint = b.Hint();
    EXPECT_EQ(hint.x1, 3);
    EXPECT_EQ(hint.y1, 3);
    EXPECT_EQ(hint.x2, 3);
    EXPECT_EQ(hint.y2, 5);
    EXPECT_EQ(b.SearchStart(), 4);
    EXPECT_EQ(b.Path().bends, 2);
    EXPECT_EQ(b.Path().corners[0], asked->path.corners[0]);
    ASSERT_TRUE(b.ShowHint());
    EXPECT_EQ(b.Hint().x1, 7);
    EXPECT_EQ(b.SearchStart(), 8);
    EXPECT_EQ(b.Path().bends, 1);
    ASSERT_TRUE(b.ShowHint());
    EXPECT_EQ(b.Hint().x1, 10);
    EXPECT_EQ(b.Hint().y1, 5);
    EXPECT_EQ(b.SearchStart(), 11);
    ASSERT_TRUE(b.ShowHint());
    EXPECT_EQ(b.Hint().x1, 3);
    EXPECT_EQ(b.SearchStart(), 4);
    // A start beyond the scanned columns is taken modulo their count.
    b.SetSearchStart(14 + 8);
    ASSERT_TRUE(b.ShowHint());
    EXPECT_EQ(b.Hint().x1, 10);
}

TEST(FindMovablePair, FirstTileInColumnAndFirstPartnerInScanOrder) {
    // Column 5 has two tiles of code 1 with partners in columns 2 and 9: the upper tile is tried
    // first and its partner scan runs x outer, y inner.
    CBoard b = MakeBoard(Normal, 1, {{5, 4, 1}, {5, 8, 1}, {9, 2, 1}, {2, 9, 1}});
    b.SetSearchStart(5);
    const std::optional<MovablePair> found = b.FindMovablePair();
    ASSERT_TRUE(found);
    const HintPair& out = found->cells;
    EXPECT_EQ(out.x1, 5);
    EXPECT_EQ(out.y1, 4);
    EXPECT_EQ(out.x2, 2);
    EXPECT_EQ(out.y2, 9);
}

TEST(FindMovablePair, DeadBoardFindsNoneAndTheHintLeavesTheStartAlone) {
    // Two tiles of code 1 boxed in by tiles of other codes.
    CBoard b = MakeBoard(Easy, 1,
                         {{4, 4, 1},
                          {3, 4, 2},
                          {5, 4, 3},
                          {4, 3, 4},
                          {4, 5, 5},
                          {9, 6, 1},
                          {8, 6, 6},
                          {10, 6, 7},
                          {9, 5, 8},
                          {9, 7, 9}});
    b.SetSearchStart(6);
    EXPECT_FALSE(b.FindMovablePair());
    EXPECT_FALSE(b.ShowHint());
    EXPECT_EQ(b.SearchStart(), 6);
    EXPECT_FALSE(b.Hint().IsSet());
}

TEST(Hint, TwoHintsComeFromDifferentColumnsAndSetTheHintPair) {
    SeededRandom rng(777);
    CBoard b;
    b.Deal(Hard, 1, rng);
    ASSERT_TRUE(b.ShowHint());
    const HintPair first = b.Hint();
    ASSERT_TRUE(first.IsSet());
    EXPECT_EQ(b.At(first.x1, first.y1), b.At(first.x2, first.y2));
    ASSERT_TRUE(b.ShowHint());
    EXPECT_NE(b.Hint().x1, first.x1);
    // A hint touches neither the selection nor the board.
    EXPECT_EQ(b.GetSelection().count, 0);
}

TEST(Shuffle, KeepsCellsAndCodeCountsAndLeavesAPair) {
    for (unsigned seed = 1; seed <= 120; ++seed) {
        SeededRandom rng(seed);
        CBoard b;
        b.Deal(1 + seed % 4, 1, rng);
        PlayRandomRemovals(b, rng, static_cast<int>(seed % 60));
        if (b.IsCleared()) continue;
        const CBoard before = b;
        const ShuffleOutcome outcome = b.Shuffle(rng);
        ASSERT_NE(outcome, ShuffleOutcome::Unchanged);
        for (int x = 0; x < kGridWidth; ++x)
            for (int y = 0; y < kGridHeight; ++y)
                ASSERT_EQ(b.At(x, y) > 0, before.At(x, y) > 0) << x << "," << y;
        ASSERT_EQ(CodeCounts(b), CodeCounts(before));
        ASSERT_TRUE(b.FindMovablePair()) << "seed " << seed;
    }
}

TEST(Shuffle, EmptyOrOddBoardIsLeftAlone) {
    ScriptedRandom rng({5, 6, 7});
    CBoard empty = MakeBoard(Easy, 1, {});
    EXPECT_EQ(empty.Shuffle(rng), ShuffleOutcome::Unchanged);
    CBoard odd = MakeBoard(Easy, 1, {{3, 3, 1}, {4, 4, 2}, {5, 5, 1}});
    EXPECT_EQ(odd.Shuffle(rng), ShuffleOutcome::Unchanged);
    EXPECT_EQ(odd.At(3, 3), 1);
    EXPECT_EQ(odd.At(4, 4), 2);
    EXPECT_EQ(rng.Draws(), 0u);
}

TEST(Shuffle, CodesMoveByThePermutation) {
    // Draws 3, 3, 3, 3 give the permutation [1, 3, 2, 0]: listed cell i takes the code of
    // listed cell p[i]. Cells listed x outer, y inner: (3,3)=1, (3,4)=2, (6,2)=3, (6,5)=4.
    ScriptedRandom rng({3, 3, 3, 3});
    CBoard b = MakeBoard(Normal, 1, {{6, 2, 3}, {3, 3, 1}, {6, 5, 4}, {3, 4, 2}});
    b.Shuffle(rng);
    EXPECT_EQ(b.At(3, 3), 2);
    EXPECT_EQ(b.At(3, 4), 4);
    EXPECT_EQ(b.At(6, 2), 3);
    EXPECT_EQ(b.At(6, 5), 1);
}

TEST(Shuffle, StillDeadBoardGetsTheForcedPair) {
    // Four tiles each walled in: no arrangement can be removed, so the forced pair is given to
    // the first two tiles in scan order, and the code of the second goes to the first later tile
    // that held the first tile's code.
    CBoard b = MakeBoard(Easy, 1, {});
    const Cell tiles[4] = {{3, 3}, {6, 3}, {9, 3}, {12, 3}};
    for (const Cell& t : tiles) {
        b.Set(t.x - 1, t.y, WALL);
        b.Set(t.x + 1, t.y, WALL);
        b.Set(t.x, t.y - 1, WALL);
        b.Set(t.x, t.y + 1, WALL);
    }
    b.Set(3, 3, 1);
    b.Set(6, 3, 1);
    b.Set(9, 3, 2);
    b.Set(12, 3, 2);
    SeededRandom rng(5);
    for (int round = 0; round < 20; ++round) {
        const CBoard before = b;
        const ShuffleOutcome outcome = b.Shuffle(rng);
        ASSERT_EQ(outcome, ShuffleOutcome::ForcedPair);
        ASSERT_EQ(CodeCounts(b), CodeCounts(before));
        ASSERT_EQ(b.At(3, 3), b.At(6, 3));
    }
}

TEST(Shuffle, ForcedPairOfNeighboursIsRemovable) {
    // Two walled-in vertical pairs of cells: unless the shuffle happens to give a pair equal
    // codes, the forced pair makes the first pair equal; either way a pair can be removed.
    int forced = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        CBoard b = MakeBoard(Easy, 1, {});
        for (int x : {3, 8}) {
            b.Set(x, 2, WALL);
            b.Set(x, 5, WALL);
            for (int y = 3; y <= 4; ++y) {
                b.Set(x - 1, y, WALL);
                b.Set(x + 1, y, WALL);
            }
        }
        b.Set(3, 3, 1);
        b.Set(3, 4, 2);
        b.Set(8, 3, 1);
        b.Set(8, 4, 2);
        SeededRandom rng(seed);
        if (b.Shuffle(rng) == ShuffleOutcome::ForcedPair) ++forced;
        ASSERT_TRUE(b.FindMovablePair());
        ASSERT_EQ(CodeCounts(b).at(1), 2);
    }
    EXPECT_GT(forced, 0);
}

}  // namespace
