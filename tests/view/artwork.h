// Synthetic tile artwork in the exact layouts of resources 129 to 132, with colours that tell
// every part apart: picture colours encode theme and code, each frame style has its own
// colour, the two overlays are solid.
#pragma once

#include <vector>

#include "platform/crt/resources.h"
#include "tests/gdi/helpers.h"

namespace viewtest {

constexpr COLORREF kFrameColours[7] = {0,
                                       RGB(160, 32, 240),    // purple
                                       RGB(0, 200, 0),       // green
                                       RGB(255, 165, 0),     // orange
                                       RGB(0, 255, 255),     // cyan
                                       RGB(255, 255, 0),     // yellow
                                       RGB(255, 105, 180)};  // pink

inline COLORREF PictureColour(int theme, int code) {
    return RGB(50 + 70 * theme, 5 * code, 255 - 5 * code);
}

// True where the frame mask (slice 0) is white: the two bevel corner triangles.
inline bool FrameMaskWhite(int x, int y) {
    if (y <= 5 && x >= 46 - (6 - y)) return true;  // top right: 6, 5, ... 1 pixels
    if (y >= 51 && x < y - 50) return true;        // bottom left: 1, 2, ... 5 pixels
    return false;
}

// True inside the 35 x 37 picture rectangle of a 39 x 39 tile-sheet cell.
inline bool InPicture(int x, int y) { return x >= 2 && x < 37 && y >= 1 && y < 38; }

struct Artwork {
    std::vector<uint8_t> tiles, frames, select, hint;

    Artwork() {
        {
            const int w = 234, h = 1638;
            std::vector<uint32_t> px(static_cast<size_t>(w) * h, RGB(0, 0, 0));
            for (int t = 0; t < 3; ++t)
                for (int k = 1; k <= 42; ++k)
                    for (int y = 0; y < 39; ++y)
                        for (int x = 0; x < 39; ++x) {
                            const size_t row = static_cast<size_t>(39 * (k - 1) + y) * w;
                            px[row + 78 * t + x] = InPicture(x, y) ? PictureColour(t, k) : 0;
                            px[row + 78 * t + 39 + x] = InPicture(x, y) ? 0 : RGB(255, 255, 255);
                        }
            tiles = gditest::MakeBmp(w, h, px);
        }
        {
            const int w = 46, h = 392;
            std::vector<uint32_t> px(static_cast<size_t>(w) * h);
            for (int s = 0; s < 7; ++s)
                for (int y = 0; y < 56; ++y)
                    for (int x = 0; x < 46; ++x) {
                        const bool white = FrameMaskWhite(x, y);
                        px[static_cast<size_t>(56 * s + y) * w + x] =
                            s == 0 ? (white ? RGB(255, 255, 255) : 0)
                                   : (white ? 0 : kFrameColours[s]);
                    }
            frames = gditest::MakeBmp(w, h, px);
        }
        select = gditest::MakeBmp(42, 50, std::vector<uint32_t>(42 * 50, 0), {RGB(128, 128, 128)});
        hint = gditest::MakeBmp(42, 50, std::vector<uint32_t>(42 * 50, 0), {RGB(0, 128, 128)});
    }

    // Registers the artwork as the program's bitmaps 129 to 132.
    void Register() {
        table_[0] = {res::Kind::Bitmap, 129, tiles.data(), static_cast<unsigned>(tiles.size())};
        table_[1] = {res::Kind::Bitmap, 130, select.data(), static_cast<unsigned>(select.size())};
        table_[2] = {res::Kind::Bitmap, 131, frames.data(), static_cast<unsigned>(frames.size())};
        table_[3] = {res::Kind::Bitmap, 132, hint.data(), static_cast<unsigned>(hint.size())};
        res::RegisterResources(table_, 4);
    }

  private:
    res::Resource table_[4];
};

// One artwork for the whole test program (the resource table keeps pointers to it).
inline Artwork& SharedArtwork() {
    static Artwork* art = [] {
        auto* a = new Artwork;
        a->Register();
        return a;
    }();
    return *art;
}

}  // namespace viewtest
