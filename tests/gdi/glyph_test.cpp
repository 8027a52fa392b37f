// Glyph pictures of the system font against the font files read with FreeType directly: ASCII
// and Chinese characters are the system font's own pictures; full-width characters it draws only
// half a cell wide (the difficulty numerals Ⅰ..Ⅳ) take the Song font's full-width pictures.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "tests/gdi/helpers.h"

using gditest::Canvas;

namespace {

constexpr COLORREF kInk = RGB(255, 255, 0);
constexpr int kWidth = 120, kHeight = 20;

// One glyph of the 16-pixel font as FreeType renders it, without anti-aliasing.
struct Picture {
    int advance = 0, left = 0, top = 0, width = 0, rows = 0;
    std::vector<bool> bits;
    bool Ink(int x, int y) const { return bits[static_cast<size_t>(y) * width + x]; }
};

// The file and face index of a font family, as fontconfig finds it ("" when not installed).
std::pair<std::string, int> FontFileOf(const char* familyName) {
    std::pair<std::string, int> found{"", 0};
    if (!FcInit()) return found;
    FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(familyName));
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result;
    if (FcPattern* match = FcFontMatch(nullptr, pat, &result)) {
        FcChar8* file = nullptr;
        FcChar8* family = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
            FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch &&
            std::string(reinterpret_cast<const char*>(family)) == familyName) {
            found.first = reinterpret_cast<const char*>(file);
            FcPatternGetInteger(match, FC_INDEX, 0, &found.second);
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pat);
    return found;
}

class GlyphTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(FT_Init_FreeType(&lib_), 0);
        face_ = Open("Unifont");
        song_ = Open("AR PL UMing CN");
    }
    void TearDown() override {
        if (face_) FT_Done_Face(face_);
        if (song_) FT_Done_Face(song_);
        if (lib_) FT_Done_FreeType(lib_);
    }

    FT_Face Open(const char* family) {
        const auto [file, index] = FontFileOf(family);
        EXPECT_FALSE(file.empty()) << "no " << family << " font installed";
        FT_Face face = nullptr;
        if (file.empty() || FT_New_Face(lib_, file.c_str(), index, &face) != 0) return nullptr;
        EXPECT_EQ(FT_Set_Pixel_Sizes(face, 0, 16), 0);
        return face;
    }

    // The picture of `cp` in the system font's face, or in the Song font's.
    Picture Load(uint32_t cp, bool song = false) {
        Picture p;
        FT_Face face = song ? song_ : face_;
        if (!face) return p;
        const FT_UInt index = FT_Get_Char_Index(face, cp);
        EXPECT_NE(index, 0u) << std::hex << cp;
        if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) return p;
        const FT_GlyphSlot slot = face->glyph;
        p.advance = static_cast<int>((slot->advance.x + 32) >> 6);
        p.left = slot->bitmap_left;
        p.top = slot->bitmap_top;
        p.width = static_cast<int>(slot->bitmap.width);
        p.rows = static_cast<int>(slot->bitmap.rows);
        EXPECT_EQ(slot->bitmap.pixel_mode, FT_PIXEL_MODE_MONO);
        for (int y = 0; y < p.rows; ++y) {
            const unsigned char* row = slot->bitmap.buffer + y * slot->bitmap.pitch;
            for (int x = 0; x < p.width; ++x) p.bits.push_back((row[x >> 3] >> (7 - (x & 7))) & 1);
        }
        return p;
    }

    // Paints `p` into `c` with the pen at x and the cell top at y, each column `scale` times.
    static void Paint(Canvas& c, const Picture& p, int x, int y, int ascent, int scale = 1) {
        for (int gy = 0; gy < p.rows; ++gy)
            for (int gx = 0; gx < p.width; ++gx)
                if (p.Ink(gx, gy))
                    for (int k = 0; k < scale; ++k)
                        c.dc.SetPixel(x + scale * (p.left + gx) + k, y + ascent - p.top + gy, kInk);
    }

    static void Text(Canvas& c, int x, int y, const char* text) {
        c.dc.SetBkMode(TRANSPARENT);
        c.dc.SetTextColor(kInk);
        c.dc.TextOut(x, y, text);
    }

    static int Ascent(Canvas& c) {
        TEXTMETRIC tm{};
        EXPECT_TRUE(c.dc.GetTextMetrics(&tm));
        return tm.tmAscent;
    }

    FT_Library lib_ = nullptr;
    FT_Face face_ = nullptr;
    FT_Face song_ = nullptr;
};

