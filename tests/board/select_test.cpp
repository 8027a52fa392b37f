// The board's half of a player's move: selecting, unselecting, rejected pairs, a linked pair and
// its removal, and the right-click cancel.
#include <gtest/gtest.h>

#include <optional>

#include "board_test_support.h"

namespace {

// An Easy board with a linkable pair of 1 at (3, 3)-(3, 4), a pair of 2 at (6, 3)-(6, 6) and a
// walled-in 4 at (10, 5) whose partner at (12, 7) can never be reached.
CBoard Position(int level = 1) {
    CBoard b = MakeBoard(Easy, level,
                         {{3, 3, 1},
                          {3, 4, 1},
                          {6, 3, 2},
                          {6, 6, 2},
                          {10, 5, 4},
                          {9, 5, 5},
                          {11, 5, 5},
                          {10, 4, 6},
                          {10, 6, 6},
                          {12, 7, 4}});
    return b;
}

TEST(LeftClick, FirstSelectionThenUnselectAgain) {
    CBoard b = Position();
    ASSERT_TRUE(b.ShowHint());
    const ClickRecord r = b.LeftClick({3, 3});
    EXPECT_EQ(r.outcome, ClickOutcome::FirstSelected);
    EXPECT_EQ(b.Mark(3, 3), 1);
    EXPECT_EQ(b.GetSelection().count, 1);
    EXPECT_EQ(b.GetSelection().cells[0], (Cell{3, 3}));
    EXPECT_FALSE(b.Hint().IsSet()) << "a click on a tile clears the hint";

    EXPECT_EQ(b.LeftClick({3, 3}).outcome, ClickOutcome::Unselected);
    EXPECT_EQ(b.Mark(3, 3), 0);
    EXPECT_EQ(b.GetSelection().count, 0);
    EXPECT_EQ(b.GetSelection().cells[0], Cell{});
    EXPECT_EQ(b.At(3, 3), 1);
}

TEST(LeftClick, EmptyAndWallCellsAreIgnoredAndKeepTheHint) {
    CBoard b = Position();
    ASSERT_TRUE(b.ShowHint());
    EXPECT_EQ(b.LeftClick({4, 4}).outcome, ClickOutcome::Ignored);
    EXPECT_EQ(b.LeftClick({0, 0}).outcome, ClickOutcome::Ignored);
    EXPECT_EQ(b.LeftClick({-3, 40}).outcome, ClickOutcome::Ignored);
    EXPECT_TRUE(b.Hint().IsSet());
    EXPECT_EQ(b.GetSelection().count, 0);
}

TEST(LeftClick, DifferentPicturesAndNoPathClearTheSelection) {
    CBoard b = Position();
    b.LeftClick({3, 3});
    const ClickRecord different = b.LeftClick({6, 3});
    EXPECT_EQ(different.outcome, ClickOutcome::DifferentPictures);
    EXPECT_EQ(different.first, (Cell{3, 3}));
    EXPECT_EQ(different.second, (Cell{6, 3}));
    EXPECT_EQ(b.Mark(3, 3), 0);
    EXPECT_EQ(b.Mark(6, 3), 0);
    EXPECT_EQ(b.GetSelection().count, 0);

    b.LeftClick({10, 5});
    const ClickRecord noPath = b.LeftClick({12, 7});
    EXPECT_EQ(noPath.outcome, ClickOutcome::NoPath);
    EXPECT_EQ(b.Mark(10, 5), 0);
    EXPECT_EQ(b.Mark(12, 7), 0);
    EXPECT_EQ(b.GetSelection().count, 0);
    EXPECT_EQ(b.At(10, 5), 4);
    EXPECT_EQ(b.At(12, 7), 4);
}

TEST(LeftClick, LinkedPairWaitsForRemovalThenShifts) {
    CBoard b = Position(2);  // level 2: tiles fall down their column
    b.Set(6, 2, 9);
    b.Set(6, 5, 8);
    b.LeftClick({6, 6});
    const ClickRecord r = b.LeftClick({6, 3});
    ASSERT_EQ(r.outcome, ClickOutcome::Linked);
    // (6, 6) to (6, 3) with the 8 at (6, 5) between: the column scans turn back into the same
    // column and fail; the row scan to the right finds (7, 6) and (7, 3).
    EXPECT_EQ(r.path.bends, 2);
    EXPECT_EQ(r.path.corners[0], (Cell{7, 6}));
    EXPECT_EQ(r.path.corners[1], (Cell{7, 3}));
    EXPECT_EQ(b.GetSelection().count, 2);
    EXPECT_EQ(b.Mark(6, 6), 1);
    EXPECT_EQ(b.Mark(6, 3), 1);
    EXPECT_EQ(b.Path().corners[1], (Cell{7, 3})) << "the path record is the drawn path";
    EXPECT_EQ(b.At(6, 6), 2) << "the pair stays until it is removed";
    EXPECT_EQ(b.LeftClick({3, 3}).outcome, ClickOutcome::Ignored);

    const RemovalRecord removal = b.RemoveSelectedPair();
    EXPECT_EQ(removal.outcome, RemovalOutcome::PairLeft);
    EXPECT_EQ(removal.code, 2);
    EXPECT_EQ(removal.first, (Cell{6, 6}));
    EXPECT_EQ(removal.shift.mode, 2);
    EXPECT_TRUE(removal.shift.changed);
    // Column 6 was 9, 2, -, 8, 2: the 2 at row 3 goes; then the 8 falls to row 6 and the 9 to 3.
    EXPECT_EQ(Column(b, 6, 2, 6), (std::vector<TileCode>{EMPTY, 9, EMPTY, EMPTY, 8}));
    EXPECT_EQ(b.Mark(6, 6), 0);
    EXPECT_EQ(b.Mark(6, 3), 0);
    EXPECT_EQ(b.GetSelection().count, 0);
    // The search that told what comes next found the 1s of column 3: as after a hint, the
    // search start moves past that column and the path record is theirs.
    EXPECT_EQ(b.SearchStart(), 4);
    EXPECT_EQ(b.Path().bends, 0);
    // Nothing more to remove.
    EXPECT_EQ(b.RemoveSelectedPair().outcome, RemovalOutcome::NotLinked);
}

TEST(RemoveSelectedPair, ClearedAndDeadBoards) {
    CBoard last = MakeBoard(Hard, 1, {{4, 4, 7}, {9, 9, 7}});
    last.LeftClick({4, 4});
    ASSERT_EQ(last.LeftClick({9, 9}).outcome, ClickOutcome::Linked);
    EXPECT_EQ(last.RemoveSelectedPair().outcome, RemovalOutcome::Cleared);
    EXPECT_TRUE(last.IsCleared());

    CBoard dead = Position();
    for (const Cell& c : {Cell{6, 3}, Cell{6, 6}}) dead.Set(c.x, c.y, EMPTY);
    dead.LeftClick({3, 3});
    ASSERT_EQ(dead.LeftClick({3, 4}).outcome, ClickOutcome::Linked);
    // Left: the walled-in 4 and its partner, and the 5s and 6s around it, which can link.
    EXPECT_EQ(dead.RemoveSelectedPair().outcome, RemovalOutcome::PairLeft);
    CBoard onlyFours = MakeBoard(Easy, 1,
                                 {{3, 3, 1},
                                  {3, 4, 1},
                                  {10, 5, 4},
                                  {9, 5, WALL},
                                  {11, 5, WALL},
                                  {10, 4, WALL},
                                  {10, 6, WALL},
                                  {12, 7, 4}});
    onlyFours.LeftClick({3, 4});
    ASSERT_EQ(onlyFours.LeftClick({3, 3}).outcome, ClickOutcome::Linked);
    EXPECT_EQ(onlyFours.RemoveSelectedPair().outcome, RemovalOutcome::Dead);
}

TEST(CancelSelection, OnlyWithExactlyOneTileSelected) {
    CBoard b = Position();
    Cell cancelled;
    EXPECT_FALSE(b.CancelSelection(&cancelled));
    b.LeftClick({6, 6});
    ASSERT_TRUE(b.CancelSelection(&cancelled));
    EXPECT_EQ(cancelled, (Cell{6, 6}));
    EXPECT_EQ(b.Mark(6, 6), 0);
    EXPECT_EQ(b.GetSelection().count, 0);
    EXPECT_FALSE(b.CancelSelection());
}

TEST(Reshuffle, KeepsASelectedCellMarked) {
    SeededRandom rng(31);
    CBoard b;
    b.Deal(Normal, 1, rng);
    b.LeftClick({5, 5});
    b.Shuffle(rng);
    EXPECT_EQ(b.Mark(5, 5), 1);
    EXPECT_EQ(b.GetSelection().count, 1);
    EXPECT_GT(b.At(5, 5), 0);
}

TEST(CBoard, CopiesAreIndependent) {
    SeededRandom rng(8);
    CBoard b;
    b.Deal(Easy, 3, rng);
    CBoard trial = b;
    const std::optional<MovablePair> found = trial.FindMovablePair();
    ASSERT_TRUE(found);
    const HintPair& pair = found->cells;
    trial.LeftClick({pair.x1, pair.y1});
    ASSERT_EQ(trial.LeftClick({pair.x2, pair.y2}).outcome, ClickOutcome::Linked);
    trial.RemoveSelectedPair();
    EXPECT_EQ(trial.TileCount(), 82);
    EXPECT_EQ(b.TileCount(), 84);
    EXPECT_EQ(b.GetSelection().count, 0);
}

}  // namespace
