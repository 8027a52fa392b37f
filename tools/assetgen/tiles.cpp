#include "tools/assetgen/tiles.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "game/board/board.h"

namespace assetgen {

namespace {

// A tile's face fills the board's cell; the bevel, right of the face and below it, is the rest
// of the tile.
constexpr int kTileFaceW = kCellWidth, kTileFaceH = kCellHeight;
constexpr int kBevel = kTileWidth - kTileFaceW;
static_assert(kTileHeight - kTileFaceH == kBevel, "the bevel is as deep below as at the right");

}  // namespace

const std::array<std::array<char32_t, kPictureCount>, kThemeCount>& ThemePictures() {
    static const std::array<std::array<char32_t, kPictureCount>, kThemeCount> pictures = {{
        // 海洋世界: sea life, the coast and boats.
        {0x1F433, 0x1F42C, 0x1F41F, 0x1F420, 0x1F421, 0x1F988, 0x1F419, 0x1F991, 0x1F980,
         0x1F99E, 0x1F990, 0x1F9AA, 0x1F41A, 0x1FAB8, 0x1F300, 0x1F9AD, 0x1F422, 0x1F427,
         0x1F9A6, 0x1F40B, 0x1F30A, 0x2693,  0x26F5,  0x1F6A2, 0x1F6F6, 0x1F6A4, 0x1F3DD,
         0x1F3D6, 0x1F93F, 0x1F3C4, 0x1F6DF, 0x1F3A3, 0x1F9DC, 0x1F531, 0x1F9ED, 0x1FAE7,
         0x1F9A9, 0x1F40A, 0x1FABC, 0x1F305, 0x1F3CA, 0x1F334},
        // 花鸟鱼虫: flowers, birds, fish and insects.
        {0x1F338, 0x1F339, 0x1F33A, 0x1F33B, 0x1FABB, 0x1F337, 0x1F490, 0x1FAB7, 0x1F940,
         0x1F335, 0x1F340, 0x1F341, 0x1F33E, 0x1F344, 0x1F33F, 0x1FAB4, 0x1F426, 0x1F99C,
         0x1F99A, 0x1F989, 0x1F54A, 0x1F424, 0x1F413, 0x1F9A2, 0x1F985, 0x1FABA, 0x1F41F,
         0x1F420, 0x1F421, 0x1F38F, 0x1F98B, 0x1F41D, 0x1F41E, 0x1F997, 0x1F41C, 0x1FAB2,
         0x1F99F, 0x1F41B, 0x1F577, 0x1F40C, 0x1F982, 0x1FAB1},
        // 飞禽走兽: birds and beasts.
        {0x1F985, 0x1F986, 0x1F989, 0x1F99C, 0x1F99A, 0x1F413, 0x1F983, 0x1F427, 0x1F54A,
         0x1F9A9, 0x1F9A2, 0x1F9A4, 0x1F424, 0x1F987, 0x1F418, 0x1F981, 0x1F42F, 0x1F993,
         0x1F992, 0x1F98F, 0x1F99B, 0x1F42A, 0x1F998, 0x1F43B, 0x1F43C, 0x1F428, 0x1F43A,
         0x1F98A, 0x1F417, 0x1F434, 0x1F98C, 0x1F42E, 0x1F437, 0x1F411, 0x1F430, 0x1F43F,
         0x1F994, 0x1F412, 0x1F98D, 0x1F9A8, 0x1F436, 0x1F431},
    }};
    return pictures;
}

const char* ThemeName(int theme) {
    static const char* names[] = {"海洋世界", "花鸟鱼虫", "飞禽走兽"};
    return names[std::clamp(theme, 0, 2)];
}

namespace {

// The light face every picture sits on: warm ivory, a touch darker towards the bottom,
// with a soft rim so neighbouring pictures stay apart.
Image MakeFace() {
    Image face(kWindowW, kWindowH);
    face.VerticalGradient({255, 252, 240, 255}, {236, 229, 208, 255});
    for (int x = 0; x < kWindowW; ++x) {
        face.Blend(x, 0, {255, 255, 255, 255}, 0.8);
        face.Blend(x, kWindowH - 1, {170, 160, 135, 255}, 0.6);
    }
    for (int y = 0; y < kWindowH; ++y) {
        face.Blend(0, y, {255, 255, 255, 255}, 0.6);
        face.Blend(kWindowW - 1, y, {170, 160, 135, 255}, 0.5);
    }
    return face;
}

// Shrinks the emoji to fit a box of box x box pixels, keeping its shape, and draws it centred
// on the face. A gentle unsharp step after the area filter keeps outlines crisp at 33 pixels.
void PlacePicture(Image& face, const Image& emoji, int box) {
    double scale = double(box) / std::max(emoji.width(), emoji.height());
    int w = std::max(1, int(std::lround(emoji.width() * scale)));
    int h = std::max(1, int(std::lround(emoji.height() * scale)));
    Image small = Resample(emoji, w, h);
    Image sharp = small;
    for (int y = 1; y + 1 < h; ++y)
        for (int x = 1; x + 1 < w; ++x) {
            Rgba c = small.at(x, y);
            if (c.a < 250) continue;
            auto ch = [&](uint8_t Rgba::*f) {
                int sum = 0;
                int n = 0;
                for (auto [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}}) {
                    Rgba q = small.at(x + dx, y + dy);
                    if (q.a < 250) continue;
                    sum += q.*f;
                    ++n;
                }
                if (!n) return c.*f;
                double v = c.*f + 0.35 * (c.*f - double(sum) / n);
                return uint8_t(std::clamp(v, 0.0, 255.0));
            };
            sharp.at(x, y) = {ch(&Rgba::r), ch(&Rgba::g), ch(&Rgba::b), c.a};
        }
    // A thin warm-grey outline and a soft shadow below the right edge, so that white subjects
    // (swan, dove, sheep, shell) stand off the light face.
    const int ox = (kWindowW - w) / 2, oy = (kWindowH - h) / 2;
    Image halo(w + 4, h + 4, {0, 0, 0, 0});
    for (int y = 0; y < h + 4; ++y)
        for (int x = 0; x < w + 4; ++x) {
            double a = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    int sx = x - 2 + dx, sy = y - 2 + dy;
                    if (sx >= 0 && sy >= 0 && sx < w && sy < h)
                        a = std::max(a, small.at(sx, sy).a / 255.0 * ((dx && dy) ? 0.7 : 1.0));
                }
            int sx = x - 3, sy = y - 3;  // shadow: the shape moved one pixel right and down
            if (sx >= 0 && sy >= 0 && sx < w && sy < h)
                a = std::max(a, small.at(sx, sy).a / 255.0 * 0.8);
            if (a > 0) halo.at(x, y) = {120, 104, 84, uint8_t(std::lround(a * 120))};
        }
    face.Draw(halo, ox - 2, oy - 2);
    face.Draw(sharp, ox, oy);
}

}  // namespace

