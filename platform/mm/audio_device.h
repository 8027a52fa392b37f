// Internal: state shared by PlaySound and the sequencer.
#pragma once

#include <mutex>

namespace mm {

// Guards the device and both players; every public entry takes it.
std::recursive_mutex& DeviceMutex();

// Called by CloseAudio before the device closes.
void ReleaseEffects();
void ReleaseTunes();

}  // namespace mm
