// The YCbCr to RGB conversion of a bitmap row on AVX2, 32 samples at a time in 16-bit lanes,
// written as blue, green, red triples. 65536 x Y is a multiple of 2^16, so
// (65536 x Y + t) >> 16 = Y + (t >> 16) with the same rounding toward minus infinity; the chroma
// part t >> 16 is formed exactly in 16-bit lanes, and the saturating pack clamps Y plus it to
// 0..255 as the scalar code does.
#include <immintrin.h>

#include "plugin/planes.h"

namespace vantor {
namespace {

// The chroma parts (t >> 16) of R, G and B for sixteen Cb and Cr samples less 128:
// 91881 = 65536 + 26345 and 116129 = 2 x 65536 - 14943 split each product into a whole multiple
// of 65536, which passes the shift as it is, and a 16-bit product whose high half is the rest;
// for green, -46801 x Cr - 22553 x Cb = -65536 x Cr + (18735 x Cr - 22553 x Cb), the bracket
// summed exactly in 32-bit lanes from (Cr, Cb) pairs.
inline void ChromaParts(__m256i cb, __m256i cr, __m256i* red, __m256i* green, __m256i* blue) {
    *red = _mm256_add_epi16(cr, _mm256_mulhi_epi16(cr, _mm256_set1_epi16(91881 - 65536)));
    *blue = _mm256_add_epi16(_mm256_add_epi16(cb, cb),
                             _mm256_mulhi_epi16(cb, _mm256_set1_epi16(116129 - 2 * 65536)));
    const auto crFactor = static_cast<std::uint16_t>(65536 - 46801);
    const auto cbFactor = static_cast<std::uint16_t>(-22553);
    const __m256i factors =
        _mm256_set1_epi32(static_cast<int>(crFactor | static_cast<std::uint32_t>(cbFactor) << 16));
    const __m256i low =
        _mm256_srai_epi32(_mm256_madd_epi16(_mm256_unpacklo_epi16(cr, cb), factors), 16);
    const __m256i high =
        _mm256_srai_epi32(_mm256_madd_epi16(_mm256_unpackhi_epi16(cr, cb), factors), 16);
    *green = _mm256_sub_epi16(_mm256_packs_epi32(low, high), cr);
}

// 32 bytes as two vectors of sixteen 16-bit lanes, in order.
inline void Widen(__m256i v, __m256i* low, __m256i* high) {
    *low = _mm256_cvtepu8_epi16(_mm256_castsi256_si128(v));
    *high = _mm256_cvtepu8_epi16(_mm256_extracti128_si256(v, 1));
}

// Two vectors of sixteen 16-bit values back to 32 bytes in order, clamped to 0..255.
inline __m256i Narrow(__m256i low, __m256i high) {
    return _mm256_permute4x64_epi64(_mm256_packus_epi16(low, high), 0xD8);
}

// R, G and B of 32 samples.
inline void Convert32(__m256i y, __m256i cb, __m256i cr, __m256i* red, __m256i* green,
                      __m256i* blue) {
    const __m256i bias = _mm256_set1_epi16(128);
    __m256i yv[2], cbv[2], crv[2], r[2], g[2], b[2];
    Widen(y, &yv[0], &yv[1]);
    Widen(cb, &cbv[0], &cbv[1]);
    Widen(cr, &crv[0], &crv[1]);
    for (int h = 0; h < 2; ++h) {
        ChromaParts(_mm256_sub_epi16(cbv[h], bias), _mm256_sub_epi16(crv[h], bias), &r[h], &g[h],
                    &b[h]);
        r[h] = _mm256_add_epi16(yv[h], r[h]);
        g[h] = _mm256_add_epi16(yv[h], g[h]);
        b[h] = _mm256_add_epi16(yv[h], b[h]);
    }
    *red = Narrow(r[0], r[1]);
    *green = Narrow(g[0], g[1]);
    *blue = Narrow(b[0], b[1]);
}

// Sixteen pixels of blue, green and red bytes as 48 bytes of B, G, R triples.
inline void Interleave16(__m128i b, __m128i g, __m128i r, std::uint8_t* out) {
    // Output byte i takes pixel i / 3 from plane i % 3 (0 blue, 1 green, 2 red); -128 (bit 7
    // set) gives a zero byte, so the three shuffles can be ORed.
    const __m128i b0 =
        _mm_setr_epi8(0, -128, -128, 1, -128, -128, 2, -128, -128, 3, -128, -128, 4, -128, -128, 5);
    const __m128i g0 = _mm_setr_epi8(-128, 0, -128, -128, 1, -128, -128, 2, -128, -128, 3, -128,
                                     -128, 4, -128, -128);
    const __m128i r0 = _mm_setr_epi8(-128, -128, 0, -128, -128, 1, -128, -128, 2, -128, -128, 3,
                                     -128, -128, 4, -128);
    const __m128i b1 = _mm_setr_epi8(-128, -128, 6, -128, -128, 7, -128, -128, 8, -128, -128, 9,
                                     -128, -128, 10, -128);
    const __m128i g1 = _mm_setr_epi8(5, -128, -128, 6, -128, -128, 7, -128, -128, 8, -128, -128, 9,
                                     -128, -128, 10);
    const __m128i r1 = _mm_setr_epi8(-128, 5, -128, -128, 6, -128, -128, 7, -128, -128, 8, -128,
                                     -128, 9, -128, -128);
    const __m128i b2 = _mm_setr_epi8(-128, 11, -128, -128, 12, -128, -128, 13, -128, -128, 14, -128,
                                     -128, 15, -128, -128);
    const __m128i g2 = _mm_setr_epi8(-128, -128, 11, -128, -128, 12, -128, -128, 13, -128, -128, 14,
                                     -128, -128, 15, -128);
    const __m128i r2 = _mm_setr_epi8(10, -128, -128, 11, -128, -128, 12, -128, -128, 13, -128, -128,
                                     14, -128, -128, 15);
    const __m128i o0 = _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(b, b0), _mm_shuffle_epi8(g, g0)),
                                    _mm_shuffle_epi8(r, r0));
    const __m128i o1 = _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(b, b1), _mm_shuffle_epi8(g, g1)),
                                    _mm_shuffle_epi8(r, r1));
    const __m128i o2 = _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(b, b2), _mm_shuffle_epi8(g, g2)),
                                    _mm_shuffle_epi8(r, r2));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), o0);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16), o1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 32), o2);
}

}  // namespace

void ConvertRowToBgrAvx2(const std::uint8_t* y, const std::uint8_t* cb, const std::uint8_t* cr,
                         std::uint8_t* bgr, std::size_t width) {
    std::size_t x = 0;
    for (; x + 32 <= width; x += 32) {
        __m256i r, g, b;
        Convert32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(y + x)),
                  _mm256_loadu_si256(reinterpret_cast<const __m256i*>(cb + x)),
                  _mm256_loadu_si256(reinterpret_cast<const __m256i*>(cr + x)), &r, &g, &b);
        Interleave16(_mm256_castsi256_si128(b), _mm256_castsi256_si128(g),
                     _mm256_castsi256_si128(r), bgr + 3 * x);
        Interleave16(_mm256_extracti128_si256(b, 1), _mm256_extracti128_si256(g, 1),
                     _mm256_extracti128_si256(r, 1), bgr + 3 * x + 48);
    }
    ConvertRowToBgr(y + x, cb + x, cr + x, bgr + 3 * x, width - x);
}

}  // namespace vantor
