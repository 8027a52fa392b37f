// The levels and their shift modes: how the remaining tiles slide after a pair is removed, and
// the number the player sees for a level. Pure C++17, like the rest of the board.
#pragma once

#include "game/board/board.h"

// A level's shift rule. Level n plays mode n, so a mode's value is its level's number; that is
// also the value a ShiftRecord carries. "Upper" and "lower" part, "left" and "right" part are
// split at the difficulty's split row and split column.
enum class ShiftMode : int {
    None = 1,           // 不变化: nothing moves
    Down,               // 向下: the tiles above the removed cell fall into it
    Left,               // 向左: the tiles right of the removed cell close up to the left
    ApartUpDown,        // 上下分离: upper part up, lower part down
    ApartLeftRight,     // 左右分离: left part left, right part right
    TogetherUpDown,     // 上下集中: upper part down, lower part up
    TogetherLeftRight,  // 左右集中: left part right, right part left
    RowsLeftRight,      // 上左下右: rows of the upper part left, of the lower part right
    ColumnsDownUp,      // 左下右上: columns of the left part down, of the right part up
    Outward,            // 向外扩散: apart up and down, then apart left and right
    Inward,             // 向内集中: together left and right, then together up and down
};

// One row of the mode table. A one-phase mode moves the line of each removed cell by itself;
// a two-phase mode moves it by its first phase, then moves the line of the hole that left by
// its second phase. Levels without a shift have no phase.
struct ShiftModeInfo {
    const char* name;  // as the status panel shows it (UTF-8)
    ShiftMode first;   // None: the mode moves nothing
    ShiftMode second;  // None: the mode has one phase
};

// The mode a level 1..11 plays; None for any other level (which does not shift).
ShiftMode ShiftModeOfLevel(int level);
const ShiftModeInfo& GetShiftModeInfo(ShiftMode mode);
// Name of the shift mode of a level 1..11 (UTF-8), e.g. "不变化" for level 1; "" outside 1..11.
const char* ShiftModeName(int level);

// The number the status panel shows for a level: the first level is shown as 0 and the last as
// 10, while everything else counts levels from 1 (the backgrounds img\101.jpg to img\111.jpg,
// the adverts, the shift modes, the last-level test). The message on clearing a level names the
// next level by this shown number, which is the number of the level just cleared.
int ShownLevelNumber(int level);
