// Block transfers: BitBlt, StretchBlt and PatBlt with ternary raster codes, and the transfer of
// device-independent bitmaps.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/gdi/internal.h"

using gdi::GdiObject;
using gdi::Surface;

namespace {

struct Pattern {
    bool present = false;
    uint32_t pixel = 0;
};

Pattern PatternOf(const CDC::State& s, bool mono) {
    Pattern p;
    if (s.brush && !s.brush->brushNull) {
        p.present = true;
        p.pixel = gdi::PixelFor(s.brush->brushColor, mono);
    }
    return p;
}

// Converts source pixels to the target's format by the Windows rules.
struct Converter {
    enum class Mode { Same, MonoToColor, ColorToMono } mode = Mode::Same;
    uint32_t zero = 0, one = 0;  // mono to colour
    uint32_t bk = 0;             // colour to mono: the source DC's background
    uint32_t operator()(uint32_t s) const {
        switch (mode) {
            case Mode::Same:
                return s;
            case Mode::MonoToColor:
                return (s & 1) ? one : zero;
            case Mode::ColorToMono:
                return ((s ^ bk) & 0xFFFFFFu) == 0 ? 0xFFFFFFFFu : 0xFF000000u;
        }
        return s;
    }
};

Converter MakeConverter(bool srcMono, COLORREF srcBk, bool dstMono, const CDC::State& dst) {
    Converter c;
    if (srcMono && !dstMono) {
        c.mode = Converter::Mode::MonoToColor;
        c.zero = gdi::PixelFromColor(dst.textColor);
        c.one = gdi::PixelFromColor(dst.bkColor);
    } else if (!srcMono && dstMono) {
        c.mode = Converter::Mode::ColorToMono;
        c.bk = gdi::PixelFromColor(srcBk);
    }
    return c;
}

// Combines one row: out[i] = rop(P, conv(src[i]), out[i]).
void CombineRow(uint32_t* out, const uint32_t* src, int n, uint8_t rop, uint32_t pat,
                const Converter& conv) {
    if (conv.mode == Converter::Mode::Same) {
        switch (rop) {
            case 0xCC:
                std::memmove(out, src, static_cast<size_t>(n) * 4);
                return;
            case 0x88:
                for (int i = 0; i < n; ++i) out[i] &= src[i];
                return;
            case 0xEE:
                for (int i = 0; i < n; ++i) out[i] |= src[i];
                return;
            case 0x66:
                for (int i = 0; i < n; ++i) out[i] = (out[i] ^ src[i]) | 0xFF000000u;
                return;
            default:
                break;
        }
    }
    for (int i = 0; i < n; ++i) out[i] = gdi::Rop3(rop, pat, conv(src[i]), out[i]) | 0xFF000000u;
}

// The part of the destination rectangle [x, x+w) x [y, y+h) whose pixels exist in the target
// clip and whose source pixels (offset by (ox, oy)) exist in the source surface.
CRect ClipTransfer(const CRect& dstClip, int x, int y, int w, int h, const Surface* src, int ox,
                   int oy) {
    CRect r(x, y, x + w, y + h), c;
    if (!c.IntersectRect(&r, &dstClip)) return CRect();
    if (src) {
        CRect s(-ox, -oy, src->Width() - ox, src->Height() - oy), c2;
        if (!c2.IntersectRect(&c, &s)) return CRect();
        c = c2;
    }
    return c;
}

// A negative extent names the same cells counted from the other edge: turn it positive,
// move the origin to the low edge and toggle the mirror flag for that axis.
void FlipNegativeExtent(int& origin, int& extent, bool& mirror) {
    if (extent >= 0) return;
    origin += extent + 1;
    extent = -extent;
    mirror = !mirror;
}

}  // namespace

BOOL CDC::PatBlt(int x, int y, int w, int h, DWORD ropCode) {
    const uint8_t rop = static_cast<uint8_t>(ropCode >> 16);
    if (w < 0) {
        x += w;
        w = -w;
    }
    if (h < 0) {
        y += h;
        h = -h;
    }
    gdi::SurfaceLock t(*s_);
    if (!t.ok()) return FALSE;
    const Pattern pat = PatternOf(*s_, t.mono());
    if (gdi::RopUsesPattern(rop) && !pat.present) return TRUE;
    const CRect c = ClipTransfer(t.clip(), x + s_->org.x, y + s_->org.y, w, h, nullptr, 0, 0);
    for (int yy = c.top; yy < c.bottom; ++yy) {
        uint32_t* row = t.surface().Row(yy);
        for (int xx = c.left; xx < c.right; ++xx)
            row[xx] = gdi::Rop3(rop, pat.pixel, 0, row[xx]) | 0xFF000000u;
    }
    t.MarkDirty(c);
    return TRUE;
}

