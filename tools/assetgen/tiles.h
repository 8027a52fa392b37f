// Tile artwork (bitmaps 129 to 132), the window icon 128 and the hand cursor 197.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "game/res/data_layout.h"
#include "tools/assetgen/fonts.h"
#include "tools/assetgen/raster.h"

namespace assetgen {

// The sheet, frame and overlay sizes are the game's own (game/res/data_layout.h); the picture
// window inside a sheet cell is the generator's choice: the mask is black there.
constexpr int kWindowX = 2, kWindowY = 1;
constexpr int kWindowW = 35, kWindowH = 37;

// Code points of the pictures of each theme, in tile-code order (row k-1 holds code k).
const std::array<std::array<char32_t, kPictureCount>, kThemeCount>& ThemePictures();
const char* ThemeName(int theme);

// The tile sheet: per theme a picture column and a mask column, one sheet cell per code.
Image MakeTileSheet(const EmojiFont& emoji);
// The frame strip: the mask and the six frame colours, one tile-sized slice each.
Image MakeFrameStrip();
// True where the frame mask (slice 0) is white, i.e. outside the raised block.
bool FrameMaskWhite(int x, int y);
// The six frame colours, purple, green, orange, cyan, yellow, pink.
Rgba FrameColour(int style);  // style 1..6

// The program's icon at size x size (32 for resource 128; larger for the desktop).
Image MakeIcon(const EmojiFont& emoji, int size = 32);
Image MakeHandCursor();  // 32 x 32 with alpha; hotspot below
constexpr int kHandHotX = 9, kHandHotY = 1;

// A picture for people to look at: every tile of every theme composed the way the board
// composes them (mask AND, picture OR), on a frame of each colour, enlarged.
// Draws tile `code` of `theme` on a frame of `style` with its top-left at (x, y).
void ComposeTile(Image& out, int x, int y, const Image& sheet, const Image& frames, int theme,
                 int code, int style);
Image MakeTileContactSheet(const Image& sheet, const Image& frames, int scale);

}  // namespace assetgen
