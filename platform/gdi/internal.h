// Shared insides of the drawing layer: the GDI object record, the DC state, pixel helpers.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "platform/gdi/gdi.h"

namespace gdi {

class FontInstance;  // text.cpp

enum class ObjKind { Pen, Brush, Font, Bitmap };

struct GdiObject : std::enable_shared_from_this<GdiObject> {
    explicit GdiObject(ObjKind k) : kind(k) {}
    ObjKind kind;
    bool stock = false;
    // The wrapper that made the object (cleared when that wrapper goes away); SelectObject
    // returns it for the previous selection.
    CGdiObject* wrapper = nullptr;

    // Pen.
    int penStyle = PS_SOLID;
    int penWidth = 1;
    COLORREF penColor = 0;
    // Brush.
    bool brushNull = false;
    COLORREF brushColor = 0xFFFFFF;
    // Font.
    LOGFONT logFont{};
    std::shared_ptr<FontInstance> font;
    // Bitmap.
    std::shared_ptr<Surface> surface;
};

std::shared_ptr<GdiObject> MakePen(int style, int width, COLORREF color);
std::shared_ptr<GdiObject> MakeBrush(bool null, COLORREF color);
std::shared_ptr<GdiObject> MakeFont(const LOGFONT& lf);
// The rasteriser for a logical font (text.cpp); shared between equal requests.
std::shared_ptr<FontInstance> OpenFont(const LOGFONT& lf);
// The logical font of the 16-pixel system font and of the dialog font.
LOGFONT SystemLogFont();
LOGFONT DialogLogFont();
std::shared_ptr<GdiObject> MakeBitmap(int width, int height, bool mono);
// The shared object for a stock index, or nullptr.
std::shared_ptr<GdiObject> StockObject(int index);
// A wrapper for an object whose own wrapper is gone (kept as long as the program).
CGdiObject* WrapperFor(const std::shared_ptr<GdiObject>& obj);
// Objects made by free functions (CreateDIBitmap) are held here until a wrapper attaches
// them or DeleteObject drops them.
void HoldOrphan(const std::shared_ptr<GdiObject>& obj);
// Removes the orphan's reference; true if it was held.
bool ReleaseOrphan(HGDIOBJ handle);

// Maps a colour to a pixel of the given surface: monochrome surfaces take black or white by
// brightness (white from a sum of components of 384 up).
inline uint32_t PixelFor(COLORREF c, bool mono) {
    if (!mono) return PixelFromColor(c);
    return (GetRValue(c) + GetGValue(c) + GetBValue(c)) >= 384 ? 0xFFFFFFFFu : 0xFF000000u;
}

// Evaluates a ternary raster code on 24 colour bits.
inline uint32_t Rop3(uint8_t rop, uint32_t p, uint32_t s, uint32_t d) {
    switch (rop) {
        case 0x00:
            return 0;
        case 0xFF:
            return 0xFFFFFFu;
        case 0xCC:
            return s;
        case 0x88:
            return s & d;
        case 0xEE:
            return s | d;
        case 0x66:
            return s ^ d;
        case 0x33:
            return ~s;
        case 0x22:
            return d & ~s;
        case 0x44:
            return s & ~d;
        case 0xBB:
            return ~s | d;
        case 0x11:
            return ~(s | d);
        case 0xF0:
            return p;
        case 0x55:
            return ~d;
        case 0x5A:
            return p ^ d;
        case 0xAA:
            return d;
        default:
            break;
    }
    uint32_t r = 0;
    for (int i = 0; i < 8; ++i) {
        if (rop & (1 << i)) r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    }
    return r;
}
inline bool RopUsesSource(uint8_t rop) { return ((rop >> 2) ^ rop) & 0x33; }
inline bool RopUsesPattern(uint8_t rop) { return ((rop >> 4) ^ rop) & 0x0F; }
inline bool RopUsesDest(uint8_t rop) { return ((rop >> 1) ^ rop) & 0x55; }

// Reads the pixels of a device-independent bitmap in memory.
struct DibSource {
    int width = 0;
    int height = 0;  // positive
    bool bottomUp = true;
    int bpp = 0;
    size_t stride = 0;
    const uint8_t* bits = nullptr;
    size_t bitsSize = 0;  // bytes available from `bits`
    uint32_t palette[256] = {};
    int paletteSize = 0;

    // From a header and its colour table; `bits` holds `rows` stored rows. False when the
    // header describes something unsupported or the rows would not fit.
    bool Init(const BITMAPINFOHEADER& h, const RGBQUAD* colors, size_t colorsAvailable,
              const void* bits, size_t rows);
    // Pixel of stored row `row` (0 = first row in memory) as 0xFFRRGGBB.
    uint32_t Pixel(int x, int row) const;
};

// The colour table size a header implies (0 for 24/32 bits), or -1 when invalid.
int DibColorCount(const BITMAPINFOHEADER& h);

}  // namespace gdi

struct CDC::State {
    bool valid = false;
    bool memory = false;
    std::shared_ptr<gdi::Surface> attached;
    std::shared_ptr<gdi::GdiObject> pen, brush, font, bitmap;
    COLORREF textColor = 0;
    COLORREF bkColor = 0xFFFFFF;
    int bkMode = OPAQUE;
    UINT textAlign = 0;
    CPoint pos;
    CPoint org;
    bool hasClip = false;
    CRect clip;  // device coordinates
    struct Saved;
    std::vector<std::unique_ptr<Saved>> saved;

    std::shared_ptr<gdi::Surface> Target() const {
        if (!valid) return nullptr;
        if (memory) return bitmap ? bitmap->surface : nullptr;
        return attached;
    }
};

struct CDC::State::Saved {
    std::shared_ptr<gdi::GdiObject> pen, brush, font, bitmap;
    COLORREF textColor, bkColor;
    int bkMode;
    UINT textAlign;
    CPoint pos, org;
    bool hasClip;
    CRect clip;
};

struct DcAccess {
    static CDC::State& Of(const CDC& dc) { return *dc.s_; }
};

namespace gdi {

// Holds a surface locked for one drawing operation, clips, and reports the changed area once
// the lock is released.
class SurfaceLock {
  public:
    SurfaceLock(const CDC::State& dc);
    ~SurfaceLock();
    SurfaceLock(const SurfaceLock&) = delete;
    SurfaceLock& operator=(const SurfaceLock&) = delete;

    bool ok() const { return surface_ != nullptr; }
    Surface& surface() { return *surface_; }
    bool mono() const { return mono_; }
    // Clip rectangle in device coordinates.
    const CRect& clip() const { return clip_; }
    // Fills the device span [x0, x1) of row y (clipped) with `pixel`.
    void Span(int x0, int x1, int y, uint32_t pixel);
    void Plot(int x, int y, uint32_t pixel);
    void Fill(const CRect& deviceRect, uint32_t pixel);
    void MarkDirty(const CRect& deviceRect);

  private:
    std::shared_ptr<Surface> surface_;
    std::unique_lock<std::mutex> lock_;
    CRect clip_;
    CRect dirty_;
    bool mono_ = false;
};

}  // namespace gdi
