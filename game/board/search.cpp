// The pair search with its rotating start column, the shuffle and the board's half of a hint.
#include "game/board/board.h"

namespace {

// The search covers columns 0..W+1: the board region and the empty columns left of it.
int SearchColumns(int difficulty) { return GetDifficultyInfo(difficulty).width + 2; }

}  // namespace

std::optional<MovablePair> CBoard::FindMovablePair() const {
    const int columns = SearchColumns(m_difficulty);
    const int rows = GetDifficultyInfo(m_difficulty).height + 2;
    for (int s = 0; s < columns; ++s) {
        const int x = (m_searchStart + s) % columns;
        for (int y = 0; y < rows; ++y) {
            const TileCode code = m_grid[x][y];
            if (code <= 0) continue;
            for (int x2 = 0; x2 < columns; ++x2) {
                for (int y2 = 0; y2 < rows; ++y2) {
                    if ((x2 == x && y2 == y) || m_grid[x2][y2] != code) continue;
                    if (const std::optional<PathRecord> path = CanLink(x, y, x2, y2))
                        return MovablePair{HintPair{x, y, x2, y2}, *path};
                }
            }
        }
    }
    return std::nullopt;
}

std::optional<HintPair> CBoard::FindPairAndAdvanceStart() {
    const std::optional<MovablePair> found = FindMovablePair();
    if (!found) return std::nullopt;
    m_path = found->path;
    m_searchStart = (found->cells.x1 + 1) % SearchColumns(m_difficulty);
    return found->cells;
}

ShuffleOutcome CBoard::Shuffle(RandomSource& rng) {
    Cell cells[kGridWidth * kGridHeight];
    TileCode codes[kGridWidth * kGridHeight];
    int n = 0;
    for (int x = 0; x < kGridWidth; ++x) {
        for (int y = 0; y < kGridHeight; ++y) {
            if (m_grid[x][y] > 0) {
                cells[n] = Cell{x, y};
                codes[n] = m_grid[x][y];
                ++n;
            }
        }
    }
    // An odd count cannot be cleared anyway, and more than the permutation can index never
    // comes from a deal.
    if (n == 0 || n % 2 != 0 || n > kMaxTiles) return ShuffleOutcome::Unchanged;

    const Permutation perm = RandomPermutation(n, rng);
    for (int i = 0; i < n; ++i) m_grid[cells[i].x][cells[i].y] = codes[perm.p[i]];

    // The check is the game's pair search: a pair found moves the search start on and becomes
    // the path record.
    if (FindPairAndAdvanceStart()) return ShuffleOutcome::Shuffled;

    // Still dead: give the first two tiles in scan order the same code. They are neighbours in
    // one column, or the first is alone in its column and the second is the topmost tile of a
    // later column with row 1 free between them, so they can always be joined.
    const Cell f = cells[0];
    const Cell s = cells[1];
    const TileCode fCode = m_grid[f.x][f.y];
    // Equal already: only walls or other blockers the deal never makes can keep them apart.
    if (m_grid[s.x][s.y] == fCode) return ShuffleOutcome::ForcedPair;
    for (int i = 2; i < n; ++i) {
        const Cell t = cells[i];
        if (m_grid[t.x][t.y] == fCode) {
            m_grid[t.x][t.y] = m_grid[s.x][s.y];
            m_grid[s.x][s.y] = fCode;
            return ShuffleOutcome::ForcedPair;
        }
    }
    // Only a board with an odd count of some code gets here; it stays as shuffled.
    return ShuffleOutcome::Shuffled;
}

bool CBoard::ShowHint() {
    const std::optional<HintPair> pair = FindPairAndAdvanceStart();
    if (pair) m_hint = *pair;
    return pair.has_value();
}
