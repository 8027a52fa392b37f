// FreeType access: colour emoji pictures (the bitmap strike of a colour emoji font) and
// anti-aliased text in a CJK outline font.
#pragma once

#include <memory>
#include <string>

#include "tools/assetgen/raster.h"

namespace assetgen {

class EmojiFont {
  public:
    explicit EmojiFont(const std::string& path);  // throws std::runtime_error
    ~EmojiFont();
    bool Has(char32_t cp) const;
    // The emoji's colour bitmap, trimmed to its visible pixels (alpha > 0); empty if missing.
    Image Render(char32_t cp) const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

class TextFont {
  public:
    explicit TextFont(const std::string& path);  // throws std::runtime_error
    ~TextFont();
    // Width in pixels of utf8 at the pixel size.
    int Measure(const std::string& utf8, int px) const;
    // Draws utf8 with its baseline at (x, baseline); returns the advance. bold thickens the
    // strokes by that many pixels (for thin serif faces at title sizes).
    int Draw(Image& img, int x, int baseline, const std::string& utf8, int px, Rgba colour,
             double bold = 0) const;
    // Draws centred on cx; with an outline (halo) of the given radius first when radius > 0.
    void DrawCentred(Image& img, int cx, int baseline, const std::string& utf8, int px, Rgba colour,
                     Rgba halo = {0, 0, 0, 0}, int halo_radius = 0, double bold = 0) const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

std::u32string Utf8ToUtf32(const std::string& s);
std::string Utf32ToUtf8(char32_t cp);

}  // namespace assetgen
