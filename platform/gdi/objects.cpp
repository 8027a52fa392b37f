// GDI objects: pens, brushes, fonts and bitmaps, their wrappers and the stock objects.
#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <vector>

#include "platform/crt/resources.h"
#include "platform/gdi/internal.h"

// Lets the stock table and the temporary wrappers reach the protected setter.
struct GdiObjectAccess {
    static void Bind(CGdiObject* w, std::shared_ptr<gdi::GdiObject> obj) { w->Set(std::move(obj)); }
};

namespace gdi {
namespace {

std::mutex& WrapperMutex() {
    static std::mutex m;
    return m;
}

std::map<GdiObject*, std::shared_ptr<GdiObject>>& Orphans() {
    static auto* m = new std::map<GdiObject*, std::shared_ptr<GdiObject>>;
    return *m;
}

constexpr int kDefaultBitmap = 21;

CGdiObject* NewWrapper(ObjKind kind) {
    switch (kind) {
        case ObjKind::Pen:
            return new CPen;
        case ObjKind::Brush:
            return new CBrush;
        case ObjKind::Font:
            return new CFont;
        case ObjKind::Bitmap:
            return new CBitmap;
    }
    return new CGdiObject;
}

struct StockTable {
    std::shared_ptr<GdiObject> objects[22];
    StockTable() {
        objects[WHITE_BRUSH] = MakeBrush(false, RGB(255, 255, 255));
        objects[LTGRAY_BRUSH] = MakeBrush(false, RGB(192, 192, 192));
        objects[GRAY_BRUSH] = MakeBrush(false, RGB(128, 128, 128));
        objects[DKGRAY_BRUSH] = MakeBrush(false, RGB(64, 64, 64));
        objects[BLACK_BRUSH] = MakeBrush(false, RGB(0, 0, 0));
        objects[NULL_BRUSH] = MakeBrush(true, 0);
        objects[WHITE_PEN] = MakePen(PS_SOLID, 1, RGB(255, 255, 255));
        objects[BLACK_PEN] = MakePen(PS_SOLID, 1, RGB(0, 0, 0));
        objects[NULL_PEN] = MakePen(PS_NULL, 1, 0);
        objects[SYSTEM_FONT] = MakeFont(SystemLogFont());
        objects[DEFAULT_GUI_FONT] = MakeFont(DialogLogFont());
        objects[kDefaultBitmap] = MakeBitmap(1, 1, true);
        for (auto& o : objects) {
            if (!o) continue;
            o->stock = true;
            // Stock wrappers live as long as the program.
            GdiObjectAccess::Bind(NewWrapper(o->kind), o);
        }
    }
};

StockTable& Stock() {
    static StockTable* table = new StockTable;
    return *table;
}

}  // namespace

std::shared_ptr<GdiObject> MakePen(int style, int width, COLORREF color) {
    auto o = std::make_shared<GdiObject>(ObjKind::Pen);
    o->penStyle = style;
    o->penWidth = std::max(width, 1);
    o->penColor = color & 0xFFFFFF;
    return o;
}

std::shared_ptr<GdiObject> MakeBrush(bool null, COLORREF color) {
    auto o = std::make_shared<GdiObject>(ObjKind::Brush);
    o->brushNull = null;
    o->brushColor = color & 0xFFFFFF;
    return o;
}

std::shared_ptr<GdiObject> MakeFont(const LOGFONT& lf) {
    auto o = std::make_shared<GdiObject>(ObjKind::Font);
    o->logFont = lf;
    o->logFont.lfFaceName[LF_FACESIZE - 1] = '\0';
    o->font = OpenFont(o->logFont);
    if (!o->font) return nullptr;
    return o;
}

std::shared_ptr<GdiObject> MakeBitmap(int width, int height, bool mono) {
    if (width <= 0 || height <= 0 || width > 32767 || height > 32767) return nullptr;
    auto o = std::make_shared<GdiObject>(ObjKind::Bitmap);
    o->surface = std::make_shared<Surface>(width, height,
                                           mono ? Surface::Format::Mono : Surface::Format::Rgb32);
    return o;
}

std::shared_ptr<GdiObject> StockObject(int index) {
    if (index == -1) index = kDefaultBitmap;
    if (index < 0 || index >= 22) return nullptr;
    return Stock().objects[index];
}

CGdiObject* WrapperFor(const std::shared_ptr<GdiObject>& obj) {
    if (!obj) return nullptr;
    {
        std::lock_guard<std::mutex> lock(WrapperMutex());
        if (obj->wrapper) return obj->wrapper;
    }
    // A wrapper of its own that holds the object from now on; kept for the program's life
    // because callers may hand it back to SelectObject at any later time.
    std::unique_ptr<CGdiObject> w(NewWrapper(obj->kind));
    GdiObjectAccess::Bind(w.get(), obj);
    std::lock_guard<std::mutex> lock(WrapperMutex());
    static auto* kept = new std::vector<std::unique_ptr<CGdiObject>>;
    kept->push_back(std::move(w));
    return obj->wrapper;
}

void HoldOrphan(const std::shared_ptr<GdiObject>& obj) {
    std::lock_guard<std::mutex> lock(WrapperMutex());
    Orphans()[obj.get()] = obj;
}

bool ReleaseOrphan(HGDIOBJ handle) {
    std::lock_guard<std::mutex> lock(WrapperMutex());
    return Orphans().erase(handle) > 0;
}

// ---- device-independent bitmap rows ----

int DibColorCount(const BITMAPINFOHEADER& h) {
    switch (h.biBitCount) {
        case 1:
        case 4:
        case 8: {
            const DWORD full = 1u << h.biBitCount;
            if (h.biClrUsed == 0) return static_cast<int>(full);
            if (h.biClrUsed > full) return -1;
            return static_cast<int>(h.biClrUsed);
        }
        case 24:
        case 32:
            return 0;
        default:
            return -1;
    }
}

bool DibSource::Init(const BITMAPINFOHEADER& h, const RGBQUAD* colors, size_t colorsAvailable,
                     const void* rowBits, size_t rows) {
    if (h.biSize < sizeof(BITMAPINFOHEADER)) return false;
    if (h.biCompression != BI_RGB) return false;
    if (h.biPlanes != 1) return false;
    if (h.biWidth <= 0 || h.biWidth > 32767) return false;
    if (h.biHeight == 0 || h.biHeight > 32767 || h.biHeight < -32767) return false;
    const int count = DibColorCount(h);
    if (count < 0) return false;
    if (static_cast<size_t>(count) > colorsAvailable) return false;
    if (!rowBits) return false;
    width = h.biWidth;
    height = h.biHeight > 0 ? h.biHeight : -h.biHeight;
    bottomUp = h.biHeight > 0;
    bpp = h.biBitCount;
    stride = ((static_cast<size_t>(width) * bpp + 31) / 32) * 4;
    bits = static_cast<const uint8_t*>(rowBits);
    bitsSize = stride * rows;
    paletteSize = count;
    for (int i = 0; i < count; ++i) {
        palette[i] = 0xFF000000u | (uint32_t(colors[i].rgbRed) << 16) |
                     (uint32_t(colors[i].rgbGreen) << 8) | colors[i].rgbBlue;
    }
    return true;
}

uint32_t DibSource::Pixel(int x, int row) const {
    const uint8_t* r = bits + stride * static_cast<size_t>(row);
    switch (bpp) {
        case 1: {
            const int i = (r[x >> 3] >> (7 - (x & 7))) & 1;
            return i < paletteSize ? palette[i] : 0xFF000000u;
        }
        case 4: {
            const int i = (x & 1) ? (r[x >> 1] & 0x0F) : (r[x >> 1] >> 4);
            return i < paletteSize ? palette[i] : 0xFF000000u;
        }
        case 8: {
            const int i = r[x];
            return i < paletteSize ? palette[i] : 0xFF000000u;
        }
        case 24: {
            const uint8_t* p = r + 3 * static_cast<size_t>(x);
            return 0xFF000000u | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
        }
        default: {
            const uint8_t* p = r + 4 * static_cast<size_t>(x);
            return 0xFF000000u | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
        }
    }
}

}  // namespace gdi

