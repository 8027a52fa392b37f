// Helpers shared by the board tests: random sources and board builders.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <map>
#include <utility>
#include <vector>

#include "game/board/board.h"

// The runtime library's generator, written out again here so that the tests do not take the
// rule from the code under test.
class SeededRandom : public RandomSource {
  public:
    explicit SeededRandom(unsigned seed) : m_state(seed) {}
    int Rand() override {
        m_state = m_state * 214013u + 2531011u;
        ++draws;
        return static_cast<int>((m_state >> 16) & 0x7FFF);
    }
    int draws = 0;

  private:
    unsigned m_state;
};

// Plays back a fixed list of values, then repeats the last one.
class ScriptedRandom : public RandomSource {
  public:
    explicit ScriptedRandom(std::vector<int> values) : m_values(std::move(values)) {}
    int Rand() override {
        const int v = m_values.empty()
                          ? 0
                          : m_values[m_next < m_values.size() ? m_next : m_values.size() - 1];
        ++m_next;
        return v;
    }
    std::size_t Draws() const { return m_next; }

  private:
    std::vector<int> m_values;
    std::size_t m_next = 0;
};

struct Placed {
    int x, y;
    TileCode code;
};

// An empty board of the difficulty and level with the given tiles placed.
inline CBoard MakeBoard(int difficulty, int level, std::initializer_list<Placed> tiles) {
    CBoard b;
    b.SetDifficultyAndLevel(difficulty, level);
    for (const Placed& t : tiles) b.Set(t.x, t.y, t.code);
    return b;
}

// The whole board region filled; tile codes from `code(x, y)`.
template <typename F>
void FillRegion(CBoard& b, F code) {
    const DifficultyInfo& d = GetDifficultyInfo(b.GetDifficulty());
    for (int x = 2; x <= d.width + 1; ++x)
        for (int y = 2; y <= d.height + 1; ++y) b.Set(x, y, code(x, y));
}

// Number of tiles of each code on the whole grid.
inline std::map<TileCode, int> CodeCounts(const CBoard& b) {
    std::map<TileCode, int> counts;
    for (int x = 0; x < kGridWidth; ++x)
        for (int y = 0; y < kGridHeight; ++y)
            if (b.At(x, y) > 0) ++counts[b.At(x, y)];
    return counts;
}

// Column x of the grid, rows `from` to `to`.
inline std::vector<TileCode> Column(const CBoard& b, int x, int from, int to) {
    std::vector<TileCode> v;
    for (int y = from; y <= to; ++y) v.push_back(b.At(x, y));
    return v;
}

inline std::vector<TileCode> Row(const CBoard& b, int y, int from, int to) {
    std::vector<TileCode> v;
    for (int x = from; x <= to; ++x) v.push_back(b.At(x, y));
    return v;
}

// True when every tile lies in the board region, the ring is WALL and the rest of the interior
// holds no tile.
inline bool TilesInRegion(const CBoard& b) {
    const DifficultyInfo& d = GetDifficultyInfo(b.GetDifficulty());
    for (int x = 0; x < kGridWidth; ++x) {
        for (int y = 0; y < kGridHeight; ++y) {
            const bool ring = x == 0 || y == 0 || x == kGridWidth - 1 || y == kGridHeight - 1;
            const bool region = x >= 2 && x <= d.width + 1 && y >= 2 && y <= d.height + 1;
            if (ring && b.At(x, y) != WALL) return false;
            if (!ring && !region && b.At(x, y) != EMPTY) return false;
            if (region && b.At(x, y) < 0) return false;
        }
    }
    return true;
}