BOOL CDC::BitBlt(int x, int y, int w, int h, CDC* srcDc, int xs, int ys, DWORD ropCode) {
    const uint8_t rop = static_cast<uint8_t>(ropCode >> 16);
    if (!gdi::RopUsesSource(rop)) return PatBlt(x, y, w, h, ropCode);
    if (!srcDc || w <= 0 || h <= 0) return srcDc != nullptr;
    const State& src = *srcDc->s_;
    std::shared_ptr<Surface> dstSurface = s_->Target();
    std::shared_ptr<Surface> srcSurface = src.Target();
    if (!dstSurface || !srcSurface) return FALSE;

    const int dx = x + s_->org.x, dy = y + s_->org.y;
    const int sx = xs + src.org.x, sy = ys + src.org.y;
    const int ox = sx - dx, oy = sy - dy;

    CRect changed;
    {
        std::unique_lock<std::mutex> lockDst(dstSurface->Mutex(), std::defer_lock);
        std::unique_lock<std::mutex> lockSrc(srcSurface->Mutex(), std::defer_lock);
        if (dstSurface == srcSurface) {
            lockDst.lock();
        } else {
            std::lock(lockDst, lockSrc);
        }
        CRect clip(0, 0, dstSurface->Width(), dstSurface->Height());
        if (s_->hasClip) {
            CRect c;
            c.IntersectRect(&clip, &s_->clip);
            clip = c;
        }
        const CRect c = ClipTransfer(clip, dx, dy, w, h, srcSurface.get(), ox, oy);
        if (c.IsRectEmpty()) return TRUE;
        const bool dstMono = dstSurface->IsMono();
        const Pattern pat = PatternOf(*s_, dstMono);
        if (gdi::RopUsesPattern(rop) && !pat.present) return TRUE;
        const Converter conv = MakeConverter(srcSurface->IsMono(), src.bkColor, dstMono, *s_);
        const int n = c.Width();
        if (dstSurface == srcSurface) {
            // Source and target overlap: read the source block first.
            std::vector<uint32_t> copy(static_cast<size_t>(n) * c.Height());
            for (int yy = c.top; yy < c.bottom; ++yy)
                std::memcpy(copy.data() + static_cast<size_t>(yy - c.top) * n,
                            srcSurface->Row(yy + oy) + c.left + ox, static_cast<size_t>(n) * 4);
            for (int yy = c.top; yy < c.bottom; ++yy)
                CombineRow(dstSurface->Row(yy) + c.left,
                           copy.data() + static_cast<size_t>(yy - c.top) * n, n, rop, pat.pixel,
                           conv);
        } else {
            for (int yy = c.top; yy < c.bottom; ++yy)
                CombineRow(dstSurface->Row(yy) + c.left, srcSurface->Row(yy + oy) + c.left + ox, n,
                           rop, pat.pixel, conv);
        }
        changed = c;
    }
    dstSurface->NotifyChanged(changed);
    return TRUE;
}

