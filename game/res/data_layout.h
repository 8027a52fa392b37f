// The layout of the data kivra is built with and reads: the tile artwork (bitmaps 129 to 132)
// and the tune files. The drawing and the music read it, and so does the generator that makes
// the data, so it holds plain constants and includes no platform header.
#pragma once

// ---- tile artwork ----

// Three picture themes of 42 pictures; tile code k (1..42) is picture k of the chosen theme.
constexpr int kThemeCount = 3;
constexpr int kPictureCount = 42;

// Tile sheet (129): per theme a column of pictures and a column of their masks, one square
// cell per tile code, row k - 1 for code k.
constexpr int kSheetCell = 39;
constexpr int kSheetBand = 2 * kSheetCell;  // one theme: its picture column and mask column

// A tile is 46 x 56: its face on the board's cell pitch and a bevel right of it and below it.
// The frame strip (131) holds the frame mask and the six frame colours, one tile each.
constexpr int kTileWidth = 46;
constexpr int kTileHeight = 56;
constexpr int kFrameSlices = 7;

// Where a tile's picture (one sheet cell) lies on the tile.
constexpr int kPictureLeft = 1;
constexpr int kPictureTop = 5;

// The selection and hint overlays (130, 132) tint a tile's face. The bitmap is one column wider
// than what is drawn: the game draws 41 x 50 of the 42 x 50 bitmap, never its 42nd column.
constexpr int kOverlayBitmapWidth = 42;
constexpr int kOverlayDrawnWidth = 41;
constexpr int kOverlayHeight = 50;

// ---- music ----

// The background tunes are midi\101.mid to midi\117.mid.
constexpr int kFirstTune = 101;
constexpr int kTuneCount = 17;
