// Device contexts: state, object selection, clipping, pixels, lines and rectangles.
#include <algorithm>
#include <cstdlib>

#include "platform/gdi/internal.h"

using gdi::GdiObject;
using gdi::ObjKind;
using gdi::SurfaceLock;

namespace gdi {

SurfaceLock::SurfaceLock(const CDC::State& dc) : surface_(dc.Target()) {
    if (!surface_) return;
    lock_ = std::unique_lock<std::mutex>(surface_->Mutex());
    mono_ = surface_->IsMono();
    clip_ = CRect(0, 0, surface_->Width(), surface_->Height());
    if (dc.hasClip) {
        CRect c;
        c.IntersectRect(&clip_, &dc.clip);
        clip_ = c;
    }
}

SurfaceLock::~SurfaceLock() {
    if (!surface_) return;
    lock_.unlock();
    if (!dirty_.IsRectEmpty()) surface_->NotifyChanged(dirty_);
}

void SurfaceLock::MarkDirty(const CRect& r) {
    CRect c;
    if (!c.IntersectRect(&r, &clip_)) return;
    CRect u;
    u.UnionRect(&dirty_, &c);
    dirty_ = u;
}

void SurfaceLock::Span(int x0, int x1, int y, uint32_t pixel) {
    if (y < clip_.top || y >= clip_.bottom) return;
    x0 = std::max(x0, static_cast<int>(clip_.left));
    x1 = std::min(x1, static_cast<int>(clip_.right));
    if (x0 >= x1) return;
    std::fill(surface_->Row(y) + x0, surface_->Row(y) + x1, pixel);
    MarkDirty(CRect(x0, y, x1, y + 1));
}

void SurfaceLock::Plot(int x, int y, uint32_t pixel) {
    if (x < clip_.left || x >= clip_.right || y < clip_.top || y >= clip_.bottom) return;
    surface_->Row(y)[x] = pixel;
    MarkDirty(CRect(x, y, x + 1, y + 1));
}

void SurfaceLock::Fill(const CRect& r, uint32_t pixel) {
    CRect c;
    if (!c.IntersectRect(&r, &clip_)) return;
    for (int y = c.top; y < c.bottom; ++y)
        std::fill(surface_->Row(y) + c.left, surface_->Row(y) + c.right, pixel);
    MarkDirty(c);
}

}  // namespace gdi

namespace {

// Draws a line of a one-pixel pen from (x0, y0) towards (x1, y1), leaving out the end point.
void ThinLine(SurfaceLock& t, int x0, int y0, int x1, int y1, uint32_t px) {
    const int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    if (dy == 0) {
        if (dx == 0) return;
        if (sx > 0)
            t.Span(x0, x1, y0, px);
        else
            t.Span(x1 + 1, x0 + 1, y0, px);
        return;
    }
    int err = dx - dy;
    int x = x0, y = y0;
    while (x != x1 || y != y1) {
        t.Plot(x, y, px);
        const int e2 = 2 * err;
        if (e2 > -dy) {
            err -= dy;
            x += sx;
        }
        if (e2 < dx) {
            err += dx;
            y += sy;
        }
    }
}

// A wide line with round ends: every pixel whose centre lies closer than width/2 to the
// segment between the two points. Works in half-pixel units so that all tests are exact
// integer comparisons: pixel centres are at odd coordinates, the path's points at even ones.
void WideLine(SurfaceLock& t, int x0, int y0, int x1, int y1, int width, uint32_t px) {
    const int64_t ax = 2LL * x0, ay = 2LL * y0, bx = 2LL * x1, by = 2LL * y1;
    const int64_t w2 = static_cast<int64_t>(width) * width;  // (2r)^2 in half units
    const int64_t vx = bx - ax, vy = by - ay;
    const int64_t len2 = vx * vx + vy * vy;
    const int r = width / 2 + 1;
    const int top = std::max(std::min(y0, y1) - r, static_cast<int>(t.clip().top));
    const int bottom = std::min(std::max(y0, y1) + r, static_cast<int>(t.clip().bottom) - 1);
    const int left = std::max(std::min(x0, x1) - r, static_cast<int>(t.clip().left));
    const int right = std::min(std::max(x0, x1) + r, static_cast<int>(t.clip().right) - 1);
    for (int y = top; y <= bottom; ++y) {
        int runStart = -1;
        for (int x = left; x <= right + 1; ++x) {
            bool inside = false;
            if (x <= right) {
                const int64_t cx = 2LL * x + 1 - ax, cy = 2LL * y + 1 - ay;
                const int64_t dot = cx * vx + cy * vy;
                if (len2 == 0 || dot <= 0) {
                    inside = cx * cx + cy * cy < w2;
                } else if (dot >= len2) {
                    const int64_t ex = 2LL * x + 1 - bx, ey = 2LL * y + 1 - by;
                    inside = ex * ex + ey * ey < w2;
                } else {
                    const int64_t cross = cx * vy - cy * vx;
                    // distance^2 = cross^2 / len2 < w2, compared without division.
                    inside =
                        static_cast<__int128>(cross) * cross < static_cast<__int128>(w2) * len2;
                }
            }
            if (inside && runStart < 0) runStart = x;
            if (!inside && runStart >= 0) {
                t.Span(runStart, x, y, px);
                runStart = -1;
            }
        }
    }
}

CRect Normalized(int l, int t, int r, int b) {
    CRect rc(l, t, r, b);
    rc.NormalizeRect();
    return rc;
}

}  // namespace

