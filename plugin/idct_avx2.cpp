// The integer inverse DCT on AVX2: pass 1 with one column per 32-bit lane, a transpose, pass 2
// with one row per lane, a transpose back. Compiled with AVX2 enabled; called only where the
// processor has it.
//
// Pass 1 reads 16-bit coefficients, so each of its outputs, a sum of coefficients times
// constants modulo 2^32, is formed by multiply-adds of coefficient pairs with the constants
// combined per coefficient (the same sum in another order, exact modulo 2^32). Pass 2 reads
// 32-bit values and multiplies in 32-bit lanes as the scalar pass does.
#include <immintrin.h>

#include "plugin/idct.h"
#include "plugin/idct_constants.h"
#include "plugin/idct_pass.h"

namespace vantor {
namespace {

using namespace idctconst;

inline void Transpose(__m256i* v) {
    __m256i t[8], u[8];
#pragma GCC unroll 8
    for (int i = 0; i < 8; i += 2) {
        t[i] = _mm256_unpacklo_epi32(v[i], v[i + 1]);
        t[i + 1] = _mm256_unpackhi_epi32(v[i], v[i + 1]);
    }
#pragma GCC unroll 8
    for (int i = 0; i < 8; i += 4) {
        u[i] = _mm256_unpacklo_epi64(t[i], t[i + 2]);
        u[i + 1] = _mm256_unpackhi_epi64(t[i], t[i + 2]);
        u[i + 2] = _mm256_unpacklo_epi64(t[i + 1], t[i + 3]);
        u[i + 3] = _mm256_unpackhi_epi64(t[i + 1], t[i + 3]);
    }
#pragma GCC unroll 8
    for (int i = 0; i < 4; ++i) {
        v[i] = _mm256_permute2x128_si256(u[i], u[i + 4], 0x20);
        v[i + 4] = _mm256_permute2x128_si256(u[i], u[i + 4], 0x31);
    }
}

// Lane c holds the pair (a[c], b[c]) of two rows of 16-bit coefficients, c = 0 to 7.
inline __m256i Pairs(__m128i a, __m128i b) {
    return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_unpacklo_epi16(a, b)),
                                   _mm_unpackhi_epi16(a, b), 1);
}

// Lane c: a[c] x first + b[c] x second, for pairs from Pairs.
inline __m256i Madd(__m256i pairs, std::int32_t first, std::int32_t second) {
    const std::uint32_t factors = static_cast<std::uint16_t>(first) |
                                  static_cast<std::uint32_t>(static_cast<std::uint16_t>(second))
                                      << 16;
    return _mm256_madd_epi16(pairs, _mm256_set1_epi32(static_cast<int>(factors)));
}

constexpr std::int32_t S(std::uint32_t c) { return static_cast<std::int32_t>(c); }

// The scalar pass's products regrouped per input (a0 = x7, a1 = x5, a2 = x3, a3 = x1 there).
constexpr std::int32_t kOne = 1 << kConstBits;
constexpr std::int32_t kEven2 = S(kFix_0_541196100) + S(kFix_0_765366865);
constexpr std::int32_t kEven6 = S(kFix_0_541196100) - S(kFix_1_847759065);
constexpr std::int32_t kZ5 = S(kFix_1_175875602);
constexpr std::int32_t kZ5Z1 = kZ5 - S(kFix_0_899976223);
constexpr std::int32_t kZ5Z2 = kZ5 - S(kFix_2_562915447);
constexpr std::int32_t kZ5Z3 = kZ5 - S(kFix_1_961570560);
constexpr std::int32_t kZ5Z4 = kZ5 - S(kFix_0_390180644);
constexpr std::int32_t kOdd0 = S(kFix_0_298631336) - S(kFix_0_899976223) + kZ5Z3;
constexpr std::int32_t kOdd1 = S(kFix_2_053119869) - S(kFix_2_562915447) + kZ5Z4;
constexpr std::int32_t kOdd2 = S(kFix_3_072711026) - S(kFix_2_562915447) + kZ5Z3;
constexpr std::int32_t kOdd3 = S(kFix_1_501321110) - S(kFix_0_899976223) + kZ5Z4;

constexpr bool FitsIn16Bits(std::int32_t v) { return v >= -32768 && v <= 32767; }
static_assert(FitsIn16Bits(kOne) && FitsIn16Bits(kEven2) && FitsIn16Bits(kEven6) &&
                  FitsIn16Bits(kZ5Z1) && FitsIn16Bits(kZ5Z2) && FitsIn16Bits(kZ5Z3) &&
                  FitsIn16Bits(kZ5Z4) && FitsIn16Bits(kOdd0) && FitsIn16Bits(kOdd1) &&
                  FitsIn16Bits(kOdd2) && FitsIn16Bits(kOdd3),
              "multiply-add factors are 16-bit");

// The last step of both passes: the even part's sums and differences (t0 to t3) joined with the
// odd part (a0 to a3) into the eight outputs, in the order of the scalar passes.
inline void Combine(__m256i t0, __m256i t1, __m256i t2, __m256i t3, __m256i a0, __m256i a1,
                    __m256i a2, __m256i a3, __m256i* y) {
    const __m256i e10 = _mm256_add_epi32(t0, t3);
    const __m256i e13 = _mm256_sub_epi32(t0, t3);
    const __m256i e11 = _mm256_add_epi32(t1, t2);
    const __m256i e12 = _mm256_sub_epi32(t1, t2);

    y[0] = _mm256_add_epi32(e10, a3);
    y[7] = _mm256_sub_epi32(e10, a3);
    y[1] = _mm256_add_epi32(e11, a2);
    y[6] = _mm256_sub_epi32(e11, a2);
    y[2] = _mm256_add_epi32(e12, a1);
    y[5] = _mm256_sub_epi32(e12, a1);
    y[3] = _mm256_add_epi32(e13, a0);
    y[4] = _mm256_sub_epi32(e13, a0);
}

