// The runtime library's random numbers written out independently of platform/crt, so that the
// tests can say which tune a seed must pick: state = state * 214013 + 2531011, and each value
// is bits 16..30 of the new state.
#pragma once

#include <cstdint>
#include <vector>

namespace soundtest {

// The first `n` values rand() gives after srand(seed).
inline std::vector<int> RandSequence(unsigned seed, int n) {
    std::vector<int> values;
    std::uint32_t state = seed;
    for (int i = 0; i < n; ++i) {
        state = state * 214013u + 2531011u;
        values.push_back(static_cast<int>((state >> 16) & 0x7FFF));
    }
    return values;
}

}  // namespace soundtest
