// Seventeen background tunes as General MIDI Standard MIDI Files (format 1).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

constexpr int kFirstTune = 101, kTuneCount = 17;

// The complete .mid file of tune number (101..117).
std::vector<uint8_t> ComposeTune(int number);
// Its title (stored as the sequence name).
std::string TuneTitle(int number);

}  // namespace assetgen
