// Bitmaps from .bmp files and resources, device-independent transfers with their source-origin
// rule, and icons.
#include <gtest/gtest.h>

#include "platform/crt/resources.h"
#include "tests/gdi/helpers.h"

using gditest::Canvas;
using gditest::MakeBmp;

namespace {

// A picture whose pixel (x, y) (top row 0) is RGB(x, y, 50).
std::vector<uint32_t> Gradient(int w, int h) {
    std::vector<uint32_t> p(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p[static_cast<size_t>(y) * w + x] = RGB(x, y, 50);
    return p;
}

// Header for a 24-bit DIB body of w x h (h > 0 bottom-up) with rows padded to 4 bytes.
struct Dib24 {
    BITMAPINFO info{};
    std::vector<uint8_t> bits;
    Dib24(int w, int h, bool bottomUp) {
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = bottomUp ? h : -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        const size_t stride = ((w * 24 + 31) / 32) * 4;
        bits.assign(stride * h, 0xAB);
        for (int y = 0; y < h; ++y) {
            const int stored = bottomUp ? h - 1 - y : y;
            for (int x = 0; x < w; ++x) {
                uint8_t* p = bits.data() + stride * stored + 3 * x;
                p[0] = 50;  // blue
                p[1] = static_cast<uint8_t>(y);
                p[2] = static_cast<uint8_t>(x);
            }
        }
    }
};

TEST(Bitmaps, LoadsA24BitFileWithItsRowsTheRightWayUp) {
    const auto file = MakeBmp(5, 3, Gradient(5, 3));  // 15-byte rows: padding in play
    CBitmap bmp;
    ASSERT_TRUE(bmp.LoadFromBmp(file.data(), file.size()));
    EXPECT_EQ(bmp.GetSize(), CSize(5, 3));
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap* old = dc.SelectObject(&bmp);
    EXPECT_EQ(dc.GetPixel(0, 0), RGB(0, 0, 50));
    EXPECT_EQ(dc.GetPixel(4, 0), RGB(4, 0, 50));
    EXPECT_EQ(dc.GetPixel(4, 2), RGB(4, 2, 50));
    dc.SelectObject(old);

    const auto topDown = MakeBmp(5, 3, Gradient(5, 3), {}, true);
    CBitmap td;
    ASSERT_TRUE(td.LoadFromBmp(topDown.data(), topDown.size()));
    old = dc.SelectObject(&td);
    EXPECT_EQ(dc.GetPixel(3, 2), RGB(3, 2, 50));
    dc.SelectObject(old);
}

TEST(Bitmaps, EightBitFileGoesThroughItsColourTable) {
    const std::vector<COLORREF> palette = {RGB(0, 0, 0), RGB(0, 128, 128), RGB(250, 1, 2)};
    const auto file = MakeBmp(3, 2, {0, 1, 2, 2, 1, 0}, palette);
    CBitmap bmp;
    ASSERT_TRUE(bmp.LoadFromBmp(file.data(), file.size()));
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap* old = dc.SelectObject(&bmp);
    EXPECT_EQ(dc.GetPixel(1, 0), RGB(0, 128, 128));
    EXPECT_EQ(dc.GetPixel(2, 0), RGB(250, 1, 2));
    EXPECT_EQ(dc.GetPixel(0, 1), RGB(250, 1, 2));
    EXPECT_EQ(dc.GetPixel(2, 1), RGB(0, 0, 0));
    dc.SelectObject(old);
}

TEST(Bitmaps, EightBitOverlayAndedOntoA24BitImageTintsIt) {
    // A hint overlay: solid RGB(0,128,128), 8-bit, ANDed onto a frame colour.
    const auto overlay = MakeBmp(4, 2, std::vector<uint32_t>(8, 0), {RGB(0, 128, 128)});
    std::vector<uint32_t> frame(8, RGB(0xF0, 0xC8, 0x90));
    frame[5] = RGB(255, 255, 255);
    const auto image = MakeBmp(4, 2, frame);
    CBitmap over, img;
    ASSERT_TRUE(over.LoadFromBmp(overlay.data(), overlay.size()));
    ASSERT_TRUE(img.LoadFromBmp(image.data(), image.size()));
    Canvas target(4, 2);
    CDC work;
    work.CreateCompatibleDC(&target.dc);
    CBitmap* old = work.SelectObject(&img);
    target.dc.BitBlt(0, 0, 4, 2, &work, 0, 0, SRCCOPY);
    work.SelectObject(&over);
    target.dc.BitBlt(0, 0, 4, 2, &work, 0, 0, SRCAND);
    work.SelectObject(old);
    EXPECT_EQ(target.At(0, 0), RGB(0x00, 0xC8 & 0x80, 0x90 & 0x80));
    EXPECT_EQ(target.At(1, 1), RGB(0, 128, 128));
}

TEST(Bitmaps, RejectsMalformedFiles) {
    auto file = MakeBmp(4, 4, Gradient(4, 4));
    CBitmap bmp;
    EXPECT_FALSE(bmp.LoadFromBmp(file.data(), file.size() - 1));  // last row cut short
    auto badMagic = file;
    badMagic[0] = 'X';
    EXPECT_FALSE(bmp.LoadFromBmp(badMagic.data(), badMagic.size()));
    auto badDepth = file;
    badDepth[28] = 7;
    EXPECT_FALSE(bmp.LoadFromBmp(badDepth.data(), badDepth.size()));
    auto bigPalette = MakeBmp(2, 2, {0, 0, 0, 0}, {RGB(1, 1, 1)});
    gditest::Put32(bigPalette, 46, 300);  // more colours than 8 bits can index
    EXPECT_FALSE(bmp.LoadFromBmp(bigPalette.data(), bigPalette.size()));
    auto hugeWidth = file;
    gditest::Put32(hugeWidth, 18, 0x7FFFFFFF);
    EXPECT_FALSE(bmp.LoadFromBmp(hugeWidth.data(), hugeWidth.size()));
    EXPECT_FALSE(bmp.LoadFromBmp(file.data(), 20));
    EXPECT_TRUE(bmp.LoadFromBmp(file.data(), file.size()));
}

TEST(Bitmaps, LoadsTheProgramsBitmapResources) {
    static const auto file =
        MakeBmp(2, 2, {RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9), RGB(10, 11, 12)});
    static const res::Resource table[] = {
        {res::Kind::Bitmap, 9129, file.data(), static_cast<unsigned>(file.size())}};
    res::RegisterResources(table, 1);
    CBitmap bmp;
    ASSERT_TRUE(bmp.LoadBitmap(9129));
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap* old = dc.SelectObject(&bmp);
    EXPECT_EQ(dc.GetPixel(1, 1), RGB(10, 11, 12));
    dc.SelectObject(old);
    CBitmap missing;
    EXPECT_FALSE(missing.LoadBitmap(9130));
}

TEST(DibTransfer, BottomUpPictureIntoASmallerRectangleShowsItsBottomLeftPart) {
    Dib24 pic(6, 5, true);
    Canvas c(10, 10, RGB(9, 9, 9));
    // Picture drawn at (2, 1) limited to 4 x 3 from source (0, 0).
    EXPECT_GT(c.dc.StretchDIBits(2, 1, 4, 3, 0, 0, 4, 3, pic.bits.data(), &pic.info, DIB_RGB_COLORS,
                                 SRCCOPY),
              0);
    EXPECT_EQ(c.At(2, 1), RGB(0, 2, 50));  // picture row 2 of 0..4: the bottom three rows
    EXPECT_EQ(c.At(5, 3), RGB(3, 4, 50));  // picture's bottom row
    EXPECT_EQ(c.At(6, 3), RGB(9, 9, 9));
    EXPECT_EQ(c.At(2, 4), RGB(9, 9, 9));
    EXPECT_EQ(c.Count(RGB(9, 9, 9)), 100 - 12);

    Canvas d(10, 10, RGB(9, 9, 9));
    d.dc.SetDIBitsToDevice(0, 0, 4, 3, 0, 0, 0, 5, pic.bits.data(), &pic.info, DIB_RGB_COLORS);
    EXPECT_EQ(d.At(0, 0), RGB(0, 2, 50));
    EXPECT_EQ(d.At(3, 2), RGB(3, 4, 50));
    EXPECT_EQ(d.Count(RGB(9, 9, 9)), 100 - 12);

    // At its full size the whole picture shows, top row at the top.
    Canvas e(6, 5);
    e.dc.StretchDIBits(0, 0, 6, 5, 0, 0, 6, 5, pic.bits.data(), &pic.info, DIB_RGB_COLORS, SRCCOPY);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) ASSERT_EQ(e.At(x, y), RGB(x, y, 50)) << x << "," << y;
}