TEST_F(GlyphTest, AsciiAndChineseCharactersAreTheFontsOwnPictures) {
    Canvas drawn(kWidth, kHeight), expected(kWidth, kHeight);
    Text(drawn, 3, 2, "0123456789:难");
    const int ascent = Ascent(drawn);
    int pen = 3;
    for (uint32_t cp : {U'0', U'1', U'2', U'3', U'4', U'5', U'6', U'7', U'8', U'9', U':'}) {
        const Picture p = Load(cp);
        ASSERT_EQ(p.advance, 8) << static_cast<char>(cp);
        Paint(expected, p, pen, 2, ascent);
        pen += 8;
    }
    const Picture han = Load(U'难');
    ASSERT_EQ(han.advance, 16);
    Paint(expected, han, pen, 2, ascent);
    EXPECT_EQ(drawn.dc.GetTextExtent("0123456789:难").cx, 11 * 8 + 16);
    EXPECT_GT(expected.Count(kInk), 100);
    EXPECT_EQ(drawn.Rows(0, 0, kWidth, kHeight, kInk), expected.Rows(0, 0, kWidth, kHeight, kInk));
}

TEST_F(GlyphTest, FullWidthCharactersDrawnHalfWidthTakeTheSongFontsFullWidthPictures) {
    const char* const numerals[] = {"Ⅰ", "Ⅱ", "Ⅲ", "Ⅳ"};
    std::vector<std::string> rightHalves;
    std::vector<int> spans;
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(numerals[i]);
        Canvas drawn(40, kHeight), expected(40, kHeight);
        Text(drawn, 5, 1, numerals[i]);
        EXPECT_EQ(drawn.dc.GetTextExtent(numerals[i]).cx, 16);
        // The system font's picture is half a cell: drawn as is it would leave "Ⅳ" 8 pixels
        // wide. The Song font's is a whole cell.
        ASSERT_EQ(Load(0x2160 + i).advance, 8);
        const Picture p = Load(0x2160 + i, true);
        ASSERT_EQ(p.advance, 16);
        Paint(expected, p, 5, 1, Ascent(drawn));
        EXPECT_EQ(drawn.Rows(0, 0, 40, kHeight, kInk), expected.Rows(0, 0, 40, kHeight, kInk));
        int left = 40, right = -1;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < 40; ++x)
                if (drawn.At(x, y) == kInk) {
                    left = std::min(left, x);
                    right = std::max(right, x + 1);
                }
        EXPECT_GE(left, 5);
        EXPECT_LE(right, 5 + 16);
        spans.push_back(right - left);
        rightHalves.push_back(drawn.Rows(5 + 8, 0, 8, kHeight, kInk));
    }
    // Full-width pictures: Ⅰ is one serifed stroke; Ⅱ already reaches beyond half a cell, and
    // Ⅳ spans most of its cell.
    EXPECT_GT(spans[1], 8);
    EXPECT_GT(spans[2], 8);
    EXPECT_GT(spans[3], 12);
    EXPECT_NE(rightHalves[3], rightHalves[1]);  // Ⅳ is not Ⅱ with a foot
}

TEST_F(GlyphTest, StretchedCharactersKeepTheirPlaceInAString) {
    // Between a digit and a Chinese character the numeral takes its 16-pixel cell; in bold its
    // picture is thickened one pixel to the right, like every other.
    Canvas drawn(kWidth, kHeight), expected(kWidth, kHeight), plain(kWidth, kHeight);
    Text(plain, 0, 0, "7Ⅳ难");
    Text(drawn, 0, 0, "7");
    Text(drawn, 8, 0, "Ⅳ");
    Text(drawn, 24, 0, "难");
    EXPECT_EQ(plain.Rows(0, 0, kWidth, kHeight, kInk), drawn.Rows(0, 0, kWidth, kHeight, kInk));

    LOGFONT lf{};
    CFont system;
    ASSERT_TRUE(system.CreateStockObject(SYSTEM_FONT));
    system.GetLogFont(&lf);
    lf.lfWeight = FW_BOLD;
    CFont bold;
    ASSERT_TRUE(bold.CreateFontIndirect(&lf));
    Canvas thick(kWidth, kHeight);
    CFont* old = thick.dc.SelectObject(&bold);
    Text(thick, 0, 0, "Ⅳ");
    thick.dc.SelectObject(old);
    Paint(expected, Load(0x2163, true), 0, 0, Ascent(plain));
    for (int y = 0; y < kHeight; ++y)
        for (int x = kWidth - 1; x > 0; --x)
            if (expected.At(x - 1, y) == kInk) expected.dc.SetPixel(x, y, kInk);
    EXPECT_EQ(thick.Rows(0, 0, kWidth, kHeight, kInk), expected.Rows(0, 0, kWidth, kHeight, kInk));
}

}  // namespace
