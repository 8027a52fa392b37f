// The sound layer's view of the program's clock and trace.
#pragma once

#include <string>

namespace mm {

// Milliseconds on the program's clock (virtual in scripted runs).
unsigned long NowMs();
// Blocks the calling thread for `ms` on the program's clock.
void SleepMs(unsigned long ms);

void TraceSound(int id, bool sync);
void TraceMidi(const std::string& file);
void TraceMidiStop();

}  // namespace mm
