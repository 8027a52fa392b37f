// Icons and cursors: .ico/.cur images (BITMAPINFOHEADER with doubled height, colour rows,
// then the one-bit AND mask), DrawIcon.
#include <cstring>
#include <map>
#include <mutex>
#include <set>

#include "platform/crt/resources.h"
#include "platform/gdi/internal.h"

namespace {

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Parses the first image of an .ico (type 1) or .cur (type 2) file.
std::unique_ptr<gdi::IconImage> ParseIcon(const uint8_t* p, size_t size, int wantType) {
    if (!p || size < 6 + 16) return nullptr;
    if (Le16(p) != 0) return nullptr;
    const int type = Le16(p + 2);
    if (type != 1 && type != 2) return nullptr;
    if (wantType && type != wantType) return nullptr;
    if (Le16(p + 4) < 1) return nullptr;
    const uint8_t* e = p + 6;
    const int hotX = Le16(e + 4), hotY = Le16(e + 6);
    const uint32_t bytes = Le32(e + 8), offset = Le32(e + 12);
    if (offset > size || bytes > size - offset || bytes < sizeof(BITMAPINFOHEADER)) return nullptr;
    const uint8_t* img = p + offset;
    BITMAPINFOHEADER h;
    std::memcpy(&h, img, sizeof h);
    if (h.biSize < sizeof h || h.biSize > bytes) return nullptr;
    if (h.biWidth <= 0 || h.biWidth > 256 || h.biHeight <= 0 || (h.biHeight & 1) ||
        h.biHeight / 2 > 256)
        return nullptr;
    const int w = h.biWidth, ht = h.biHeight / 2;
    const int colors = gdi::DibColorCount(h);
    if (colors < 0 || h.biCompression != BI_RGB) return nullptr;
    const size_t colorsAt = h.biSize;
    const size_t xorAt = colorsAt + static_cast<size_t>(colors) * 4;
    const size_t xorStride = ((static_cast<size_t>(w) * h.biBitCount + 31) / 32) * 4;
    const size_t andAt = xorAt + xorStride * ht;
    const size_t andStride = ((static_cast<size_t>(w) + 31) / 32) * 4;
    if (andAt + andStride * ht > bytes) return nullptr;
    std::vector<RGBQUAD> table(static_cast<size_t>(colors) + 1);
    if (colors) std::memcpy(table.data(), img + colorsAt, static_cast<size_t>(colors) * 4);
    BITMAPINFOHEADER colourHeader = h;
    colourHeader.biHeight = ht;
    gdi::DibSource dib;
    if (!dib.Init(colourHeader, table.data(), colors, img + xorAt, ht)) return nullptr;

    auto icon = std::make_unique<gdi::IconImage>();
    icon->width = w;
    icon->height = ht;
    icon->hotspotX = type == 2 ? hotX : w / 2;
    icon->hotspotY = type == 2 ? hotY : ht / 2;
    icon->argb.resize(static_cast<size_t>(w) * ht);
    icon->andMask.resize(static_cast<size_t>(w) * ht);
    for (int y = 0; y < ht; ++y) {
        const int stored = ht - 1 - y;  // rows are bottom-up
        const uint8_t* andRow = img + andAt + andStride * stored;
        const uint8_t* xorRow = img + xorAt + xorStride * stored;
        for (int x = 0; x < w; ++x) {
            const bool transparent = (andRow[x >> 3] >> (7 - (x & 7))) & 1;
            uint32_t px = dib.Pixel(x, stored) & 0xFFFFFFu;
            uint32_t alpha;
            if (h.biBitCount == 32) {
                alpha = xorRow[4 * x + 3];
            } else {
                alpha = transparent ? 0 : 255;
            }
            icon->argb[static_cast<size_t>(y) * w + x] = (alpha << 24) | px;
            icon->andMask[static_cast<size_t>(y) * w + x] = transparent ? 1 : 0;
        }
    }
    // A 32-bit image whose alpha is zero everywhere carries no alpha: the mask decides.
    if (h.biBitCount == 32) {
        bool anyAlpha = false;
        for (uint32_t v : icon->argb) anyAlpha |= (v >> 24) != 0;
        if (!anyAlpha)
            for (size_t i = 0; i < icon->argb.size(); ++i)
                icon->argb[i] |= icon->andMask[i] ? 0u : 0xFF000000u;
    }
    return icon;
}

std::mutex& IconMutex() {
    static std::mutex m;
    return m;
}

// Resource icons are kept for the program's life; created ones until DestroyIcon.
std::map<std::pair<int, int>, std::unique_ptr<gdi::IconImage>>& ResourceIcons() {
    static auto* m = new std::map<std::pair<int, int>, std::unique_ptr<gdi::IconImage>>;
    return *m;
}
std::map<const gdi::IconImage*, std::unique_ptr<gdi::IconImage>>& CreatedIcons() {
    static auto* m = new std::map<const gdi::IconImage*, std::unique_ptr<gdi::IconImage>>;
    return *m;
}

HICON LoadShared(int id, res::Kind kind, int type) {
    std::lock_guard<std::mutex> lock(IconMutex());
    const auto key = std::make_pair(id, type);
    auto& icons = ResourceIcons();
    auto it = icons.find(key);
    if (it != icons.end()) return it->second.get();
    const res::Resource* r = res::FindResource(id, kind);
    if (!r) return nullptr;
    auto icon = ParseIcon(r->data, r->size, type);
    if (!icon) return nullptr;
    HICON h = icon.get();
    icons[key] = std::move(icon);
    return h;
}

}  // namespace

