#include "tools/assetgen/pictures.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "game/board/board.h"
#include "tools/assetgen/tiles.h"

namespace assetgen {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Palette {
    Rgba sky_top, sky_bottom, a, b, c;
};

// One palette per difficulty: spring morning, summer afternoon, autumn dusk, winter night.
const Palette kPalettes[4] = {
    {{120, 178, 226, 255},
     {196, 226, 236, 255},
     {92, 160, 96, 255},
     {58, 124, 82, 255},
     {246, 212, 120, 255}},
    {{238, 168, 96, 255},
     {250, 222, 160, 255},
     {214, 118, 74, 255},
     {158, 84, 72, 255},
     {252, 240, 200, 255}},
    {{92, 74, 140, 255},
     {220, 140, 150, 255},
     {128, 86, 140, 255},
     {72, 54, 100, 255},
     {255, 196, 140, 255}},
    {{16, 24, 64, 255},
     {54, 84, 140, 255},
     {40, 70, 120, 255},
     {24, 40, 80, 255},
     {230, 236, 255, 255}},
};

double Hash(int x, int y, int seed) {
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + uint32_t(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return double((h ^ (h >> 16)) & 0xFFFFFF) / double(0xFFFFFF);
}

// Smooth value noise in 0..1.
double Noise(double x, double y, int seed) {
    int ix = int(std::floor(x)), iy = int(std::floor(y));
    double fx = x - ix, fy = y - iy;
    fx = fx * fx * (3 - 2 * fx), fy = fy * fy * (3 - 2 * fy);
    double a = Hash(ix, iy, seed), b = Hash(ix + 1, iy, seed), c = Hash(ix, iy + 1, seed),
           d = Hash(ix + 1, iy + 1, seed);
    return a + (b - a) * fx + (c - a) * fy + (a - b - c + d) * fx * fy;
}

double Fbm(double x, double y, int seed) {
    double s = 0, amp = 0.5;
    for (int o = 0; o < 4; ++o, amp *= 0.5, x *= 2, y *= 2) s += amp * Noise(x, y, seed + o);
    return s;
}

void Hills(Image& img, const Palette& p, std::mt19937& rng) {
    int w = img.width(), h = img.height();
    img.VerticalGradient(p.sky_top, p.sky_bottom);
    std::uniform_real_distribution<double> u(0, 1);
    img.FillCircle(w * (0.2 + 0.6 * u(rng)), h * 0.25, h * 0.09, Shade(p.c, 1.1));
    for (int layer = 0; layer < 4; ++layer) {
        double base = h * (0.45 + 0.14 * layer), amp = h * (0.09 - 0.015 * layer);
        double f1 = 0.5 + u(rng) * 1.5, f2 = 2 + u(rng) * 3, ph = u(rng) * 6;
        Rgba col = Mix(Mix(p.a, p.b, layer / 3.0), p.sky_bottom, 0.45 - 0.15 * layer);
        for (int x = 0; x < w; ++x) {
            double t = double(x) / w;
            double top = base - amp * std::sin(2 * kPi * f1 * t + ph) -
                         amp * 0.35 * std::sin(2 * kPi * f2 * t + 2 * ph);
            for (int y = std::max(0, int(top)); y < h; ++y)
                img.Blend(x, y, col, y == int(top) ? 1 - (top - int(top)) : 1.0);
        }
    }
}

void Bokeh(Image& img, const Palette& p, std::mt19937& rng) {
    int w = img.width(), h = img.height();
    img.VerticalGradient(Shade(p.sky_top, 0.8), Shade(p.b, 0.9));
    std::uniform_real_distribution<double> u(0, 1);
    const Rgba colours[3] = {p.a, p.c, p.sky_bottom};
    for (int i = 0; i < 55; ++i) {
        double r = h * (0.03 + 0.09 * u(rng));
        Rgba c = colours[i % 3];
        c.a = uint8_t(40 + 60 * u(rng));
        img.FillCircle(u(rng) * w, u(rng) * h, r, c);
    }
}

void Waves(Image& img, const Palette& p, std::mt19937& rng) {
    int w = img.width(), h = img.height();
    img.VerticalGradient(p.sky_bottom, p.sky_top);
    std::uniform_real_distribution<double> u(0, 1);
    for (int band = 0; band < 7; ++band) {
        double base = h * (0.25 + 0.11 * band), amp = h * 0.03, f = 1.5 + u(rng) * 2,
               ph = u(rng) * 6;
        Rgba col = Mix(p.sky_top, p.b, band / 6.0);
        col.a = 170;
        for (int x = 0; x < w; ++x) {
            double top = base + amp * std::sin(2 * kPi * f * x / w + ph);
            for (int y = std::max(0, int(top)); y < h; ++y) img.Blend(x, y, col, 1.0);
            // Foam line along each crest.
            img.Blend(x, int(top), Shade(p.sky_bottom, 1.3), 0.6);
        }
    }
}

void Mountains(Image& img, const Palette& p, std::mt19937& rng) {
    int w = img.width(), h = img.height();
    img.VerticalGradient(p.sky_top, p.sky_bottom);
    std::uniform_real_distribution<double> u(0, 1);
    for (int layer = 0; layer < 3; ++layer) {
        Rgba col = Mix(p.b, p.sky_bottom, 0.5 - 0.2 * layer);
        double x = -w * 0.1;
        while (x < w) {
            double pw = w * (0.18 + 0.16 * u(rng)),
                   ph = h * (0.25 + 0.2 * u(rng)) - layer * h * 0.05;
            double base = h * (0.62 + 0.13 * layer);
            double peak_x = x + pw / 2, peak_y = base - ph;
            img.FillPolygon({{x, base + 2}, {peak_x, peak_y}, {x + pw, base + 2}}, col);
            if (layer == 0)
                img.FillPolygon({{peak_x - pw * 0.12, peak_y + ph * 0.24},
                                 {peak_x, peak_y},
                                 {peak_x + pw * 0.12, peak_y + ph * 0.24},
                                 {peak_x, peak_y + ph * 0.18}},
                                Rgba{245, 248, 255, 220});
            x += pw * 0.6;
        }
        img.FillRect(0, int(h * (0.62 + 0.13 * layer)), w, h, col);
    }
}

void StarryNight(Image& img, const Palette& p, std::mt19937& rng) {
    int w = img.width(), h = img.height();
    img.VerticalGradient(Shade(p.sky_top, 0.6), Mix(p.sky_top, p.b, 0.5));
    std::uniform_real_distribution<double> u(0, 1);
    for (int i = 0; i < w * h / 900; ++i) {
        double x = u(rng) * w, y = u(rng) * h, r = 0.6 + u(rng) * 1.4;
        img.FillCircle(x, y, r, Rgba{255, 250, 230, uint8_t(120 + 120 * u(rng))});
    }
    double mx = w * 0.78, my = h * 0.22, mr = h * 0.08;
    img.FillCircle(mx, my, mr * 1.6, Rgba{255, 250, 220, 40});
    img.FillCircle(mx, my, mr, Rgba{250, 244, 214, 255});
    img.FillCircle(mx + mr * 0.45, my - mr * 0.2, mr * 0.85, Mix(p.sky_top, p.b, 0.3));
    for (int x = 0; x < w; ++x) {
        double top = h * 0.86 - h * 0.05 * Fbm(x / 90.0, 0.5, 3);
        for (int y = int(top); y < h; ++y) img.Blend(x, y, Shade(p.b, 0.5));
    }
}

// A bamboo grove in mist: stalks in three depths, each with its joints and a few leaves.
void Bamboo(Image& img, const Palette& p, std::mt19937& rng) {
    int w = img.width(), h = img.height();
    img.VerticalGradient(Mix(p.sky_bottom, Rgba{255, 255, 255, 255}, 0.2),
                         Mix(p.sky_top, p.a, 0.4));
    std::uniform_real_distribution<double> u(0, 1);
    const Rgba green = Mix(Rgba{86, 150, 80, 255}, p.a, 0.4);
    for (int depth = 0; depth < 3; ++depth) {
        Rgba stalk = Mix(green, p.sky_bottom, 0.55 - 0.22 * depth);
        double width = 7 + 5 * depth;
        int count = 9 - 2 * depth;
        for (int i = 0; i < count; ++i) {
            double x = (i + u(rng)) * w / count, lean = (u(rng) - 0.5) * 30;
            img.Line(x, -5, x + lean, h + 5, width, stalk);
            img.Line(x - width * 0.25, -5, x + lean - width * 0.25, h + 5, width * 0.2,
                     Shade(stalk, 1.15));
            for (double y = 20 + u(rng) * 40; y < h; y += 55 + u(rng) * 25) {
                double jx = x + lean * y / h;
                img.Line(jx - width * 0.6, y, jx + width * 0.6, y, 2.0, Shade(stalk, 0.7));
                if (u(rng) < 0.45) {
                    double dir = u(rng) < 0.5 ? -1 : 1, len = 26 + 10 * depth;
                    img.FillPolygon({{jx, y},
                                     {jx + dir * len * 0.5, y - 6},
                                     {jx + dir * len, y + 4},
                                     {jx + dir * len * 0.5, y + 2}},
                                    Shade(stalk, 1.05));
                }
            }
        }
        // Mist between the depths.
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                img.Blend(x, y, p.sky_bottom, 0.10 * Fbm(x / 120.0, y / 60.0 + depth, 21));
    }
}

void Diamonds(Image& img, const Palette& p, std::mt19937&) {
    int w = img.width(), h = img.height();
    const double s = 40;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double u = (x + y) / s, v = (x - y) / s;
            int cell = (int(std::floor(u)) + int(std::floor(v))) & 1;
            double fu = u - std::floor(u), fv = v - std::floor(v);
            double edge = std::min({fu, 1 - fu, fv, 1 - fv});
            Rgba base = Mix(p.sky_top, p.a, double(y) / h * 0.6);
            Rgba c = cell ? Shade(base, 0.9) : Shade(base, 1.05);
            if (edge < 0.04) c = Mix(c, p.sky_bottom, 0.35);
            img.at(x, y) = c;
        }
}

void Petals(Image& img, const Palette& p, std::mt19937& rng) {
    int w = img.width(), h = img.height();
    img.VerticalGradient(p.sky_bottom, Mix(p.sky_top, p.a, 0.5));
    std::uniform_real_distribution<double> u(0, 1);
    for (int i = 0; i < 70; ++i) {
        double x = u(rng) * w, y = u(rng) * h, r = 6 + u(rng) * 10, ang = u(rng) * kPi;
        Rgba c = Mix(p.c, Rgba{255, 190, 210, 255}, u(rng));
        c.a = uint8_t(120 + 100 * u(rng));
        std::vector<std::pair<double, double>> pts;
        for (int k = 0; k < 24; ++k) {
            double t = 2 * kPi * k / 24, px = r * std::cos(t), py = r * 0.5 * std::sin(t);
            px *= 1 - 0.25 * std::cos(t);  // a petal is fuller at one end
            pts.push_back({x + px * std::cos(ang) - py * std::sin(ang),
                           y + px * std::sin(ang) + py * std::cos(ang)});
        }
        img.FillPolygon(pts, c);
    }
}

void Aurora(Image& img, const Palette& p, std::mt19937& rng) {
    int w = img.width(), h = img.height();
    img.VerticalGradient(Shade(p.sky_top, 0.5), Shade(p.b, 0.7));
    std::uniform_real_distribution<double> u(0, 1);
    const Rgba bands[3] = {{90, 230, 160, 255}, {150, 110, 230, 255}, {80, 200, 230, 255}};
    for (int k = 0; k < 3; ++k) {
        double ph = u(rng) * 6, base = h * (0.25 + 0.15 * k);
        for (int x = 0; x < w; ++x) {
            double centre =
                base + h * 0.08 * std::sin(x / 70.0 + ph) + h * 0.04 * std::sin(x / 23.0);
            for (int y = 0; y < h; ++y) {
                double d = (y - centre) / (h * 0.09);
                double a = std::exp(-d * d) * (0.35 + 0.3 * Noise(x / 30.0, k, 11));
                if (a > 0.01) img.Blend(x, y, bands[k], a);
            }
        }
    }
    for (int i = 0; i < w * h / 1500; ++i)
        img.FillCircle(u(rng) * w, u(rng) * h * 0.7, 0.8, Rgba{255, 255, 255, 160});
}

void SunsetSea(Image& img, const Palette& p, std::mt19937&) {
    int w = img.width(), h = img.height();
    int horizon = int(h * 0.58);
    for (int y = 0; y < h; ++y) {
        Rgba c = y < horizon ? Mix(p.sky_top, Mix(p.c, p.sky_bottom, 0.45), double(y) / horizon)
                             : Mix(Shade(p.b, 0.9), Shade(p.sky_top, 0.6),
                                   double(y - horizon) / (h - horizon));
        for (int x = 0; x < w; ++x) img.at(x, y) = c;
    }
    double sx = w * 0.5, sr = h * 0.12;
    img.FillCircle(sx, horizon, sr, Rgba{255, 226, 150, 255});
    img.FillRect(0, horizon, w, h - horizon, Mix(Shade(p.b, 0.9), Shade(p.sky_top, 0.6), 0.3));
    for (int y = horizon; y < h; y += 4) {
        double t = double(y - horizon) / (h - horizon);
        double half = sr * (0.6 + 1.8 * t) * (0.7 + 0.3 * Noise(y / 5.0, 0, 5));
        for (int x = int(sx - half); x < int(sx + half); ++x)
            img.Blend(x, y, Rgba{255, 214, 140, 255}, 0.55 * (1 - t));
    }
}

void Sunburst(Image& img, const Palette& p, std::mt19937& rng) {
    int w = img.width(), h = img.height();
    double cx = w * 0.5, cy = h * 1.1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double ang = std::atan2(y - cy, x - cx);
            bool ray = int(std::floor((ang + kPi) / (kPi / 18))) & 1;
            Rgba base = Mix(p.sky_top, p.sky_bottom, double(y) / h);
            img.at(x, y) = ray ? Shade(base, 1.08) : base;
        }
    std::uniform_real_distribution<double> u(0, 1);
    for (int c = 0; c < 5; ++c) {
        double x = u(rng) * w, y = h * (0.1 + 0.5 * u(rng)), s = h * (0.05 + 0.04 * u(rng));
        Rgba white{255, 255, 255, 150};
        img.FillEllipse(x, y, s * 2.2, s, white);
        img.FillEllipse(x - s, y - s * 0.5, s * 1.2, s * 0.9, white);
        img.FillEllipse(x + s * 0.8, y - s * 0.7, s * 1.3, s * 1.0, white);
    }
}