// ---- life cycle ----

CDC::CDC() : s_(new State) {}
CDC::~CDC() = default;

BOOL CDC::CreateCompatibleDC(CDC*) {
    State fresh;
    fresh.valid = true;
    fresh.memory = true;
    fresh.pen = gdi::StockObject(BLACK_PEN);
    fresh.brush = gdi::StockObject(WHITE_BRUSH);
    fresh.font = gdi::StockObject(SYSTEM_FONT);
    fresh.bitmap = gdi::StockObject(-1);
    *s_ = std::move(fresh);
    return TRUE;
}

BOOL CDC::AttachSurface(std::shared_ptr<gdi::Surface> surface) {
    if (!surface) return FALSE;
    State fresh;
    fresh.valid = true;
    fresh.memory = false;
    fresh.attached = std::move(surface);
    fresh.pen = gdi::StockObject(BLACK_PEN);
    fresh.brush = gdi::StockObject(WHITE_BRUSH);
    fresh.font = gdi::StockObject(SYSTEM_FONT);
    *s_ = std::move(fresh);
    return TRUE;
}

BOOL CDC::DeleteDC() {
    if (!s_->valid) return FALSE;
    *s_ = State();
    return TRUE;
}

std::shared_ptr<gdi::Surface> CDC::GetSurface() const { return s_->Target(); }

// ---- selection ----

namespace {
template <class T>
T* SelectInto(CDC::State& s, std::shared_ptr<GdiObject>& slot, CGdiObject* obj, ObjKind kind) {
    if (!s.valid || !obj || !obj->Object() || obj->Object()->kind != kind) return nullptr;
    std::shared_ptr<GdiObject> prev = slot;
    slot = obj->Object();
    return static_cast<T*>(gdi::WrapperFor(prev));
}
}  // namespace

CPen* CDC::SelectObject(CPen* pen) { return SelectInto<CPen>(*s_, s_->pen, pen, ObjKind::Pen); }
CBrush* CDC::SelectObject(CBrush* brush) {
    return SelectInto<CBrush>(*s_, s_->brush, brush, ObjKind::Brush);
}
CFont* CDC::SelectObject(CFont* font) {
    return SelectInto<CFont>(*s_, s_->font, font, ObjKind::Font);
}
CBitmap* CDC::SelectObject(CBitmap* bitmap) {
    if (!s_->memory) return nullptr;
    return SelectInto<CBitmap>(*s_, s_->bitmap, bitmap, ObjKind::Bitmap);
}
CGdiObject* CDC::SelectObject(CGdiObject* object) {
    if (!object || !object->Object()) return nullptr;
    switch (object->Object()->kind) {
        case ObjKind::Pen:
            return SelectInto<CGdiObject>(*s_, s_->pen, object, ObjKind::Pen);
        case ObjKind::Brush:
            return SelectInto<CGdiObject>(*s_, s_->brush, object, ObjKind::Brush);
        case ObjKind::Font:
            return SelectInto<CGdiObject>(*s_, s_->font, object, ObjKind::Font);
        case ObjKind::Bitmap:
            if (!s_->memory) return nullptr;
            return SelectInto<CGdiObject>(*s_, s_->bitmap, object, ObjKind::Bitmap);
    }
    return nullptr;
}
CGdiObject* CDC::SelectStockObject(int index) {
    auto o = gdi::StockObject(index);
    if (!o) return nullptr;
    return SelectObject(gdi::WrapperFor(o));
}
CPen* CDC::GetCurrentPen() const { return static_cast<CPen*>(gdi::WrapperFor(s_->pen)); }
CBrush* CDC::GetCurrentBrush() const { return static_cast<CBrush*>(gdi::WrapperFor(s_->brush)); }
CFont* CDC::GetCurrentFont() const { return static_cast<CFont*>(gdi::WrapperFor(s_->font)); }
CBitmap* CDC::GetCurrentBitmap() const {
    return static_cast<CBitmap*>(gdi::WrapperFor(s_->bitmap));
}

