// Text: fonts rasterised by FreeType without anti-aliasing, TextOut, DrawText and metrics.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "platform/gdi/internal.h"

namespace gdi {

namespace {

std::mutex& FtMutex() {
    static std::mutex m;
    return m;
}

FT_Library Library() {
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        if (FT_Init_FreeType(&l) != 0) l = nullptr;
        return l;
    }();
    return lib;
}

struct FontFile {
    std::string path;
    int index = 0;
};

bool SameFamily(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        char x = *a, y = *b;
        if (x >= 'A' && x <= 'Z') x += 32;
        if (y >= 'A' && y <= 'Z') y += 32;
        if (x != y) return false;
    }
    return *a == *b;
}

// The file the distribution's font package installs, when it holds the family; otherwise
// fontconfig's answer for the family name.
FontFile Locate(const char* family, const char* packagedPath) {
    FontFile found;
    FT_Face probe = nullptr;
    if (Library() && FT_New_Face(Library(), packagedPath, 0, &probe) == 0) {
        if (probe->family_name && SameFamily(probe->family_name, family)) found.path = packagedPath;
        FT_Done_Face(probe);
    }
    if (!found.path.empty() || !FcInit()) return found;
    FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(family));
    if (!pat) return found;
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pat, &result);
    if (match) {
        FcChar8* file = nullptr;
        FcChar8* fam = nullptr;
        int index = 0;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
            FcPatternGetString(match, FC_FAMILY, 0, &fam) == FcResultMatch &&
            SameFamily(reinterpret_cast<const char*>(fam), family)) {
            FcPatternGetInteger(match, FC_INDEX, 0, &index);
            found.path = reinterpret_cast<const char*>(file);
            found.index = index;
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pat);
    return found;
}

enum class Family { System, Dialog };

const FontFile& FileFor(Family f) {
    static const FontFile system =
        Locate("Unifont", "/usr/share/fonts/opentype/unifont/unifont.otf");
    static const FontFile dialog =
        Locate("AR PL UMing CN", "/usr/share/fonts/truetype/arphic/uming.ttc");
    if (f == Family::Dialog && !dialog.path.empty()) return dialog;
    return system;
}

Family FamilyOf(const char* face) {
    static const char* const kSong[] = {"宋体",        "新宋体",        "SimSun",
                                        "NSimSun",     "MS Shell Dlg",  "MS Shell Dlg 2",
                                        "AR PL UMing", "AR PL UMing CN"};
    for (const char* s : kSong)
        if (SameFamily(face, s)) return Family::Dialog;
    return Family::System;
}

uint32_t DecodeUtf8(const unsigned char*& p, const unsigned char* end) {
    const unsigned c = *p++;
    if (c < 0x80) return c;
    int extra;
    uint32_t cp;
    if ((c & 0xE0) == 0xC0) {
        extra = 1;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        extra = 2;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        extra = 3;
        cp = c & 0x07;
    } else {
        return 0xFFFD;
    }
    for (int i = 0; i < extra; ++i) {
        if (p >= end || (*p & 0xC0) != 0x80) return 0xFFFD;
        cp = (cp << 6) | (*p++ & 0x3F);
    }
    static const uint32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0xFFFD;
    return cp;
}

}  // namespace

class FontInstance {
  public:
    struct Glyph {
        int advance = 0;
        int left = 0;  // from the pen position
        int top = 0;   // from the top of the character cell
        int width = 0;
        int height = 0;
        std::vector<uint8_t> bits;  // width * height, 1 = ink
    };