// Pass 1 over the columns of the eight rows of 16-bit coefficients.
inline void ColumnPass(const __m128i* rows, __m256i* y) {
    const __m256i p04 = Pairs(rows[0], rows[4]);
    const __m256i p26 = Pairs(rows[2], rows[6]);
    const __m256i p71 = Pairs(rows[7], rows[1]);
    const __m256i p35 = Pairs(rows[3], rows[5]);

    const __m256i t0 = Madd(p04, kOne, kOne);
    const __m256i t1 = Madd(p04, kOne, -kOne);
    const __m256i t2 = Madd(p26, S(kFix_0_541196100), kEven6);
    const __m256i t3 = Madd(p26, kEven2, S(kFix_0_541196100));

    const __m256i a0 = _mm256_add_epi32(Madd(p71, kOdd0, kZ5Z1), Madd(p35, kZ5Z3, kZ5));
    const __m256i a1 = _mm256_add_epi32(Madd(p71, kZ5, kZ5Z4), Madd(p35, kZ5Z2, kOdd1));
    const __m256i a2 = _mm256_add_epi32(Madd(p71, kZ5Z3, kZ5), Madd(p35, kOdd2, kZ5Z2));
    const __m256i a3 = _mm256_add_epi32(Madd(p71, kZ5Z1, kOdd3), Madd(p35, kZ5, kZ5Z4));

    Combine(t0, t1, t2, t3, a0, a1, a2, a3, y);
}

inline __m256i Mul(__m256i v, std::uint32_t factor) {
    return _mm256_mullo_epi32(v, _mm256_set1_epi32(static_cast<int>(factor)));
}

// Pass 2 over 32-bit values, step by step as the scalar pass.
inline void RowPass(const __m256i* x, __m256i* y) {
    __m256i z1 = Mul(_mm256_add_epi32(x[2], x[6]), kFix_0_541196100);
    const __m256i t2 = _mm256_sub_epi32(z1, Mul(x[6], kFix_1_847759065));
    const __m256i t3 = _mm256_add_epi32(z1, Mul(x[2], kFix_0_765366865));
    const __m256i t0 = _mm256_slli_epi32(_mm256_add_epi32(x[0], x[4]), kConstBits);
    const __m256i t1 = _mm256_slli_epi32(_mm256_sub_epi32(x[0], x[4]), kConstBits);

    __m256i a0 = x[7], a1 = x[5], a2 = x[3], a3 = x[1];
    z1 = _mm256_add_epi32(a0, a3);
    __m256i z2 = _mm256_add_epi32(a1, a2);
    __m256i z3 = _mm256_add_epi32(a0, a2);
    __m256i z4 = _mm256_add_epi32(a1, a3);
    const __m256i z5 = Mul(_mm256_add_epi32(z3, z4), kFix_1_175875602);
    a0 = Mul(a0, kFix_0_298631336);
    a1 = Mul(a1, kFix_2_053119869);
    a2 = Mul(a2, kFix_3_072711026);
    a3 = Mul(a3, kFix_1_501321110);
    z1 = Mul(z1, 0u - kFix_0_899976223);
    z2 = Mul(z2, 0u - kFix_2_562915447);
    z3 = _mm256_add_epi32(Mul(z3, 0u - kFix_1_961570560), z5);
    z4 = _mm256_add_epi32(Mul(z4, 0u - kFix_0_390180644), z5);
    a0 = _mm256_add_epi32(a0, _mm256_add_epi32(z1, z3));
    a1 = _mm256_add_epi32(a1, _mm256_add_epi32(z2, z4));
    a2 = _mm256_add_epi32(a2, _mm256_add_epi32(z2, z3));
    a3 = _mm256_add_epi32(a3, _mm256_add_epi32(z1, z4));

    Combine(t0, t1, t2, t3, a0, a1, a2, a3, y);
}

}  // namespace

void InverseDctAvx2(const std::int16_t* in, std::uint8_t* samples) {
    __m128i rows[8];
#pragma GCC unroll 8
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

    __m256i x[8], y[8];
    ColumnPass(rows, y);
    const __m256i round1 = _mm256_set1_epi32(static_cast<int>(kPass1Round));
#pragma GCC unroll 8
    for (int r = 0; r < 8; ++r)
        x[r] = _mm256_srai_epi32(_mm256_add_epi32(y[r], round1), kPass1Shift);
    Transpose(x);
    RowPass(x, y);
    const __m256i round2 = _mm256_set1_epi32(static_cast<int>(kPass2Round));
    const __m256i offset = _mm256_set1_epi32(static_cast<int>(kSampleOffset));
#pragma GCC unroll 8
    for (int c = 0; c < 8; ++c) {
        y[c] = _mm256_add_epi32(_mm256_srai_epi32(_mm256_add_epi32(y[c], round2), kPass2Shift),
                                offset);
    }
    Transpose(y);
    // Signed saturation to 16 bits and unsigned saturation to 8 clamp to 0..255 as the scalar
    // clamp does; the packs interleave the 128-bit halves, which the permutation undoes.
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
#pragma GCC unroll 8
    for (int r = 0; r < 8; r += 4) {
        const __m256i a = _mm256_packs_epi32(y[r], y[r + 1]);
        const __m256i b = _mm256_packs_epi32(y[r + 2], y[r + 3]);
        const __m256i bytes = _mm256_permutevar8x32_epi32(_mm256_packus_epi16(a, b), order);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(samples + 8 * r), bytes);
    }
}

}  // namespace vantor
