// The message loop: posted messages, WM_PAINT when idle, timers on the clock seam, the idle hook
// of the automation, and modal loops nested inside handlers. The backend runs the native event
// loop underneath and wakes this one (a queued call, the wake-up timer).
#include "platform/afx/loop.h"

#include <algorithm>
#include <deque>
#include <mutex>

#include "platform/afx/input.h"
#include "platform/afx/window.h"

namespace afx {
namespace {

struct Posted {
    WindowImpl* impl;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct LoopState {
    std::mutex mutex;  // guards the queue (PostMessage may come from another thread)
    std::deque<Posted> posted;
    bool dispatchScheduled = false;
    std::function<void()> idleHook;
    bool started = false;   // EnsureWindowSystem ran
    bool wakeable = false;  // the windowing system was started here, with the wake-up
};

LoopState& Loop() {
    static LoopState state;
    return state;
}

// On the real clock the backend's wake-up fires when the next timer is due; the virtual clock
// delivers timers only as the automation advances it.
void ArmWakeUp() {
    if (!Loop().wakeable) return;
    if (seams::IsVirtualClock()) {
        StopWakeUp();
        return;
    }
    const int64_t due = seams::NextTimerDue();
    if (due < 0) {
        StopWakeUp();
        return;
    }
    int64_t delay = due - seams::NowMs();
    if (delay < 0) delay = 0;
    StartWakeUp(static_cast<int>(delay > 0x7FFFFFFF ? 0x7FFFFFFF : delay));
}

// What the backend reports of the desktop as a whole.
class Events final : public EventSink {
  public:
    void WakeUp() override {
        DispatchDueTimers();
        ArmWakeUp();
    }
    void Shift(bool down) override { ShiftFromDesktop(down); }
    bool CaptureHeld() override { return afx::CaptureHeld(); }
    void PointerLeft() override { PointerLeftWhileCaptured(); }
    WindowSink* InputWindow() override {
        CWnd* top = TopWindowForInput();
        return top ? top->Impl() : nullptr;
    }
};

}  // namespace

void EnsureWindowSystem() {
    LoopState& l = Loop();
    if (l.started) return;
    l.started = true;
    // A windowing system some other part of the program started is used as it is.
    static Events events;
    if (!StartWindowSystem(&events)) return;
    l.wakeable = true;
    int screenWidth = 0, screenHeight = 0;
    if (PrimaryScreenSize(&screenWidth, &screenHeight))
        gdi::SetScreenSize(screenWidth, screenHeight);
    seams::SetTimerChangeHook([] { CallSoon(ArmWakeUp); });
}

void PostWindowMessage(WindowImpl* impl, UINT message, WPARAM wParam, LPARAM lParam) {
    {
        std::lock_guard<std::mutex> lock(Loop().mutex);
        Loop().posted.push_back(Posted{impl, message, wParam, lParam});
    }
    ScheduleDispatch();
}

void PurgePosted(WindowImpl* impl) {
    std::lock_guard<std::mutex> lock(Loop().mutex);
    auto& q = Loop().posted;
    q.erase(std::remove_if(q.begin(), q.end(), [impl](const Posted& p) { return p.impl == impl; }),
            q.end());
}

void ScheduleDispatch() {
    LoopState& l = Loop();
    {
        std::lock_guard<std::mutex> lock(l.mutex);
        if (l.dispatchScheduled) return;
        l.dispatchScheduled = true;
    }
    CallSoon(ProcessPendingWork);
}

void DispatchPaints() {
    // Windows are painted when nothing else is queued; a handler may invalidate again.
    for (int round = 0; round < 4; ++round) {
        std::vector<WindowImpl*> dirty;
        for (CDialog* d : ModalStack())
            if (d->Impl() && d->Impl()->hasInvalid) dirty.push_back(d->Impl());
        // Modeless top-level windows too.
        for (WindowImpl* w : TopLevelWindows())
            if (w->hasInvalid && std::find(dirty.begin(), dirty.end(), w) == dirty.end())
                dirty.push_back(w);
        if (dirty.empty()) return;
        for (WindowImpl* w : dirty) {
            if (!WindowImpl::IsLive(w) || !w->hasInvalid || !w->wnd) continue;
            w->wnd->SendMessage(WM_PAINT);
            if (WindowImpl::IsLive(w)) w->hasInvalid = false;  // a handler that did not validate
        }
    }
}

void DeliverTimer(const seams::TimerKey& key) {
    WindowImpl* impl = const_cast<WindowImpl*>(static_cast<const WindowImpl*>(key.owner));
    if (WindowImpl::IsLive(impl) && impl->wnd) impl->wnd->SendMessage(WM_TIMER, key.id, 0);
}

void DispatchDueTimers() {
    seams::TimerKey key;
    int guard = 0;
    while (seams::TakeDueTimer(&key) && guard++ < 1000) DeliverTimer(key);
}

void ProcessPendingWork() {
    LoopState& l = Loop();
    {
        std::lock_guard<std::mutex> lock(l.mutex);
        l.dispatchScheduled = false;
    }
    for (;;) {
        Posted p{};
        {
            std::lock_guard<std::mutex> lock(l.mutex);
            if (l.posted.empty()) break;
            p = l.posted.front();
            l.posted.pop_front();
        }
        if (WindowImpl::IsLive(p.impl) && p.impl->wnd)
            p.impl->wnd->SendMessage(p.message, p.wParam, p.lParam);
    }
    if (!seams::IsVirtualClock()) DispatchDueTimers();
    DispatchPaints();
}

bool HasIdleHook() { return static_cast<bool>(Loop().idleHook); }

void SetIdleHookImpl(std::function<void()> hook) { Loop().idleHook = std::move(hook); }

void CallIdleHook() {
    std::function<void()> hook = Loop().idleHook;
    if (hook) hook();
}

void RunModalLoop(const std::function<bool()>& done) {
    EnsureWindowSystem();
    while (!done()) {
        ProcessPendingWork();
        ProcessNativeEvents(false);
        ProcessPendingWork();
        if (done()) break;
        if (HasIdleHook()) {
            CallIdleHook();
            continue;
        }
        ProcessNativeEvents(true);
    }
}

std::vector<CDialog*>& ModalStack() {
    static std::vector<CDialog*> stack;
    return stack;
}

CWnd* TopWindowForInput() {
    auto& stack = ModalStack();
    for (auto it = stack.rbegin(); it != stack.rend(); ++it)
        if ((*it)->m_hWnd) return *it;
    return AfxGetMainWnd();
}

}  // namespace afx
