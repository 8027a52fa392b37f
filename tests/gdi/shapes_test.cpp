// Lines, rectangles and fills: exact edges, the end-point rule and the wide round pen.
#include <gtest/gtest.h>

#include "tests/gdi/helpers.h"

using gditest::Canvas;

namespace {

constexpr COLORREF kInk = RGB(255, 128, 0);

TEST(Shapes, RectangleOutlinesWithThePenAndFillsInsideRightAndBottomExclusive) {
    Canvas c(8, 7);
    CPen pen(PS_SOLID, 1, RGB(0, 255, 255));
    CBrush brush(RGB(255, 0, 0));
    CPen* oldPen = c.dc.SelectObject(&pen);
    CBrush* oldBrush = c.dc.SelectObject(&brush);
    c.dc.Rectangle(1, 1, 6, 5);
    c.dc.SelectObject(oldPen);
    c.dc.SelectObject(oldBrush);
    std::string rows;
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 8; ++x) {
            const COLORREF p = c.At(x, y);
            rows += p == RGB(0, 255, 255) ? 'o' : p == RGB(255, 0, 0) ? 'r' : '.';
        }
        rows += '\n';
    }
    EXPECT_EQ(rows,
              "........\n"
              ".ooooo..\n"
              ".orrro..\n"
              ".orrro..\n"
              ".ooooo..\n"
              "........\n"
              "........\n");
}

TEST(Shapes, TimeBarFrameAndBarGeometry) {
    // The status panel's frame (248,0)-(552,18) and a full bar (250,2)-(550,16).
    Canvas c(560, 20);
    CPen framePen(PS_SOLID, 1, RGB(0, 255, 255)), barPen(PS_SOLID, 1, RGB(255, 0, 0));
    CBrush frameBrush(RGB(0, 0, 0)), barBrush(RGB(255, 0, 0));
    c.dc.FillSolidRect(0, 0, 560, 20, RGB(7, 7, 7));
    CPen* oldPen = c.dc.SelectObject(&framePen);
    CBrush* oldBrush = c.dc.SelectObject(&frameBrush);
    c.dc.Rectangle(248, 0, 552, 18);
    c.dc.SelectObject(&barPen);
    c.dc.SelectObject(&barBrush);
    c.dc.Rectangle(250, 2, 550, 16);
    c.dc.SelectObject(oldPen);
    c.dc.SelectObject(oldBrush);
    EXPECT_EQ(c.At(248, 0), RGB(0, 255, 255));
    EXPECT_EQ(c.At(551, 17), RGB(0, 255, 255));
    EXPECT_EQ(c.At(552, 17), RGB(7, 7, 7));
    EXPECT_EQ(c.At(551, 18), RGB(7, 7, 7));
    EXPECT_EQ(c.At(249, 1), RGB(0, 0, 0));
    EXPECT_EQ(c.At(550, 16), RGB(0, 0, 0));
    EXPECT_EQ(c.At(250, 2), RGB(255, 0, 0));
    EXPECT_EQ(c.At(549, 15), RGB(255, 0, 0));
    EXPECT_EQ(c.At(550, 15), RGB(0, 0, 0));
    EXPECT_EQ(c.Count(RGB(255, 0, 0)), 300 * 14);
}

TEST(Shapes, NullPenRectangleFillsOnePixelLessRightAndBottom) {
    Canvas c(6, 6);
    CBrush brush(kInk);
    c.dc.SelectStockObject(NULL_PEN);
    CBrush* old = c.dc.SelectObject(&brush);
    c.dc.Rectangle(1, 1, 5, 5);
    c.dc.SelectObject(old);
    EXPECT_EQ(c.Count(kInk), 9);
    EXPECT_EQ(c.At(3, 3), kInk);
    EXPECT_NE(c.At(4, 4), kInk);
}

TEST(Shapes, HollowBrushLeavesTheInside) {
    Canvas c(6, 6, RGB(1, 1, 1));
    c.dc.SelectStockObject(HOLLOW_BRUSH);
    c.dc.SelectStockObject(WHITE_PEN);
    c.dc.Rectangle(0, 0, 6, 6);
    EXPECT_EQ(c.Count(RGB(255, 255, 255)), 20);
    EXPECT_EQ(c.At(2, 2), RGB(1, 1, 1));
}

TEST(Shapes, FillRectCoversRightAndBottomExclusiveAndClips) {
    Canvas c(10, 10);
    CBrush brush(kInk);
    CRect r(-5, 7, 3, 20);
    c.dc.FillRect(&r, &brush);
    EXPECT_EQ(c.Count(kInk), 3 * 3);
    EXPECT_EQ(c.At(2, 9), kInk);
    EXPECT_EQ(c.At(3, 9), RGB(0, 0, 0));
    EXPECT_EQ(c.At(0, 6), RGB(0, 0, 0));
}

