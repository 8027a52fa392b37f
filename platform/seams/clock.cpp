// The clock seam: real time, or virtual time that moves only when the owner thread says so.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/seams/seams.h"

namespace seams {
namespace {

struct ClockState {
    std::mutex mutex;
    std::condition_variable moved;  // signalled whenever virtual time moves or the mode changes
    bool isVirtual = false;
    int64_t virtualMs = 0;     // NowMs of the virtual clock
    int64_t startSeconds = 0;  // Time() at virtualMs == startMs
    int64_t startMs = 0;
    uint32_t tickOffset = 0;  // TickCount = virtualMs + tickOffset (low 32 bits)
    std::thread::id owner;
    uint64_t generation = 0;  // bumped on every mode switch
};

ClockState& State() {
    static ClockState state;
    return state;
}

int64_t RealNowMs() {
    using namespace std::chrono;
    static const steady_clock::time_point start = steady_clock::now();
    return duration_cast<milliseconds>(steady_clock::now() - start).count();
}

}  // namespace

void UseVirtualClock(int64_t startSeconds, uint32_t startTick) {
    ClockState& s = State();
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        // Virtual time continues from the current real time so that timers already set keep
        // their relative due times.
        int64_t now = s.isVirtual ? s.virtualMs : RealNowMs();
        s.isVirtual = true;
        s.virtualMs = now;
        s.startMs = now;
        s.startSeconds = startSeconds;
        s.tickOffset = static_cast<uint32_t>(startTick - static_cast<uint32_t>(now));
        s.owner = std::this_thread::get_id();
        ++s.generation;
    }
    s.moved.notify_all();
}

void UseRealClock() {
    ClockState& s = State();
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        s.isVirtual = false;
        ++s.generation;
    }
    s.moved.notify_all();
}

bool IsVirtualClock() {
    ClockState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.isVirtual;
}

int64_t NowMs() {
    ClockState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.isVirtual ? s.virtualMs : RealNowMs();
}

uint32_t TickCount() {
    ClockState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.isVirtual) return static_cast<uint32_t>(s.virtualMs) + s.tickOffset;
    return static_cast<uint32_t>(RealNowMs());
}

int64_t Time(int64_t* out) {
    ClockState& s = State();
    int64_t t;
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        if (s.isVirtual)
            t = s.startSeconds + (s.virtualMs - s.startMs) / 1000;
        else
            t = static_cast<int64_t>(std::time(nullptr));
    }
    if (out) *out = t;
    return t;
}

void AdvanceClockTo(int64_t ms) {
    ClockState& s = State();
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        if (!s.isVirtual || ms <= s.virtualMs) return;
        s.virtualMs = ms;
    }
    s.moved.notify_all();
}

void AdvanceClock(int64_t ms) {
    if (ms <= 0) return;
    ClockState& s = State();
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        if (!s.isVirtual) return;
        s.virtualMs += ms;
    }
    s.moved.notify_all();
}

void Sleep(uint32_t ms) {
    ClockState& s = State();
    std::unique_lock<std::mutex> lock(s.mutex);
    if (!s.isVirtual) {
        lock.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return;
    }
    if (std::this_thread::get_id() == s.owner) {
        // The window thread is blocked: time passes, nothing is dispatched.
        s.virtualMs += ms;
        lock.unlock();
        s.moved.notify_all();
        return;
    }
    const int64_t end = s.virtualMs + ms;
    const uint64_t generation = s.generation;
    s.moved.wait(lock, [&] { return s.generation != generation || s.virtualMs >= end; });
}

}  // namespace seams

uint32_t GetTickCount() { return seams::TickCount(); }
void Sleep(uint32_t ms) { seams::Sleep(ms); }