using gdi::GdiObject;
using gdi::ObjKind;

// ---- CGdiObject ----

CGdiObject::~CGdiObject() { DeleteObject(); }

void CGdiObject::Set(std::shared_ptr<GdiObject> obj) {
    DeleteObject();
    obj_ = std::move(obj);
    if (!obj_) return;
    std::lock_guard<std::mutex> lock(gdi::WrapperMutex());
    if (!obj_->wrapper) obj_->wrapper = this;
}

BOOL CGdiObject::DeleteObject() {
    if (!obj_) return FALSE;
    {
        std::lock_guard<std::mutex> lock(gdi::WrapperMutex());
        if (obj_->wrapper == this) obj_->wrapper = nullptr;
    }
    obj_.reset();
    return TRUE;
}

BOOL CGdiObject::Attach(HGDIOBJ handle) {
    if (!handle) return FALSE;
    std::shared_ptr<GdiObject> obj = handle->weak_from_this().lock();
    if (!obj) return FALSE;
    gdi::ReleaseOrphan(handle);
    Set(std::move(obj));
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    if (!obj_) return nullptr;
    HGDIOBJ h = obj_.get();
    if (!obj_->stock) gdi::HoldOrphan(obj_);
    DeleteObject();
    return h;
}

// ---- pens, brushes, fonts ----

