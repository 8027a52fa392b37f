// Small RGBA raster used by every picture the generator draws: tiles, icon, cursor,
// backgrounds and advert frames. Colours are straight (not premultiplied) 8-bit RGBA.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 255;
};

inline bool operator==(Rgba x, Rgba y) {
    return x.r == y.r && x.g == y.g && x.b == y.b && x.a == y.a;
}
inline bool operator!=(Rgba x, Rgba y) { return !(x == y); }

Rgba Mix(Rgba a, Rgba b, double t);      // linear blend, t = 0 gives a
Rgba Shade(Rgba c, double factor);       // factor < 1 darkens, > 1 lightens towards white
Rgba Hsv(double h, double s, double v);  // h in degrees

class Image {
  public:
    Image() = default;
    Image(int w, int h, Rgba fill = {0, 0, 0, 255});

    int width() const { return w_; }
    int height() const { return h_; }
    bool empty() const { return w_ == 0 || h_ == 0; }

    Rgba& at(int x, int y) { return px_[size_t(y) * w_ + x]; }
    Rgba at(int x, int y) const { return px_[size_t(y) * w_ + x]; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_; }

    void Fill(Rgba c);
    void FillRect(int x, int y, int w, int h, Rgba c);
    // Alpha-blends c (with an extra coverage 0..1) over the pixel, keeping the destination opaque.
    void Blend(int x, int y, Rgba c, double coverage = 1.0);
    // Draws src over this image at (x, y) with source-over compositing.
    void Draw(const Image& src, int x, int y, double opacity = 1.0);
    void Copy(const Image& src, int x, int y);  // plain copy, no blending
    Image Crop(int x, int y, int w, int h) const;

    void VerticalGradient(Rgba top, Rgba bottom);
    // Anti-aliased shapes (coverage from 4x4 supersampling).
    void FillCircle(double cx, double cy, double r, Rgba c);
    void FillEllipse(double cx, double cy, double rx, double ry, Rgba c);
    void FillRoundRect(double x, double y, double w, double h, double radius, Rgba c);
    void Line(double x0, double y0, double x1, double y1, double width, Rgba c);
    void FillPolygon(const std::vector<std::pair<double, double>>& pts, Rgba c);

  private:
    int w_ = 0, h_ = 0;
    std::vector<Rgba> px_;
};

// Area-averaging resample with premultiplied alpha, the right filter for shrinking artwork
// by large factors (every source pixel contributes by the area it covers).
Image Resample(const Image& src, int w, int h);

}  // namespace assetgen
