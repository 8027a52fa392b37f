#include "tools/assetgen/raster.h"

#include <algorithm>
#include <cmath>

namespace assetgen {

namespace {

uint8_t Clamp8(double v) { return uint8_t(std::lround(std::clamp(v, 0.0, 255.0))); }

}  // namespace

Rgba Mix(Rgba a, Rgba b, double t) {
    return {Clamp8(a.r + (b.r - a.r) * t), Clamp8(a.g + (b.g - a.g) * t),
            Clamp8(a.b + (b.b - a.b) * t), Clamp8(a.a + (b.a - a.a) * t)};
}

Rgba Shade(Rgba c, double f) {
    if (f <= 1.0) return {Clamp8(c.r * f), Clamp8(c.g * f), Clamp8(c.b * f), c.a};
    return Mix(c, Rgba{255, 255, 255, c.a}, std::min(1.0, f - 1.0));
}

Rgba Hsv(double h, double s, double v) {
    h = std::fmod(std::fmod(h, 360.0) + 360.0, 360.0);
    double c = v * s, x = c * (1 - std::fabs(std::fmod(h / 60.0, 2.0) - 1)), m = v - c;
    double r = 0, g = 0, b = 0;
    if (h < 60)
        r = c, g = x;
    else if (h < 120)
        r = x, g = c;
    else if (h < 180)
        g = c, b = x;
    else if (h < 240)
        g = x, b = c;
    else if (h < 300)
        r = x, b = c;
    else
        r = c, b = x;
    return {Clamp8((r + m) * 255), Clamp8((g + m) * 255), Clamp8((b + m) * 255), 255};
}

Image::Image(int w, int h, Rgba fill) : w_(w), h_(h), px_(size_t(w) * h, fill) {}

void Image::Fill(Rgba c) { std::fill(px_.begin(), px_.end(), c); }

void Image::FillRect(int x, int y, int w, int h, Rgba c) {
    for (int j = std::max(0, y); j < std::min(h_, y + h); ++j)
        for (int i = std::max(0, x); i < std::min(w_, x + w); ++i) at(i, j) = c;
}

void Image::Blend(int x, int y, Rgba c, double coverage) {
    if (!inside(x, y)) return;
    double a = c.a / 255.0 * coverage;
    if (a <= 0) return;
    Rgba& d = at(x, y);
    double da = d.a / 255.0;
    double oa = a + da * (1 - a);
    if (oa <= 0) return;
    auto ch = [&](uint8_t s, uint8_t t) { return Clamp8((s * a + t * da * (1 - a)) / oa); };
    d = {ch(c.r, d.r), ch(c.g, d.g), ch(c.b, d.b), Clamp8(oa * 255)};
}

void Image::Draw(const Image& src, int x, int y, double opacity) {
    for (int j = 0; j < src.height(); ++j)
        for (int i = 0; i < src.width(); ++i) Blend(x + i, y + j, src.at(i, j), opacity);
}

void Image::Copy(const Image& src, int x, int y) {
    for (int j = 0; j < src.height(); ++j)
        for (int i = 0; i < src.width(); ++i)
            if (inside(x + i, y + j)) at(x + i, y + j) = src.at(i, j);
}

Image Image::Crop(int x, int y, int w, int h) const {
    Image out(w, h, {0, 0, 0, 0});
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            if (inside(x + i, y + j)) out.at(i, j) = at(x + i, y + j);
    return out;
}

void Image::VerticalGradient(Rgba top, Rgba bottom) {
    for (int y = 0; y < h_; ++y) {
        Rgba c = Mix(top, bottom, h_ > 1 ? double(y) / (h_ - 1) : 0.0);
        for (int x = 0; x < w_; ++x) at(x, y) = c;
    }
}

namespace {

// Calls inside(px, py) on a 4x4 grid in each pixel of the box and blends by coverage.
template <typename F>
void Coverage(Image& img, double x0, double y0, double x1, double y1, Rgba c, F inside) {
    int ix0 = std::max(0, int(std::floor(x0))), iy0 = std::max(0, int(std::floor(y0)));
    int ix1 = std::min(img.width() - 1, int(std::ceil(x1))),
        iy1 = std::min(img.height() - 1, int(std::ceil(y1)));
    for (int y = iy0; y <= iy1; ++y)
        for (int x = ix0; x <= ix1; ++x) {
            int hits = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx)
                    if (inside(x + (sx + 0.5) / 4.0, y + (sy + 0.5) / 4.0)) ++hits;
            if (hits) img.Blend(x, y, c, hits / 16.0);
        }
}

}  // namespace