BOOL CPen::CreatePen(int style, int width, COLORREF color) {
    Set(gdi::MakePen(style, width, color));
    return obj_ ? TRUE : FALSE;
}

BOOL CBrush::CreateSolidBrush(COLORREF color) {
    Set(gdi::MakeBrush(false, color));
    return TRUE;
}

BOOL CBrush::CreateStockObject(int index) {
    auto o = gdi::StockObject(index);
    if (!o || o->kind != ObjKind::Brush) return FALSE;
    Set(o);
    return TRUE;
}

BOOL CFont::CreateFontIndirect(const LOGFONT* lf) {
    if (!lf) return FALSE;
    Set(gdi::MakeFont(*lf));
    return obj_ ? TRUE : FALSE;
}

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight,
                       BYTE italic, BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision,
                       BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily,
                       const char* faceName) {
    LOGFONT lf{};
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = italic;
    lf.lfUnderline = underline;
    lf.lfStrikeOut = strikeOut;
    lf.lfCharSet = charSet;
    lf.lfOutPrecision = outPrecision;
    lf.lfClipPrecision = clipPrecision;
    lf.lfQuality = quality;
    lf.lfPitchAndFamily = pitchAndFamily;
    if (faceName) std::strncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
    return CreateFontIndirect(&lf);
}

BOOL CFont::CreatePointFont(int pointSize, const char* faceName, CDC*) {
    LOGFONT lf{};
    // Tenths of a point at 96 pixels per inch, rounded to the nearest pixel.
    lf.lfHeight = -((pointSize * 96 + 360) / 720);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    if (faceName) std::strncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
    return CreateFontIndirect(&lf);
}

int CFont::GetLogFont(LOGFONT* lf) const {
    if (!obj_ || !lf) return 0;
    *lf = obj_->logFont;
    return sizeof(LOGFONT);
}

BOOL CFont::CreateStockObject(int index) {
    auto o = gdi::StockObject(index);
    if (!o || o->kind != ObjKind::Font) return FALSE;
    Set(o);
    return TRUE;
}

// ---- bitmaps ----

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
    bool mono = false;
    if (dc) {
        const CDC::State& s = DcAccess::Of(*dc);
        if (s.memory && s.bitmap && s.bitmap->surface) mono = s.bitmap->surface->IsMono();
    }
    Set(gdi::MakeBitmap(width, height, mono));
    return obj_ ? TRUE : FALSE;
}

BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel,
                           const void* bits) {
    if (planes != 1 || (bitsPerPixel != 1 && bitsPerPixel != 32)) return FALSE;
    auto o = gdi::MakeBitmap(width, height, bitsPerPixel == 1);
    if (!o) return FALSE;
    if (bits) {
        gdi::Surface& s = *o->surface;
        const uint8_t* in = static_cast<const uint8_t*>(bits);
        if (bitsPerPixel == 1) {
            const size_t stride = ((static_cast<size_t>(width) + 15) / 16) * 2;
            for (int y = 0; y < height; ++y) {
                const uint8_t* r = in + stride * y;
                uint32_t* out = s.Row(y);
                for (int x = 0; x < width; ++x) {
                    out[x] = ((r[x >> 3] >> (7 - (x & 7))) & 1) ? 0xFFFFFFFFu : 0xFF000000u;
                }
            }
        } else {
            for (int y = 0; y < height; ++y) {
                uint32_t* out = s.Row(y);
                std::memcpy(out, in + static_cast<size_t>(y) * width * 4,
                            static_cast<size_t>(width) * 4);
                for (int x = 0; x < width; ++x) out[x] |= 0xFF000000u;
            }
        }
    }
    Set(std::move(o));
    return TRUE;
}

BOOL CBitmap::LoadBitmap(UINT resourceId) {
    const res::Resource* r = res::FindResource(static_cast<int>(resourceId), res::Kind::Bitmap);
    if (!r || !r->data) return FALSE;
    return LoadFromBmp(r->data, r->size);
}

BOOL CBitmap::LoadFromBmp(const void* data, size_t size) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    BITMAPFILEHEADER fh;
    BITMAPINFOHEADER ih;
    if (!p || size < sizeof fh + sizeof ih) return FALSE;
    std::memcpy(&fh, p, sizeof fh);
    std::memcpy(&ih, p + sizeof fh, sizeof ih);
    if (fh.bfType != 0x4D42) return FALSE;  // "BM"
    if (ih.biSize < sizeof ih || ih.biSize > size - sizeof fh) return FALSE;
    const size_t colorsAt = sizeof fh + ih.biSize;
    const int colorCount = gdi::DibColorCount(ih);
    if (colorCount < 0) return FALSE;
    const size_t colorsEnd = colorsAt + static_cast<size_t>(colorCount) * sizeof(RGBQUAD);
    if (colorsEnd > size) return FALSE;
    std::vector<RGBQUAD> colors(static_cast<size_t>(colorCount) + 1);
    if (colorCount) std::memcpy(colors.data(), p + colorsAt, colorCount * sizeof(RGBQUAD));
    const size_t bitsAt = fh.bfOffBits ? fh.bfOffBits : colorsEnd;
    if (bitsAt < colorsEnd || bitsAt > size) return FALSE;
    gdi::DibSource src;
    if (!src.Init(ih, colors.data(), colorCount, p + bitsAt, 0)) return FALSE;
    if (src.stride * src.height > size - bitsAt) return FALSE;
    auto o = gdi::MakeBitmap(src.width, src.height, false);
    if (!o) return FALSE;
    for (int y = 0; y < src.height; ++y) {
        uint32_t* out = o->surface->Row(y);
        const int row = src.bottomUp ? src.height - 1 - y : y;
        for (int x = 0; x < src.width; ++x) out[x] = src.Pixel(x, row);
    }
    Set(std::move(o));
    return TRUE;
}

int CBitmap::GetBitmap(BITMAP* bm) const {
    if (!obj_ || !obj_->surface || !bm) return 0;
    const gdi::Surface& s = *obj_->surface;
    bm->bmType = 0;
    bm->bmWidth = s.Width();
    bm->bmHeight = s.Height();
    bm->bmPlanes = 1;
    bm->bmBitsPixel = s.IsMono() ? 1 : 32;
    bm->bmWidthBytes = s.IsMono() ? ((s.Width() + 15) / 16) * 2 : s.Width() * 4;
    bm->bmBits = s.IsMono() ? nullptr : const_cast<uint32_t*>(s.Pixels());
    return sizeof(BITMAP);
}