    FontInstance(const FontFile& file, const LOGFONT& lf, bool systemCells)
        : systemCells_(systemCells) {
        bold_ = lf.lfWeight >= 600;
        underline_ = lf.lfUnderline != 0;
        strike_ = lf.lfStrikeOut != 0;
        if (!Library() || FT_New_Face(Library(), file.path.c_str(), file.index, &face_) != 0) {
            face_ = nullptr;
            return;
        }
        const int defaultEm = systemCells ? 16 : 12;
        int em = defaultEm;
        if (lf.lfHeight < 0) {
            em = -lf.lfHeight;
        } else if (lf.lfHeight > 0) {
            const int cell = face_->ascender - face_->descender;
            em = cell > 0 ? (lf.lfHeight * face_->units_per_EM + cell / 2) / cell : lf.lfHeight;
        }
        em = std::clamp(em, 1, 512);
        // Prefer an embedded bitmap strike of this size when the font has one.
        FT_Set_Pixel_Sizes(face_, 0, em);
        em_ = em;
        ascent_ = static_cast<int>((face_->size->metrics.ascender + 63) >> 6);
        descent_ = static_cast<int>((-face_->size->metrics.descender + 63) >> 6);
        if (systemCells_) {
            // A 16-pixel character cell: 14 rows above the baseline and 2 below for em 16.
            ascent_ = (em * 7 + 4) / 8;
            descent_ = em - ascent_;
        }
        height_ = ascent_ + descent_;
    }
    ~FontInstance() {
        std::lock_guard<std::mutex> lock(FtMutex());
        if (face_) FT_Done_Face(face_);
        if (wideFace_) FT_Done_Face(wideFace_);
    }

    bool ok() const { return face_ != nullptr; }
    int ascent() const { return ascent_; }
    int descent() const { return descent_; }
    int height() const { return height_; }
    int em() const { return em_; }
    bool underline() const { return underline_; }
    bool strike() const { return strike_; }
    bool bold() const { return bold_; }

    // The glyph for a code point; references stay valid for the font's life.
    const Glyph& Get(uint32_t cp) {
        std::lock_guard<std::mutex> lock(FtMutex());
        auto it = cache_.find(cp);
        if (it != cache_.end()) return it->second;
        Glyph& g = cache_[cp];
        if (cp < 0x20 || cp == 0x7F) return g;  // control characters take no room
        if (!Render(face_, cp, &g)) return g;
        if (systemCells_) {
            // As in the Chinese system font: ASCII takes half a cell, every other character a
            // whole cell. A full-width character whose picture here is only half a cell wide
            // (the Roman numerals of the difficulties, Greek and Cyrillic letters, symbols) is
            // drawn from the Song font's full-width picture of the same size, or, without one,
            // stretched to the cell by doubling each column; other narrower pictures are
            // centred in the cell.
            const int cell = cp < 0x80 ? em_ / 2 : em_;
            if (cp >= 0x80 && std::abs(2 * g.advance - em_) <= 1) {
                Glyph wide;
                if (WideFace() && Render(wideFace_, cp, &wide) && wide.advance >= em_ - 1 &&
                    wide.width > g.width)
                    g = std::move(wide);
                else
                    DoubleColumns(g);
            } else if (g.advance < cell) {
                g.left += (cell - g.advance) / 2;
            }
            g.advance = cell;
        }
        if (bold_ && g.width > 0) {
            std::vector<uint8_t> wide(static_cast<size_t>(g.width + 1) * g.height, 0);
            for (int y = 0; y < g.height; ++y)
                for (int x = 0; x < g.width; ++x)
                    if (g.bits[static_cast<size_t>(y) * g.width + x]) {
                        wide[static_cast<size_t>(y) * (g.width + 1) + x] = 1;
                        wide[static_cast<size_t>(y) * (g.width + 1) + x + 1] = 1;
                    }
            g.bits.swap(wide);
            ++g.width;
        }
        return g;
    }

    int AverageWidth() { return Get('x').advance; }
    int MaxWidth() { return systemCells_ ? em_ : std::max(Get(0x6C49).advance, Get('W').advance); }

