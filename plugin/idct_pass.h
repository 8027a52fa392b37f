// The 8-point pass of the integer inverse DCT written once for any lane type: a 32-bit word or
// a vector of them. Products and sums wrap modulo 2^32 and shifts are arithmetic, exactly as in
// IntegerInverseDct, so every lane gives the scalar result.
#pragma once

#include <cstdint>
#include <cstring>

#include "plugin/idct_constants.h"

namespace vantor {
namespace idctpass {

using namespace idctconst;

// U: unsigned 32-bit lanes (wrapping arithmetic); S: signed lanes of the same shape.
template <typename U, typename S>
inline U Sar(U v, int bits) {
    return (U)((S)v >> bits);
}

template <typename U>
inline void Pass(const U* x, U* y) {
    // Even part.
    U z1 = (x[2] + x[6]) * kFix_0_541196100;
    const U t2 = z1 - x[6] * kFix_1_847759065;
    const U t3 = z1 + x[2] * kFix_0_765366865;
    const U t0 = (x[0] + x[4]) << kConstBits;
    const U t1 = (x[0] - x[4]) << kConstBits;
    const U e10 = t0 + t3;
    const U e13 = t0 - t3;
    const U e11 = t1 + t2;
    const U e12 = t1 - t2;

    // Odd part; the negative constants as their 32-bit two's complements.
    U a0 = x[7], a1 = x[5], a2 = x[3], a3 = x[1];
    z1 = a0 + a3;
    U z2 = a1 + a2;
    U z3 = a0 + a2;
    U z4 = a1 + a3;
    const U z5 = (z3 + z4) * kFix_1_175875602;
    a0 = a0 * kFix_0_298631336;
    a1 = a1 * kFix_2_053119869;
    a2 = a2 * kFix_3_072711026;
    a3 = a3 * kFix_1_501321110;
    z1 = z1 * (0u - kFix_0_899976223);
    z2 = z2 * (0u - kFix_2_562915447);
    z3 = z3 * (0u - kFix_1_961570560);
    z4 = z4 * (0u - kFix_0_390180644);
    z3 = z3 + z5;
    z4 = z4 + z5;
    a0 = a0 + z1 + z3;
    a1 = a1 + z2 + z4;
    a2 = a2 + z2 + z3;
    a3 = a3 + z1 + z4;

    y[0] = e10 + a3;
    y[7] = e10 - a3;
    y[1] = e11 + a2;
    y[6] = e11 - a2;
    y[2] = e12 + a1;
    y[5] = e12 - a1;
    y[3] = e13 + a0;
    y[4] = e13 - a0;
}

// A block whose rows 1 to 7 are zero: every column takes pass 1's shortcut (4 x row 0), so all
// eight workspace rows are the same and pass 2 runs once.
inline void FirstRowOnly(const std::int16_t* in, std::uint8_t* samples) {
    if ((in[1] | in[2] | in[3] | in[4] | in[5] | in[6] | in[7]) == 0) {
        // DC only: both passes give the same value everywhere.
        const std::uint32_t dc = static_cast<std::uint32_t>(in[0] * 4);
        const std::int32_t v = static_cast<std::int32_t>(
            Sar<std::uint32_t, std::int32_t>((dc << kConstBits) + kPass2Round, kPass2Shift) +
            kSampleOffset);
        std::memset(samples, v < 0 ? 0 : (v > 255 ? 255 : v), 64);
        return;
    }
    std::uint32_t x[8], y[8];
    for (int c = 0; c < 8; ++c) x[c] = static_cast<std::uint32_t>(in[c] * 4);
    Pass(x, y);
    std::uint8_t row[8];
    for (int c = 0; c < 8; ++c) {
        const std::int32_t v = static_cast<std::int32_t>(
            Sar<std::uint32_t, std::int32_t>(y[c] + kPass2Round, kPass2Shift) + kSampleOffset);
        row[c] = static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
    }
    for (int r = 0; r < 8; ++r) {
        for (int c = 0; c < 8; ++c) samples[r * 8 + c] = row[c];
    }
}

}  // namespace idctpass
}  // namespace vantor
