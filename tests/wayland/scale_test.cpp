// The game's picture on scaled outputs. On sway, compared with the game's own 1x picture of the
// same moment (its window as its X server holds it): at 2 every pixel is an exact 2 x 2 block; at
// 1.5 the picture is the compositor's enlargement of the 1x picture, so that no stroke of the
// menu titles or of the idle picture's text is lost. On GNOME at 2 the game draws at twice its
// size itself: its picture in exact 2 x 2 blocks, its menus at the screen's own resolution.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "tests/wayland/wayland_fixture.h"

namespace wayland {
namespace {

using testsupport::Image;
using testsupport::Rect;

int Channel(uint32_t c, int shift) { return int((c >> shift) & 0xFF); }

// The 1x picture's colour at output pixel (x, y) of an enlargement by `scale`, sampled
// bilinearly at the output pixel's centre.
uint32_t Bilinear(const Image& src, double scale, int x, int y) {
    const double sx = (x + 0.5) / scale - 0.5, sy = (y + 0.5) / scale - 0.5;
    const int x0 = std::clamp(int(std::floor(sx)), 0, src.area.w - 1);
    const int y0 = std::clamp(int(std::floor(sy)), 0, src.area.h - 1);
    const int x1 = std::min(x0 + 1, src.area.w - 1), y1 = std::min(y0 + 1, src.area.h - 1);
    const double fx = std::clamp(sx - x0, 0.0, 1.0), fy = std::clamp(sy - y0, 0.0, 1.0);
    auto at = [&](int px, int py) { return src.px[size_t(py) * size_t(src.area.w) + size_t(px)]; };
    uint32_t out = 0;
    for (int shift : {0, 8, 16}) {
        const double top = Channel(at(x0, y0), shift) * (1 - fx) + Channel(at(x1, y0), shift) * fx;
        const double bottom =
            Channel(at(x0, y1), shift) * (1 - fx) + Channel(at(x1, y1), shift) * fx;
        out |= uint32_t(std::lround(top * (1 - fy) + bottom * fy)) << shift;
    }
    return out;
}

class ScaledOutput : public WaylandTest {
  protected:
    // The game's window (menu bar and client area) at 1x and as the output shows it.
    void TakePictures(Image* own, Image* shown) {
        const XWindow main = StartGame();
        ASSERT_NE(main, 0u);
        *own = Windows().WindowShot(main);
        const Rect g = Windows().Geometry(main);
        const double s = compositor_.XToScreen();
        // The compositor puts a window at a half pixel on the next whole one.
        *shown = SettledShot(
            Rect{int(std::lround(g.x * s)), int(std::lround(g.y * s)), int(g.w * s), int(g.h * s)});
        ASSERT_EQ(shown->area.w, int(own->area.w * s));
        ASSERT_EQ(shown->area.h, int(own->area.h * s));
    }
};

class OutputAt2 : public ScaledOutput {
    double Scale() const override { return 2.0; }
};
class OutputAt150 : public ScaledOutput {
    double Scale() const override { return 1.5; }
};

TEST_P(OutputAt2, EveryPixelIsAnExactBlock) {
    Image own, shown;
    TakePictures(&own, &shown);
    int wrong = 0;
    for (int y = 0; y < shown.area.h; ++y)
        for (int x = 0; x < shown.area.w; ++x)
            if (shown.px[size_t(y) * size_t(shown.area.w) + size_t(x)] !=
                own.px[size_t(y / 2) * size_t(own.area.w) + size_t(x / 2)])
                ++wrong;
    EXPECT_EQ(wrong, 0) << "pixels that are not their 1x pixel's 2 x 2 block";
}

TEST_P(OutputAt150, NoRowOrColumnOfThePictureIsLost) {
    Image own, shown;
    TakePictures(&own, &shown);
    // The compositor enlarges the game's 1x picture itself: with a GPU it blends neighbours
    // (bilinear), in software it repeats every other row and column (nearest). Either keeps every
    // row and column of the picture; a picture drawn at 2x and shrunk by the compositor loses
    // some, and matches neither.
    int worstBlend = 0, notNearest = 0;
    for (int y = 0; y < shown.area.h; ++y) {
        for (int x = 0; x < shown.area.w; ++x) {
            const uint32_t got = shown.px[size_t(y) * size_t(shown.area.w) + size_t(x)];
            const int nx = std::min(int((x + 0.5) / 1.5), own.area.w - 1);
            const int ny = std::min(int((y + 0.5) / 1.5), own.area.h - 1);
            if (got != own.px[size_t(ny) * size_t(own.area.w) + size_t(nx)]) ++notNearest;
            const uint32_t blend = Bilinear(own, 1.5, x, y);
            for (int shift : {0, 8, 16})
                worstBlend =
                    std::max(worstBlend, std::abs(Channel(blend, shift) - Channel(got, shift)));
        }
    }
    EXPECT_TRUE(notNearest == 0 || worstBlend <= 24)
        << notNearest << " pixels differ from the nearest enlargement; the bilinear one is off by "
        << worstBlend;
}

using GnomeAt2 = OutputAt2;

TEST_P(GnomeAt2, PictureInExactBlocksMenusSharp) {
    const XWindow main = StartGame();
    ASSERT_NE(main, 0u);
    // GNOME's X server works in the output's pixels: the window's own rectangle is on the screen.
    const Rect g = Windows().Geometry(main);
    const Image shown = SettledShot(g);
    ASSERT_GE(g.w, 2 * 794) << "the game is not drawn at twice its size";
    constexpr int kMenuBar = 2 * 20;
    // 2 x 2 blocks, from the window's corner, of which not all four pixels are alike.
    auto uneven = [&](int top, int bottom) {
        int n = 0;
        for (int y = g.y + top; y + 1 < g.y + bottom; y += 2)
            for (int x = g.x; x + 1 < g.Right(); x += 2) {
                const uint32_t c = shown.At(x, y);
                if (shown.At(x + 1, y) != c || shown.At(x, y + 1) != c ||
                    shown.At(x + 1, y + 1) != c)
                    ++n;
            }
        return n;
    };
    EXPECT_EQ(uneven(kMenuBar, g.h), 0) << "the game's picture is not in exact 2 x 2 blocks";
    EXPECT_GT(uneven(0, kMenuBar), 100)
        << "the menu titles are not drawn at the screen's resolution";
    EXPECT_GT(shown.Colours(Rect{g.x, g.y + kMenuBar, g.w, g.h - kMenuBar}).size(), 1000u);
}

INSTANTIATE_TEST_SUITE_P(Mutter, GnomeAt2, ::testing::Values(Compositor::Mutter), CompositorName);
INSTANTIATE_TEST_SUITE_P(Sway, OutputAt2, ::testing::Values(Compositor::Sway), CompositorName);
INSTANTIATE_TEST_SUITE_P(Sway, OutputAt150, ::testing::Values(Compositor::Sway), CompositorName);

}  // namespace
}  // namespace wayland
