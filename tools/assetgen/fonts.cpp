#include "tools/assetgen/fonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <stdexcept>

namespace assetgen {

std::u32string Utf8ToUtf32(const std::string& s) {
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        int n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        char32_t cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
        for (int k = 1; k < n && i + k < s.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(cp);
        i += size_t(n);
    }
    return out;
}

std::string Utf32ToUtf8(char32_t cp) {
    std::string s;
    if (cp < 0x80) {
        s += char(cp);
    } else if (cp < 0x800) {
        s += char(0xC0 | (cp >> 6));
        s += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        s += char(0xE0 | (cp >> 12));
        s += char(0x80 | ((cp >> 6) & 0x3F));
        s += char(0x80 | (cp & 0x3F));
    } else {
        s += char(0xF0 | (cp >> 18));
        s += char(0x80 | ((cp >> 12) & 0x3F));
        s += char(0x80 | ((cp >> 6) & 0x3F));
        s += char(0x80 | (cp & 0x3F));
    }
    return s;
}

struct EmojiFont::Impl {
    FT_Library lib = nullptr;
    FT_Face face = nullptr;
};

EmojiFont::EmojiFont(const std::string& path) : impl_(new Impl) {
    if (FT_Init_FreeType(&impl_->lib)) throw std::runtime_error("FreeType does not start");
    if (FT_New_Face(impl_->lib, path.c_str(), 0, &impl_->face))
        throw std::runtime_error("cannot open emoji font " + path);
    if (impl_->face->num_fixed_sizes < 1)
        throw std::runtime_error("emoji font has no bitmap strike: " + path);
    // Take the largest strike: the most detail to shrink from.
    int best = 0;
    for (int i = 1; i < impl_->face->num_fixed_sizes; ++i)
        if (impl_->face->available_sizes[i].height > impl_->face->available_sizes[best].height)
            best = i;
    FT_Select_Size(impl_->face, best);
}

EmojiFont::~EmojiFont() {
    if (impl_->face) FT_Done_Face(impl_->face);
    if (impl_->lib) FT_Done_FreeType(impl_->lib);
}

bool EmojiFont::Has(char32_t cp) const { return FT_Get_Char_Index(impl_->face, cp) != 0; }

Image EmojiFont::Render(char32_t cp) const {
    FT_UInt glyph = FT_Get_Char_Index(impl_->face, cp);
    if (!glyph) return {};
    if (FT_Load_Glyph(impl_->face, glyph, FT_LOAD_COLOR)) return {};
    FT_GlyphSlot slot = impl_->face->glyph;
    if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL))
        return {};
    const FT_Bitmap& bm = slot->bitmap;
    if (bm.pixel_mode != FT_PIXEL_MODE_BGRA) return {};
    int w = int(bm.width), h = int(bm.rows);
    Image img(w, h, {0, 0, 0, 0});
    int x0 = w, y0 = h, x1 = -1, y1 = -1;
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = bm.buffer + y * bm.pitch;
        for (int x = 0; x < w; ++x) {
            uint8_t b = row[x * 4], g = row[x * 4 + 1], r = row[x * 4 + 2], a = row[x * 4 + 3];
            if (!a) continue;
            // The strike is premultiplied; store straight colour.
            img.at(x, y) = {uint8_t(std::min(255, r * 255 / a)),
                            uint8_t(std::min(255, g * 255 / a)),
                            uint8_t(std::min(255, b * 255 / a)), a};
            x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
        }
    }
    if (x1 < 0) return {};
    return img.Crop(x0, y0, x1 - x0 + 1, y1 - y0 + 1);
}

struct TextFont::Impl {
    FT_Library lib = nullptr;
    FT_Face face = nullptr;
};

TextFont::TextFont(const std::string& path) : impl_(new Impl) {
    if (FT_Init_FreeType(&impl_->lib)) throw std::runtime_error("FreeType does not start");
    if (FT_New_Face(impl_->lib, path.c_str(), 0, &impl_->face))
        throw std::runtime_error("cannot open text font " + path);
}

TextFont::~TextFont() {
    if (impl_->face) FT_Done_Face(impl_->face);
    if (impl_->lib) FT_Done_FreeType(impl_->lib);
}

int TextFont::Measure(const std::string& utf8, int px) const {
    FT_Set_Pixel_Sizes(impl_->face, 0, FT_UInt(px));
    int w = 0;
    for (char32_t cp : Utf8ToUtf32(utf8)) {
        if (FT_Load_Char(impl_->face, cp, FT_LOAD_DEFAULT)) continue;
        w += int(impl_->face->glyph->advance.x >> 6);
    }
    return w;
}

int TextFont::Draw(Image& img, int x, int baseline, const std::string& utf8, int px, Rgba colour,
                   double bold) const {
    FT_Set_Pixel_Sizes(impl_->face, 0, FT_UInt(px));
    int pen = x;
    for (char32_t cp : Utf8ToUtf32(utf8)) {
        if (FT_Load_Char(impl_->face, cp, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_NORMAL)) continue;
        FT_GlyphSlot g = impl_->face->glyph;
        if (g->format == FT_GLYPH_FORMAT_OUTLINE && bold > 0)
            FT_Outline_Embolden(&g->outline, FT_Pos(bold * 64));
        if (FT_Render_Glyph(g, FT_RENDER_MODE_NORMAL)) continue;
        const FT_Bitmap& bm = g->bitmap;
        for (unsigned r = 0; r < bm.rows; ++r)
            for (unsigned c = 0; c < bm.width; ++c) {
                uint8_t cov;
                if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
                    cov = (bm.buffer[r * bm.pitch + c / 8] & (0x80 >> (c % 8))) ? 255 : 0;
                else
                    cov = bm.buffer[r * bm.pitch + c];
                if (cov)
                    img.Blend(pen + g->bitmap_left + int(c), baseline - g->bitmap_top + int(r),
                              colour, cov / 255.0);
            }
        pen += int(g->advance.x >> 6);
    }
    return pen - x;
}

void TextFont::DrawCentred(Image& img, int cx, int baseline, const std::string& utf8, int px,
                           Rgba colour, Rgba halo, int radius, double bold) const {
    int x = cx - Measure(utf8, px) / 2;
    if (radius > 0) {
        // The halo keeps text legible over any picture behind it.
        Image layer(img.width(), img.height(), {0, 0, 0, 0});
        Draw(layer, x, baseline, utf8, px, Rgba{halo.r, halo.g, halo.b, 255}, bold);
        Image spread(img.width(), img.height(), {0, 0, 0, 0});
        int w = Measure(utf8, px);
        int ya = std::max(0, baseline - px - radius),
            yb = std::min(img.height(), baseline + px / 2 + radius);
        int xa = std::max(0, x - px - radius), xb = std::min(img.width(), x + w + px + radius);
        for (int y = ya; y < yb; ++y)
            for (int xx = xa; xx < xb; ++xx) {
                int best = 0;
                for (int dy = -radius; dy <= radius && best < 255; ++dy)
                    for (int dx = -radius; dx <= radius; ++dx) {
                        if (dx * dx + dy * dy > radius * radius + radius) continue;
                        if (layer.inside(xx + dx, y + dy))
                            best = std::max(best, int(layer.at(xx + dx, y + dy).a));
                    }
                if (best) spread.at(xx, y) = {halo.r, halo.g, halo.b, uint8_t(best * halo.a / 255)};
            }
        img.Draw(spread, 0, 0);
    }
    Draw(img, x, baseline, utf8, px, colour, bold);
}

}  // namespace assetgen
