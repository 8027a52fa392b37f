// Level backgrounds (img\%d%02d.jpg at the board-area size), the idle picture z0 and the four
// all-cleared pictures z1..z4 (800 x 575).
#pragma once

#include "tools/assetgen/fonts.h"
#include "tools/assetgen/raster.h"

namespace assetgen {

constexpr int kIdleW = 800, kIdleH = 575;
// The part of an idle picture the window's client area shows.
constexpr int kVisibleW = 794, kVisibleH = 530;

// The board area a level background covers, as the game draws it: the difficulty's columns
// and rows on the cell pitch, from the board's own table.
int BoardWidth(int difficulty);
int BoardHeight(int difficulty);

Image MakeLevelBackground(int difficulty, int level);
Image MakeIdlePicture(const TextFont& font, const EmojiFont& emoji);
Image MakeAllClearedPicture(int difficulty, const TextFont& font, const EmojiFont& emoji);

}  // namespace assetgen
