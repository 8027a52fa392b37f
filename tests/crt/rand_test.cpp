#include "platform/crt/rand.h"

#include <gtest/gtest.h>

namespace {

// Values of the rule state = state * 214013 + 2531011 (mod 2^32), (state >> 16) & 0x7FFF,
// worked out by hand from the seeds.
TEST(Rand, SequenceForSeedOne) {
    crt::srand(1);
    const int expected[5] = {41, 18467, 6334, 26500, 19169};
    for (int v : expected) EXPECT_EQ(crt::rand(), v);
}

TEST(Rand, ReseedingRestartsTheSequence) {
    crt::srand(12345);
    EXPECT_EQ(crt::rand(), 7584);
    EXPECT_EQ(crt::rand(), 19164);
    crt::srand(12345);
    EXPECT_EQ(crt::rand(), 7584);
}

TEST(Rand, StateWrapsModulo2To32AndStaysInRange) {
    // A seed near 2^32 overflows the multiplication; the 32-bit wrap is part of the rule.
    crt::srand(0xFFFFFFFFu);
    crt::Lcg lcg(0xFFFFFFFFu);
    const unsigned expectedState = 0xFFFFFFFFu * 214013u + 2531011u;
    for (int i = 0; i < 100000; ++i) {
        const int v = crt::rand();
        ASSERT_EQ(v, lcg.Next());
        ASSERT_GE(v, 0);
        ASSERT_LE(v, crt::RAND_MAX_VALUE);
        if (i == 0) {
            ASSERT_EQ(lcg.State(), expectedState);
        }
    }
}

}  // namespace
