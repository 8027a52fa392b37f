// The thirteen sound effects, synthesised as 8-bit mono PCM.
#pragma once

#include <cstdint>
#include <vector>

namespace assetgen {

constexpr int kEffectRate = 22050;

struct EffectInfo {
    int id;
    double seconds;  // exact length
    const char* what;
};

const std::vector<EffectInfo>& Effects();
// Unsigned 8-bit samples (128 = silence) of exactly round(seconds * rate) samples.
std::vector<uint8_t> SynthesiseEffect(int id);

}  // namespace assetgen
