// The board model: the 22 x 14 grid of tile codes with its selection, the deal, the link test,
// the pair search with hints and shuffles, the eleven shift modes and the board's half of a
// player's move. Pure C++17: nothing here knows of windows, drawing, sound or timers. A board is a
// plain value, so a caller can copy it and try moves on the copy.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

// Grid size and cell values.
constexpr int kGridWidth = 22;   // columns 0..21
constexpr int kGridHeight = 14;  // rows 0..13
constexpr int kCellWidth = 40;   // pixel pitch of a cell
constexpr int kCellHeight = 50;
constexpr int kMaxTiles = 180;  // the Super board, 18 x 10
constexpr int kLevelCount = 11;

using TileCode = std::int32_t;
constexpr TileCode WALL = -1;  // the outer ring; never passable, never a tile
constexpr TileCode EMPTY = 0;  // a path may run through it

enum Difficulty : int { Easy = 1, Normal = 2, Hard = 3, Super = 4 };

// One row of the difficulty table: everything that differs between the four difficulties.
// The board region is columns 2..width+1, rows 2..height+1.
struct DifficultyInfo {
    int width;    // W, tiles per row
    int height;   // H, tiles per column
    int kinds;    // K, number of different pictures dealt
    int originX;  // pixel position of the top-left corner of cell (2, 2)
    int originY;
    int splitColumn;  // Ax: last column of the left part
    int splitRow;     // Ay: last row of the upper part
    int reshuffles;   // stocks at the start of a new game
    int hints;
    unsigned tickPeriodMs;  // one second of the countdown, in milliseconds
    const char* numeral;    // shown for the difficulty: "Ⅰ" to "Ⅳ" (UTF-8)
    const char* name;       // the difficulty's name, "初级" to "特高" (UTF-8)
};

// The row for difficulty 1..4; any other value gives the Easy row, for the deal, the clicks,
// the drawing and the new-game stocks alike.
const DifficultyInfo& GetDifficultyInfo(int difficulty);
bool IsValidDifficulty(int difficulty);

struct Cell {
    int x = -1;
    int y = -1;
    bool operator==(const Cell& o) const { return x == o.x && y == o.y; }
    bool operator!=(const Cell& o) const { return !(*this == o); }
};

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point& o) const { return x == o.x && y == o.y; }
};

// Right and bottom edges exclusive.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const Rect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// Geometry shared by the click mapping and the drawing. Valid for every grid cell, including the
// cells outside the board region where path corners may lie.
Point CellCentre(int difficulty, int x, int y);
Rect CellRect(int difficulty, int x, int y);
// Maps a client-area point to a grid cell: divisions truncate toward zero, then the column is
// clamped to 0..21 and the row to 0..13.
Cell CellFromPoint(int difficulty, int px, int py);

// The source of every random choice: values 0..32767 as the runtime library's rand() gives them.
// The program backs it with the one generator seeded at start-up; tests with a seeded copy.
class RandomSource {
  public:
    virtual ~RandomSource() = default;
    virtual int Rand() = 0;
};

// A permutation of 0..n-1 in bytes; entries at n and beyond are unused.
struct Permutation {
    int n = 0;
    std::array<std::uint8_t, kMaxTiles> p{};
};
// n must be even and at most 180 (it is clamped to 0..180). Draws exactly n values.
Permutation RandomPermutation(int n, RandomSource& rng);

// A path that joins two tiles: bends 0, 1 or 2 and the corners it turns at, in order from the
// first tile; bends -1 where no path is recorded yet.
struct PathRecord {
    int bends = -1;
    Cell corners[2];
};

// The pair shown by a hint; all four -1 when none.
struct HintPair {
    int x1 = -1, y1 = -1, x2 = -1, y2 = -1;
    bool IsSet() const { return x1 >= 0; }
};

// A removable pair that the pair search found, and the path that joins it.
struct MovablePair {
    HintPair cells;
    PathRecord path;
};

// The selected tiles, in the order they were picked; the board draws them marked.
struct Selection {
    int count = 0;  // 0..2
    Cell cells[2];  // first and second selected cell; unused as -1
};

struct DealRecord {
    bool dealt = false;     // false only for a difficulty outside 1..4 (the board is unchanged)
    int frameStyle = 0;     // 1..6, drawn for this level
    bool shuffled = false;  // the dealt board had no removable pair and was shuffled free
};

enum class ShuffleOutcome {
    Unchanged,   // no tiles, or an odd number of them: nothing was moved
    Shuffled,    // codes redistributed and a removable pair exists
    ForcedPair,  // codes redistributed, still dead, so the first two tiles were given one code
};

// What a shift did: the mode applied (the level, 0 when the level has no shift) and whether any
// cell changed.
struct ShiftRecord {
    int mode = 0;
    bool changed = false;
};

// What a left click on a cell did to the selection. The window adds sounds and drawing:
//   Ignored           not a tile, or two tiles already selected: nothing changed, no sound
//   Unselected        the clicked tile was selected and is no longer: redraw it, no sound
//   FirstSelected     the first tile is selected: sound 138, redraw it
//   DifferentPictures second tile of another picture; both unselected: sound 147, redraw both
//   NoPath            same picture but no path; both unselected: sound 140, redraw both
//   Linked            a path joins the two: both stay selected until RemoveSelectedPair();
//                     redraw the second, draw `path`, link sound, award, then remove
enum class ClickOutcome { Ignored, Unselected, FirstSelected, DifferentPictures, NoPath, Linked };