// ---- attributes ----

COLORREF CDC::SetTextColor(COLORREF c) {
    std::swap(s_->textColor, c);
    s_->textColor &= 0xFFFFFF;
    return c;
}
COLORREF CDC::GetTextColor() const { return s_->textColor; }
COLORREF CDC::SetBkColor(COLORREF c) {
    std::swap(s_->bkColor, c);
    s_->bkColor &= 0xFFFFFF;
    return c;
}
COLORREF CDC::GetBkColor() const { return s_->bkColor; }
int CDC::SetBkMode(int mode) {
    if (mode != TRANSPARENT && mode != OPAQUE) return 0;
    std::swap(s_->bkMode, mode);
    return mode;
}
int CDC::GetBkMode() const { return s_->bkMode; }
UINT CDC::SetTextAlign(UINT align) {
    std::swap(s_->textAlign, align);
    return align;
}
UINT CDC::GetTextAlign() const { return s_->textAlign; }

CPoint CDC::SetViewportOrg(int x, int y) {
    CPoint prev = s_->org;
    s_->org = CPoint(x, y);
    return prev;
}
CPoint CDC::OffsetViewportOrg(int dx, int dy) {
    CPoint prev = s_->org;
    s_->org.Offset(dx, dy);
    return prev;
}
CPoint CDC::GetViewportOrg() const { return s_->org; }

// Region results as Windows reports them.
static constexpr int kNullRegion = 1;
static constexpr int kSimpleRegion = 2;

int CDC::IntersectClipRect(int l, int t, int r, int b) {
    CRect want = Normalized(l, t, r, b);
    want.OffsetRect(s_->org);
    if (s_->hasClip) {
        CRect c;
        c.IntersectRect(&want, &s_->clip);
        want = c;
    }
    s_->hasClip = true;
    s_->clip = want;
    return want.IsRectEmpty() ? kNullRegion : kSimpleRegion;
}

int CDC::SetClipRect(LPCRECT r) {
    if (!r) {
        s_->hasClip = false;
        return kSimpleRegion;
    }
    CRect want(*r);
    want.NormalizeRect();
    want.OffsetRect(s_->org);
    s_->hasClip = true;
    s_->clip = want;
    return want.IsRectEmpty() ? kNullRegion : kSimpleRegion;
}

int CDC::GetClipBox(LPRECT r) const {
    if (!r) return 0;
    CRect box;
    auto surface = s_->Target();
    if (surface) box = CRect(0, 0, surface->Width(), surface->Height());
    if (s_->hasClip) {
        CRect c;
        c.IntersectRect(&box, &s_->clip);
        box = c;
    }
    box.OffsetRect(-s_->org.x, -s_->org.y);
    *r = box;
    return box.IsRectEmpty() ? kNullRegion : kSimpleRegion;
}

int CDC::SaveDC() {
    auto saved = std::make_unique<State::Saved>();
    saved->pen = s_->pen;
    saved->brush = s_->brush;
    saved->font = s_->font;
    saved->bitmap = s_->bitmap;
    saved->textColor = s_->textColor;
    saved->bkColor = s_->bkColor;
    saved->bkMode = s_->bkMode;
    saved->textAlign = s_->textAlign;
    saved->pos = s_->pos;
    saved->org = s_->org;
    saved->hasClip = s_->hasClip;
    saved->clip = s_->clip;
    s_->saved.push_back(std::move(saved));
    return static_cast<int>(s_->saved.size());
}

