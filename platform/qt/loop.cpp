// The message loop: Qt events, posted messages, WM_PAINT when idle, timers on the clock seam,
// the idle hook of the automation, and modal loops nested inside handlers.
#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <deque>
#include <mutex>

#include "platform/qt/widgets.h"
#include "platform/qt/window_system.h"

namespace afx {
namespace {

struct Posted {
    WindowImpl* impl;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct LoopState {
    std::mutex mutex;  // guards the queues (PostMessage may come from another thread)
    std::deque<Posted> posted;
    bool dispatchScheduled = false;
    std::function<void()> idleHook;
    QTimer* wake = nullptr;  // real clock: fires when the next timer is due
    int argc = 1;
    char* argv[2] = {const_cast<char*>("kivra"), nullptr};
};

LoopState& Loop() {
    static LoopState state;
    return state;
}

void ArmWakeTimer() {
    LoopState& l = Loop();
    if (!l.wake) return;
    if (seams::IsVirtualClock()) {
        l.wake->stop();
        return;
    }
    const int64_t due = seams::NextTimerDue();
    if (due < 0) {
        l.wake->stop();
        return;
    }
    int64_t delay = due - seams::NowMs();
    if (delay < 0) delay = 0;
    l.wake->start(static_cast<int>(delay > 0x7FFFFFFF ? 0x7FFFFFFF : delay));
}

}  // namespace

bool EnsureQt() {
    if (QApplication::instance()) return true;
    LoopState& l = Loop();
    ChooseQtPlatform();
    new QApplication(l.argc, l.argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ApplyDesktopLook();
    int screenWidth = 0, screenHeight = 0;
    if (PrimaryScreenSize(&screenWidth, &screenHeight))
        gdi::SetScreenSize(screenWidth, screenHeight);
    qApp->installEventFilter(EventRouter::Instance());
    WatchFocusOnBlockedWindows();
    l.wake = new QTimer(qApp);
    l.wake->setSingleShot(true);
    QObject::connect(l.wake, &QTimer::timeout, [] {
        DispatchDueTimers();
        ArmWakeTimer();
    });
    seams::SetTimerChangeHook([] {
        if (QCoreApplication::instance())
            QMetaObject::invokeMethod(
                qApp, [] { ArmWakeTimer(); }, Qt::QueuedConnection);
    });
    QObject::connect(qApp, &QApplication::focusChanged, [](QWidget*, QWidget* now) {
        if (!now) return;
        WindowImpl* impl = WindowOfWidget(now);
        if (impl && impl->parent) impl->parent->focus = impl;
    });
    return true;
}

bool PrimaryScreenSize(int* width, int* height) {
    if (!QApplication::instance()) return false;
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return false;
    *width = screen->geometry().width();
    *height = screen->geometry().height();
    return true;
}

void Beep() {
    if (QApplication::instance()) QApplication::beep();
}

void ProcessNativeEvents() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void InitPlatformArgs(int argc, char** argv) {
    LoopState& l = Loop();
    if (argc > 0 && argv && argv[0]) l.argv[0] = argv[0];
    EnsureQt();
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
    if (QCoreApplication::instance())
        QMetaObject::invokeMethod(
            qApp, [] { ProcessPendingWork(); }, Qt::QueuedConnection);
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
    EnsureQt();
    while (!done()) {
        ProcessPendingWork();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        ProcessPendingWork();
        if (done()) break;
        if (HasIdleHook()) {
            CallIdleHook();
            continue;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
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
