// The linked artwork, read back through the program's resource table: the tile sheet, the
// frame strip, the two overlays, the icon and the hand cursor.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "asset_files.h"
#include "game/res/data_layout.h"
#include "kivra_resources.h"
#include "platform/crt/resources.h"

namespace {

using namespace assets_test;

const res::Resource& Need(int id, res::Kind kind) {
    RegisterKivraResources();
    const res::Resource* r = res::FindResource(id, kind);
    if (!r) {
        ADD_FAILURE() << "resource " << id << " is missing";
        static const res::Resource none{kind, id, nullptr, 0};
        return none;
    }
    return *r;
}

Dib Bitmap(int id) {
    const res::Resource& r = Need(id, res::Kind::Bitmap);
    if (!r.data) return {};
    Dib d = ParseBmp(r.data, r.size);
    EXPECT_TRUE(d.ok) << "bitmap " << id << ": " << d.error;
    return d;
}

bool IsWhite(Rgb c) { return c.r == 255 && c.g == 255 && c.b == 255; }
bool IsBlack(Rgb c) { return c.r == 0 && c.g == 0 && c.b == 0; }

// The sizes of the artwork are the ones the game draws with: 234 x 1638, 46 x 392, 42 x 50.
TEST(TileSheet, SizeAndDepth) {
    Dib d = Bitmap(129);
    EXPECT_EQ(d.width, kThemeCount * kSheetBand);
    EXPECT_EQ(d.height, kPictureCount * kSheetCell);
    EXPECT_EQ(d.bits, 24);
}

// The mask is the same for every picture: white except the black 35 x 37 window at (2, 1).
TEST(TileSheet, EveryMaskIsTheWindow) {
    Dib d = Bitmap(129);
    ASSERT_TRUE(d.ok);
    for (int t = 0; t < 3; ++t)
        for (int k = 0; k < 42; ++k)
            for (int y = 0; y < 39; ++y)
                for (int x = 0; x < 39; ++x) {
                    bool window = x >= 2 && x < 37 && y >= 1 && y < 38;
                    Rgb c = d.at(78 * t + 39 + x, 39 * k + y);
                    ASSERT_TRUE(window ? IsBlack(c) : IsWhite(c))
                        << "theme " << t << " row " << k << " mask pixel " << x << "," << y;
                }
}

// Outside the window the picture column is black, so the OR step leaves the frame alone;
// inside it holds a light face with a picture on it.
TEST(TileSheet, PicturesSitOnALightFaceInsideTheWindow) {
    Dib d = Bitmap(129);
    ASSERT_TRUE(d.ok);
    for (int t = 0; t < 3; ++t)
        for (int k = 0; k < 42; ++k) {
            double sum = 0;
            int light_corners = 0;
            for (int y = 0; y < 39; ++y)
                for (int x = 0; x < 39; ++x) {
                    Rgb c = d.at(78 * t + x, 39 * k + y);
                    bool window = x >= 2 && x < 37 && y >= 1 && y < 38;
                    if (!window) {
                        ASSERT_TRUE(IsBlack(c))
                            << "theme " << t << " row " << k << " at " << x << "," << y;
                        continue;
                    }
                    sum += (c.r + c.g + c.b) / 3.0;
                }
            for (auto [x, y] : {std::pair{3, 2}, {35, 2}, {3, 36}, {35, 36}}) {
                Rgb c = d.at(78 * t + x, 39 * k + y);
                if (c.r > 200 && c.g > 190 && c.b > 170) ++light_corners;
            }
            EXPECT_EQ(light_corners, 4) << "theme " << t << " row " << k << ": face is not light";
            double mean = sum / (35 * 37);
            EXPECT_GT(mean, 120) << "theme " << t << " row " << k;
            EXPECT_LT(mean, 245) << "theme " << t << " row " << k << ": no picture on the face";
        }
}

// Within a theme no two pictures may look alike: compare every pair pixel by pixel.
TEST(TileSheet, PicturesOfAThemeAreClearlyDifferent) {
    Dib d = Bitmap(129);
    ASSERT_TRUE(d.ok);
    for (int t = 0; t < 3; ++t)
        for (int a = 0; a < 42; ++a)
            for (int b = a + 1; b < 42; ++b) {
                double diff = 0;
                for (int y = 1; y < 38; ++y)
                    for (int x = 2; x < 37; ++x) {
                        Rgb p = d.at(78 * t + x, 39 * a + y), q = d.at(78 * t + x, 39 * b + y);
                        diff += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b);
                    }
                diff /= 35 * 37 * 3;
                EXPECT_GT(diff, 12.0) << "theme " << t << ": codes " << a + 1 << " and " << b + 1;
            }
}

