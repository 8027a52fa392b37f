// Test support: screen pictures as the tests see them. An Image is a rectangle of the screen
// in root coordinates, 0x00RRGGBB per pixel, read and compared exactly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    int Right() const { return x + w; }
    int Bottom() const { return y + h; }
    int CentreX2() const { return 2 * x + w; }  // twice the centre, exact for odd sizes
    int CentreY2() const { return 2 * y + h; }
    bool Contains(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
    bool Empty() const { return w <= 0 || h <= 0; }
};
bool operator==(const Rect& a, const Rect& b);
std::string ToString(const Rect& r);

constexpr uint32_t Rgb(int r, int g, int b) {
    return uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
}
inline int Red(uint32_t c) { return int(c >> 16 & 0xFF); }
inline int Green(uint32_t c) { return int(c >> 8 & 0xFF); }
inline int Blue(uint32_t c) { return int(c & 0xFF); }
// Perceived brightness, 0 (black) to 255 (white).
inline int Luma(uint32_t c) { return (299 * Red(c) + 587 * Green(c) + 114 * Blue(c)) / 1000; }
std::string ToString(uint32_t colour);  // "#rrggbb"

struct Image {
    Rect area;  // where on the screen the picture was taken
    std::vector<uint32_t> px;

    bool Covers(int x, int y) const { return area.Contains(x, y); }
    // The pixel at root coordinates (x, y), which must lie inside `area`.
    uint32_t At(int x, int y) const {
        return px[size_t(y - area.y) * size_t(area.w) + size_t(x - area.x)];
    }
    Image Crop(const Rect& r) const;  // r clipped to `area`
    // The colour most pixels of `r` have (the background of a window or control).
    uint32_t CommonColour(const Rect& r) const;
    int Count(const Rect& r, uint32_t colour) const;
    // How many different colours `r` holds, and which.
    std::vector<uint32_t> Colours(const Rect& r) const;
    // The smallest rectangle holding every pixel of `r` that differs from `background`;
    // empty when there is none.
    Rect Ink(const Rect& r, uint32_t background) const;
    bool SameAs(const Image& other) const { return area == other.area && px == other.px; }
};

// Writes the picture as an 8-bit RGB PNG (uncompressed deflate blocks); false on error.
bool SavePng(const Image& image, const std::string& path);

}  // namespace testsupport