// Backgrounds sit behind the tiles: keep them calm, a little darker and less saturated,
// so light tile faces and bright frames stay in front.
void Calm(Image& img, double darken, double desaturate) {
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            Rgba& c = img.at(x, y);
            double grey = 0.3 * c.r + 0.59 * c.g + 0.11 * c.b;
            auto f = [&](uint8_t v) {
                double m = v + (grey - v) * desaturate;
                return uint8_t(std::clamp(m * darken, 0.0, 255.0));
            };
            c = {f(c.r), f(c.g), f(c.b), 255};
        }
    // Night scenes would sink into the black around the board: lift the darkest ones.
    double sum = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            Rgba c = img.at(x, y);
            sum += 0.3 * c.r + 0.59 * c.g + 0.11 * c.b;
        }
    double mean = sum / (double(img.width()) * img.height());
    const double floor = 55;
    if (mean > 1 && mean < floor) {
        double g = std::log(floor / 255.0) / std::log(mean / 255.0);
        uint8_t lut[256];
        for (int v = 0; v < 256; ++v) lut[v] = uint8_t(std::lround(255 * std::pow(v / 255.0, g)));
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                Rgba& c = img.at(x, y);
                c = {lut[c.r], lut[c.g], lut[c.b], 255};
            }
    }
}