BOOL CDC::RestoreDC(int level) {
    const int n = static_cast<int>(s_->saved.size());
    if (level < 0) level = n + 1 + level;
    if (level < 1 || level > n) return FALSE;
    std::unique_ptr<State::Saved> saved = std::move(s_->saved[level - 1]);
    s_->saved.resize(level - 1);
    s_->pen = saved->pen;
    s_->brush = saved->brush;
    s_->font = saved->font;
    if (s_->memory) s_->bitmap = saved->bitmap;
    s_->textColor = saved->textColor;
    s_->bkColor = saved->bkColor;
    s_->bkMode = saved->bkMode;
    s_->textAlign = saved->textAlign;
    s_->pos = saved->pos;
    s_->org = saved->org;
    s_->hasClip = saved->hasClip;
    s_->clip = saved->clip;
    return TRUE;
}

namespace gdi {
namespace {
int screenWidth = 1920;
int screenHeight = 1080;
}  // namespace
void SetScreenSize(int width, int height) {
    screenWidth = width;
    screenHeight = height;
}
}  // namespace gdi

int CDC::GetDeviceCaps(int index) const {
    switch (index) {
        case HORZRES:
            return gdi::screenWidth;
        case VERTRES:
            return gdi::screenHeight;
        case BITSPIXEL: {
            auto s = s_->Target();
            return s && s->IsMono() ? 1 : 32;
        }
        case LOGPIXELSX:
        case LOGPIXELSY:
            return 96;
        default:
            return 0;
    }
}

// ---- pixels, lines, shapes ----

COLORREF CDC::SetPixel(int x, int y, COLORREF color) {
    SurfaceLock t(*s_);
    if (!t.ok()) return CLR_INVALID;
    const uint32_t px = gdi::PixelFor(color, t.mono());
    const int dx = x + s_->org.x, dy = y + s_->org.y;
    if (!t.clip().PtInRect(CPoint(dx, dy))) return CLR_INVALID;
    t.Plot(dx, dy, px);
    return gdi::ColorFromPixel(px);
}

COLORREF CDC::GetPixel(int x, int y) const {
    auto surface = s_->Target();
    if (!surface) return CLR_INVALID;
    std::lock_guard<std::mutex> lock(surface->Mutex());
    const int dx = x + s_->org.x, dy = y + s_->org.y;
    if (dx < 0 || dy < 0 || dx >= surface->Width() || dy >= surface->Height()) return CLR_INVALID;
    return gdi::ColorFromPixel(surface->Row(dy)[dx]);
}

CPoint CDC::MoveTo(int x, int y) {
    CPoint prev = s_->pos;
    s_->pos = CPoint(x, y);
    return prev;
}

CPoint CDC::GetCurrentPosition() const { return s_->pos; }

BOOL CDC::LineTo(int x, int y) {
    const CPoint from = s_->pos;
    s_->pos = CPoint(x, y);
    const GdiObject* pen = s_->pen.get();
    if (!pen) return FALSE;
    if (pen->penStyle == PS_NULL) return TRUE;
    SurfaceLock t(*s_);
    if (!t.ok()) return FALSE;
    const uint32_t px = gdi::PixelFor(pen->penColor, t.mono());
    const int ox = s_->org.x, oy = s_->org.y;
    if (pen->penWidth <= 1) {
        ThinLine(t, from.x + ox, from.y + oy, x + ox, y + oy, px);
    } else {
        WideLine(t, from.x + ox, from.y + oy, x + ox, y + oy, pen->penWidth, px);
    }
    return TRUE;
}

BOOL CDC::Polyline(const POINT* points, int count) {
    if (!points || count < 2) return FALSE;
    const CPoint keep = s_->pos;
    MoveTo(points[0]);
    for (int i = 1; i < count; ++i) LineTo(points[i]);
    s_->pos = keep;
    return TRUE;
}

BOOL CDC::Rectangle(int l, int t, int r, int b) {
    CRect rc = Normalized(l, t, r, b);
    rc.OffsetRect(s_->org);
    const GdiObject* pen = s_->pen.get();
    const GdiObject* brush = s_->brush.get();
    if (!pen || !brush) return FALSE;
    SurfaceLock lock(*s_);
    if (!lock.ok()) return FALSE;
    const bool nullPen = pen->penStyle == PS_NULL;
    if (nullPen) {
        if (!brush->brushNull)
            lock.Fill(CRect(rc.left, rc.top, rc.right - 1, rc.bottom - 1),
                      gdi::PixelFor(brush->brushColor, lock.mono()));
        return TRUE;
    }
    if (rc.Width() < 1 || rc.Height() < 1) return TRUE;
    if (!brush->brushNull)
        lock.Fill(CRect(rc.left + 1, rc.top + 1, rc.right - 1, rc.bottom - 1),
                  gdi::PixelFor(brush->brushColor, lock.mono()));
    const uint32_t px = gdi::PixelFor(pen->penColor, lock.mono());
    if (pen->penWidth <= 1) {
        lock.Span(rc.left, rc.right, rc.top, px);
        lock.Span(rc.left, rc.right, rc.bottom - 1, px);
        for (int y = rc.top + 1; y < rc.bottom - 1; ++y) {
            lock.Plot(rc.left, y, px);
            lock.Plot(rc.right - 1, y, px);
        }
    } else {
        const int r = rc.right - 1, bo = rc.bottom - 1;
        WideLine(lock, rc.left, rc.top, r, rc.top, pen->penWidth, px);
        WideLine(lock, r, rc.top, r, bo, pen->penWidth, px);
        WideLine(lock, r, bo, rc.left, bo, pen->penWidth, px);
        WideLine(lock, rc.left, bo, rc.left, rc.top, pen->penWidth, px);
    }
    return TRUE;
}

