// The integer inverse DCT on SSE2: the block in two halves of four 32-bit lanes, pass 1 by
// columns, 4 x 4 transposes, pass 2 by rows, transposes back. Compiled with SSE2 enabled (which
// every 64-bit x86 processor has); the multiplications are formed from SSE2's 32 x 32 -> 64-bit
// ones by the compiler.
#include <emmintrin.h>

#include "plugin/idct.h"
#include "plugin/idct_constants.h"
#include "plugin/idct_pass.h"

namespace vantor {
namespace {

typedef std::uint32_t U4 __attribute__((vector_size(16)));
typedef std::int32_t S4 __attribute__((vector_size(16)));

// Transposes the 4 x 4 matrix a[0..3] into b[0..3].
inline void Transpose4(const U4* a, U4* b) {
    const __m128i t0 = _mm_unpacklo_epi32((__m128i)a[0], (__m128i)a[1]);
    const __m128i t1 = _mm_unpackhi_epi32((__m128i)a[0], (__m128i)a[1]);
    const __m128i t2 = _mm_unpacklo_epi32((__m128i)a[2], (__m128i)a[3]);
    const __m128i t3 = _mm_unpackhi_epi32((__m128i)a[2], (__m128i)a[3]);
    b[0] = (U4)_mm_unpacklo_epi64(t0, t2);
    b[1] = (U4)_mm_unpackhi_epi64(t0, t2);
    b[2] = (U4)_mm_unpacklo_epi64(t1, t3);
    b[3] = (U4)_mm_unpackhi_epi64(t1, t3);
}

// An 8 x 8 matrix held as left[r] (columns 0-3) and right[r] (columns 4-7), transposed in place.
inline void Transpose(U4* left, U4* right) {
    U4 l[8], r[8];
    Transpose4(left, l);           // rows 0-3, columns 0-3 -> rows 0-3 of the result's left
    Transpose4(right, l + 4);      // rows 0-3, columns 4-7 -> rows 4-7 of the result's left
    Transpose4(left + 4, r);       // rows 4-7, columns 0-3 -> rows 0-3 of the result's right
    Transpose4(right + 4, r + 4);  // rows 4-7, columns 4-7 -> rows 4-7 of the result's right
    for (int i = 0; i < 8; ++i) {
        left[i] = l[i];
        right[i] = r[i];
    }
}

}  // namespace

void InverseDctSse2(const std::int16_t* in, std::uint8_t* samples) {
    __m128i rows[8];
    for (int r = 0; r < 8; ++r) {
        rows[r] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 8 * r));
    }
    __m128i lower =
        _mm_or_si128(_mm_or_si128(_mm_or_si128(rows[1], rows[2]), _mm_or_si128(rows[3], rows[4])),
                     _mm_or_si128(_mm_or_si128(rows[5], rows[6]), rows[7]));
    lower = _mm_cmpeq_epi8(lower, _mm_setzero_si128());
    if (_mm_movemask_epi8(lower) == 0xFFFF) {
        idctpass::FirstRowOnly(in, samples);
        return;
    }

    U4 left[8], right[8], yl[8], yr[8];
    for (int r = 0; r < 8; ++r) {
        // Sign extension of 16-bit lanes to 32 bits.
        left[r] = (U4)_mm_srai_epi32(_mm_unpacklo_epi16(rows[r], rows[r]), 16);
        right[r] = (U4)_mm_srai_epi32(_mm_unpackhi_epi16(rows[r], rows[r]), 16);
    }
    idctpass::Pass(left, yl);
    idctpass::Pass(right, yr);
    for (int r = 0; r < 8; ++r) {
        left[r] = idctpass::Sar<U4, S4>(yl[r] + idctconst::kPass1Round, idctconst::kPass1Shift);
        right[r] = idctpass::Sar<U4, S4>(yr[r] + idctconst::kPass1Round, idctconst::kPass1Shift);
    }
    Transpose(left, right);  // left[c]: rows 0-3 of column c; right[c]: rows 4-7
    idctpass::Pass(left, yl);
    idctpass::Pass(right, yr);
    for (int c = 0; c < 8; ++c) {
        yl[c] = idctpass::Sar<U4, S4>(yl[c] + idctconst::kPass2Round, idctconst::kPass2Shift) +
                idctconst::kSampleOffset;
        yr[c] = idctpass::Sar<U4, S4>(yr[c] + idctconst::kPass2Round, idctconst::kPass2Shift) +
                idctconst::kSampleOffset;
    }
    Transpose(yl, yr);  // yl[r]: columns 0-3 of row r; yr[r]: columns 4-7
    for (int r = 0; r < 8; r += 2) {
        const __m128i a = _mm_packs_epi32((__m128i)yl[r], (__m128i)yr[r]);
        const __m128i b = _mm_packs_epi32((__m128i)yl[r + 1], (__m128i)yr[r + 1]);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(samples + 8 * r), _mm_packus_epi16(a, b));
    }
}

}  // namespace vantor