CSize CBitmap::GetSize() const {
    if (!obj_ || !obj_->surface) return CSize();
    return CSize(obj_->surface->Width(), obj_->surface->Height());
}

std::shared_ptr<gdi::Surface> CBitmap::GetSurface() const { return obj_ ? obj_->surface : nullptr; }

// ---- free functions ----

HGDIOBJ GetStockObject(int index) { return gdi::StockObject(index).get(); }

BOOL DeleteObject(HGDIOBJ object) { return gdi::ReleaseOrphan(object) ? TRUE : FALSE; }

HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* bmi, UINT) {
    if (!header) return nullptr;
    const int w = header->biWidth;
    const int h = header->biHeight > 0 ? header->biHeight : -header->biHeight;
    bool mono = false;
    if (dc) {
        const CDC::State& s = DcAccess::Of(*dc);
        if (s.memory && s.bitmap && s.bitmap->surface) mono = s.bitmap->surface->IsMono();
    }
    auto o = gdi::MakeBitmap(w, h, mono);
    if (!o) return nullptr;
    if ((init & CBM_INIT) && bits && bmi) {
        gdi::DibSource src;
        const int colorCount = gdi::DibColorCount(bmi->bmiHeader);
        if (!src.Init(bmi->bmiHeader, bmi->bmiColors, colorCount < 0 ? 0 : colorCount, bits,
                      static_cast<size_t>(h)))
            return nullptr;
        const int cw = std::min(w, src.width);
        const int ch = std::min(h, src.height);
        for (int y = 0; y < ch; ++y) {
            uint32_t* out = o->surface->Row(y);
            const int row = src.bottomUp ? src.height - 1 - y : y;
            for (int x = 0; x < cw; ++x) {
                const uint32_t px = src.Pixel(x, row);
                out[x] = mono ? ((px & 0xFFFFFF) == 0xFFFFFF ? 0xFFFFFFFFu : 0xFF000000u) : px;
            }
        }
    }
    gdi::HoldOrphan(o);
    return o.get();
}

// ---- handles back to wrappers ----

namespace {
template <class T>
T* WrapperOfKind(HGDIOBJ handle, ObjKind kind) {
    if (!handle) return nullptr;
    std::shared_ptr<GdiObject> obj = handle->weak_from_this().lock();
    if (!obj || obj->kind != kind) return nullptr;
    return static_cast<T*>(gdi::WrapperFor(obj));
}
}  // namespace

CBrush* CBrush::FromHandle(HBRUSH brush) { return WrapperOfKind<CBrush>(brush, ObjKind::Brush); }
CPen* CPen::FromHandle(HPEN pen) { return WrapperOfKind<CPen>(pen, ObjKind::Pen); }
CFont* CFont::FromHandle(HFONT font) { return WrapperOfKind<CFont>(font, ObjKind::Font); }
CBitmap* CBitmap::FromHandle(HBITMAP bitmap) {
    return WrapperOfKind<CBitmap>(bitmap, ObjKind::Bitmap);
}

int CBrush::GetLogBrush(LOGBRUSH* lb) const {
    if (!obj_ || !lb || obj_->kind != ObjKind::Brush) return 0;
    lb->lbStyle = obj_->brushNull ? BS_NULL : BS_SOLID;
    lb->lbColor = obj_->brushColor;
    lb->lbHatch = 0;
    return sizeof(LOGBRUSH);
}

bool gdi::BrushInfo(HBRUSH brush, COLORREF* color, bool* hollow) {
    if (!brush) return false;
    std::shared_ptr<GdiObject> obj = brush->weak_from_this().lock();
    if (!obj || obj->kind != ObjKind::Brush) return false;
    if (color) *color = obj->brushColor;
    if (hollow) *hollow = obj->brushNull;
    return true;
}
