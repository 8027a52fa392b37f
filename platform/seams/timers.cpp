// Window timers on the clock seam, with Windows' coalescing of missed periods.
#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/seams/seams.h"

namespace seams {
namespace {

struct Timer {
    const void* owner;
    unsigned id;
    unsigned period;
    int64_t due;
    uint64_t order;  // breaks ties between timers due at the same time
};

struct TimerState {
    std::mutex mutex;
    std::vector<Timer> timers;
    uint64_t nextOrder = 0;
    std::mutex hookMutex;
    std::function<void()> hook;
};

TimerState& State() {
    static TimerState state;
    return state;
}

void Changed() {
    TimerState& s = State();
    std::function<void()> hook;
    {
        std::lock_guard<std::mutex> lock(s.hookMutex);
        hook = s.hook;
    }
    if (hook) hook();
}

}  // namespace

void SetTimer(const void* owner, unsigned id, unsigned periodMs) {
    if (periodMs == 0) periodMs = 1;
    const int64_t now = NowMs();
    TimerState& s = State();
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        auto it = std::find_if(s.timers.begin(), s.timers.end(),
                               [&](const Timer& t) { return t.owner == owner && t.id == id; });
        if (it != s.timers.end()) s.timers.erase(it);
        s.timers.push_back(Timer{owner, id, periodMs, now + periodMs, s.nextOrder++});
    }
    Changed();
}

bool KillTimer(const void* owner, unsigned id) {
    TimerState& s = State();
    bool found = false;
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        auto it = std::find_if(s.timers.begin(), s.timers.end(),
                               [&](const Timer& t) { return t.owner == owner && t.id == id; });
        if (it != s.timers.end()) {
            s.timers.erase(it);
            found = true;
        }
    }
    if (found) Changed();
    return found;
}

void KillTimers(const void* owner) {
    TimerState& s = State();
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        s.timers.erase(std::remove_if(s.timers.begin(), s.timers.end(),
                                      [&](const Timer& t) { return t.owner == owner; }),
                       s.timers.end());
    }
    Changed();
}

int64_t NextTimerDue() {
    TimerState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    int64_t best = -1;
    for (const Timer& t : s.timers)
        if (best < 0 || t.due < best) best = t.due;
    return best;
}

bool TakeDueTimer(TimerKey* out) {
    const int64_t now = NowMs();
    TimerState& s = State();
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        Timer* best = nullptr;
        for (Timer& t : s.timers) {
            if (t.due > now) continue;
            if (!best || t.due < best->due || (t.due == best->due && t.order < best->order))
                best = &t;
        }
        if (!best) return false;
        out->owner = best->owner;
        out->id = best->id;
        // However many periods were missed, one message is delivered; the next comes one
        // period after this one.
        best->due = now + best->period;
        best->order = s.nextOrder++;
    }
    Changed();
    return true;
}

void SetTimerChangeHook(std::function<void()> hook) {
    TimerState& s = State();
    std::lock_guard<std::mutex> lock(s.hookMutex);
    s.hook = std::move(hook);
}

}  // namespace seams
