// Grid, geometry, the permutation and the deal.
#include "game/board/board.h"

namespace {

// width, height, kinds, originX, originY, Ax, Ay, reshuffles, hints, tick, numeral, name. The split
// row gives Easy's extra row to the lower part and Hard's to the upper part; Super splits at
// row 6. The tiles are 46 x 56 on the 40 x 50 pitch, so each tile's bevel is hidden by the face
// of its right and lower neighbours. The harder the board, the slower the countdown's second.
const DifficultyInfo kDifficulties[4] = {
    {12, 7, 21, 160, 115, 7, 4, 2, 4, 600, "Ⅰ", "初级"},
    {14, 8, 28, 120, 90, 8, 5, 3, 6, 700, "Ⅱ", "中级"},
    {16, 9, 36, 80, 65, 9, 6, 4, 8, 800, "Ⅲ", "高级"},
    {18, 10, 42, 40, 18, 10, 6, 5, 10, 830, "Ⅳ", "特高"},
};

bool InGrid(int x, int y) { return x >= 0 && x < kGridWidth && y >= 0 && y < kGridHeight; }

// Integer division truncating toward zero, as C++ defines it; named for the reader.
int DivTrunc(int a, int b) { return a / b; }

int Clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

// rand() mod n. The generator gives 0..32767; a source that strayed below 0 still yields an
// index in range.
int Draw(RandomSource& rng, int n) {
    return static_cast<int>(static_cast<unsigned>(rng.Rand()) % static_cast<unsigned>(n));
}

}  // namespace

bool IsValidDifficulty(int difficulty) { return difficulty >= Easy && difficulty <= Super; }

const DifficultyInfo& GetDifficultyInfo(int difficulty) {
    return kDifficulties[IsValidDifficulty(difficulty) ? difficulty - 1 : 0];
}

Point CellCentre(int difficulty, int x, int y) {
    const DifficultyInfo& d = GetDifficultyInfo(difficulty);
    return Point{d.originX + kCellWidth * x - 60, d.originY + kCellHeight * y - 75};
}

Rect CellRect(int difficulty, int x, int y) {
    const DifficultyInfo& d = GetDifficultyInfo(difficulty);
    const int left = d.originX + kCellWidth * (x - 2);
    const int top = d.originY + kCellHeight * (y - 2);
    return Rect{left, top, left + kCellWidth, top + kCellHeight};
}

Cell CellFromPoint(int difficulty, int px, int py) {
    const DifficultyInfo& d = GetDifficultyInfo(difficulty);
    // Truncation toward zero puts points up to 39 pixels left of the origin (49 above it) into
    // column 2 (row 2), not column 1.
    const int x = DivTrunc(px - d.originX, kCellWidth) + 2;
    const int y = DivTrunc(py - d.originY, kCellHeight) + 2;
    return Cell{Clamp(x, 0, kGridWidth - 1), Clamp(y, 0, kGridHeight - 1)};
}

Permutation RandomPermutation(int n, RandomSource& rng) {
    constexpr std::uint8_t kFree = 0xFF;
    Permutation result;
    n = Clamp(n, 0, kMaxTiles);
    result.n = n;
    std::array<std::uint8_t, kMaxTiles> p;
    p.fill(kFree);
    for (int a = 0; a < n; ++a) {
        const int r = Draw(rng, n);
        if (p[r] == kFree) {
            p[r] = static_cast<std::uint8_t>(a);
        } else {
            for (int i = 0; i < n; ++i) {
                if (p[i] == kFree) {
                    p[i] = static_cast<std::uint8_t>(a);
                    break;
                }
            }
        }
    }
    // Three de-interleaving passes: even positions first, then odd ones, into a fresh array.
    for (int pass = 0; pass < 3; ++pass) {
        std::array<std::uint8_t, kMaxTiles> next;
        next.fill(kFree);
        int k = 0;
        for (int i = 0; i < n; i += 2) next[k++] = p[i];
        for (int i = 1; i < n; i += 2) next[k++] = p[i];
        p = next;
    }
    for (int i = 0; i < n; ++i) result.p[i] = p[i];
    return result;
}

CBoard::CBoard() { ClearGrid(); }

void CBoard::ClearGrid() {
    for (int x = 0; x < kGridWidth; ++x) {
        for (int y = 0; y < kGridHeight; ++y) {
            const bool ring = x == 0 || y == 0 || x == kGridWidth - 1 || y == kGridHeight - 1;
            m_grid[x][y] = ring ? WALL : EMPTY;
        }
    }
}

TileCode CBoard::At(int x, int y) const { return InGrid(x, y) ? m_grid[x][y] : WALL; }

void CBoard::Set(int x, int y, TileCode code) {
    if (InGrid(x, y)) m_grid[x][y] = code;
}

int CBoard::Mark(int x, int y) const { return IsSelected(Cell{x, y}) ? 1 : 0; }

bool CBoard::IsCleared() const { return TileCount() == 0; }

int CBoard::TileCount() const {
    int count = 0;
    for (int x = 0; x < kGridWidth; ++x)
        for (int y = 0; y < kGridHeight; ++y)
            if (m_grid[x][y] > 0) ++count;
    return count;
}

void CBoard::SetDifficultyAndLevel(int difficulty, int level) {
    if (IsValidDifficulty(difficulty)) m_difficulty = difficulty;
    m_level = level;
}

void CBoard::SetSearchStart(int column) { m_searchStart = column < 0 ? 0 : column; }

DealRecord CBoard::Deal(int difficulty, int level, RandomSource& rng) {
    DealRecord record;
    if (!IsValidDifficulty(difficulty)) return record;
    m_difficulty = difficulty;
    m_level = level;
    const DifficultyInfo& d = GetDifficultyInfo(difficulty);

    // The interior emptied and the ring walled, before the fill.
    ClearGrid();

    // The permutation, then (Super) the first of the six doubled codes, then the fill, column by
    // column.
    const int n = d.width * d.height;
    const Permutation perm = RandomPermutation(n, rng);
    int b = 0;
    if (difficulty == Super) b = Draw(rng, 37) + 1;
    int next = 0;
    for (int x = 2; x <= d.width + 1; ++x) {
        for (int y = 2; y <= d.height + 1; ++y) {
            const int v = perm.p[next++];
            TileCode code;
            if (difficulty != Super)
                code = v % d.kinds + 1;
            else if (v < 168)
                code = v % 42 + 1;
            else
                code = b + (v - 168) / 2;
            m_grid[x][y] = code;
        }
    }

    // The frame style is drawn after the fill; the new level starts with no path, no
    // selection and no hint.
    m_frameStyle = Draw(rng, 6) + 1;
    m_path = PathRecord{};
    m_selection = Selection{};
    m_hint = HintPair{};

    // A dead deal is shuffled free of charge. The check is the game's pair search, so a pair
    // found moves the search start on and becomes the path record.
    if (!FindPairAndAdvanceStart()) {
        Shuffle(rng);
        record.shuffled = true;
    }
    record.dealt = true;
    record.frameStyle = m_frameStyle;
    return record;
}
