// Reading the parts of the game's windows out of screenshots: where dialog controls lie (from
// their template's dialog units), text lines and words found by their ink, a message box's
// button row.
#pragma once

#include <functional>
#include <vector>

#include "tests/support/x_image.h"

namespace desktop {

using testsupport::Image;
using testsupport::Rect;

// A control of a dialog template in the dialog's client area: dialog units to pixels as the
// framework converts them (x * 6 / 4, y * 12 / 8, rounded), times the device-pixel ratio.
Rect DialogUnits(int x, int y, int cx, int cy, int scale = 1);

// Text pixels: clearly darker than a light background.
inline bool Dark(uint32_t c) { return testsupport::Luma(c) < 128; }

using InkTest = std::function<bool(uint32_t)>;

// The runs of rows of `area` holding ink, runs closer than `maxGap` blank rows joined: one
// rectangle (as wide as the ink in it) per line of text.
std::vector<Rect> InkRows(const Image& img, const Rect& area, int maxGap, const InkTest& ink);
// The same across columns: one rectangle per word or menu title.
std::vector<Rect> InkColumns(const Image& img, const Rect& area, int maxGap, const InkTest& ink);

// The lowest block of `area` that differs from `background`: rows up from the bottom until a
// blank row, as wide as what they hold (a message box's button). Empty when nothing is drawn.
Rect LowestBlock(const Image& img, const Rect& area, uint32_t background);

// The colours of `area` that are neither `background` nor `text`: the greys a smoothed font
// leaves around its strokes, or an icon's colours.
std::vector<uint32_t> OtherColours(const Image& img, const Rect& area, uint32_t background,
                                   uint32_t text);

}  // namespace desktop
