// The deal: its invariants over many seeds, one board pinned cell by cell, the permutation, the
// geometry shared with the drawing and the click mapping.
#include <gtest/gtest.h>

#include "board_test_support.h"
#include "game/board/shift.h"

namespace {

// Expected boards were computed outside the code under test with this script:
//
//   def lcg(seed):
//       s = seed
//       while True:
//           s = (s * 214013 + 2531011) % 2**32
//           yield (s >> 16) & 0x7FFF
//   def perm(n, r):
//       p = [None] * n
//       for a in range(n):
//           k = next(r) % n
//           if p[k] is None: p[k] = a
//           else: p[p.index(None)] = a
//       for _ in range(3): p = p[0::2] + p[1::2]
//       return p
//   def deal(seed, d):
//       W, H, K = {1: (12, 7, 21), 2: (14, 8, 28), 3: (16, 9, 36), 4: (18, 10, 42)}[d]
//       r = lcg(seed); p = perm(W * H, r)
//       b = next(r) % 37 + 1 if d == 4 else 0
//       code = lambda v: v % K + 1 if d != 4 else (v % 42 + 1 if v < 168 else b + (v - 168) // 2)
//       cols = [[code(p[x * H + y]) for y in range(H)] for x in range(W)]
//       return cols, next(r) % 6 + 1, b
//
// deal(20261207, 1): Easy, columns 2..13 top to bottom, frame style 4.
const int kEasySeed = 20261207;
const int kEasyStyle = 4;
const TileCode kEasyBoard[12][7] = {
    {7, 7, 10, 8, 15, 19, 8},  {16, 13, 15, 10, 2, 19, 3},  {12, 13, 3, 20, 11, 9, 18},
    {16, 8, 2, 4, 18, 11, 20}, {9, 21, 13, 21, 4, 9, 9},    {2, 19, 5, 7, 14, 11, 20},
    {6, 14, 6, 11, 18, 1, 6},  {10, 14, 17, 12, 18, 1, 6},  {16, 1, 3, 8, 5, 15, 15},
    {3, 5, 7, 14, 13, 4, 5},   {12, 2, 19, 17, 12, 21, 10}, {17, 20, 4, 1, 17, 16, 21},
};

// deal(4242, 4): Super, b = 21, frame style 2; the first three columns.
const int kSuperSeed = 4242;
const int kSuperStyle = 2;
const TileCode kSuperColumns[3][10] = {
    {2, 22, 18, 11, 12, 9, 31, 33, 38, 8},
    {13, 37, 30, 30, 35, 18, 40, 28, 9, 24},
    {3, 12, 39, 4, 30, 7, 3, 23, 16, 16},
};

TEST(Deal, PinnedEasyBoardForSeed) {
    SeededRandom rng(kEasySeed);
    CBoard b;
    const DealRecord r = b.Deal(Easy, 1, rng);
    ASSERT_TRUE(r.dealt);
    ASSERT_FALSE(r.shuffled);
    EXPECT_EQ(r.frameStyle, kEasyStyle);
    EXPECT_EQ(b.FrameStyle(), kEasyStyle);
    for (int x = 0; x < 12; ++x)
        for (int y = 0; y < 7; ++y)
            EXPECT_EQ(b.At(x + 2, y + 2), kEasyBoard[x][y]) << "cell " << x + 2 << "," << y + 2;
    // 84 permutation draws and the frame style; no shuffle.
    EXPECT_EQ(rng.draws, 85);
}

TEST(Deal, PinnedSuperColumnsAndDoubledCodes) {
    SeededRandom rng(kSuperSeed);
    CBoard b;
    const DealRecord r = b.Deal(Super, 1, rng);
    ASSERT_FALSE(r.shuffled);
    EXPECT_EQ(r.frameStyle, kSuperStyle);
    for (int x = 0; x < 3; ++x)
        for (int y = 0; y < 10; ++y)
            EXPECT_EQ(b.At(x + 2, y + 2), kSuperColumns[x][y]) << "cell " << x + 2 << "," << y + 2;
    // b = 21: codes 21 to 26 six times each.
    const auto counts = CodeCounts(b);
    for (int code = 1; code <= 42; ++code)
        EXPECT_EQ(counts.at(code), code >= 21 && code <= 26 ? 6 : 4) << "code " << code;
    EXPECT_EQ(rng.draws, 182);
}

// deal(64507, 1) is dead; the free shuffle then draws a second permutation q of the 84 listed
// cells (x outer, y inner) and cell i takes the code of listed cell q[i]:
//   listed = [c for col in cols for c in col]; q = perm(84, r)  # r continues after the style
//   after = [listed[q[i]] for i in range(84)]
const int kDeadSeed = 64507;
const TileCode kDeadDeal[12][7] = {
    {14, 4, 1, 11, 15, 3, 8},   {13, 9, 10, 16, 6, 20, 6}, {17, 12, 7, 11, 15, 18, 10},
    {21, 18, 6, 12, 21, 5, 16}, {18, 4, 5, 13, 9, 21, 7},  {3, 1, 18, 1, 2, 17, 14},
    {7, 19, 8, 16, 12, 6, 11},  {8, 2, 20, 19, 14, 3, 9},  {20, 4, 9, 13, 17, 19, 15},
    {2, 7, 11, 4, 19, 8, 12},   {16, 3, 21, 10, 2, 5, 13}, {10, 15, 20, 14, 5, 17, 1},
};
const TileCode kDeadDealShuffled[12][7] = {
    {3, 21, 1, 6, 19, 17, 19},  {1, 10, 11, 17, 9, 4, 8},    {8, 7, 7, 16, 2, 15, 12},
    {17, 16, 1, 21, 3, 20, 6},  {20, 12, 14, 17, 13, 3, 16}, {2, 13, 4, 6, 13, 18, 9},
    {10, 15, 19, 15, 9, 2, 12}, {10, 8, 7, 10, 5, 18, 18},   {14, 19, 8, 21, 11, 20, 1},
    {6, 5, 2, 4, 14, 11, 3},    {5, 7, 5, 12, 16, 14, 11},   {4, 15, 20, 21, 18, 9, 13},
};

TEST(Deal, DeadDealIsShuffledFreeOfCharge) {
    CBoard dead;
    dead.SetDifficultyAndLevel(Easy, 1);
    FillRegion(dead, [](int x, int y) { return kDeadDeal[x - 2][y - 2]; });
    ASSERT_FALSE(dead.FindMovablePair()) << "the pinned deal should have no removable pair";

    SeededRandom rng(kDeadSeed);
    CBoard b;
    const DealRecord r = b.Deal(Easy, 1, rng);
    EXPECT_TRUE(r.shuffled);
    EXPECT_EQ(r.frameStyle, 6);
    EXPECT_EQ(rng.draws, 84 + 1 + 84);
    for (int x = 0; x < 12; ++x)
        for (int y = 0; y < 7; ++y)
            EXPECT_EQ(b.At(x + 2, y + 2), kDeadDealShuffled[x][y]) << x + 2 << "," << y + 2;
}

TEST(Deal, InvariantsOverManySeedsForEveryDifficulty) {
    for (int difficulty = Easy; difficulty <= Super; ++difficulty) {
        const DifficultyInfo& d = GetDifficultyInfo(difficulty);
        for (unsigned seed = 1; seed <= 150; ++seed) {
            SeededRandom rng(seed * 7919u);
            CBoard b;
            const DealRecord r = b.Deal(difficulty, 1 + static_cast<int>(seed % 11), rng);
            ASSERT_TRUE(r.dealt);
            ASSERT_TRUE(TilesInRegion(b)) << "difficulty " << difficulty << " seed " << seed;
            ASSERT_EQ(b.TileCount(), d.width * d.height);
            ASSERT_GE(r.frameStyle, 1);
            ASSERT_LE(r.frameStyle, 6);
            const auto counts = CodeCounts(b);
            ASSERT_EQ(static_cast<int>(counts.rbegin()->first) <= d.kinds, true);
            ASSERT_EQ(static_cast<int>(counts.size()), d.kinds);
            int six = 0, firstSix = 0;
            for (const auto& [code, count] : counts) {
                ASSERT_EQ(count % 2, 0);
                if (count == 6) {
                    if (six == 0) firstSix = code;
                    ++six;
                } else {
                    ASSERT_EQ(count, 4) << "code " << code;
                }
            }
            if (difficulty == Super) {
                ASSERT_EQ(six, 6);
                // Six consecutive codes.
                for (int c = firstSix; c < firstSix + 6; ++c) ASSERT_EQ(counts.at(c), 6);
            } else {
                ASSERT_EQ(six, 0);
            }
            // Every deal leaves a removable pair, no selection, no hint.
            ASSERT_TRUE(b.FindMovablePair());
            ASSERT_EQ(b.GetSelection().count, 0);
            ASSERT_FALSE(b.Hint().IsSet());
            for (int x = 0; x < kGridWidth; ++x)
                for (int y = 0; y < kGridHeight; ++y) ASSERT_EQ(b.Mark(x, y), 0);
        }
    }
}

TEST(Deal, SuperTopDoubledCodesAre37To42WhenBIs37) {
    // With every permutation draw 0 the permutation is fixed; the next draw, 36, gives b = 37.
    std::vector<int> values(180, 0);
    values.push_back(36);
    values.push_back(0);  // frame style 1
    ScriptedRandom rng(values);
    CBoard b;
    b.Deal(Super, 1, rng);
    const auto counts = CodeCounts(b);
    for (int code = 1; code <= 42; ++code)
        EXPECT_EQ(counts.at(code), code >= 37 ? 6 : 4) << "code " << code;
    EXPECT_EQ(b.FrameStyle(), 1);
}

TEST(Deal, ClearsSelectionAndHintButKeepsSearchStart) {
    SeededRandom rng(99);
    CBoard b;
    b.Deal(Normal, 1, rng);
    ASSERT_TRUE(b.ShowHint());
    // Select some tile.
    ASSERT_EQ(b.LeftClick(Cell{2, 2}).outcome, ClickOutcome::FirstSelected);
    b.SetSearchStart(7);
    b.Deal(Normal, 2, rng);
    EXPECT_EQ(b.GetSelection().count, 0);
    EXPECT_EQ(b.Mark(2, 2), 0);
    EXPECT_FALSE(b.Hint().IsSet());
    EXPECT_EQ(b.GetLevel(), 2);
    // The deal's own pair search starts at column 7 and moves the start past the pair it found.
    EXPECT_NE(b.SearchStart(), 0);
}

TEST(Deal, RejectsUnknownDifficultyWithoutDrawing) {
    ScriptedRandom rng({1, 2, 3});
    CBoard b;
    b.Set(5, 5, 3);
    EXPECT_FALSE(b.Deal(0, 1, rng).dealt);
    EXPECT_FALSE(b.Deal(5, 1, rng).dealt);
    EXPECT_EQ(rng.Draws(), 0u);
    EXPECT_EQ(b.At(5, 5), 3);
}

TEST(RandomPermutation, PinnedForSeedAndAlwaysAPermutation) {
    SeededRandom rng(kEasySeed);
    const Permutation p = RandomPermutation(8, rng);
    const int expected[8] = {2, 4, 5, 3, 6, 1, 7, 0};  // perm(8, lcg(20261207))
    ASSERT_EQ(p.n, 8);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(p.p[i], expected[i]) << i;
    EXPECT_EQ(rng.draws, 8);

    for (int n = 2; n <= 180; n += 2) {
        SeededRandom r(static_cast<unsigned>(n) * 31u);
        const Permutation q = RandomPermutation(n, r);
        std::vector<int> seen(n, 0);
        for (int i = 0; i < n; ++i) {
            ASSERT_LT(q.p[i], n);
            ++seen[q.p[i]];
        }
        for (int i = 0; i < n; ++i) ASSERT_EQ(seen[i], 1) << "n " << n << " value " << i;
    }
}

TEST(RandomPermutation, CollisionTakesFirstFreeSlotThenDeinterleaves) {
    // Draws 3, 3, 3, 3 with n = 4: a=0 -> p[3]; a=1,2,3 -> first free slots 0, 1, 2.
    // p = [1, 2, 3, 0]; each de-interleave swaps the middle two: [1, 3, 2, 0], [1, 2, 3, 0],
    // [1, 3, 2, 0].
    ScriptedRandom rng({3, 3, 3, 3});
    const Permutation p = RandomPermutation(4, rng);
    EXPECT_EQ(p.p[0], 1);
    EXPECT_EQ(p.p[1], 3);
    EXPECT_EQ(p.p[2], 2);
    EXPECT_EQ(p.p[3], 0);
}

TEST(RandomPermutation, StrayNegativeDrawsStillGiveAPermutation) {
    ScriptedRandom rng({-1, -7, -32768, -5, -3, -2});
    const Permutation p = RandomPermutation(6, rng);
    std::vector<int> seen(6, 0);
    for (int i = 0; i < 6; ++i) {
        ASSERT_LT(p.p[i], 6);
        ++seen[p.p[i]];
    }
    EXPECT_EQ(seen, std::vector<int>(6, 1));
    CBoard b;
    ScriptedRandom negative({-1});
    ASSERT_TRUE(b.Deal(Super, 1, negative).dealt);
    EXPECT_TRUE(TilesInRegion(b));
    EXPECT_GE(b.FrameStyle(), 1);
    EXPECT_LE(b.FrameStyle(), 6);
}

TEST(Geometry, CellRectAndCentre) {
    EXPECT_EQ(CellRect(Easy, 2, 2), (Rect{160, 115, 200, 165}));
    EXPECT_EQ(CellRect(Super, 19, 11),
              (Rect{40 + 17 * 40, 18 + 9 * 50, 40 + 18 * 40, 18 + 10 * 50}));
    EXPECT_EQ(CellCentre(Easy, 2, 2), (Point{180, 140}));
    // Column 1 of Easy lies 20 pixels left of the origin; row 1 of Super above the client area.
    EXPECT_EQ(CellCentre(Easy, 1, 2).x, 160 - 20);
    EXPECT_EQ(CellCentre(Super, 2, 1).y, -7);
}

TEST(Geometry, CellFromPointTruncatesTowardZeroAndClamps) {
    // Up to 39 pixels left of the origin still gives column 2; 40 gives column 1.
    EXPECT_EQ(CellFromPoint(Easy, 160 - 20, 140), (Cell{2, 2}));
    EXPECT_EQ(CellFromPoint(Easy, 160 - 10, 140), (Cell{2, 2}));
    EXPECT_EQ(CellFromPoint(Easy, 160 - 39, 115 - 49), (Cell{2, 2}));
    EXPECT_EQ(CellFromPoint(Easy, 160 - 40, 115 - 50), (Cell{1, 1}));
    EXPECT_EQ(CellFromPoint(Easy, 160 - 81, 140), (Cell{0, 2}));
    EXPECT_EQ(CellFromPoint(Hard, 80 + 40 * 5 + 39, 65 + 50 * 3 + 49), (Cell{7, 5}));
    // Clamping at all four sides.
    EXPECT_EQ(CellFromPoint(Easy, -5000, -5000), (Cell{0, 0}));
    EXPECT_EQ(CellFromPoint(Super, 5000, 5000), (Cell{21, 13}));
    EXPECT_EQ(CellFromPoint(Super, 40 + 40 * 25, 18), (Cell{21, 2}));
}

TEST(ShiftModeNames, ElevenNamesInLevelOrder) {
    EXPECT_STREQ(ShiftModeName(1), "不变化");
    EXPECT_STREQ(ShiftModeName(4), "上下分离");
    EXPECT_STREQ(ShiftModeName(11), "向内集中");
    EXPECT_STREQ(ShiftModeName(0), "");
    EXPECT_STREQ(ShiftModeName(12), "");
}

}  // namespace