// Slice 0 is the mask: black with white triangles of 6..1 pixels at the top right (rows 0-5)
// and 1..5 pixels at the bottom left (rows 51-55).
TEST(FrameStrip, MaskSliceHasTheTwoCutCorners) {
    Dib d = Bitmap(131);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.width, kTileWidth);
    EXPECT_EQ(d.height, kTileHeight * kFrameSlices);
    EXPECT_EQ(d.bits, 24);
    for (int y = 0; y < 56; ++y) {
        int white_right = 0, white_left = 0;
        for (int x = 45; x >= 0 && IsWhite(d.at(x, y)); --x) ++white_right;
        for (int x = 0; x < 46 && IsWhite(d.at(x, y)); ++x) ++white_left;
        int expect_right = y <= 5 ? 6 - y : 0, expect_left = y >= 51 ? y - 50 : 0;
        EXPECT_EQ(white_right, expect_right) << "row " << y;
        EXPECT_EQ(white_left, expect_left) << "row " << y;
        for (int x = white_left; x < 46 - white_right; ++x)
            ASSERT_TRUE(IsBlack(d.at(x, y))) << "mask pixel " << x << "," << y;
    }
}

TEST(FrameStrip, ColouredSlicesAreBlackExactlyOutsideTheBlock) {
    Dib d = Bitmap(131);
    ASSERT_TRUE(d.ok);
    for (int s = 1; s <= 6; ++s)
        for (int y = 0; y < 56; ++y)
            for (int x = 0; x < 46; ++x) {
                bool outside = IsWhite(d.at(x, y));
                Rgb c = d.at(x, 56 * s + y);
                if (outside)
                    ASSERT_TRUE(IsBlack(c)) << "slice " << s << " at " << x << "," << y;
                else
                    ASSERT_GT(c.r + c.g + c.b, 30) << "slice " << s << " at " << x << "," << y;
            }
}

double Hue(Rgb c) {
    double r = c.r / 255.0, g = c.g / 255.0, b = c.b / 255.0;
    double mx = std::max({r, g, b}), mn = std::min({r, g, b}), d = mx - mn;
    if (d < 1e-9) return -1;
    double h = mx == r ? std::fmod((g - b) / d, 6.0) : mx == g ? (b - r) / d + 2 : (r - g) / d + 4;
    h *= 60;
    return h < 0 ? h + 360 : h;
}

// Purple, green, orange, cyan, yellow, pink, judged by the hue of the middle of each face.
TEST(FrameStrip, SixColoursInTheirOrder) {
    Dib d = Bitmap(131);
    ASSERT_TRUE(d.ok);
    const double lo[6] = {255, 90, 15, 170, 40, 300}, hi[6] = {300, 150, 40, 200, 60, 350};
    for (int s = 1; s <= 6; ++s) {
        double h = Hue(d.at(20, 56 * s + 25));
        EXPECT_GE(h, lo[s - 1]) << "slice " << s;
        EXPECT_LE(h, hi[s - 1]) << "slice " << s;
    }
}

// The two overlays: 8-bit, 42 x 50, one solid colour.
TEST(Overlays, SelectionAndHintAreSolid8BitColours) {
    struct Case {
        int id;
        Rgb colour;
    };
    for (Case c : {Case{130, {128, 128, 128}}, Case{132, {0, 128, 128}}}) {
        Dib d = Bitmap(c.id);
        ASSERT_TRUE(d.ok);
        EXPECT_EQ(d.bits, 8) << c.id;
        EXPECT_EQ(d.width, kOverlayBitmapWidth) << c.id;
        EXPECT_EQ(d.height, kOverlayHeight) << c.id;
        EXPECT_GT(d.colours, 0u);
        for (Rgb p : d.px)
            ASSERT_TRUE(p.r == c.colour.r && p.g == c.colour.g && p.b == c.colour.b) << c.id;
    }
}

