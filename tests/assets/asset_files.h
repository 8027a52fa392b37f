// Helpers for reading the generated files: the data folder, little-endian fields and
// device-independent bitmaps.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace assets_test {

using Bytes = std::vector<uint8_t>;

inline std::string DataDir() { return KIVRA_DATA_DIR; }

inline Bytes ReadAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

inline unsigned Le16(const uint8_t* p) { return unsigned(p[0]) | unsigned(p[1]) << 8; }
inline uint32_t Le32(const uint8_t* p) { return Le16(p) | uint32_t(Le16(p + 2)) << 16; }
inline int32_t Sle32(const uint8_t* p) { return int32_t(Le32(p)); }

struct Rgb {
    uint8_t r, g, b;
};

// A parsed .bmp file: pixels top-down as RGB, whatever the file's depth.
struct Dib {
    bool ok = false;
    std::string error;
    int width = 0, height = 0, bits = 0;
    unsigned colours = 0;  // size of the colour table
    std::vector<Rgb> px;
    std::vector<uint8_t> index;  // 8-bit files: palette index per pixel
    Rgb at(int x, int y) const { return px[size_t(y) * width + x]; }
};

inline Dib ParseBmp(const uint8_t* d, size_t n) {
    Dib r;
    auto fail = [&](const char* why) {
        r.error = why;
        r.ok = false;
        return r;
    };
    if (n < 54 || d[0] != 'B' || d[1] != 'M') return fail("no BM signature");
    if (Le32(d + 2) != n) return fail("file size field differs from the size");
    uint32_t offset = Le32(d + 10);
    if (Le32(d + 14) != 40) return fail("not a BITMAPINFOHEADER");
    r.width = Sle32(d + 18);
    int h = Sle32(d + 22);
    if (h <= 0) return fail("not bottom-up");
    r.height = h;
    if (Le16(d + 26) != 1) return fail("planes is not 1");
    r.bits = int(Le16(d + 28));
    if (Le32(d + 30) != 0) return fail("compressed");
    if (r.bits != 24 && r.bits != 8) return fail("neither 24 nor 8 bits");
    r.colours = Le32(d + 46);
    if (r.bits == 8 && r.colours == 0) r.colours = 256;
    if (r.bits == 24 && r.colours != 0) return fail("colour table on a 24-bit bitmap");
    if (offset != 54 + 4 * r.colours) return fail("pixel offset does not follow the colour table");
    size_t stride = (size_t(r.width) * r.bits / 8 + 3) & ~size_t(3);
    if (offset + stride * r.height != n) return fail("pixel data size is not height * padded row");
    r.px.resize(size_t(r.width) * r.height);
    if (r.bits == 8) r.index.resize(r.px.size());
    for (int y = 0; y < r.height; ++y) {
        const uint8_t* row = d + offset + stride * size_t(r.height - 1 - y);
        for (int x = 0; x < r.width; ++x) {
            if (r.bits == 24) {
                r.px[size_t(y) * r.width + x] = {row[3 * x + 2], row[3 * x + 1], row[3 * x]};
            } else {
                uint8_t i = row[x];
                if (i >= r.colours) return fail("index beyond the colour table");
                const uint8_t* c = d + 54 + 4 * i;
                r.index[size_t(y) * r.width + x] = i;
                r.px[size_t(y) * r.width + x] = {c[2], c[1], c[0]};
            }
        }
    }
    r.ok = true;
    return r;
}

}  // namespace assets_test