Image MakeTileSheet(const EmojiFont& emoji) {
    Image sheet(kThemeCount * kSheetBand, kPictureCount * kSheetCell, {0, 0, 0, 255});
    const Image face = MakeFace();
    for (int t = 0; t < kThemeCount; ++t) {
        for (int k = 0; k < kPictureCount; ++k) {
            char32_t cp = ThemePictures()[size_t(t)][size_t(k)];
            Image pic = emoji.Render(cp);
            if (pic.empty())
                throw std::runtime_error("emoji font lacks U+" + std::to_string(unsigned(cp)));
            Image tile = face;
            PlacePicture(tile, pic, 32);
            int cx = kSheetBand * t, cy = kSheetCell * k;
            sheet.Copy(tile, cx + kWindowX, cy + kWindowY);
            // Mask column: white, with the picture's window black.
            sheet.FillRect(cx + kSheetCell, cy, kSheetCell, kSheetCell, {255, 255, 255, 255});
            sheet.FillRect(cx + kSheetCell + kWindowX, cy + kWindowY, kWindowW, kWindowH,
                           {0, 0, 0, 255});
        }
    }
    return sheet;
}

bool FrameMaskWhite(int x, int y) {
    // Top right: rows 0..5 have 6..1 white pixels at their right end.
    if (y < kBevel && x >= kTileWidth - (kBevel - y)) return true;
    // Bottom left: rows 51..55 have 1..5 white pixels at their left end.
    if (y > kTileFaceH && x < y - kTileFaceH) return true;
    return false;
}

