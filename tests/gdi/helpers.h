// Small builders shared by the drawing tests: .bmp and .ico files made in memory, DCs over
// fresh colour bitmaps.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"

namespace gditest {

inline void Put16(std::vector<uint8_t>& v, size_t at, uint16_t x) {
    v[at] = x & 0xFF;
    v[at + 1] = x >> 8;
}
inline void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + i] = (x >> (8 * i)) & 0xFF;
}

// A .bmp file: 24-bit when `palette` is empty (pixels as COLORREF), else 8-bit with the pixels
// as palette indices. `rows` is top row first; the file stores them bottom-up unless topDown.
inline std::vector<uint8_t> MakeBmp(int w, int h, const std::vector<uint32_t>& pixels,
                                    const std::vector<COLORREF>& palette = {},
                                    bool topDown = false) {
    const bool indexed = !palette.empty();
    const int bpp = indexed ? 8 : 24;
    const size_t stride = ((static_cast<size_t>(w) * bpp + 31) / 32) * 4;
    const size_t colors = indexed ? palette.size() : 0;
    const size_t offBits = 14 + 40 + colors * 4;
    std::vector<uint8_t> f(offBits + stride * h, 0xEE);  // padding bytes deliberately non-zero
    f[0] = 'B';
    f[1] = 'M';
    Put32(f, 2, static_cast<uint32_t>(f.size()));
    Put32(f, 6, 0);
    Put32(f, 10, static_cast<uint32_t>(offBits));
    Put32(f, 14, 40);
    Put32(f, 18, w);
    Put32(f, 22, topDown ? static_cast<uint32_t>(-h) : static_cast<uint32_t>(h));
    Put16(f, 26, 1);
    Put16(f, 28, bpp);
    Put32(f, 30, 0);
    Put32(f, 34, static_cast<uint32_t>(stride * h));
    Put32(f, 38, 0);
    Put32(f, 42, 0);
    Put32(f, 46, static_cast<uint32_t>(colors));
    Put32(f, 50, 0);
    for (size_t i = 0; i < colors; ++i) {
        f[54 + 4 * i] = GetBValue(palette[i]);
        f[54 + 4 * i + 1] = GetGValue(palette[i]);
        f[54 + 4 * i + 2] = GetRValue(palette[i]);
        f[54 + 4 * i + 3] = 0;
    }
    for (int y = 0; y < h; ++y) {
        const int stored = topDown ? y : h - 1 - y;
        uint8_t* row = f.data() + offBits + stride * stored;
        for (int x = 0; x < w; ++x) {
            const uint32_t v = pixels[static_cast<size_t>(y) * w + x];
            if (indexed) {
                row[x] = static_cast<uint8_t>(v);
            } else {
                row[3 * x] = GetBValue(v);
                row[3 * x + 1] = GetGValue(v);
                row[3 * x + 2] = GetRValue(v);
            }
        }
    }
    return f;
}

// A memory DC holding a new colour bitmap of w x h filled with `fill`.
struct Canvas {
    CDC dc;
    CBitmap bitmap;
    CBitmap* old = nullptr;
    Canvas(int w, int h, COLORREF fill = RGB(0, 0, 0)) {
        dc.CreateCompatibleDC(nullptr);
        bitmap.CreateCompatibleBitmap(nullptr, w, h);
        old = dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, w, h, fill);
    }
    ~Canvas() { dc.SelectObject(old); }
    COLORREF At(int x, int y) { return dc.GetPixel(x, y); }
    // The rows as text, one char per pixel from `legend` ("." for anything else).
    std::string Rows(int x0, int y0, int w, int h, COLORREF ink, char mark = '#') {
        std::string s;
        for (int y = y0; y < y0 + h; ++y) {
            for (int x = x0; x < x0 + w; ++x) s += dc.GetPixel(x, y) == ink ? mark : '.';
            s += '\n';
        }
        return s;
    }
    int Count(COLORREF c) {
        int n = 0;
        CSize size = bitmap.GetSize();
        for (int y = 0; y < size.cy; ++y)
            for (int x = 0; x < size.cx; ++x) n += dc.GetPixel(x, y) == c;
        return n;
    }
};

}  // namespace gditest