  private:
    // The glyph of `cp` in `face` as one-bit pixels; false when the face cannot render it
    // (a missing character renders the face's own substitute picture).
    bool Render(FT_Face face, uint32_t cp, Glyph* g) const {
        const FT_UInt index = FT_Get_Char_Index(face, cp);
        if (face != face_ && index == 0) return false;
        if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) return false;
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bm = slot->bitmap;
        g->advance = static_cast<int>((slot->advance.x + 32) >> 6);
        g->left = slot->bitmap_left;
        g->top = ascent_ - slot->bitmap_top;
        g->width = static_cast<int>(bm.width);
        g->height = static_cast<int>(bm.rows);
        g->bits.assign(static_cast<size_t>(g->width) * g->height, 0);
        for (int y = 0; y < g->height; ++y) {
            const unsigned char* row = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
            for (int x = 0; x < g->width; ++x) {
                const bool ink = bm.pixel_mode == FT_PIXEL_MODE_MONO
                                     ? (row[x >> 3] >> (7 - (x & 7))) & 1
                                     : row[x] >= 128;
                g->bits[static_cast<size_t>(y) * g->width + x] = ink ? 1 : 0;
            }
        }
        return true;
    }

    // The Song font at this font's size, for full-width pictures (opened on first use).
    FT_Face WideFace() {
        if (wideFaceTried_) return wideFace_;
        wideFaceTried_ = true;
        const FontFile& file = FileFor(Family::Dialog);
        if (file.path == FileFor(Family::System).path ||
            FT_New_Face(Library(), file.path.c_str(), file.index, &wideFace_) != 0) {
            wideFace_ = nullptr;
            return nullptr;
        }
        FT_Set_Pixel_Sizes(wideFace_, 0, em_);
        return wideFace_;
    }

    // Stretches a glyph to twice its width, pixel for pixel: every column and the left
    // bearing doubled.
    static void DoubleColumns(Glyph& g) {
        std::vector<uint8_t> wide(static_cast<size_t>(g.width) * 2 * g.height);
        for (size_t i = 0; i < g.bits.size(); ++i) wide[2 * i] = wide[2 * i + 1] = g.bits[i];
        g.bits.swap(wide);
        g.width *= 2;
        g.left *= 2;
    }

    FT_Face face_ = nullptr;
    FT_Face wideFace_ = nullptr;
    bool wideFaceTried_ = false;
    bool systemCells_;
    bool bold_ = false, underline_ = false, strike_ = false;
    int em_ = 16, ascent_ = 14, descent_ = 2, height_ = 16;
    std::unordered_map<uint32_t, Glyph> cache_;
};

std::shared_ptr<FontInstance> OpenFont(const LOGFONT& lf) {
    const Family family = FamilyOf(lf.lfFaceName);
    const FontFile& file = FileFor(family);
    if (file.path.empty()) return nullptr;
    const bool systemCells = &file == &FileFor(Family::System);
    using Key = std::tuple<bool, LONG, bool, bool, bool>;
    const Key key{systemCells, lf.lfHeight, lf.lfWeight >= 600, lf.lfUnderline != 0,
                  lf.lfStrikeOut != 0};
    static std::mutex cacheMutex;
    static auto* cache = new std::map<Key, std::shared_ptr<FontInstance>>;
    std::lock_guard<std::mutex> lock(cacheMutex);
    auto it = cache->find(key);
    if (it != cache->end()) return it->second;
    auto font = std::make_shared<FontInstance>(file, lf, systemCells);
    if (!font->ok()) return nullptr;
    (*cache)[key] = font;
    return font;
}

LOGFONT SystemLogFont() {
    LOGFONT lf{};
    lf.lfHeight = 16;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = GB2312_CHARSET;
    std::strcpy(lf.lfFaceName, "System");
    return lf;
}

LOGFONT DialogLogFont() {
    LOGFONT lf{};
    lf.lfHeight = -12;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = GB2312_CHARSET;
    std::strcpy(lf.lfFaceName, "宋体");
    return lf;
}

}  // namespace gdi

using gdi::FontInstance;

