#include "platform/mm/clock_trace.h"

#include "platform/seams/seams.h"

namespace mm {

unsigned long NowMs() { return static_cast<unsigned long>(seams::NowMs()); }

void SleepMs(unsigned long ms) { seams::Sleep(static_cast<std::uint32_t>(ms)); }

void TraceSound(int id, bool sync) { seams::Trace("sound", {{"id", id}, {"sync", sync}}); }
void TraceMidi(const std::string& file) { seams::Trace("midi", {{"file", file}}); }
void TraceMidiStop() { seams::Trace("midi_stop"); }

}  // namespace mm
