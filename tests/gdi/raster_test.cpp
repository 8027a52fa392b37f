// Block transfers: every raster operation on known patterns, clipping, format conversion and
// the mask composition of transparent animation frames.
#include <gtest/gtest.h>

#include <functional>

#include "tests/gdi/helpers.h"

using gditest::Canvas;

namespace {

// Colours chosen so that every bit combination of source and destination occurs.
constexpr COLORREF kDst[4] = {RGB(0x0F, 0xF0, 0x55), RGB(0xFF, 0x00, 0x81), RGB(0x00, 0x00, 0x00),
                              RGB(0xC3, 0x3C, 0xFF)};
constexpr COLORREF kSrc[4] = {RGB(0x33, 0xCC, 0xAA), RGB(0xFF, 0xFF, 0xFF), RGB(0x18, 0x81, 0x00),
                              RGB(0x5A, 0xA5, 0x3C)};
constexpr COLORREF kBrush = RGB(0x96, 0x69, 0x0F);

struct RopCase {
    const char* name;
    DWORD rop;
    std::function<uint32_t(uint32_t p, uint32_t s, uint32_t d)> expect;
};

TEST(Raster, EveryOperationCombinesBrushSourceAndTarget) {
    const RopCase cases[] = {
        {"SRCCOPY", SRCCOPY, [](uint32_t, uint32_t s, uint32_t) { return s; }},
        {"SRCAND", SRCAND, [](uint32_t, uint32_t s, uint32_t d) { return s & d; }},
        {"SRCPAINT", SRCPAINT, [](uint32_t, uint32_t s, uint32_t d) { return s | d; }},
        {"SRCINVERT", SRCINVERT, [](uint32_t, uint32_t s, uint32_t d) { return s ^ d; }},
        {"SRCERASE", SRCERASE, [](uint32_t, uint32_t s, uint32_t d) { return s & ~d; }},
        {"NOTSRCCOPY", NOTSRCCOPY, [](uint32_t, uint32_t s, uint32_t) { return ~s; }},
        {"NOTSRCERASE", NOTSRCERASE, [](uint32_t, uint32_t s, uint32_t d) { return ~(s | d); }},
        {"MERGECOPY", MERGECOPY, [](uint32_t p, uint32_t s, uint32_t) { return p & s; }},
        {"MERGEPAINT", MERGEPAINT, [](uint32_t, uint32_t s, uint32_t d) { return ~s | d; }},
        {"PATCOPY", PATCOPY, [](uint32_t p, uint32_t, uint32_t) { return p; }},
        {"PATPAINT", PATPAINT, [](uint32_t p, uint32_t s, uint32_t d) { return p | ~s | d; }},
        {"PATINVERT", PATINVERT, [](uint32_t p, uint32_t, uint32_t d) { return p ^ d; }},
        {"DSTINVERT", DSTINVERT, [](uint32_t, uint32_t, uint32_t d) { return ~d; }},
        {"BLACKNESS", BLACKNESS, [](uint32_t, uint32_t, uint32_t) { return 0u; }},
        {"WHITENESS", WHITENESS, [](uint32_t, uint32_t, uint32_t) { return 0xFFFFFFu; }},
        {"DSna", DSna, [](uint32_t, uint32_t s, uint32_t d) { return d & ~s; }},
        // A code with no name of its own: the target where the source is set, else the brush.
        {"0xB8074A", 0x00B8074A,
         [](uint32_t p, uint32_t s, uint32_t d) { return (s & d) | (~s & p); }},
    };
    for (const RopCase& c : cases) {
        Canvas dst(4, 1), src(4, 1);
        for (int i = 0; i < 4; ++i) {
            dst.dc.SetPixel(i, 0, kDst[i]);
            src.dc.SetPixel(i, 0, kSrc[i]);
        }
        CBrush brush(kBrush);
        dst.dc.SelectObject(&brush);
        ASSERT_TRUE(dst.dc.BitBlt(0, 0, 4, 1, &src.dc, 0, 0, c.rop)) << c.name;
        for (int i = 0; i < 4; ++i) {
            const COLORREF want = c.expect(kBrush, kSrc[i], kDst[i]) & 0xFFFFFF;
            EXPECT_EQ(dst.At(i, 0), want) << c.name << " pixel " << i;
        }
        dst.dc.SelectStockObject(WHITE_BRUSH);
    }
}

TEST(Raster, ClipsAtAllFourSidesOfTheTarget) {
    // A 10 x 10 source whose pixel (x, y) has colour RGB(x, y, 7).
    Canvas src(10, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) src.dc.SetPixel(x, y, RGB(x, y, 7));

    Canvas dst(20, 20, RGB(200, 200, 200));
    dst.dc.BitBlt(-3, -4, 10, 10, &src.dc, 0, 0, SRCCOPY);  // over the left and top edges
    EXPECT_EQ(dst.At(0, 0), RGB(3, 4, 7));
    EXPECT_EQ(dst.At(6, 5), RGB(9, 9, 7));
    EXPECT_EQ(dst.At(7, 0), RGB(200, 200, 200));
    EXPECT_EQ(dst.At(0, 6), RGB(200, 200, 200));

    dst.dc.BitBlt(15, 17, 10, 10, &src.dc, 0, 0, SRCCOPY);  // over the right and bottom edges
    EXPECT_EQ(dst.At(15, 17), RGB(0, 0, 7));
    EXPECT_EQ(dst.At(19, 19), RGB(4, 2, 7));
    EXPECT_EQ(dst.At(14, 19), RGB(200, 200, 200));
    // Nothing wrapped round into the start of a row.
    EXPECT_EQ(dst.At(0, 18), RGB(200, 200, 200));
    EXPECT_EQ(dst.At(0, 19), RGB(200, 200, 200));
    EXPECT_EQ(dst.Count(RGB(200, 200, 200)), 400 - 7 * 6 - 5 * 3);
}

TEST(Raster, LeavesPixelsAloneWhereTheSourceHasNone) {
    Canvas src(4, 4, RGB(10, 20, 30));
    Canvas dst(8, 8, RGB(1, 1, 1));
    // Source rectangle (-2, -1)-(4, 5) only partly exists: the rest of the target stays.
    dst.dc.BitBlt(0, 0, 6, 6, &src.dc, -2, -1, SRCCOPY);
    EXPECT_EQ(dst.At(1, 3), RGB(1, 1, 1));
    EXPECT_EQ(dst.At(3, 0), RGB(1, 1, 1));
    EXPECT_EQ(dst.At(2, 1), RGB(10, 20, 30));
    EXPECT_EQ(dst.At(5, 4), RGB(10, 20, 30));
    EXPECT_EQ(dst.At(5, 5), RGB(1, 1, 1));
    EXPECT_EQ(dst.Count(RGB(10, 20, 30)), 16);
}

TEST(Raster, HonoursTheClipRectangleAndViewportOrigin) {
    Canvas src(10, 10, RGB(9, 9, 9));
    Canvas dst(10, 10);
    dst.dc.IntersectClipRect(2, 3, 6, 8);
    dst.dc.BitBlt(0, 0, 10, 10, &src.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(dst.Count(RGB(9, 9, 9)), 4 * 5);
    EXPECT_EQ(dst.At(2, 3), RGB(9, 9, 9));
    EXPECT_EQ(dst.At(6, 3), RGB(0, 0, 0));
    dst.dc.SetClipRect(nullptr);
    dst.dc.SetViewportOrg(5, 5);
    dst.dc.FillSolidRect(0, 0, 2, 2, RGB(1, 2, 3));
    dst.dc.SetViewportOrg(0, 0);
    EXPECT_EQ(dst.At(5, 5), RGB(1, 2, 3));
    EXPECT_EQ(dst.At(6, 6), RGB(1, 2, 3));
    EXPECT_EQ(dst.At(7, 7), RGB(0, 0, 0));
}

TEST(Raster, OverlappingCopyWithinOneBitmapReadsTheSourceFirst) {
    Canvas c(6, 1);
    for (int x = 0; x < 6; ++x) c.dc.SetPixel(x, 0, RGB(x * 10, 0, 0));
    c.dc.BitBlt(1, 0, 5, 1, &c.dc, 0, 0, SRCCOPY);  // shift right by one
    EXPECT_EQ(c.At(0, 0), RGB(0, 0, 0));
    for (int x = 1; x < 6; ++x) EXPECT_EQ(c.At(x, 0), RGB((x - 1) * 10, 0, 0)) << x;
}

TEST(Raster, ColourToMonochromeMarksTheSourceBackgroundColourWhite) {
    Canvas frame(3, 1);
    frame.dc.SetPixel(0, 0, RGB(1, 2, 3));
    frame.dc.SetPixel(1, 0, RGB(9, 9, 9));
    frame.dc.SetPixel(2, 0, RGB(1, 2, 3));
    frame.dc.SetBkColor(RGB(1, 2, 3));

    CDC maskDc;
    maskDc.CreateCompatibleDC(nullptr);
    CBitmap mask;
    ASSERT_TRUE(mask.CreateBitmap(3, 1, 1, 1, nullptr));
    CBitmap* old = maskDc.SelectObject(&mask);
    maskDc.BitBlt(0, 0, 3, 1, &frame.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(maskDc.GetPixel(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(maskDc.GetPixel(1, 0), RGB(0, 0, 0));
    EXPECT_EQ(maskDc.GetPixel(2, 0), RGB(255, 255, 255));

    // Monochrome to colour: 0 takes the target's text colour, 1 its background colour.
    Canvas out(3, 1);
    out.dc.SetTextColor(RGB(10, 0, 0));
    out.dc.SetBkColor(RGB(0, 20, 0));
    out.dc.BitBlt(0, 0, 3, 1, &maskDc, 0, 0, SRCCOPY);
    EXPECT_EQ(out.At(0, 0), RGB(0, 20, 0));
    EXPECT_EQ(out.At(1, 0), RGB(10, 0, 0));
    maskDc.SelectObject(old);
}

TEST(Raster, TransparentFrameComposesThroughAOneBitMask) {
    // Canvas: a gradient; frame: red with the transparent colour (green) in two places.
    const COLORREF kTransparent = RGB(0, 255, 0);
    Canvas canvas(4, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) canvas.dc.SetPixel(x, y, RGB(40 * x, 50 * y, 99));
    Canvas frame(4, 2, RGB(255, 0, 0));
    frame.dc.SetPixel(1, 0, kTransparent);
    frame.dc.SetPixel(3, 1, kTransparent);
    frame.dc.SetPixel(2, 1, RGB(0, 0, 255));

    CDC maskDc;
    maskDc.CreateCompatibleDC(nullptr);
    CBitmap mask;
    mask.CreateBitmap(4, 2, 1, 1, nullptr);
    CBitmap* old = maskDc.SelectObject(&mask);
    frame.dc.SetBkColor(kTransparent);
    maskDc.BitBlt(0, 0, 4, 2, &frame.dc, 0, 0, SRCCOPY);
    canvas.dc.SetTextColor(RGB(0, 0, 0));
    canvas.dc.SetBkColor(RGB(255, 255, 255));
    canvas.dc.BitBlt(0, 0, 4, 2, &maskDc, 0, 0, SRCAND);
    frame.dc.SetTextColor(RGB(0, 0, 0));
    frame.dc.SetBkColor(RGB(255, 255, 255));
    frame.dc.BitBlt(0, 0, 4, 2, &maskDc, 0, 0, DSna);
    canvas.dc.BitBlt(0, 0, 4, 2, &frame.dc, 0, 0, SRCPAINT);
    maskDc.SelectObject(old);

    EXPECT_EQ(canvas.At(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(1, 0), RGB(40, 0, 99));  // transparent: the canvas shows
    EXPECT_EQ(canvas.At(2, 1), RGB(0, 0, 255));
    EXPECT_EQ(canvas.At(3, 1), RGB(120, 50, 99));
    EXPECT_EQ(canvas.At(3, 0), RGB(255, 0, 0));
}

TEST(Raster, FreshMemoryDcMakesMonochromeCompatibleBitmaps) {
    CDC mem;
    mem.CreateCompatibleDC(nullptr);
    CBitmap mono, colour;
    ASSERT_TRUE(mono.CreateCompatibleBitmap(&mem, 5, 5));
    ASSERT_TRUE(colour.CreateCompatibleBitmap(nullptr, 5, 5));
    BITMAP bm;
    mono.GetBitmap(&bm);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    colour.GetBitmap(&bm);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    // Once a colour bitmap is selected, compatible bitmaps are colour too.
    CBitmap* old = mem.SelectObject(&colour);
    CBitmap second;
    second.CreateCompatibleBitmap(&mem, 2, 2);
    second.GetBitmap(&bm);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    mem.SelectObject(old);
}

TEST(Raster, StretchBltSamplesTheNearestPixel) {
    Canvas src(2, 2);
    src.dc.SetPixel(0, 0, RGB(1, 0, 0));
    src.dc.SetPixel(1, 0, RGB(2, 0, 0));
    src.dc.SetPixel(0, 1, RGB(3, 0, 0));
    src.dc.SetPixel(1, 1, RGB(4, 0, 0));
    Canvas dst(4, 4);
    dst.dc.StretchBlt(0, 0, 4, 4, &src.dc, 0, 0, 2, 2, SRCCOPY);
    EXPECT_EQ(dst.At(1, 1), RGB(1, 0, 0));
    EXPECT_EQ(dst.At(2, 1), RGB(2, 0, 0));
    EXPECT_EQ(dst.At(1, 2), RGB(3, 0, 0));
    EXPECT_EQ(dst.At(3, 3), RGB(4, 0, 0));
    // A negative target width mirrors.
    Canvas mirrored(2, 1);
    mirrored.dc.StretchBlt(1, 0, -2, 1, &src.dc, 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ(mirrored.At(0, 0), RGB(2, 0, 0));
    EXPECT_EQ(mirrored.At(1, 0), RGB(1, 0, 0));
}

TEST(Raster, SelectObjectHandsBackWhatWasSelected) {
    Canvas c(2, 2);
    CPen red(PS_SOLID, 1, RGB(255, 0, 0));
    CPen* before = c.dc.SelectObject(&red);
    ASSERT_NE(before, nullptr);
    EXPECT_EQ(c.dc.SelectObject(before), &red);
    {
        // The pen object lives on while selected, even after its wrapper is gone.
        auto pen = std::make_unique<CPen>(PS_SOLID, 1, RGB(0, 0, 255));
        c.dc.SelectObject(pen.get());
        pen.reset();
        c.dc.MoveTo(0, 0);
        c.dc.LineTo(2, 0);
        EXPECT_EQ(c.At(1, 0), RGB(0, 0, 255));
        CPen* stale = c.dc.SelectObject(before);
        ASSERT_NE(stale, nullptr);
        c.dc.SelectObject(stale);
        c.dc.MoveTo(0, 1);
        c.dc.LineTo(2, 1);
        EXPECT_EQ(c.At(1, 1), RGB(0, 0, 255));
        c.dc.SelectObject(before);
    }
}

}  // namespace

namespace {

TEST(Objects, BrushHandlesTellTheirColourAndHollowness) {
    CBrush red(RGB(255, 0, 0));
    COLORREF c = 0;
    bool hollow = true;
    ASSERT_TRUE(gdi::BrushInfo(static_cast<HBRUSH>(red.GetSafeHandle()), &c, &hollow));
    EXPECT_EQ(c, RGB(255, 0, 0));
    EXPECT_FALSE(hollow);
    ASSERT_TRUE(gdi::BrushInfo(GetStockObject(NULL_BRUSH), &c, &hollow));
    EXPECT_TRUE(hollow);
    EXPECT_EQ(CBrush::FromHandle(static_cast<HBRUSH>(red.GetSafeHandle())), &red);
    LOGBRUSH lb;
    ASSERT_TRUE(CBrush::FromHandle(GetStockObject(BLACK_BRUSH))->GetLogBrush(&lb));
    EXPECT_EQ(lb.lbStyle, BS_SOLID);
    EXPECT_EQ(lb.lbColor, RGB(0, 0, 0));
    CPen pen(PS_SOLID, 1, 0);
    EXPECT_FALSE(gdi::BrushInfo(static_cast<HBRUSH>(pen.GetSafeHandle()), &c, &hollow));
    EXPECT_EQ(CBrush::FromHandle(static_cast<HBRUSH>(pen.GetSafeHandle())), nullptr);
}

}  // namespace