struct ClickRecord {
    ClickOutcome outcome = ClickOutcome::Ignored;
    Cell cell;        // the clicked cell
    Cell first;       // the first selected cell (DifferentPictures, NoPath, Linked)
    Cell second;      // the second selected cell (DifferentPictures, NoPath, Linked)
    PathRecord path;  // the path to draw (Linked)
};

// What is left after a removed pair and its shift, decided by the pair search.
enum class RemovalOutcome {
    NotLinked,  // there was no linked pair to remove; nothing changed
    PairLeft,   // a removable pair remains: the window may draw a prize
    Cleared,    // no tile is left: the level is complete
    Dead,       // tiles remain but none can be removed: a paid reshuffle or the game is lost
};

struct RemovalRecord {
    RemovalOutcome outcome = RemovalOutcome::NotLinked;
    Cell first;
    Cell second;
    TileCode code = EMPTY;  // the picture of the removed pair
    ShiftRecord shift;
};

class CBoard {
  public:
    CBoard();  // every interior cell EMPTY, the ring WALL; Easy, level 1

    // Starts a level: fills the board region from a fresh permutation, draws the frame style,
    // resets the path record, selection and hint, and shuffles a dead deal free of charge. The
    // rand() order: n permutation draws, then b (Super only), then the frame style, then any
    // draws of the shuffle. The search start column is kept.
    DealRecord Deal(int difficulty, int level, RandomSource& rng);

    // Cell access. Out-of-grid reads give WALL and out-of-grid writes are ignored.
    TileCode At(int x, int y) const;
    TileCode At(Cell c) const { return At(c.x, c.y); }
    void Set(int x, int y, TileCode code);  // for callers that build a position
    int Mark(int x, int y) const;           // 1 on a selected cell, else 0
    bool IsCleared() const;                 // no cell holds a tile
    int TileCount() const;

    int GetDifficulty() const { return m_difficulty; }
    int GetLevel() const { return m_level; }
    // Sets difficulty and level without dealing (a position built with Set()).
    void SetDifficultyAndLevel(int difficulty, int level);
    int FrameStyle() const { return m_frameStyle; }

    // Geometry for the board's own difficulty.
    Point CellCentre(int x, int y) const { return ::CellCentre(m_difficulty, x, y); }
    Rect CellRect(int x, int y) const { return ::CellRect(m_difficulty, x, y); }
    Cell CellFromPoint(int px, int py) const { return ::CellFromPoint(m_difficulty, px, py); }

    // Link test. IsLineClear examines only the cells strictly between the two ends.
    bool IsLineClear(int x1, int y1, int x2, int y2) const;
    // The path that joins the two cells when they hold equal codes and a path of at most two
    // bends through EMPTY cells exists; of several, the first in the fixed order of the test.
    std::optional<PathRecord> CanLink(int x1, int y1, int x2, int y2) const;
    std::optional<PathRecord> CanLink(Cell a, Cell b) const { return CanLink(a.x, a.y, b.x, b.y); }
    // The path record: the path of the pair a click last linked or the game's pair search last
    // found (the checks of a deal and a shuffle included); bends -1 before the first.
    const PathRecord& Path() const { return m_path; }

    // The first removable pair of the pair search: columns from the search start column on,
    // wrapping round, each from the top, with the first partner in scan order. It only asks:
    // the game's own searches (a deal's, a shuffle's, a removal's and a hint's) are the ones
    // that move the search start.
    std::optional<MovablePair> FindMovablePair() const;
    int SearchStart() const { return m_searchStart; }
    void SetSearchStart(int column);  // taken modulo the column count of the pair search

    // Redistributes the codes over the same cells and makes sure a pair can be removed.
    ShuffleOutcome Shuffle(RandomSource& rng);

    // The board's half of the Hint command: the game's pair search puts its pair into the hint
    // pair. True when one was found (the window then plays the hint sound, spends a hint and
    // repaints); otherwise the hint pair is left as it was.
    bool ShowHint();
    const HintPair& Hint() const { return m_hint; }

    // Slides the remaining tiles after the pair (first, second) was emptied, by the level's mode.
    ShiftRecord ShiftAfterRemoval(Cell first, Cell second);

    // Player's move. LeftClick takes a grid cell (see CellFromPoint); the window checks first
    // that a game is in progress.
    ClickRecord LeftClick(Cell cell);
    // Completes a Linked click: empties both cells, shifts, clears the selection and runs the
    // game's pair search to tell what comes next; a pair found moves the search start on and
    // becomes the path record, as a hint's pair would.
    RemovalRecord RemoveSelectedPair();
    // Right click: cancels a selection of exactly one tile. True when it did (the window then
    // plays sound 147 and redraws `cancelled`).
    bool CancelSelection(Cell* cancelled = nullptr);
    const Selection& GetSelection() const { return m_selection; }

  private:
    void ClearGrid();  // every interior cell EMPTY, the ring WALL
    bool IsSelected(Cell cell) const;
    // The pair search as the game runs it, after a deal, a shuffle and a removal and for a hint:
    // the pair found becomes the path record, and the search start moves past the pair's first
    // column, so that the next search begins further right and successive hints go round the
    // board instead of showing the same pair again.
    std::optional<HintPair> FindPairAndAdvanceStart();

    TileCode m_grid[kGridWidth][kGridHeight];
    int m_difficulty = Easy;
    int m_level = 1;
    int m_frameStyle = 1;
    PathRecord m_path;
    Selection m_selection;
    HintPair m_hint;
    int m_searchStart = 0;  // lives as long as the board: a deal does not reset it
};