Rgba FrameColour(int style) {
    static const Rgba colours[6] = {
        {150, 96, 206, 255},   // purple
        {72, 176, 88, 255},    // green
        {244, 146, 44, 255},   // orange
        {40, 184, 206, 255},   // cyan
        {236, 204, 44, 255},   // yellow
        {240, 122, 172, 255},  // pink
    };
    return colours[std::clamp(style, 1, 6) - 1];
}

Image MakeFrameStrip() {
    Image strip(kTileWidth, kTileHeight * kFrameSlices, {0, 0, 0, 255});
    // Slice 0: the mask, black on the block, white at the two cut corners.
    for (int y = 0; y < kTileHeight; ++y)
        for (int x = 0; x < kTileWidth; ++x)
            strip.at(x, y) = FrameMaskWhite(x, y) ? Rgba{255, 255, 255, 255} : Rgba{0, 0, 0, 255};
    for (int s = 1; s < kFrameSlices; ++s) {
        Rgba base = FrameColour(s);
        int oy = kTileHeight * s;
        for (int y = 0; y < kTileHeight; ++y)
            for (int x = 0; x < kTileWidth; ++x) {
                if (FrameMaskWhite(x, y)) continue;  // stays black, as the OR step needs
                Rgba c;
                if (x < kTileFaceW && y < kTileFaceH) {
                    // Face: lit from the top left.
                    const int right = kTileFaceW - 1, bottom = kTileFaceH - 1;
                    double t = (x / double(right) + y / double(bottom)) / 2;
                    c = Shade(base, 1.25 - 0.3 * t);
                    if (x == 0 || y == 0) c = Shade(base, 1.55);
                    if (x == right || y == bottom) c = Shade(base, 0.82);
                } else if (x >= kTileFaceW && y < kTileFaceH + (x - kTileFaceW)) {
                    c = Shade(base, 0.62 - 0.03 * (x - kTileFaceW));  // right bevel
                } else {
                    c = Shade(base, 0.45 - 0.02 * (y - kTileFaceH));  // bottom bevel
                }
                strip.at(x, oy + y) = c;
            }
    }
    return strip;
}

Image MakeIcon(const EmojiFont& emoji, int size) {
    Image icon(size, size, {0, 0, 0, 0});
    const double k = size / 32.0;  // drawn on a 32-unit grid
    // A green tile peeking out behind an orange one that carries a fish: the board in small.
    auto tile = [&](double x, double y, double w, double h, Rgba colour) {
        icon.FillRoundRect(k * (x + 3), k * (y + 3), k * w, k * h, k * 3, Shade(colour, 0.5));
        icon.FillRoundRect(k * x, k * y, k * w, k * h, k * 3, colour);
        icon.FillRoundRect(k * (x + 2), k * (y + 2), k * (w - 4), k * (h - 4), k * 2,
                           {252, 248, 232, 255});
    };
    tile(10, 0, 19, 22, FrameColour(2));
    tile(0, 4, 25, 25, FrameColour(3));
    Image fish = emoji.Render(0x1F420);
    if (!fish.empty()) {
        int w = int(std::lround(20 * k)), h = std::max(1, fish.height() * w / fish.width());
        Image small = Resample(fish, w, h);
        icon.Draw(small, int(std::lround(k * 2)) + (int(std::lround(21 * k)) - w) / 2,
                  int(std::lround(k * 6)) + (int(std::lround(21 * k)) - h) / 2);
    }
    return icon;
}

