// Text: cell advances of the system font, transparent and opaque drawing, centred single-line
// text, underline, the dialog font.
#include <gtest/gtest.h>

#include "tests/gdi/helpers.h"

using gditest::Canvas;

namespace {

constexpr COLORREF kText = RGB(255, 255, 0);

// Bounding box of the pixels of colour `ink`.
CRect InkBox(Canvas& c, int w, int h, COLORREF ink) {
    CRect box(w, h, -1, -1);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (c.At(x, y) == ink) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    return box;
}

TEST(Text, ChineseCharactersAdvanceSixteenAndDigitsAndColonsEight) {
    Canvas c(10, 10);
    EXPECT_EQ(c.dc.GetTextExtent("难度:"), CSize(40, 16));
    EXPECT_EQ(c.dc.GetTextExtent("0123456789"), CSize(80, 16));
    EXPECT_EQ(c.dc.GetTextExtent("得分:12345"), CSize(80, 16));
    // The difficulty numerals are full-width characters.
    EXPECT_EQ(c.dc.GetTextExtent("Ⅳ").cx, 16);
    EXPECT_EQ(c.dc.GetTextExtent("").cx, 0);
    TEXTMETRIC tm;
    ASSERT_TRUE(c.dc.GetTextMetrics(&tm));
    EXPECT_EQ(tm.tmHeight, 16);
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, 16);
}

TEST(Text, GlyphsStayInsideTheirCellsWithoutAntiAliasing) {
    Canvas c(120, 20);
    c.dc.SetBkMode(TRANSPARENT);
    c.dc.SetTextColor(kText);
    c.dc.TextOut(10, 2, "8:难");
    int other = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 120; ++x) {
            const COLORREF p = c.At(x, y);
            if (p != kText && p != RGB(0, 0, 0)) ++other;
        }
    EXPECT_EQ(other, 0);  // two colours only: no blended edge pixels
    const CRect all = InkBox(c, 120, 20, kText);
    EXPECT_GE(all.left, 10);
    EXPECT_LE(all.right, 10 + 8 + 8 + 16);
    EXPECT_GE(all.top, 2);
    EXPECT_LE(all.bottom, 2 + 16);
    // Each character's ink lies within its own cell.
    Canvas digit(40, 20), colon(40, 20), han(40, 20);
    for (Canvas* k : {&digit, &colon, &han}) {
        k->dc.SetBkMode(TRANSPARENT);
        k->dc.SetTextColor(kText);
    }
    digit.dc.TextOut(0, 0, "8");
    colon.dc.TextOut(8, 0, ":");
    han.dc.TextOut(16, 0, "难");
    const CRect d = InkBox(digit, 40, 20, kText), k = InkBox(colon, 40, 20, kText),
                h = InkBox(han, 40, 20, kText);
    EXPECT_TRUE(d.left >= 0 && d.right <= 8 && d.Width() > 3) << d.left << " " << d.right;
    EXPECT_TRUE(k.left >= 8 && k.right <= 16 && k.Width() >= 1);
    EXPECT_TRUE(h.left >= 16 && h.right <= 32 && h.Width() > 10);
    // The string draws exactly what its characters draw one by one.
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x) {
            const bool single =
                digit.At(x, y) == kText || colon.At(x, y) == kText || han.At(x, y) == kText;
            ASSERT_EQ(c.At(x + 10, y + 2) == kText, single) << x << "," << y;
        }
}

TEST(Text, TransparentTextKeepsTheBackgroundAndOpaqueTextFillsItsCells) {
    Canvas t(40, 20, RGB(10, 20, 30));
    t.dc.SetBkMode(TRANSPARENT);
    t.dc.SetBkColor(RGB(200, 0, 0));
    t.dc.SetTextColor(kText);
    t.dc.TextOut(4, 2, "12");
    EXPECT_EQ(t.Count(RGB(200, 0, 0)), 0);
    const int ink = t.Count(kText);
    EXPECT_GT(ink, 10);
    EXPECT_EQ(t.Count(RGB(10, 20, 30)), 800 - ink);

    Canvas o(40, 20, RGB(10, 20, 30));
    o.dc.SetBkMode(OPAQUE);
    o.dc.SetBkColor(RGB(200, 0, 0));
    o.dc.SetTextColor(kText);
    o.dc.TextOut(4, 2, "12");
    EXPECT_EQ(o.Count(kText), ink);
    EXPECT_EQ(o.Count(RGB(200, 0, 0)), 16 * 16 - ink);
    EXPECT_EQ(o.At(4, 2), RGB(200, 0, 0));
    EXPECT_EQ(o.At(3, 2), RGB(10, 20, 30));
    EXPECT_EQ(o.At(20, 17), RGB(10, 20, 30));
}