TEST(Shapes, OnePixelLineLeavesOutItsEndPoint) {
    Canvas c(10, 10);
    CPen pen(PS_SOLID, 1, kInk);
    c.dc.SelectObject(&pen);
    c.dc.MoveTo(1, 1);
    c.dc.LineTo(6, 1);
    c.dc.LineTo(6, 4);
    c.dc.MoveTo(0, 9);
    c.dc.LineTo(4, 5);  // a diagonal
    c.dc.SelectStockObject(BLACK_PEN);
    EXPECT_EQ(c.Rows(0, 0, 8, 10, kInk),
              "........\n"
              ".######.\n"
              "......#.\n"
              "......#.\n"
              "........\n"
              "........\n"
              "...#....\n"
              "..#.....\n"
              ".#......\n"
              "#.......\n");
    EXPECT_EQ(c.dc.GetCurrentPosition(), CPoint(4, 5));
}

TEST(Shapes, SixPixelPenDrawsABandWithRoundEnds) {
    Canvas c(30, 20);
    CPen pen(PS_SOLID, 6, kInk);
    c.dc.SelectObject(&pen);
    c.dc.MoveTo(5, 10);
    c.dc.LineTo(20, 10);
    c.dc.SelectStockObject(BLACK_PEN);
    // Rows 7 to 12 (6 pixels) carry the band; the ends are rounded over 3 pixels.
    EXPECT_EQ(c.Rows(0, 5, 26, 10, kInk),
              "..........................\n"
              "..........................\n"
              "...###################....\n"
              "..#####################...\n"
              "..#####################...\n"
              "..#####################...\n"
              "..#####################...\n"
              "...###################....\n"
              "..........................\n"
              "..........................\n");
}

TEST(Shapes, SixPixelPathTurnsWithRoundJoins) {
    // An L-shaped path like a one-bend link: centre (20,25) across to (60,25), down to (60,75).
    Canvas c(80, 90);
    CPen pen(PS_SOLID, 6, kInk);
    CPen* old = c.dc.SelectObject(&pen);
    c.dc.MoveTo(20, 25);
    c.dc.LineTo(60, 25);
    c.dc.LineTo(60, 75);
    c.dc.SelectObject(old);
    // The horizontal band covers rows 22..27 and the vertical one columns 57..62.
    for (int x = 20; x < 60; ++x) {
        EXPECT_EQ(c.At(x, 22), kInk) << x;
        EXPECT_EQ(c.At(x, 27), kInk) << x;
        EXPECT_NE(c.At(x, 21), kInk) << x;
        if (x < 57) {
            EXPECT_NE(c.At(x, 28), kInk) << x;
        }
    }
    for (int y = 25; y < 75; ++y) {
        EXPECT_EQ(c.At(57, y), kInk) << y;
        EXPECT_EQ(c.At(62, y), kInk) << y;
        if (y >= 28) {
            EXPECT_NE(c.At(56, y), kInk) << y;
        }
        EXPECT_NE(c.At(63, y), kInk) << y;
    }
    // The outer corner is rounded: its extreme pixel stays clear, its inner neighbour is drawn.
    EXPECT_NE(c.At(62, 22), kInk);
    EXPECT_EQ(c.At(61, 23), kInk);
    // The path's far ends carry round caps past the centres.
    EXPECT_EQ(c.At(60, 77), kInk);
    EXPECT_NE(c.At(60, 78), kInk);
    EXPECT_EQ(c.At(18, 25), kInk);
    EXPECT_NE(c.At(16, 25), kInk);
}

TEST(Shapes, WideLineOutsideTheSurfaceIsClipped) {
    // A path through the row above a Super board runs at y = -7: only its lower edge would reach
    // row -4, so nothing shows.
    Canvas c(50, 10);
    CPen pen(PS_SOLID, 6, kInk);
    c.dc.SelectObject(&pen);
    c.dc.MoveTo(5, -7);
    c.dc.LineTo(45, -7);
    EXPECT_EQ(c.Count(kInk), 0);
    c.dc.MoveTo(5, -2);
    c.dc.LineTo(45, -2);
    c.dc.SelectStockObject(BLACK_PEN);
    EXPECT_EQ(c.At(20, 0), kInk);
    EXPECT_NE(c.At(20, 1), kInk);
}

}  // namespace
