// The fixed-point numbers of the integer inverse DCT: the Loeffler-Ligtenberg-Moschytz
// multipliers and the scaling between the passes. The reference transform and its vector
// versions both compute with these.
#pragma once

#include <cstdint>

namespace vantor {
namespace idctconst {

// Fraction bits of the multipliers.
constexpr int kConstBits = 13;
// Pass 1 keeps two extra bits of precision: it drops kConstBits - 2 bits, rounding.
constexpr int kPass1Shift = kConstBits - 2;
constexpr std::uint32_t kPass1Round = 1u << (kPass1Shift - 1);
// Pass 2 drops the fraction bits, the two extra bits and the factor 8 of the two passes.
constexpr int kPass2Shift = kConstBits + 2 + 3;
constexpr std::uint32_t kPass2Round = 1u << (kPass2Shift - 1);
// Turns the signed result into an unsigned sample.
constexpr std::uint32_t kSampleOffset = 128;

// Multipliers: value x 2^13, rounded.
constexpr std::uint32_t kFix_0_298631336 = 2446;
constexpr std::uint32_t kFix_0_390180644 = 3196;
constexpr std::uint32_t kFix_0_541196100 = 4433;
constexpr std::uint32_t kFix_0_765366865 = 6270;
constexpr std::uint32_t kFix_0_899976223 = 7373;
constexpr std::uint32_t kFix_1_175875602 = 9633;
constexpr std::uint32_t kFix_1_501321110 = 12299;
constexpr std::uint32_t kFix_1_847759065 = 15137;
constexpr std::uint32_t kFix_1_961570560 = 16069;
constexpr std::uint32_t kFix_2_053119869 = 16819;
constexpr std::uint32_t kFix_2_562915447 = 20995;
constexpr std::uint32_t kFix_3_072711026 = 25172;

}  // namespace idctconst
}  // namespace vantor