TEST(Text, CentredSingleLineIsTheSameAsTextOutAtTheCentredPosition) {
    const char* prize = "奖励提示3次";  // 5 wide + 1 narrow = 88 pixels
    Canvas a(800, 40), b(800, 40);
    for (Canvas* k : {&a, &b}) {
        k->dc.SetBkMode(TRANSPARENT);
        k->dc.SetTextColor(RGB(255, 0, 255));
    }
    CRect line(0, 18, 780, 36);
    a.dc.DrawText(prize, -1, &line, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EXPECT_EQ(b.dc.GetTextExtent(prize).cx, 88);
    b.dc.TextOut((780 - 88) / 2, 18 + (18 - 16) / 2, prize);
    int inked = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 800; ++x) {
            ASSERT_EQ(a.At(x, y), b.At(x, y)) << x << "," << y;
            inked += a.At(x, y) == RGB(255, 0, 255);
        }
    EXPECT_GT(inked, 50);
}

TEST(Text, DrawTextClipsToItsRectangleAndMeasuresLines) {
    Canvas c(100, 60);
    c.dc.SetTextColor(kText);
    c.dc.SetBkMode(TRANSPARENT);
    CRect narrow(0, 0, 12, 16);
    c.dc.DrawText("WWWW", -1, &narrow, DT_SINGLELINE);
    EXPECT_LE(InkBox(c, 100, 60, kText).right, 12);

    CRect calc(0, 0, 100, 0);
    EXPECT_EQ(c.dc.DrawText("ab\ncdef", -1, &calc, DT_CALCRECT), 32);
    EXPECT_EQ(calc, CRect(0, 0, 32, 32));
    CRect wrapped(0, 0, 40, 0);
    EXPECT_EQ(c.dc.DrawText("aaa bbb ccc", -1, &wrapped, DT_CALCRECT | DT_WORDBREAK), 48);
    CRect cjk(0, 0, 40, 0);
    EXPECT_EQ(c.dc.DrawText("一二三四五", -1, &cjk, DT_CALCRECT | DT_WORDBREAK), 48);
    // "&&" shows one ampersand; a lone '&' is not shown.
    EXPECT_EQ(c.dc.GetTextExtent("&").cx, 8);
    CRect amp(0, 0, 100, 0);
    c.dc.DrawText("a&&b&c", -1, &amp, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(amp.Width(), 32);
    CRect raw(0, 0, 100, 0);
    c.dc.DrawText("a&&b&c", -1, &raw, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(raw.Width(), 48);
}

TEST(Text, UnderlinedFontDrawsALineUnderEveryCharacter) {
    Canvas c(60, 20);
    c.dc.SetBkMode(TRANSPARENT);
    c.dc.SetTextColor(RGB(0, 0, 238));
    LOGFONT lf{};
    CFont plain;
    ASSERT_TRUE(plain.CreateStockObject(SYSTEM_FONT));
    plain.GetLogFont(&lf);
    lf.lfUnderline = TRUE;
    CFont underlined;
    ASSERT_TRUE(underlined.CreateFontIndirect(&lf));
    CFont* old = c.dc.SelectObject(&underlined);
    c.dc.TextOut(2, 0, "AB");
    EXPECT_EQ(c.dc.GetTextExtent("AB"), CSize(16, 16));
    c.dc.SelectObject(old);
    // One full row of 16 pixels below the letters, nothing beyond.
    int fullRows = 0;
    for (int y = 0; y < 20; ++y) {
        int n = 0;
        for (int x = 0; x < 60; ++x) n += c.At(x, y) == RGB(0, 0, 238);
        if (n == 16) {
            ++fullRows;
            EXPECT_EQ(c.At(2, y), RGB(0, 0, 238));
            EXPECT_EQ(c.At(17, y), RGB(0, 0, 238));
            EXPECT_GE(y, 13);
        }
    }
    EXPECT_EQ(fullRows, 1);
}

TEST(Text, DialogFontIsTwelvePixelSong) {
    Canvas c(100, 20);
    CFont song;
    ASSERT_TRUE(song.CreatePointFont(90, "宋体"));
    LOGFONT lf;
    song.GetLogFont(&lf);
    EXPECT_EQ(lf.lfHeight, -12);
    CFont* old = c.dc.SelectObject(&song);
    EXPECT_EQ(c.dc.GetTextExtent("确定").cx, 24);
    TEXTMETRIC tm;
    c.dc.GetTextMetrics(&tm);
    EXPECT_GE(tm.tmHeight, 12);
    EXPECT_LE(tm.tmHeight, 15);
    c.dc.SetTextColor(kText);
    c.dc.TextOut(0, 0, "确定");
    const CRect box = InkBox(c, 100, 20, kText);
    EXPECT_LE(box.right, 24);
    EXPECT_GT(box.Width(), 16);
    c.dc.SelectObject(old);
}

TEST(Text, MalformedUtf8DrawsReplacementCharactersWithoutHarm) {
    Canvas c(100, 20);
    const char bad[] = {'A', static_cast<char>(0xE9), static_cast<char>(0x80),
                        'B', static_cast<char>(0xFF), 0};
    const CSize size = c.dc.GetTextExtent(bad);
    EXPECT_EQ(size.cx, 8 + 16 + 8 + 16);
    EXPECT_TRUE(c.dc.TextOut(0, 0, bad));
    // A count cuts the text by bytes, also inside a character.
    EXPECT_EQ(c.dc.GetTextExtent("难度", 3).cx, 16);
    EXPECT_EQ(c.dc.GetTextExtent("难度", 4).cx, 32);
}

}  // namespace