TEST(DibTransfer, TopDownPictureCountsTheSourceFromItsTop) {
    Dib24 pic(6, 5, false);
    Canvas c(10, 10, RGB(9, 9, 9));
    c.dc.StretchDIBits(0, 0, 4, 3, 1, 1, 4, 3, pic.bits.data(), &pic.info, DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(c.At(0, 0), RGB(1, 1, 50));
    EXPECT_EQ(c.At(3, 2), RGB(4, 3, 50));
    Canvas d(10, 10, RGB(9, 9, 9));
    d.dc.SetDIBitsToDevice(0, 0, 4, 3, 2, 0, 0, 5, pic.bits.data(), &pic.info, DIB_RGB_COLORS);
    EXPECT_EQ(d.At(0, 0), RGB(2, 0, 50));
    EXPECT_EQ(d.At(3, 2), RGB(5, 2, 50));
}

TEST(DibTransfer, BottomUpSourceOffsetCountsUpFromTheLastRow) {
    Dib24 pic(6, 5, true);
    Canvas c(4, 4, RGB(9, 9, 9));
    // Source y 1 from the bottom, 2 rows high: picture rows 2 and 3 (top-down numbering).
    c.dc.SetDIBitsToDevice(0, 0, 2, 2, 1, 1, 0, 5, pic.bits.data(), &pic.info, DIB_RGB_COLORS);
    EXPECT_EQ(c.At(0, 0), RGB(1, 2, 50));
    EXPECT_EQ(c.At(1, 1), RGB(2, 3, 50));
    // Scan lines 0 and 1 only (the bottom two rows) present in memory.
    Canvas d(6, 5, RGB(9, 9, 9));
    const size_t stride = 20;
    d.dc.SetDIBitsToDevice(0, 0, 6, 5, 0, 0, 0, 2, pic.bits.data(), &pic.info, DIB_RGB_COLORS);
    EXPECT_EQ(d.At(0, 4), RGB(0, 4, 50));
    EXPECT_EQ(d.At(5, 3), RGB(5, 3, 50));
    EXPECT_EQ(d.At(0, 2), RGB(9, 9, 9));
    Canvas e(6, 5, RGB(9, 9, 9));
    e.dc.SetDIBitsToDevice(0, 0, 6, 5, 0, 0, 2, 3, pic.bits.data() + 2 * stride, &pic.info,
                           DIB_RGB_COLORS);
    EXPECT_EQ(e.At(0, 0), RGB(0, 0, 50));
    EXPECT_EQ(e.At(5, 2), RGB(5, 2, 50));
    EXPECT_EQ(e.At(5, 3), RGB(9, 9, 9));
}

TEST(DibTransfer, EightBitTopDownFrameBecomesAColourBitmap) {
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colors[256];
    } info{};
    info.h.biSize = sizeof(BITMAPINFOHEADER);
    info.h.biWidth = 3;
    info.h.biHeight = -2;
    info.h.biPlanes = 1;
    info.h.biBitCount = 8;
    info.h.biClrUsed = 256;
    info.colors[7] = {30, 20, 10, 0};
    info.colors[9] = {3, 2, 1, 0};
    const uint8_t rows[8] = {7, 9, 7, 0xFF, 9, 9, 7, 0xFF};  // stride 4
    Canvas window(4, 4);
    HBITMAP h = CreateDIBitmap(window.dc.GetSafeHdc(), &info.h, CBM_INIT, rows,
                               reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS);
    ASSERT_NE(h, nullptr);
    CBitmap frame;
    ASSERT_TRUE(frame.Attach(h));
    CDC dc;
    dc.CreateCompatibleDC(&window.dc);
    CBitmap* old = dc.SelectObject(&frame);
    EXPECT_EQ(dc.GetPixel(0, 0), RGB(10, 20, 30));
    EXPECT_EQ(dc.GetPixel(1, 0), RGB(1, 2, 3));
    EXPECT_EQ(dc.GetPixel(2, 1), RGB(10, 20, 30));
    EXPECT_EQ(dc.GetPixel(0, 1), RGB(1, 2, 3));
    dc.SelectObject(old);
}