BOOL CDC::StretchBlt(int x, int y, int w, int h, CDC* srcDc, int xs, int ys, int ws, int hs,
                     DWORD ropCode) {
    if (w == ws && h == hs && w > 0 && h > 0) return BitBlt(x, y, w, h, srcDc, xs, ys, ropCode);
    const uint8_t rop = static_cast<uint8_t>(ropCode >> 16);
    if (!gdi::RopUsesSource(rop)) return PatBlt(x, y, w, h, ropCode);
    if (!srcDc || w == 0 || h == 0 || ws == 0 || hs == 0) return FALSE;
    const State& src = *srcDc->s_;
    std::shared_ptr<Surface> dstSurface = s_->Target();
    std::shared_ptr<Surface> srcSurface = src.Target();
    if (!dstSurface || !srcSurface) return FALSE;
    // A negative extent on one side only mirrors the picture.
    bool mirrorX = false, mirrorY = false;
    FlipNegativeExtent(x, w, mirrorX);
    FlipNegativeExtent(xs, ws, mirrorX);
    FlipNegativeExtent(y, h, mirrorY);
    FlipNegativeExtent(ys, hs, mirrorY);

    // Read the source block first so that source and target may be the same surface.
    std::vector<uint32_t> block(static_cast<size_t>(ws) * hs, 0);
    std::vector<uint8_t> present(static_cast<size_t>(ws) * hs, 0);
    bool srcMono;
    {
        std::lock_guard<std::mutex> lock(srcSurface->Mutex());
        srcMono = srcSurface->IsMono();
        for (int j = 0; j < hs; ++j) {
            const int yy = ys + src.org.y + j;
            if (yy < 0 || yy >= srcSurface->Height()) continue;
            for (int i = 0; i < ws; ++i) {
                const int xx = xs + src.org.x + i;
                if (xx < 0 || xx >= srcSurface->Width()) continue;
                block[static_cast<size_t>(j) * ws + i] = srcSurface->Row(yy)[xx];
                present[static_cast<size_t>(j) * ws + i] = 1;
            }
        }
    }
    gdi::SurfaceLock t(*s_);
    if (!t.ok()) return FALSE;
    const Pattern pat = PatternOf(*s_, t.mono());
    if (gdi::RopUsesPattern(rop) && !pat.present) return TRUE;
    const Converter conv = MakeConverter(srcMono, src.bkColor, t.mono(), *s_);
    const int dx = x + s_->org.x, dy = y + s_->org.y;
    const CRect c = ClipTransfer(t.clip(), dx, dy, w, h, nullptr, 0, 0);
    for (int yy = c.top; yy < c.bottom; ++yy) {
        int j = static_cast<int>(static_cast<int64_t>(yy - dy) * hs / h);
        if (mirrorY) j = hs - 1 - j;
        uint32_t* row = t.surface().Row(yy);
        for (int xx = c.left; xx < c.right; ++xx) {
            int i = static_cast<int>(static_cast<int64_t>(xx - dx) * ws / w);
            if (mirrorX) i = ws - 1 - i;
            const size_t k = static_cast<size_t>(j) * ws + i;
            if (!present[k]) continue;
            row[xx] = gdi::Rop3(rop, pat.pixel, conv(block[k]), row[xx]) | 0xFF000000u;
        }
    }
    t.MarkDirty(c);
    return TRUE;
}

// ---- device-independent bitmaps ----

namespace {

// Draws DIB pixels: destination (x, y, w, h) in device units; (i, j) of the destination maps
// to the DIB's top-down row `topRow(j)` and column `col(i)`; rows outside
// [firstRow, firstRow + rowCount) (top-down numbering) are not in memory and are skipped.
// `unscaled` says that col(i) = col(0) + i.
template <class ColFn, class RowFn>
void DrawDib(gdi::SurfaceLock& t, const CDC::State& s, const gdi::DibSource& dib, int firstRow,
             int rowCount, int x, int y, int w, int h, uint8_t rop, bool unscaled, ColFn col,
             RowFn topRow) {
    const Pattern pat = PatternOf(s, t.mono());
    if (gdi::RopUsesPattern(rop) && !pat.present) return;
    const CRect c = ClipTransfer(t.clip(), x, y, w, h, nullptr, 0, 0);
    const bool fastCopy = unscaled && rop == 0xCC && !t.mono() && (dib.bpp == 24 || dib.bpp == 32);
    const int bytesPerPixel = dib.bpp / 8;
    CRect drawn;
    for (int yy = c.top; yy < c.bottom; ++yy) {
        const int tr = topRow(yy - y);
        if (tr < 0 || tr >= dib.height || tr < firstRow || tr >= firstRow + rowCount) continue;
        // Stored row index inside the memory block.
        const int stored = dib.bottomUp ? (dib.height - 1 - tr) - (dib.height - firstRow - rowCount)
                                        : tr - firstRow;
        uint32_t* row = t.surface().Row(yy);
        int rowLeft = -1, rowRight = -1;
        if (fastCopy) {
            // Unscaled 24- or 32-bit copy: the picture's columns run straight along the row.
            const int first = std::max<int>(c.left, x + (0 - col(0)));
            const int last = std::min<int>(c.right, x + (dib.width - col(0)));
            const uint8_t* src = dib.bits + dib.stride * static_cast<size_t>(stored) +
                                 bytesPerPixel * static_cast<size_t>(col(first - x));
            for (int xx = first; xx < last; ++xx, src += bytesPerPixel)
                row[xx] = 0xFF000000u | (uint32_t(src[2]) << 16) | (uint32_t(src[1]) << 8) | src[0];
            if (first < last) {
                rowLeft = first;
                rowRight = last;
            }
        }
        for (int xx = fastCopy ? c.right : c.left; xx < c.right; ++xx) {
            const int sc = col(xx - x);
            if (sc < 0 || sc >= dib.width) continue;
            uint32_t px = dib.Pixel(sc, stored);
            if (t.mono()) px = gdi::PixelFor(gdi::ColorFromPixel(px), true);
            row[xx] = gdi::Rop3(rop, pat.pixel, px, row[xx]) | 0xFF000000u;
            if (rowLeft < 0) rowLeft = xx;
            rowRight = xx + 1;
        }
        if (rowLeft >= 0) {
            CRect r(rowLeft, yy, rowRight, yy + 1), u;
            u.UnionRect(&drawn, &r);
            drawn = u;
        }
    }
    t.MarkDirty(drawn);
}

bool InitDib(gdi::DibSource& dib, const BITMAPINFO* bmi, const void* bits, size_t rows) {
    if (!bmi) return false;
    const int count = gdi::DibColorCount(bmi->bmiHeader);
    return dib.Init(bmi->bmiHeader, bmi->bmiColors, count < 0 ? 0 : count, bits, rows);
}

}  // namespace

