#include "plugin/idct.h"

#include <cstring>

#include "plugin/idct_constants.h"

namespace vantor {

const std::uint8_t kZigZag[64] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63,
};

namespace {

using namespace idctconst;

// Two's complement 32-bit words: products and sums wrap, shifts are arithmetic.
using Word = std::uint32_t;

inline Word W(std::int32_t v) { return static_cast<Word>(v); }
inline std::int32_t Sar(Word v, int bits) { return static_cast<std::int32_t>(v) >> bits; }

// One 8-point pass; y[0..7] are the outputs before scaling.
inline void Pass(Word x0, Word x1, Word x2, Word x3, Word x4, Word x5, Word x6, Word x7, Word* y) {
    // Even part.
    Word z1 = (x2 + x6) * kFix_0_541196100;
    const Word t2 = z1 - x6 * kFix_1_847759065;
    const Word t3 = z1 + x2 * kFix_0_765366865;
    const Word t0 = (x0 + x4) << kConstBits;
    const Word t1 = (x0 - x4) << kConstBits;
    const Word e10 = t0 + t3;
    const Word e13 = t0 - t3;
    const Word e11 = t1 + t2;
    const Word e12 = t1 - t2;

    // Odd part.
    Word a0 = x7, a1 = x5, a2 = x3, a3 = x1;
    z1 = a0 + a3;
    Word z2 = a1 + a2;
    Word z3 = a0 + a2;
    Word z4 = a1 + a3;
    const Word z5 = (z3 + z4) * kFix_1_175875602;
    a0 *= kFix_0_298631336;
    a1 *= kFix_2_053119869;
    a2 *= kFix_3_072711026;
    a3 *= kFix_1_501321110;
    z1 *= W(-static_cast<std::int32_t>(kFix_0_899976223));
    z2 *= W(-static_cast<std::int32_t>(kFix_2_562915447));
    z3 *= W(-static_cast<std::int32_t>(kFix_1_961570560));
    z4 *= W(-static_cast<std::int32_t>(kFix_0_390180644));
    z3 += z5;
    z4 += z5;
    a0 += z1 + z3;
    a1 += z2 + z4;
    a2 += z2 + z3;
    a3 += z1 + z4;

    y[0] = e10 + a3;
    y[7] = e10 - a3;
    y[1] = e11 + a2;
    y[6] = e11 - a2;
    y[2] = e12 + a1;
    y[5] = e12 - a1;
    y[3] = e13 + a0;
    y[4] = e13 - a0;
}

inline std::uint8_t ClampSample(std::int32_t v) {
    return static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

}  // namespace

void IntegerInverseDct(const std::int16_t* in, std::uint8_t* samples) {
    // A block with only its DC coefficient takes the shortcut of both passes everywhere: pass 1
    // gives 4 x DC in column 0 and 0 elsewhere, pass 2 turns every row into the same sample.
    int ac = 0;
    for (int i = 1; i < 64; ++i) ac |= in[i];
    if (ac == 0) {
        const Word dc = W(in[0] * 4);
        const std::uint8_t v = ClampSample(static_cast<std::int32_t>(
            W(Sar((dc << kConstBits) + kPass2Round, kPass2Shift)) + kSampleOffset));
        std::memset(samples, v, 64);
        return;
    }

    Word workspace[64];
    Word y[8];

    // Pass 1: columns, keeping two extra bits of precision.
    for (int c = 0; c < 8; ++c) {
        const std::int16_t* col = in + c;
        if (col[8] == 0 && col[16] == 0 && col[24] == 0 && col[32] == 0 && col[40] == 0 &&
            col[48] == 0 && col[56] == 0) {
            const Word dc = W(col[0] * 4);
            for (int r = 0; r < 8; ++r) workspace[r * 8 + c] = dc;
            continue;
        }
        Pass(W(col[0]), W(col[8]), W(col[16]), W(col[24]), W(col[32]), W(col[40]), W(col[48]),
             W(col[56]), y);
        for (int r = 0; r < 8; ++r) workspace[r * 8 + c] = W(Sar(y[r] + kPass1Round, kPass1Shift));
    }

    // Pass 2: rows, removing the 13 fraction bits, the 2 extra bits and the factor 8 of the
    // two passes, then shifting to unsigned samples.
    for (int r = 0; r < 8; ++r) {
        const Word* row = workspace + r * 8;
        std::uint8_t* out = samples + r * 8;
        if ((row[1] | row[2] | row[3] | row[4] | row[5] | row[6] | row[7]) == 0) {
            // With inputs 1 to 7 at zero every output of the pass is row[0] x 8192: the same
            // value the full pass would give, without its multiplications.
            const std::uint8_t v = ClampSample(static_cast<std::int32_t>(
                W(Sar((row[0] << kConstBits) + kPass2Round, kPass2Shift)) + kSampleOffset));
            for (int c = 0; c < 8; ++c) out[c] = v;
            continue;
        }
        Pass(row[0], row[1], row[2], row[3], row[4], row[5], row[6], row[7], y);
        for (int c = 0; c < 8; ++c) {
            out[c] = ClampSample(
                static_cast<std::int32_t>(W(Sar(y[c] + kPass2Round, kPass2Shift)) + kSampleOffset));
        }
    }
}

}  // namespace vantor