void Image::FillCircle(double cx, double cy, double r, Rgba c) { FillEllipse(cx, cy, r, r, c); }

void Image::FillEllipse(double cx, double cy, double rx, double ry, Rgba c) {
    if (rx <= 0 || ry <= 0) return;
    Coverage(*this, cx - rx, cy - ry, cx + rx, cy + ry, c, [&](double x, double y) {
        double dx = (x - cx) / rx, dy = (y - cy) / ry;
        return dx * dx + dy * dy <= 1.0;
    });
}

void Image::FillRoundRect(double x, double y, double w, double h, double r, Rgba c) {
    r = std::min({r, w / 2, h / 2});
    Coverage(*this, x, y, x + w, y + h, c, [&](double px, double py) {
        if (px < x || py < y || px > x + w || py > y + h) return false;
        double qx = std::clamp(px, x + r, x + w - r), qy = std::clamp(py, y + r, y + h - r);
        return (px - qx) * (px - qx) + (py - qy) * (py - qy) <= r * r;
    });
}

void Image::Line(double x0, double y0, double x1, double y1, double width, Rgba c) {
    double hw = width / 2, dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
    Coverage(*this, std::min(x0, x1) - hw, std::min(y0, y1) - hw, std::max(x0, x1) + hw,
             std::max(y0, y1) + hw, c, [&](double px, double py) {
                 double t = len2 > 0 ? ((px - x0) * dx + (py - y0) * dy) / len2 : 0;
                 t = std::clamp(t, 0.0, 1.0);
                 double qx = x0 + t * dx - px, qy = y0 + t * dy - py;
                 return qx * qx + qy * qy <= hw * hw;
             });
}

void Image::FillPolygon(const std::vector<std::pair<double, double>>& pts, Rgba c) {
    if (pts.size() < 3) return;
    double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
    for (auto& p : pts) {
        x0 = std::min(x0, p.first), x1 = std::max(x1, p.first);
        y0 = std::min(y0, p.second), y1 = std::max(y1, p.second);
    }
    Coverage(*this, x0, y0, x1, y1, c, [&](double px, double py) {
        bool in = false;  // even-odd rule
        for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
            auto [xi, yi] = pts[i];
            auto [xj, yj] = pts[j];
            if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi) in = !in;
        }
        return in;
    });
}

Image Resample(const Image& src, int w, int h) {
    Image out(w, h, {0, 0, 0, 0});
    double sx = double(src.width()) / w, sy = double(src.height()) / h;
    for (int y = 0; y < h; ++y) {
        double fy0 = y * sy, fy1 = (y + 1) * sy;
        for (int x = 0; x < w; ++x) {
            double fx0 = x * sx, fx1 = (x + 1) * sx;
            double r = 0, g = 0, b = 0, a = 0, area = 0;
            for (int j = int(fy0); j < std::min(src.height(), int(std::ceil(fy1))); ++j) {
                double wy = std::min(fy1, j + 1.0) - std::max(fy0, double(j));
                for (int i = int(fx0); i < std::min(src.width(), int(std::ceil(fx1))); ++i) {
                    double wx = std::min(fx1, i + 1.0) - std::max(fx0, double(i));
                    double wgt = wx * wy;
                    Rgba p = src.at(i, j);
                    double pa = p.a / 255.0 * wgt;
                    r += p.r * pa, g += p.g * pa, b += p.b * pa, a += pa, area += wgt;
                }
            }
            if (a > 0)
                out.at(x, y) = {Clamp8(r / a), Clamp8(g / a), Clamp8(b / a),
                                Clamp8(a / area * 255)};
        }
    }
    return out;
}

}  // namespace assetgen