void DrawTileDecoration(Image& img, double x, double y, double scale, int style, const Image& pic) {
    Rgba frame = FrameColour(style);
    img.FillRoundRect(x + 5 * scale, y + 5 * scale, 40 * scale, 50 * scale, 4 * scale,
                      Rgba{0, 0, 0, 90});
    img.FillRoundRect(x + 3 * scale, y + 3 * scale, 40 * scale, 50 * scale, 4 * scale,
                      Shade(frame, 0.55));
    img.FillRoundRect(x, y, 40 * scale, 50 * scale, 4 * scale, frame);
    img.FillRoundRect(x + 3 * scale, y + 6 * scale, 34 * scale, 37 * scale, 3 * scale,
                      Rgba{252, 248, 234, 255});
    if (!pic.empty()) {
        int size = int(31 * scale);
        Image small = Resample(pic, size, std::max(1, pic.height() * size / pic.width()));
        img.Draw(small, int(x + 3 * scale + (34 * scale - small.width()) / 2),
                 int(y + 6 * scale + (37 * scale - small.height()) / 2));
    }
}

}  // namespace

int BoardWidth(int d) { return GetDifficultyInfo(d).width * kCellWidth; }
int BoardHeight(int d) { return GetDifficultyInfo(d).height * kCellHeight; }

