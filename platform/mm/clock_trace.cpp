#include "platform/mm/clock_trace.h"

#include <chrono>
#include <thread>

namespace mm {

unsigned long NowMs() {
    using namespace std::chrono;
    return static_cast<unsigned long>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SleepMs(unsigned long ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void TraceSound(int, bool) {}
void TraceMidi(const std::string&) {}
void TraceMidiStop() {}

}  // namespace mm