void CDC::FillRect(LPCRECT r, CBrush* brush) {
    if (!r || !brush || !brush->Object()) return;
    const GdiObject* b = brush->Object().get();
    if (b->kind != ObjKind::Brush || b->brushNull) return;
    CRect rc(*r);
    rc.OffsetRect(s_->org);
    SurfaceLock t(*s_);
    if (!t.ok()) return;
    t.Fill(rc, gdi::PixelFor(b->brushColor, t.mono()));
}

void CDC::FillSolidRect(LPCRECT r, COLORREF color) {
    if (!r) return;
    CRect rc(*r);
    rc.OffsetRect(s_->org);
    SurfaceLock t(*s_);
    if (!t.ok()) return;
    t.Fill(rc, gdi::PixelFor(color, t.mono()));
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color) {
    CRect rc(x, y, x + cx, y + cy);
    FillSolidRect(&rc, color);
}

void CDC::FrameRect(LPCRECT r, CBrush* brush) {
    if (!r || !brush || !brush->Object() || brush->Object()->brushNull) return;
    CRect rc(*r);
    if (rc.IsRectEmpty()) return;
    const COLORREF c = brush->Object()->brushColor;
    FillSolidRect(rc.left, rc.top, rc.Width(), 1, c);
    FillSolidRect(rc.left, rc.bottom - 1, rc.Width(), 1, c);
    FillSolidRect(rc.left, rc.top, 1, rc.Height(), c);
    FillSolidRect(rc.right - 1, rc.top, 1, rc.Height(), c);
}

void CDC::InvertRect(LPCRECT r) {
    if (r) PatBlt(r->left, r->top, r->right - r->left, r->bottom - r->top, DSTINVERT);
}

void CDC::Draw3dRect(LPCRECT r, COLORREF topLeft, COLORREF bottomRight) {
    if (!r) return;
    const CRect rc(*r);
    FillSolidRect(rc.left, rc.top, rc.Width() - 1, 1, topLeft);
    FillSolidRect(rc.left, rc.top, 1, rc.Height() - 1, topLeft);
    FillSolidRect(rc.right - 1, rc.top, 1, rc.Height(), bottomRight);
    FillSolidRect(rc.left, rc.bottom - 1, rc.Width(), 1, bottomRight);
}

void CDC::DrawFocusRect(LPCRECT r) {
    if (!r) return;
    CRect rc(*r);
    rc.OffsetRect(s_->org);
    if (rc.IsRectEmpty()) return;
    SurfaceLock t(*s_);
    if (!t.ok()) return;
    auto flip = [&](int x, int y) {
        if (!t.clip().PtInRect(CPoint(x, y))) return;
        uint32_t& p = t.surface().Row(y)[x];
        p = (p ^ 0xFFFFFFu) | 0xFF000000u;
    };
    // Every other pixel along the edge, starting at the top-left corner.
    int i = 0;
    for (int x = rc.left; x < rc.right; ++x, ++i)
        if (!(i & 1)) flip(x, rc.top);
    for (int y = rc.top + 1; y < rc.bottom; ++y, ++i)
        if (!(i & 1)) flip(rc.right - 1, y);
    for (int x = rc.right - 2; x >= rc.left; --x, ++i)
        if (!(i & 1) && rc.bottom - 1 > rc.top) flip(x, rc.bottom - 1);
    for (int y = rc.bottom - 2; y > rc.top; --y, ++i)
        if (!(i & 1) && rc.right - 1 > rc.left) flip(rc.left, y);
    t.MarkDirty(rc);
}
