#include "plugin/planes.h"

#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <vector>

#include "plugin/jpeg_decoder.h"

namespace vantor {

void PlaceBlock(const BlockLayout& layout, std::uint32_t n, const std::uint8_t* samples) {
    const std::uint32_t blocksPerUnit = layout.unitWidth * layout.unitHeight;
    if (blocksPerUnit == 0 || layout.plane == nullptr || layout.unitsAcross == 0) return;
    const std::uint32_t unit = n / blocksPerUnit;
    const std::uint32_t inUnit = n % blocksPerUnit;
    const std::uint32_t unitColumn = unit % layout.unitsAcross;
    const std::uint32_t unitRow = unit / layout.unitsAcross;
    if (unitRow >= layout.unitsDown) return;

    const std::uint32_t sx = layout.repeatX;
    const std::uint32_t sy = layout.repeatY;
    const std::uint32_t bx = inUnit % layout.unitWidth;
    const std::uint32_t by = inUnit / layout.unitWidth;
    const std::size_t rowStart =
        static_cast<std::size_t>(layout.unitPixelHeight) * unitRow + 8u * sy * by;
    const std::size_t columnStart =
        static_cast<std::size_t>(layout.unitPixelWidth) * unitColumn + 8u * sx * bx;
    const std::size_t stride = layout.paddedWidth;
    std::uint8_t* origin = layout.plane + rowStart * stride + columnStart;

    if (sx == 1 && sy == 1) {
        for (int r = 0; r < 8; ++r) std::memcpy(origin + r * stride, samples + r * 8, 8);
        return;
    }
    for (std::uint32_t r = 0; r < 8; ++r) {
        std::uint8_t* first = origin + static_cast<std::size_t>(r) * sy * stride;
        const std::uint8_t* src = samples + r * 8;
        if (sx == 2) {
            for (int c = 0; c < 8; ++c) first[2 * c] = first[2 * c + 1] = src[c];
        } else {
            for (std::uint32_t c = 0; c < 8; ++c) std::memset(first + c * sx, src[c], sx);
        }
        for (std::uint32_t dy = 1; dy < sy; ++dy) std::memcpy(first + dy * stride, first, 8u * sx);
    }
}

namespace {

inline std::uint8_t ClampByte(std::int32_t v) {
    return static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

}  // namespace

void ConvertYCbCrToRgb(std::uint8_t* p0, std::uint8_t* p1, std::uint8_t* p2, std::size_t count) {
    // 1.402, 0.71414, 0.34414 and 1.772 in 16.16 fixed point. With 8-bit operands every sum
    // stays well inside 32 bits.
    for (std::size_t i = 0; i < count; ++i) {
        const std::int32_t y = p0[i];
        const std::int32_t cb = static_cast<std::int32_t>(p1[i]) - 128;
        const std::int32_t cr = static_cast<std::int32_t>(p2[i]) - 128;
        const std::int32_t r = (65536 * y + 91881 * cr) >> 16;
        const std::int32_t g = (65536 * y - 46801 * cr - 22553 * cb) >> 16;
        const std::int32_t b = (65536 * y + 116129 * cb) >> 16;
        p0[i] = ClampByte(r);
        p1[i] = ClampByte(g);
        p2[i] = ClampByte(b);
    }
}

std::uint64_t BitmapStride(std::uint32_t width) {
    return (static_cast<std::uint64_t>(width) * 24 + 31) / 32 * 4;
}

std::uint64_t BitmapBytes(std::uint32_t width, std::uint32_t height) {
    return 40 + BitmapStride(width) * height;
}

namespace {

void PutU16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void PutU32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

void ConvertRowToBgr(const std::uint8_t* y, const std::uint8_t* cb, const std::uint8_t* cr,
                     std::uint8_t* bgr, std::size_t width) {
    for (std::size_t x = 0; x < width; ++x) {
        std::uint8_t r = y[x], g = cb[x], b = cr[x];
        ConvertYCbCrToRgb(&r, &g, &b, 1);
        bgr[3 * x + 0] = b;
        bgr[3 * x + 1] = g;
        bgr[3 * x + 2] = r;
    }
}

const std::uint8_t* ExpandRow(const std::uint8_t* row, std::uint32_t repeat, std::uint32_t width,
                              std::uint8_t* scratch) {
    if (repeat == 1) return row;
    if (repeat == 2) {
        std::uint32_t x = 0;
#ifdef __SSE2__
        // Sixteen samples become 32, each twice.
        for (; x + 32 <= width; x += 32) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x / 2));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(scratch + x), _mm_unpacklo_epi8(v, v));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(scratch + x + 16), _mm_unpackhi_epi8(v, v));
        }