namespace {

struct Char {
    uint32_t cp;
    bool underlined;  // the '&' prefix
};

std::vector<Char> Decode(const char* text, int count, bool prefixes) {
    std::vector<Char> out;
    if (!text) return out;
    const size_t n = count < 0 ? std::strlen(text) : static_cast<size_t>(count);
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* end = p + n;
    bool underlineNext = false;
    while (p < end) {
        uint32_t cp = gdi::DecodeUtf8(p, end);
        if (prefixes && cp == '&') {
            if (p < end && *p == '&') {
                ++p;
            } else {
                underlineNext = true;
                continue;
            }
        }
        out.push_back({cp, underlineNext});
        underlineNext = false;
    }
    return out;
}

int Width(FontInstance& f, const Char* begin, const Char* end) {
    int w = 0;
    for (const Char* c = begin; c != end; ++c) w += f.Get(c->cp).advance;
    return w;
}

// Draws a run of characters with its cell top-left at device (x, y).
void DrawRun(gdi::SurfaceLock& t, const CDC::State& s, FontInstance& f, int x, int y,
             const Char* begin, const Char* end, const CRect* extraClip) {
    const int width = Width(f, begin, end);
    CRect clip = t.clip();
    if (extraClip) {
        CRect c;
        c.IntersectRect(&clip, extraClip);
        clip = c;
    }
    if (clip.IsRectEmpty()) return;
    const uint32_t ink = gdi::PixelFor(s.textColor, t.mono());
    CRect cell(x, y, x + width, y + f.height()), drawn;
    if (s.bkMode == OPAQUE) {
        CRect c;
        if (c.IntersectRect(&cell, &clip)) {
            const uint32_t bk = gdi::PixelFor(s.bkColor, t.mono());
            for (int yy = c.top; yy < c.bottom; ++yy)
                std::fill(t.surface().Row(yy) + c.left, t.surface().Row(yy) + c.right, bk);
            drawn = c;
        }
    }
    auto plot = [&](int px, int py) {
        if (px < clip.left || px >= clip.right || py < clip.top || py >= clip.bottom) return;
        t.surface().Row(py)[px] = ink;
    };
    const int underlineRow = y + f.ascent() + (f.descent() > 1 ? 1 : 0);
    const int strikeRow = y + f.ascent() - f.ascent() / 3;
    int pen = x;
    for (const Char* c = begin; c != end; ++c) {
        const FontInstance::Glyph& g = f.Get(c->cp);
        for (int gy = 0; gy < g.height; ++gy)
            for (int gx = 0; gx < g.width; ++gx)
                if (g.bits[static_cast<size_t>(gy) * g.width + gx])
                    plot(pen + g.left + gx, y + g.top + gy);
        if (f.underline() || c->underlined)
            for (int i = 0; i < g.advance; ++i) plot(pen + i, underlineRow);
        if (f.strike())
            for (int i = 0; i < g.advance; ++i) plot(pen + i, strikeRow);
        pen += g.advance;
    }
    CRect c;
    if (c.IntersectRect(&cell, &clip)) {
        CRect u;
        u.UnionRect(&drawn, &c);
        drawn = u;
    }
    // Glyphs may reach outside their cell (negative bearings); report generously.
    CRect reach(cell.left - f.em(), cell.top, cell.right + f.em(), cell.bottom);
    CRect r;
    if (r.IntersectRect(&reach, &clip)) {
        CRect u;
        u.UnionRect(&drawn, &r);
        drawn = u;
    }
    t.MarkDirty(drawn);
}

bool IsWide(uint32_t cp) { return cp >= 0x2E80; }

}  // namespace

BOOL CDC::TextOut(int x, int y, const char* text, int count) {
    if (!s_->font || !s_->font->font) return FALSE;
    FontInstance& f = *s_->font->font;
    const std::vector<Char> chars = Decode(text, count, false);
    const int width = Width(f, chars.data(), chars.data() + chars.size());
    const bool updateCp = (s_->textAlign & TA_UPDATECP) != 0;
    if (updateCp) {
        x = s_->pos.x;
        y = s_->pos.y;
    }
    const UINT h = s_->textAlign & 6;
    if (h == TA_CENTER)
        x -= width / 2;
    else if (h == TA_RIGHT)
        x -= width;
    const UINT v = s_->textAlign & 24;
    if (v == TA_BASELINE)
        y -= f.ascent();
    else if (v == TA_BOTTOM)
        y -= f.height();
    if (updateCp) s_->pos.x += (h == TA_RIGHT) ? -width : (h == TA_CENTER ? 0 : width);
    gdi::SurfaceLock t(*s_);
    if (!t.ok()) return FALSE;
    DrawRun(t, *s_, f, x + s_->org.x, y + s_->org.y, chars.data(), chars.data() + chars.size(),
            nullptr);
    return TRUE;
}

CSize CDC::GetTextExtent(const char* text, int count) const {
    if (!s_->font || !s_->font->font) return CSize();
    FontInstance& f = *s_->font->font;
    const std::vector<Char> chars = Decode(text, count, false);
    return CSize(Width(f, chars.data(), chars.data() + chars.size()), f.height());
}

BOOL CDC::GetTextMetrics(TEXTMETRIC* tm) const {
    if (!tm || !s_->font || !s_->font->font) return FALSE;
    FontInstance& f = *s_->font->font;
    tm->tmHeight = f.height();
    tm->tmAscent = f.ascent();
    tm->tmDescent = f.descent();
    tm->tmInternalLeading = std::max(0, f.height() - f.em());
    tm->tmExternalLeading = 0;
    tm->tmAveCharWidth = f.AverageWidth();
    tm->tmMaxCharWidth = f.MaxWidth();
    tm->tmWeight = f.bold() ? FW_BOLD : FW_NORMAL;
    return TRUE;
}