Image MakeHandCursor() {
    // The hand is drawn as a coverage shape, then cut to hard edges: cursors have a 1-bit
    // mask, so half-covered pixels would come out as ragged grey.
    Image shape(32, 32, {0, 0, 0, 0});
    const Rgba ink{255, 255, 255, 255};
    shape.FillRoundRect(7.5, 0.5, 5, 17, 2.5, ink);     // index finger
    shape.FillRoundRect(12, 8, 4.6, 10, 2.2, ink);      // middle finger
    shape.FillRoundRect(16.2, 9, 4.4, 10, 2.1, ink);    // ring finger
    shape.FillRoundRect(20.2, 10.5, 4.2, 9, 2.0, ink);  // little finger
    shape.FillRoundRect(7.5, 13, 17, 13, 4, ink);       // palm
    shape.FillPolygon({{7.8, 16}, {4.5, 12.5}, {2, 13.5}, {2.2, 16}, {7.5, 24}}, ink);  // thumb
    shape.FillRoundRect(9.5, 24, 13, 6, 1, ink);                                        // wrist
    Image out(32, 32, {0, 0, 0, 0});
    auto in = [&](int x, int y) { return shape.inside(x, y) && shape.at(x, y).a >= 128; };
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            if (in(x, y)) {
                out.at(x, y) = {255, 255, 255, 255};
                continue;
            }
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if ((dx || dy) && in(x + dx, y + dy)) out.at(x, y) = {0, 0, 0, 255};
        }
    // Creases between the fingers and the knuckles.
    for (auto [x, y0, y1] : {std::array{12, 9, 16}, std::array{16, 10, 17}, std::array{20, 11, 18}})
        for (int y = y0; y <= y1; ++y)
            if (in(x, y)) out.at(x, y) = {0, 0, 0, 255};
    return out;
}

void ComposeTile(Image& out, int ox, int oy, const Image& sheet, const Image& frames, int theme,
                 int code, int style) {
    // The board's raster steps: frame mask AND, frame colour OR, picture mask AND, picture OR.
    auto rop = [&](int x, int y, Rgba m, Rgba p) {
        if (!out.inside(x, y)) return;
        Rgba& d = out.at(x, y);
        d = {uint8_t((d.r & m.r) | p.r), uint8_t((d.g & m.g) | p.g), uint8_t((d.b & m.b) | p.b),
             255};
    };
    for (int y = 0; y < kTileHeight; ++y)
        for (int x = 0; x < kTileWidth; ++x)
            rop(ox + x, oy + y, frames.at(x, y), frames.at(x, kTileHeight * style + y));
    for (int y = 0; y < kSheetCell; ++y)
        for (int x = 0; x < kSheetCell; ++x)
            rop(ox + kPictureLeft + x, oy + kPictureTop + y,
                sheet.at(kSheetBand * theme + kSheetCell + x, kSheetCell * (code - 1) + y),
                sheet.at(kSheetBand * theme + x, kSheetCell * (code - 1) + y));
}

Image MakeTileContactSheet(const Image& sheet, const Image& frames, int scale) {
    const int pitch_x = 48, pitch_y = 58, cols = 14;
    const int rows_per_theme = (kPictureCount + cols - 1) / cols;
    Image out(cols * pitch_x, kThemeCount * rows_per_theme * pitch_y, {40, 40, 40, 255});
    for (int t = 0; t < kThemeCount; ++t)
        for (int k = 0; k < kPictureCount; ++k)
            ComposeTile(out, (k % cols) * pitch_x + 1,
                        (t * rows_per_theme + k / cols) * pitch_y + 1, sheet, frames, t, k + 1,
                        1 + (k + t) % 6);
    return scale > 1 ? Resample(out, out.width() * scale, out.height() * scale) : out;
}

}  // namespace assetgen