Image MakeLevelBackground(int difficulty, int level) {
    Image img(BoardWidth(difficulty), BoardHeight(difficulty));
    const Palette& p = kPalettes[std::clamp(difficulty, 1, 4) - 1];
    std::mt19937 rng(unsigned(difficulty * 100 + level));
    using Scene = void (*)(Image&, const Palette&, std::mt19937&);
    static const Scene scenes[11] = {Hills,    Bokeh,  Waves,  Mountains, StarryNight, Bamboo,
                                     Diamonds, Petals, Aurora, SunsetSea, Sunburst};
    // Each difficulty walks the scenes from a different starting point.
    scenes[(level - 1 + 3 * (difficulty - 1)) % 11](img, p, rng);
    Calm(img, 0.8, 0.25);
    return img;
}

Image MakeIdlePicture(const TextFont& font, const EmojiFont& emoji) {
    Image img(kIdleW, kIdleH);
    std::mt19937 rng(2024);
    Palette night = {{22, 48, 86, 255},
                     {40, 110, 130, 255},
                     {60, 150, 160, 255},
                     {20, 40, 70, 255},
                     {250, 220, 150, 255}};
    Bokeh(img, night, rng);
    // A loose row of tiles across the top and the bottom of the visible area.
    const char32_t top[] = {0x1F420, 0x1F338, 0x1F98B, 0x1F42C, 0x1F981, 0x1F33B, 0x1F99C};
    const char32_t bottom[] = {0x1F419, 0x1F43C, 0x1F337, 0x1F422, 0x1F98A, 0x1F41D, 0x1F433};
    for (int i = 0; i < 7; ++i) {
        DrawTileDecoration(img, 44 + i * 104, 22 + (i % 2) * 10, 1.5, 1 + i % 6,
                           emoji.Render(top[i]));
        DrawTileDecoration(img, 44 + i * 104, 428 - (i % 2) * 10, 1.5, 1 + (i + 3) % 6,
                           emoji.Render(bottom[i]));
    }
    const int cx = kVisibleW / 2;
    const Rgba halo{10, 24, 48, 230};
    font.DrawCentred(img, cx, 200, "Qarven Vorn", 80, {255, 214, 96, 255}, halo, 4, 2.0);
    font.DrawCentred(img, cx, 240, "4.0版", 28, {255, 240, 200, 255}, halo, 3);
    font.DrawCentred(img, cx, 296, "按 F1 初级　F2 中级　F3 高级　F4 特高", 30,
                     {255, 255, 255, 255}, halo, 3, 0.8);
    font.DrawCentred(img, cx, 336, "或从“游戏”菜单选择难度，开始游戏", 26, {220, 240, 255, 255},
                     halo, 3);
    font.DrawCentred(img, cx, 380, "找出两张相同的图片，用不超过两个拐弯的线连起来就能消除", 20,
                     {200, 226, 240, 255}, halo, 3);
    return img;
}