int CDC::SetDIBitsToDevice(int x, int y, DWORD w, DWORD h, int xs, int ys, UINT startScan,
                           UINT lines, const void* bits, const BITMAPINFO* bmi, UINT) {
    gdi::DibSource dib;
    if (!InitDib(dib, bmi, bits, lines)) return 0;
    if (startScan >= static_cast<UINT>(dib.height) || lines == 0) return 0;
    const int scans = static_cast<int>(std::min<UINT>(lines, dib.height - startScan));
    // The band of scan lines in memory, as top-down rows.
    const int firstRow = dib.bottomUp ? dib.height - static_cast<int>(startScan) - scans
                                      : static_cast<int>(startScan);
    const int W = static_cast<int>(w), H = static_cast<int>(h);
    if (W <= 0 || H <= 0) return scans;
    // Source (xs, ys) is the lower-left corner of the source rectangle for a bottom-up bitmap
    // (ys counts up from its last row) and the upper-left corner for a top-down one.
    const int top = dib.bottomUp ? dib.height - ys - H : ys;
    gdi::SurfaceLock t(*s_);
    if (!t.ok()) return 0;
    DrawDib(
        t, *s_, dib, firstRow, scans, x + s_->org.x, y + s_->org.y, W, H, 0xCC, true,
        [&](int i) { return xs + i; }, [&](int j) { return top + j; });
    return scans;
}

int CDC::StretchDIBits(int x, int y, int w, int h, int xs, int ys, int ws, int hs, const void* bits,
                       const BITMAPINFO* bmi, UINT, DWORD ropCode) {
    gdi::DibSource dib;
    if (!bmi) return 0;
    const int height =
        bmi->bmiHeader.biHeight > 0 ? bmi->bmiHeader.biHeight : -bmi->bmiHeader.biHeight;
    if (!InitDib(dib, bmi, bits, static_cast<size_t>(height))) return 0;
    if (w == 0 || h == 0 || ws == 0 || hs == 0) return 0;
    bool mirrorX = false, mirrorY = false;
    FlipNegativeExtent(x, w, mirrorX);
    FlipNegativeExtent(xs, ws, mirrorX);
    FlipNegativeExtent(y, h, mirrorY);
    FlipNegativeExtent(ys, hs, mirrorY);
    const int top = dib.bottomUp ? dib.height - ys - hs : ys;
    const uint8_t rop = static_cast<uint8_t>(ropCode >> 16);
    gdi::SurfaceLock t(*s_);
    if (!t.ok()) return 0;
    DrawDib(
        t, *s_, dib, 0, dib.height, x + s_->org.x, y + s_->org.y, w, h, rop, ws == w && !mirrorX,
        [&](int i) {
            int k = static_cast<int>(static_cast<int64_t>(i) * ws / w);
            return xs + (mirrorX ? ws - 1 - k : k);
        },
        [&](int j) {
            int k = static_cast<int>(static_cast<int64_t>(j) * hs / h);
            return top + (mirrorY ? hs - 1 - k : k);
        });
    return dib.height;
}

int SetDIBitsToDevice(HDC dc, int x, int y, DWORD w, DWORD h, int xs, int ys, UINT startScan,
                      UINT lines, const void* bits, const BITMAPINFO* bmi, UINT usage) {
    return dc ? dc->SetDIBitsToDevice(x, y, w, h, xs, ys, startScan, lines, bits, bmi, usage) : 0;
}

int StretchDIBits(HDC dc, int x, int y, int w, int h, int xs, int ys, int ws, int hs,
                  const void* bits, const BITMAPINFO* bmi, UINT usage, DWORD rop) {
    return dc ? dc->StretchDIBits(x, y, w, h, xs, ys, ws, hs, bits, bmi, usage, rop) : 0;
}

BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int xs, int ys, DWORD rop) {
    return dst ? dst->BitBlt(x, y, w, h, src, xs, ys, rop) : FALSE;
}