// A 4 x 4 32-bit .ico or .cur: a red opaque square in the top-left 2 x 2, the rest transparent.
std::vector<uint8_t> MakeIco(bool cursor, bool withAlpha) {
    const int w = 4, h = 4;
    const size_t xorSize = w * h * 4, andSize = 4 * h;
    std::vector<uint8_t> f(6 + 16 + 40 + xorSize + andSize, 0);
    gditest::Put16(f, 2, cursor ? 2 : 1);
    gditest::Put16(f, 4, 1);
    f[6] = w;
    f[7] = h;
    gditest::Put16(f, 10, cursor ? 1 : 1);
    gditest::Put16(f, 12, cursor ? 3 : 32);
    gditest::Put32(f, 14, static_cast<uint32_t>(40 + xorSize + andSize));
    gditest::Put32(f, 18, 22);
    gditest::Put32(f, 22, 40);
    gditest::Put32(f, 26, w);
    gditest::Put32(f, 30, 2 * h);
    gditest::Put16(f, 34, 1);
    gditest::Put16(f, 36, 32);
    for (int y = 0; y < h; ++y) {
        const int stored = h - 1 - y;
        for (int x = 0; x < w; ++x) {
            uint8_t* p = f.data() + 62 + (stored * w + x) * 4;
            const bool on = x < 2 && y < 2;
            p[2] = on ? 255 : 0;
            p[3] = withAlpha ? (on ? 255 : 0) : 0;
        }
        // AND mask: 1 where transparent, MSB first.
        f[62 + xorSize + stored * 4] = y < 2 ? 0x30 : 0xF0;
    }
    return f;
}