Image MakeAllClearedPicture(int difficulty, const TextFont& font, const EmojiFont& emoji) {
    Image img(kIdleW, kIdleH);
    std::mt19937 rng(unsigned(900 + difficulty));
    const Palette& p = kPalettes[std::clamp(difficulty, 1, 4) - 1];
    img.VerticalGradient(Shade(p.sky_top, 0.35), Shade(p.b, 0.55));
    std::uniform_real_distribution<double> u(0, 1);
    // Fireworks: trails that brighten towards their tips, with a bright star at each tip,
    // drooping a little as sparks do.
    for (int f = 0; f < 7; ++f) {
        double cx = 80 + f * (kVisibleW - 160) / 6.0 + (u(rng) - 0.5) * 40;
        double cy = 60 + u(rng) * 170 + (f % 2) * 30, r = 45 + u(rng) * 45;
        Rgba c = Hsv(u(rng) * 360, 0.55, 1.0);
        const int rays = 28;
        for (int k = 0; k < rays; ++k) {
            double a = 2 * kPi * (k + 0.5 * (f % 2)) / rays;
            double len = r * (0.8 + 0.2 * u(rng));
            const int steps = 14;
            for (int s = 1; s <= steps; ++s) {
                double t0 = double(s - 1) / steps, t1 = double(s) / steps;
                auto at = [&](double t) {
                    return std::pair{cx + std::cos(a) * len * t,
                                     cy + std::sin(a) * len * t + 10 * t * t};
                };
                auto [x0, y0] = at(0.25 + 0.75 * t0);
                auto [x1, y1] = at(0.25 + 0.75 * t1);
                Rgba trail = c;
                trail.a = uint8_t(40 + 170 * t1 * t1);
                img.Line(x0, y0, x1, y1, 1.2 + 0.8 * t1, trail);
            }
            auto [tx, ty] = std::pair{cx + std::cos(a) * len, cy + std::sin(a) * len + 10};
            img.FillCircle(tx, ty, 2.0, Mix(c, Rgba{255, 255, 255, 255}, 0.6));
        }
    }
    Image trophy = emoji.Render(0x1F3C6);
    if (!trophy.empty()) {
        Image big = Resample(trophy, 120, std::max(1, trophy.height() * 120 / trophy.width()));
        img.Draw(big, kVisibleW / 2 - big.width() / 2, 150);
    }
    const int cx = kVisibleW / 2;
    const Rgba halo{10, 16, 40, 230};
    font.DrawCentred(img, cx, 340, "恭喜你，全部过关!", 56, {255, 220, 100, 255}, halo, 4, 1.5);
    font.DrawCentred(img, cx, 392,
                     std::string("你已通过") + GetDifficultyInfo(difficulty).name + "的全部关卡",
                     30, {255, 255, 255, 255}, halo, 3);
    font.DrawCentred(img, cx, 450, "按 F1 - F4 再来一局", 26, {210, 236, 255, 255}, halo, 3);
    return img;
}

}  // namespace assetgen
