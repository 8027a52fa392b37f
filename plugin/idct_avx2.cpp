// The integer inverse DCT on AVX2: pass 1 with one column per 32-bit lane, a transpose, pass 2
// with one row per lane, a transpose back. Compiled with AVX2 enabled; called only where the
// processor has it.
#include <immintrin.h>

#include "plugin/idct.h"
#include "plugin/idct_constants.h"
#include "plugin/idct_pass.h"

namespace vantor {
namespace {

typedef std::uint32_t U8 __attribute__((vector_size(32)));
typedef std::int32_t S8 __attribute__((vector_size(32)));

inline void Transpose(U8* v) {
    __m256i t[8], u[8];
    for (int i = 0; i < 8; i += 2) {
        t[i] = _mm256_unpacklo_epi32((__m256i)v[i], (__m256i)v[i + 1]);
        t[i + 1] = _mm256_unpackhi_epi32((__m256i)v[i], (__m256i)v[i + 1]);
    }
    for (int i = 0; i < 8; i += 4) {
        u[i] = _mm256_unpacklo_epi64(t[i], t[i + 2]);
        u[i + 1] = _mm256_unpackhi_epi64(t[i], t[i + 2]);
        u[i + 2] = _mm256_unpacklo_epi64(t[i + 1], t[i + 3]);
        u[i + 3] = _mm256_unpackhi_epi64(t[i + 1], t[i + 3]);
    }
    for (int i = 0; i < 4; ++i) {
        v[i] = (U8)_mm256_permute2x128_si256(u[i], u[i + 4], 0x20);
        v[i + 4] = (U8)_mm256_permute2x128_si256(u[i], u[i + 4], 0x31);
    }
}

}  // namespace

void InverseDctAvx2(const std::int16_t* in, std::uint8_t* samples) {
    __m128i rows[8];
    for (int r = 0; r < 8; ++r) {
        rows[r] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 8 * r));
    }
    const __m128i lower =
        _mm_or_si128(_mm_or_si128(_mm_or_si128(rows[1], rows[2]), _mm_or_si128(rows[3], rows[4])),
                     _mm_or_si128(_mm_or_si128(rows[5], rows[6]), rows[7]));
    if (_mm_testz_si128(lower, lower)) {
        idctpass::FirstRowOnly(in, samples);
        return;
    }

    U8 x[8], y[8];
    for (int r = 0; r < 8; ++r) x[r] = (U8)_mm256_cvtepi16_epi32(rows[r]);
    idctpass::Pass(x, y);
    for (int r = 0; r < 8; ++r)
        x[r] = idctpass::Sar<U8, S8>(y[r] + idctconst::kPass1Round, idctconst::kPass1Shift);
    Transpose(x);
    idctpass::Pass(x, y);
    for (int c = 0; c < 8; ++c)
        y[c] = idctpass::Sar<U8, S8>(y[c] + idctconst::kPass2Round, idctconst::kPass2Shift) +
               idctconst::kSampleOffset;
    Transpose(y);
    // Signed saturation to 16 bits and unsigned saturation to 8 clamp to 0..255 as the scalar
    // clamp does; the packs interleave the 128-bit halves, which the permutation undoes.
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    for (int r = 0; r < 8; r += 4) {
        const __m256i a = _mm256_packs_epi32((__m256i)y[r], (__m256i)y[r + 1]);
        const __m256i b = _mm256_packs_epi32((__m256i)y[r + 2], (__m256i)y[r + 3]);
        const __m256i bytes = _mm256_permutevar8x32_epi32(_mm256_packus_epi16(a, b), order);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(samples + 8 * r), bytes);
    }
}

}  // namespace vantor