TEST(Icons, DrawsThroughAlphaOrMaskAndKeepsTheCursorHotspot) {
    for (bool alpha : {true, false}) {
        const auto file = MakeIco(false, alpha);
        HICON icon = CreateIconFromFile(file.data(), file.size());
        ASSERT_NE(icon, nullptr);
        const gdi::IconImage* image = GetIconImage(icon);
        EXPECT_EQ(image->width, 4);
        EXPECT_EQ(image->argb[0], 0xFFFF0000u);
        EXPECT_EQ(image->argb[3] >> 24, 0u);
        Canvas c(6, 6, RGB(0, 0, 255));
        c.dc.DrawIcon(1, 1, icon);
        EXPECT_EQ(c.At(1, 1), RGB(255, 0, 0));
        EXPECT_EQ(c.At(2, 2), RGB(255, 0, 0));
        EXPECT_EQ(c.At(3, 1), RGB(0, 0, 255));
        EXPECT_EQ(c.At(1, 3), RGB(0, 0, 255));
        EXPECT_EQ(c.Count(RGB(255, 0, 0)), 4);
        EXPECT_TRUE(DestroyIcon(icon));
    }
    const auto cur = MakeIco(true, true);
    HCURSOR cursor = CreateIconFromFile(cur.data(), cur.size());
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(GetIconImage(cursor)->hotspotX, 1);
    EXPECT_EQ(GetIconImage(cursor)->hotspotY, 3);
    DestroyIcon(cursor);

    static const auto resIcon = MakeIco(false, true);
    static const res::Resource table[] = {
        {res::Kind::Icon, 9128, resIcon.data(), static_cast<unsigned>(resIcon.size())}};
    res::RegisterResources(table, 1);
    HICON shared = LoadIconResource(9128);
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(LoadIconResource(9128), shared);
    EXPECT_EQ(LoadCursorResource(9128), nullptr);  // an icon is not a cursor
    auto cut = MakeIco(false, true);
    cut.resize(cut.size() - 3);
    EXPECT_EQ(CreateIconFromFile(cut.data(), cut.size()), nullptr);
}

}  // namespace

namespace {

TEST(DibTransfer, ThirtyTwoBitTopDownCanvasIsCopiedAsItIs) {
    // An animation canvas: 0x00RRGGBB words, top row first.
    const uint32_t canvas[6] = {0x00102030, 0x00405060, 0x00708090,
                                0x00A0B0C0, 0x00D0E0F0, 0x00010203};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 3;
    info.bmiHeader.biHeight = -2;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    Canvas c(6, 4, RGB(9, 9, 9));
    EXPECT_EQ(c.dc.SetDIBitsToDevice(2, 1, 3, 2, 0, 0, 0, 2, canvas, &info, DIB_RGB_COLORS), 2);
    EXPECT_EQ(c.At(2, 1), RGB(0x10, 0x20, 0x30));
    EXPECT_EQ(c.At(4, 1), RGB(0x70, 0x80, 0x90));
    EXPECT_EQ(c.At(3, 2), RGB(0xD0, 0xE0, 0xF0));
    EXPECT_EQ(c.At(1, 1), RGB(9, 9, 9));
    EXPECT_EQ(c.At(5, 2), RGB(9, 9, 9));
    EXPECT_EQ(c.Count(RGB(9, 9, 9)), 24 - 6);
    // Half off the left edge: the visible columns are the canvas's right-hand ones.
    Canvas d(3, 2, RGB(9, 9, 9));
    d.dc.SetDIBitsToDevice(-1, 0, 3, 2, 0, 0, 0, 2, canvas, &info, DIB_RGB_COLORS);
    EXPECT_EQ(d.At(0, 0), RGB(0x40, 0x50, 0x60));
    EXPECT_EQ(d.At(1, 1), RGB(0x01, 0x02, 0x03));
    EXPECT_EQ(d.At(2, 1), RGB(9, 9, 9));
}

}  // namespace
