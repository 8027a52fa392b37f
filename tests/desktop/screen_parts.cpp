#include "tests/desktop/screen_parts.h"

#include <algorithm>

namespace desktop {
namespace {

int Round(int units, int base, int divisor) { return (units * base + divisor / 2) / divisor; }

// Groups the indices where `hit` holds into runs, joining runs separated by fewer than
// `maxGap` misses.
std::vector<std::pair<int, int>> Runs(int from, int to, int maxGap,
                                      const std::function<bool(int)>& hit) {
    std::vector<std::pair<int, int>> runs;
    for (int i = from; i < to; ++i) {
        if (!hit(i)) continue;
        if (!runs.empty() && i - runs.back().second <= maxGap)
            runs.back().second = i + 1;
        else
            runs.emplace_back(i, i + 1);
    }
    return runs;
}

}  // namespace

Rect DialogUnits(int x, int y, int cx, int cy, int scale) {
    return Rect{scale * Round(x, 6, 4), scale * Round(y, 12, 8), scale * Round(cx, 6, 4),
                scale * Round(cy, 12, 8)};
}

std::vector<Rect> InkRows(const Image& img, const Rect& area, int maxGap, const InkTest& ink) {
    std::vector<Rect> out;
    auto rowHasInk = [&](int y) {
        for (int x = area.x; x < area.Right(); ++x)
            if (img.Covers(x, y) && ink(img.At(x, y))) return true;
        return false;
    };
    for (const auto& [y0, y1] : Runs(area.y, area.Bottom(), maxGap, rowHasInk)) {
        int x0 = area.Right(), x1 = area.x;
        for (int y = y0; y < y1; ++y)
            for (int x = area.x; x < area.Right(); ++x)
                if (img.Covers(x, y) && ink(img.At(x, y))) {
                    x0 = std::min(x0, x);
                    x1 = std::max(x1, x + 1);
                }
        out.push_back(Rect{x0, y0, x1 - x0, y1 - y0});
    }
    return out;
}

std::vector<Rect> InkColumns(const Image& img, const Rect& area, int maxGap, const InkTest& ink) {
    std::vector<Rect> out;
    auto columnHasInk = [&](int x) {
        for (int y = area.y; y < area.Bottom(); ++y)
            if (img.Covers(x, y) && ink(img.At(x, y))) return true;
        return false;
    };
    for (const auto& [x0, x1] : Runs(area.x, area.Right(), maxGap, columnHasInk)) {
        int y0 = area.Bottom(), y1 = area.y;
        for (int x = x0; x < x1; ++x)
            for (int y = area.y; y < area.Bottom(); ++y)
                if (img.Covers(x, y) && ink(img.At(x, y))) {
                    y0 = std::min(y0, y);
                    y1 = std::max(y1, y + 1);
                }
        out.push_back(Rect{x0, y0, x1 - x0, y1 - y0});
    }
    return out;
}

Rect LowestBlock(const Image& img, const Rect& area, uint32_t background) {
    auto rowDrawn = [&](int y) {
        for (int x = area.x; x < area.Right(); ++x)
            if (img.At(x, y) != background) return true;
        return false;
    };
    int bottom = area.Bottom() - 1;
    while (bottom >= area.y && !rowDrawn(bottom)) --bottom;
    if (bottom < area.y) return Rect{area.x, area.y, 0, 0};
    int top = bottom;
    while (top - 1 >= area.y && rowDrawn(top - 1)) --top;
    return img.Ink(Rect{area.x, top, area.w, bottom - top + 1}, background);
}

std::vector<uint32_t> OtherColours(const Image& img, const Rect& area, uint32_t background,
                                   uint32_t text) {
    std::vector<uint32_t> out;
    for (uint32_t c : img.Colours(area))
        if (c != background && c != text) out.push_back(c);
    return out;
}

}  // namespace desktop