#endif
        for (; x < width; ++x) scratch[x] = row[x / 2];
        return scratch;
    }
    for (std::uint32_t x = 0, source = 0; x < width; source++) {
        for (std::uint32_t k = 0; k < repeat && x < width; ++k) scratch[x++] = row[source];
    }
    return scratch;
}

namespace {

// Row `y` of plane p at full width: the plane's own row, or its samples repeated.
const std::uint8_t* FullRow(const ImageInfo& info, int p, std::uint32_t y, std::uint8_t* scratch) {
    const std::uint32_t rx = info.repeatX[p];
    const std::size_t stride = info.paddedWidth / rx;
    const std::uint8_t* row =
        info.planes[p] + static_cast<std::size_t>(y / info.repeatY[p]) * stride;
    return ExpandRow(row, rx, info.width, scratch);
}

// The bitmap rows from planes that hold Y, Cb and Cr or components at their own resolution.
void ConvertIntoBitmap(const ImageInfo& info, std::uint8_t* pixels, std::size_t stride) {
    static const RowConversion convert = [] {
        const RowConversion vector = VectorRowToBgr();
        return vector != nullptr ? vector : ConvertRowToBgr;
    }();
    std::vector<std::uint8_t> scratch(3 * static_cast<std::size_t>(info.width));
    for (std::uint32_t y = 0; y < info.height; ++y) {
        const std::uint8_t* rows[3];
        for (int p = 0; p < 3; ++p) {
            rows[p] =
                FullRow(info, p, y, scratch.data() + static_cast<std::size_t>(p) * info.width);
        }
        std::uint8_t* out = pixels + static_cast<std::size_t>(info.height - 1 - y) * stride;
        if (info.ycbcr) {
            convert(rows[0], rows[1], rows[2], out, info.width);
            continue;
        }
        for (std::uint32_t x = 0; x < info.width; ++x) {
            out[3 * x + 0] = rows[2][x];
            out[3 * x + 1] = rows[1][x];
            out[3 * x + 2] = rows[0][x];
        }
    }
}

}  // namespace

HGLOBAL AllocateBitmap(std::uint32_t width, std::uint32_t height, std::uint8_t** pixels) {
    const std::uint64_t bytes = BitmapBytes(width, height);
    if (bytes > SIZE_MAX || width > 0x7FFFFFFFu || height > 0x7FFFFFFFu) return nullptr;
    // Every pixel byte is written later; only the header's zero fields and the padding at the end
    // of each row are cleared here, so the block is as a cleared one would be.
    HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE, static_cast<std::size_t>(bytes));
    if (handle == nullptr) return nullptr;
    auto* base = static_cast<std::uint8_t*>(GlobalLock(handle));
    if (base == nullptr) {
        GlobalFree(handle);
        return nullptr;
    }
    std::memset(base, 0, 40);
    const std::size_t stride = static_cast<std::size_t>(BitmapStride(width));
    const std::size_t used = 3 * static_cast<std::size_t>(width);
    for (std::uint32_t y = 0; stride > used && y < height; ++y) {
        std::memset(base + 40 + y * stride + used, 0, stride - used);
    }
    PutU32(base + 0, 40);
    PutU32(base + 4, width);
    PutU32(base + 8, height);
    PutU16(base + 12, 1);
    PutU16(base + 14, 24);
    // Compression, image size, resolutions and colour counts stay 0 (BI_RGB, no table).
    *pixels = base + 40;
    return handle;
}

HGLOBAL BuildBitmap(const ImageInfo& info) {
    std::uint8_t* pixels = nullptr;
    HGLOBAL handle = AllocateBitmap(info.width, info.height, &pixels);
    if (handle == nullptr) return nullptr;
    std::uint8_t* base = pixels - 40;

    const std::size_t stride = static_cast<std::size_t>(BitmapStride(info.width));
    bool fullSize = true;
    for (int p = 0; p < 3; ++p) fullSize = fullSize && info.repeatX[p] == 1 && info.repeatY[p] == 1;
    if (info.ycbcr || !fullSize) {
        ConvertIntoBitmap(info, base + 40, stride);
        return handle;
    }
    const std::uint8_t* red = info.planes[0];
    const std::uint8_t* green = info.planes[1];
    const std::uint8_t* blue = info.planes[2];
    for (std::uint32_t y = 0; y < info.height; ++y) {
        std::uint8_t* out = base + 40 + static_cast<std::size_t>(info.height - 1 - y) * stride;
        const std::size_t row = static_cast<std::size_t>(y) * info.paddedWidth;
        for (std::uint32_t x = 0; x < info.width; ++x) {
            out[3 * x + 0] = blue[row + x];
            out[3 * x + 1] = green[row + x];
            out[3 * x + 2] = red[row + x];
        }
    }
    return handle;
}

}  // namespace vantor
