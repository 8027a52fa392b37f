// The YCbCr to RGB conversion of a bitmap row on AVX2, 32 samples at a time in 32-bit lanes,
// written as blue, green, red triples. 65536 x Y is a
// multiple of 2^16, so (65536 x Y + t) >> 16 = Y + (t >> 16) with the same rounding toward minus
// infinity; the saturating packs clamp to 0..255 as the scalar code does.
#include <immintrin.h>

#include "plugin/planes.h"

namespace vantor {
namespace {

// Eight 32-bit lanes of bytes 8q to 8q + 7 of `v`.
inline __m256i Widen(__m256i v, int q) {
    const __m128i half = q < 2 ? _mm256_castsi256_si128(v) : _mm256_extracti128_si256(v, 1);
    return _mm256_cvtepu8_epi32(q % 2 == 0 ? half : _mm_srli_si128(half, 8));
}

// Four vectors of eight 32-bit values back to 32 bytes in order, clamped to 0..255.
inline __m256i Narrow(const __m256i* v) {
    const __m256i a = _mm256_packs_epi32(v[0], v[1]);
    const __m256i b = _mm256_packs_epi32(v[2], v[3]);
    return _mm256_permutevar8x32_epi32(_mm256_packus_epi16(a, b),
                                       _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
}

// R, G and B of 32 samples.
inline void Convert32(__m256i y, __m256i cb, __m256i cr, __m256i* red, __m256i* green,
                      __m256i* blue) {
    const __m256i bias = _mm256_set1_epi32(128);
    const __m256i crToR = _mm256_set1_epi32(91881);
    const __m256i crToG = _mm256_set1_epi32(-46801);
    const __m256i cbToG = _mm256_set1_epi32(-22553);
    const __m256i cbToB = _mm256_set1_epi32(116129);
    __m256i r[4], g[4], b[4];
    for (int q = 0; q < 4; ++q) {
        const __m256i yq = Widen(y, q);
        const __m256i cbq = _mm256_sub_epi32(Widen(cb, q), bias);
        const __m256i crq = _mm256_sub_epi32(Widen(cr, q), bias);
        r[q] = _mm256_add_epi32(yq, _mm256_srai_epi32(_mm256_mullo_epi32(crq, crToR), 16));
        g[q] =
            _mm256_add_epi32(yq, _mm256_srai_epi32(_mm256_add_epi32(_mm256_mullo_epi32(crq, crToG),
                                                                    _mm256_mullo_epi32(cbq, cbToG)),
                                                   16));
        b[q] = _mm256_add_epi32(yq, _mm256_srai_epi32(_mm256_mullo_epi32(cbq, cbToB), 16));
    }
    *red = Narrow(r);
    *green = Narrow(g);
    *blue = Narrow(b);
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
