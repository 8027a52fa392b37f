// Seventeen background tunes as General MIDI Standard MIDI Files (format 1).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/res/data_layout.h"

namespace assetgen {

// The tune numbers, kFirstTune to kFirstTune + kTuneCount - 1, are the game's own
// (game/res/data_layout.h).

// The complete .mid file of tune number (101..117).
std::vector<uint8_t> ComposeTune(int number);
// Its title (stored as the sequence name).
std::string TuneTitle(int number);

}  // namespace assetgen