struct IconImage {
    int type = 0, hot_x = 0, hot_y = 0;
    uint8_t bgra[32][32][4] = {};
    bool and_mask[32][32] = {};
};

// Parses the one-image .ico/.cur shape: directory, BITMAPINFOHEADER with doubled height,
// 32-bit XOR pixels bottom-up, then the 1-bit AND mask with 4-byte rows.
IconImage ParseIcon(const res::Resource& r) {
    IconImage img;
    const uint8_t* d = r.data;
    EXPECT_EQ(r.size, 6u + 16u + 40u + 4096u + 128u);
    if (r.size != 6 + 16 + 40 + 4096 + 128) return img;
    EXPECT_EQ(Le16(d), 0u);
    img.type = int(Le16(d + 2));
    EXPECT_EQ(Le16(d + 4), 1u);
    EXPECT_EQ(d[6], 32);
    EXPECT_EQ(d[7], 32);
    img.hot_x = int(Le16(d + 10));
    img.hot_y = int(Le16(d + 12));
    EXPECT_EQ(Le32(d + 14), 40u + 4096u + 128u);
    EXPECT_EQ(Le32(d + 18), 22u);
    const uint8_t* h = d + 22;
    EXPECT_EQ(Le32(h), 40u);
    EXPECT_EQ(Sle32(h + 4), 32);
    EXPECT_EQ(Sle32(h + 8), 64);
    EXPECT_EQ(Le16(h + 14), 32u);
    const uint8_t* xorp = h + 40;
    const uint8_t* andp = xorp + 4096;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            for (int k = 0; k < 4; ++k) img.bgra[y][x][k] = xorp[((31 - y) * 32 + x) * 4 + k];
            img.and_mask[y][x] = andp[(31 - y) * 4 + x / 8] & (0x80 >> (x % 8));
        }
    return img;
}

TEST(Icon, OneThirtyTwoBitImageWithAConsistentMask) {
    IconImage icon = ParseIcon(Need(128, res::Kind::Icon));
    EXPECT_EQ(icon.type, 1);
    int opaque = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            bool transparent = icon.and_mask[y][x];
            EXPECT_EQ(transparent, icon.bgra[y][x][3] == 0) << x << "," << y;
            if (!transparent) ++opaque;
        }
    EXPECT_GT(opaque, 400);             // a real picture, not a speck
    EXPECT_LT(opaque, 32 * 32);         // with a shaped outline
    EXPECT_TRUE(icon.and_mask[31][0]);  // the bottom-left corner shows the desktop
}

TEST(HandCursor, HotspotIsTheFingertip) {
    IconImage cur = ParseIcon(Need(197, res::Kind::Cursor));
    EXPECT_EQ(cur.type, 2);
    ASSERT_LT(cur.hot_x, 32);
    ASSERT_LT(cur.hot_y, 32);
    // The hotspot touches the drawn hand, and nothing of the hand lies above it.
    bool near = false;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            int x = cur.hot_x + dx, y = cur.hot_y + dy;
            if (x >= 0 && y >= 0 && x < 32 && y < 32 && !cur.and_mask[y][x]) near = true;
        }
    EXPECT_TRUE(near);
    int top = 32;
    for (int y = 0; y < 32 && top == 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (!cur.and_mask[y][x]) top = y;
    EXPECT_GE(cur.hot_y, top);
    EXPECT_LE(cur.hot_y, top + 1);
    // A cursor is black and white: every opaque pixel is one or the other.
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            if (cur.and_mask[y][x]) continue;
            const uint8_t* p = cur.bgra[y][x];
            bool bw = (p[0] == 0 && p[1] == 0 && p[2] == 0) ||
                      (p[0] == 255 && p[1] == 255 && p[2] == 255);
            EXPECT_TRUE(bw) << x << "," << y;
        }
}

TEST(Registration, CallingTwiceKeepsOneTable) {
    RegisterKivraResources();
    const res::Resource* first = res::FindResource(129, res::Kind::Bitmap);
    RegisterKivraResources();
    EXPECT_EQ(res::FindResource(129, res::Kind::Bitmap), first);
    EXPECT_EQ(res::FindResource(129, res::Kind::Wave), nullptr);
}

}  // namespace