HICON LoadIconResource(int id) { return LoadShared(id, res::Kind::Icon, 1); }
HCURSOR LoadCursorResource(int id) { return LoadShared(id, res::Kind::Cursor, 2); }

HICON CreateIconFromFile(const void* data, size_t size) {
    auto icon = ParseIcon(static_cast<const uint8_t*>(data), size, 0);
    if (!icon) return nullptr;
    std::lock_guard<std::mutex> lock(IconMutex());
    HICON h = icon.get();
    CreatedIcons()[h] = std::move(icon);
    return h;
}

BOOL DestroyIcon(HICON icon) {
    std::lock_guard<std::mutex> lock(IconMutex());
    return CreatedIcons().erase(icon) ? TRUE : FALSE;
}

const gdi::IconImage* GetIconImage(HICON icon) { return icon; }

BOOL CDC::DrawIcon(int x, int y, HICON icon) {
    if (!icon) return FALSE;
    gdi::SurfaceLock t(*s_);
    if (!t.ok()) return FALSE;
    const int dx = x + s_->org.x, dy = y + s_->org.y;
    CRect area(dx, dy, dx + icon->width, dy + icon->height), c;
    if (!c.IntersectRect(&area, &t.clip())) return TRUE;
    for (int yy = c.top; yy < c.bottom; ++yy) {
        uint32_t* row = t.surface().Row(yy);
        const size_t base = static_cast<size_t>(yy - dy) * icon->width;
        for (int xx = c.left; xx < c.right; ++xx) {
            const uint32_t s = icon->argb[base + (xx - dx)];
            const uint32_t a = s >> 24;
            if (a == 0) continue;
            uint32_t out;
            if (a == 255) {
                out = s;
            } else {
                const uint32_t d = row[xx];
                auto mix = [&](int shift) {
                    const uint32_t sc = (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
                    return ((sc * a + dc * (255 - a) + 127) / 255) << shift;
                };
                out = mix(16) | mix(8) | mix(0);
            }
            row[xx] =
                t.mono() ? gdi::PixelFor(gdi::ColorFromPixel(out), true) : (out | 0xFF000000u);
        }
    }
    t.MarkDirty(c);
    return TRUE;
}
