// The pair search on a dead Super board, its worst case (every ordered pair of equal tiles is
// tried and refused), and the link test's worst cases: two bends scanned in all four directions.
#include <benchmark/benchmark.h>

#include "game/board/board.h"

namespace {

// A full Super board with no removable pair: no two equal codes are neighbours, and the tiles of
// the four edges of the region, which could meet round the outside, all differ. Codes are used
// more often than a deal would use them, which only makes the search longer.
CBoard DeadSuperBoard() {
    CBoard b;
    b.SetDifficultyAndLevel(Super, 1);
    for (int x = 2; x <= 19; ++x) {
        for (int y = 2; y <= 11; ++y) {
            const bool edge = x == 2 || x == 19 || y == 2 || y == 11;
            // Edge cells take distinct codes 1..? by their position round the ring; inner cells
            // alternate two codes in a checkerboard, which are never neighbours of themselves.
            TileCode code;
            if (edge) {
                int k;
                if (y == 2)
                    k = x - 2;  // 0..17
                else if (x == 19)
                    k = 18 + (y - 3);  // 18..26
                else if (y == 11)
                    k = 27 + (18 - x);  // 27..43 for x = 18..2
                else
                    k = 44 + (y - 3);  // 44..51 for x = 2, y = 3..10
                code = 100 + k;
            } else {
                code = (x + y) % 2 == 0 ? 1 : 2;
            }
            b.Set(x, y, code);
        }
    }
    return b;
}

void BM_FindMovablePairDeadSuper(benchmark::State& state) {
    CBoard b = DeadSuperBoard();
    if (b.FindMovablePair()) {
        state.SkipWithError("the board is not dead");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(b.FindMovablePair());
    }
}
BENCHMARK(BM_FindMovablePairDeadSuper);

// Two equal tiles that no path joins, on an otherwise empty Super board: every one-bend corner
// and every first corner in all four directions is tried, each with two line checks.
void BM_CanLinkRefusedOpenBoard(benchmark::State& state) {
    CBoard b;
    b.SetDifficultyAndLevel(Super, 1);
    // Box in the second tile only, so the scans from the first run the full length of the grid.
    b.Set(10, 6, 7);
    b.Set(15, 9, 7);
    b.Set(14, 9, 1);
    b.Set(16, 9, 1);
    b.Set(15, 8, 1);
    b.Set(15, 10, 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(b.CanLink(10, 6, 15, 9));
    }
}
BENCHMARK(BM_CanLinkRefusedOpenBoard);

// A path found only by the last of the four scans, at its far end.
void BM_CanLinkLastScanFarCorner(benchmark::State& state) {
    CBoard b;
    b.SetDifficultyAndLevel(Super, 1);
    for (int x = 2; x <= 19; ++x)
        for (int y = 2; y <= 11; ++y) b.Set(x, y, 1 + (x * 13 + y) % 40);
    // The pair sits in the left column of the region: only the leftward scan reaches column 1.
    b.Set(2, 4, 42);
    b.Set(2, 9, 42);
    if (!b.CanLink(2, 4, 2, 9)) {
        state.SkipWithError("no path");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(b.CanLink(2, 4, 2, 9));
    }
}
BENCHMARK(BM_CanLinkLastScanFarCorner);

// A whole deal of a Super level, for scale.
class Lcg : public RandomSource {
  public:
    int Rand() override {
        m_state = m_state * 214013u + 2531011u;
        return static_cast<int>((m_state >> 16) & 0x7FFF);
    }

  private:
    unsigned m_state = 1;
};

void BM_DealSuper(benchmark::State& state) {
    Lcg rng;
    CBoard b;
    for (auto _ : state) {
        benchmark::DoNotOptimize(b.Deal(Super, 1, rng));
    }
}
BENCHMARK(BM_DealSuper);

}  // namespace