int CDC::DrawText(const char* text, int count, LPRECT r, UINT format) {
    if (!r || !s_->font || !s_->font->font) return 0;
    FontInstance& f = *s_->font->font;
    std::vector<Char> chars = Decode(text, count, !(format & DT_NOPREFIX));
    const CRect box(*r);

    // Split into lines.
    struct Line {
        size_t begin, end;
    };
    std::vector<Line> lines;
    if (format & DT_SINGLELINE) {
        std::vector<Char> kept;
        for (const Char& c : chars)
            if (c.cp != '\r' && c.cp != '\n') kept.push_back(c);
        chars.swap(kept);
        lines.push_back({0, chars.size()});
    } else {
        size_t start = 0;
        for (size_t i = 0; i <= chars.size(); ++i) {
            if (i == chars.size() || chars[i].cp == '\n') {
                size_t end = i;
                if (end > start && chars[end - 1].cp == '\r') --end;
                lines.push_back({start, end});
                start = i + 1;
            }
        }
        if (format & DT_WORDBREAK) {
            std::vector<Line> wrapped;
            const int limit = box.Width();
            for (const Line& l : lines) {
                size_t begin = l.begin;
                while (true) {
                    // Greedy: take characters while they fit; break after the last space or before
                    // the last wide character that fitted.
                    int w = 0;
                    size_t i = begin, lastBreak = begin;
                    bool broke = false;
                    for (; i < l.end; ++i) {
                        const int adv = f.Get(chars[i].cp).advance;
                        if (i > begin && IsWide(chars[i].cp)) lastBreak = i;
                        if (w + adv > limit && i > begin && chars[i].cp != ' ') {
                            broke = true;
                            break;
                        }
                        w += adv;
                        if (chars[i].cp == ' ') lastBreak = i + 1;
                        if (i + 1 < l.end && IsWide(chars[i].cp)) lastBreak = i + 1;
                    }
                    if (!broke) {
                        wrapped.push_back({begin, l.end});
                        break;
                    }
                    size_t cut = lastBreak > begin ? lastBreak : i;
                    if (lastBreak <= begin) {
                        // One word longer than the line: it runs on to the next break.
                        while (cut < l.end && chars[cut].cp != ' ' && !IsWide(chars[cut].cp)) ++cut;
                    }
                    size_t lineEnd = cut;
                    while (lineEnd > begin && chars[lineEnd - 1].cp == ' ') --lineEnd;
                    wrapped.push_back({begin, lineEnd});
                    begin = cut;
                    while (begin < l.end && chars[begin].cp == ' ') ++begin;
                    if (begin >= l.end) break;
                }
            }
            lines.swap(wrapped);
        }
    }

    const int lineHeight = f.height();
    const int total = lineHeight * static_cast<int>(lines.size());
    int maxWidth = 0;
    for (const Line& l : lines)
        maxWidth = std::max(maxWidth, Width(f, chars.data() + l.begin, chars.data() + l.end));

    if (format & DT_CALCRECT) {
        r->right = r->left + maxWidth;
        r->bottom = r->top + total;
        return total;
    }

    int y = box.top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            y = box.top + (box.Height() - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            y = box.bottom - lineHeight;
    }
    gdi::SurfaceLock t(*s_);
    if (!t.ok()) return 0;
    CRect clip(box);
    clip.OffsetRect(s_->org);
    for (const Line& l : lines) {
        const int w = Width(f, chars.data() + l.begin, chars.data() + l.end);
        int x = box.left;
        if (format & DT_CENTER)
            x = box.left + (box.Width() - w) / 2;
        else if (format & DT_RIGHT)
            x = box.right - w;
        DrawRun(t, *s_, f, x + s_->org.x, y + s_->org.y, chars.data() + l.begin,
                chars.data() + l.end, (format & DT_NOCLIP) ? nullptr : &clip);
        y += lineHeight;
    }
    return (format & (DT_VCENTER | DT_BOTTOM)) && (format & DT_SINGLELINE) ? y - box.top : total;
}
