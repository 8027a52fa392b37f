// The integer inverse DCT of an 8x8 block and the zig-zag order of ITU T.81 Figure A.6.
#pragma once

#include <cstdint>

namespace vantor {

// natural[kZigZag[j]] receives the j-th coefficient of the zig-zag sequence.
extern const std::uint8_t kZigZag[64];

// Turns 64 dequantised coefficients in natural (row-major) order into 64 samples, row-major.
using InverseTransform = void (*)(const std::int16_t* natural, std::uint8_t* samples);

// Loeffler-Ligtenberg-Moschytz factorisation in 32-bit fixed point with 13 fraction bits and two
// extra bits between the passes, columns first. The arithmetic wraps modulo 2^32, so coefficients
// that no encoder produces give some samples instead of undefined behaviour.
void IntegerInverseDct(const std::int16_t* natural, std::uint8_t* samples);

// The same transform with vector instructions where the processor has them (AVX2, else SSE2),
// exact to IntegerInverseDct on every input; IntegerInverseDct itself elsewhere.
InverseTransform FastInverseDct();

enum class VectorLevel { kSse2, kAvx2 };

// The vector version for one instruction set, or null when this build or processor lacks it.
InverseTransform VectorInverseDct(VectorLevel level);

#if defined(__x86_64__) || defined(__i386__)
void InverseDctAvx2(const std::int16_t* natural, std::uint8_t* samples);
void InverseDctSse2(const std::int16_t* natural, std::uint8_t* samples);
#endif

}  // namespace vantor
