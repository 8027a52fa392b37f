#include "tests/support/x_image.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>

namespace testsupport {

bool operator==(const Rect& a, const Rect& b) {
    return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}

std::string ToString(const Rect& r) {
    return "(" + std::to_string(r.x) + ", " + std::to_string(r.y) + ") " + std::to_string(r.w) +
           "x" + std::to_string(r.h);
}

std::string ToString(uint32_t colour) {
    char text[16];
    std::snprintf(text, sizeof text, "#%06x", colour & 0xFFFFFF);
    return text;
}

namespace {

Rect Clip(const Rect& r, const Rect& to) {
    const int x0 = std::max(r.x, to.x), y0 = std::max(r.y, to.y);
    const int x1 = std::min(r.Right(), to.Right()), y1 = std::min(r.Bottom(), to.Bottom());
    if (x1 <= x0 || y1 <= y0) return Rect{x0, y0, 0, 0};
    return Rect{x0, y0, x1 - x0, y1 - y0};
}

}  // namespace

Image Image::Crop(const Rect& r) const {
    Image out;
    out.area = Clip(r, area);
    out.px.reserve(size_t(out.area.w) * size_t(out.area.h));
    for (int y = out.area.y; y < out.area.Bottom(); ++y)
        for (int x = out.area.x; x < out.area.Right(); ++x) out.px.push_back(At(x, y));
    return out;
}

uint32_t Image::CommonColour(const Rect& r) const {
    const Rect c = Clip(r, area);
    std::map<uint32_t, int> counts;
    for (int y = c.y; y < c.Bottom(); ++y)
        for (int x = c.x; x < c.Right(); ++x) ++counts[At(x, y)];
    uint32_t best = 0;
    int most = -1;
    for (const auto& [colour, n] : counts) {
        if (n > most) {
            most = n;
            best = colour;
        }
    }
    return best;
}

int Image::Count(const Rect& r, uint32_t colour) const {
    const Rect c = Clip(r, area);
    int n = 0;
    for (int y = c.y; y < c.Bottom(); ++y)
        for (int x = c.x; x < c.Right(); ++x) n += At(x, y) == colour;
    return n;
}

std::vector<uint32_t> Image::Colours(const Rect& r) const {
    const Rect c = Clip(r, area);
    std::set<uint32_t> seen;
    for (int y = c.y; y < c.Bottom(); ++y)
        for (int x = c.x; x < c.Right(); ++x) seen.insert(At(x, y));
    return std::vector<uint32_t>(seen.begin(), seen.end());
}

Rect Image::Ink(const Rect& r, uint32_t background) const {
    const Rect c = Clip(r, area);
    int x0 = c.Right(), y0 = c.Bottom(), x1 = c.x - 1, y1 = c.y - 1;
    for (int y = c.y; y < c.Bottom(); ++y) {
        for (int x = c.x; x < c.Right(); ++x) {
            if (At(x, y) == background) continue;
            x0 = std::min(x0, x);
            x1 = std::max(x1, x);
            y0 = std::min(y0, y);
            y1 = std::max(y1, y);
        }
    }
    if (x1 < x0) return Rect{c.x, c.y, 0, 0};
    return Rect{x0, y0, x1 - x0 + 1, y1 - y0 + 1};
}

// ---- PNG

namespace {

uint32_t Crc32(const uint8_t* data, size_t n, uint32_t crc = 0) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (size_t i = 0; i < n; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

void Chunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data) {
    Put32(png, uint32_t(data.size()));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    png.insert(png.end(), body.begin(), body.end());
    Put32(png, Crc32(body.data(), body.size()));
}

}  // namespace

bool SavePng(const Image& image, const std::string& path) {
    const int w = image.area.w, h = image.area.h;
    if (w <= 0 || h <= 0) return false;
    std::vector<uint8_t> raw;  // filter byte 0, then RGB, per row
    raw.reserve(size_t(h) * (size_t(w) * 3 + 1));
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);
        for (int x = 0; x < w; ++x) {
            const uint32_t c = image.px[size_t(y) * size_t(w) + size_t(x)];
            raw.push_back(uint8_t(c >> 16));
            raw.push_back(uint8_t(c >> 8));
            raw.push_back(uint8_t(c));
        }
    }
    // A zlib stream of stored blocks.
    std::vector<uint8_t> z = {0x78, 0x01};
    for (size_t pos = 0; pos < raw.size() || pos == 0;) {
        const size_t n = std::min<size_t>(65535, raw.size() - pos);
        const bool last = pos + n == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(uint8_t(n));
        z.push_back(uint8_t(n >> 8));
        z.push_back(uint8_t(~n));
        z.push_back(uint8_t(~n >> 8));
        z.insert(z.end(), raw.begin() + long(pos), raw.begin() + long(pos + n));
        pos += n;
        if (last) break;
    }
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    Put32(z, b << 16 | a);

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    Put32(header, uint32_t(w));
    Put32(header, uint32_t(h));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, no interlace
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", {});
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
    return bool(out);
}

}  // namespace testsupport
