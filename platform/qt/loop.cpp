// The native event loop under the framework's message loop: the Qt application, its events, a
// queued call back into the framework and the wake-up timer for the framework's timers.
#include <QApplication>
#include <QScreen>
#include <QTimer>

#include "platform/qt/widgets.h"
#include "platform/qt/window_system.h"

namespace afx {
namespace {

struct NativeLoop {
    QTimer* wake = nullptr;  // fires when the framework's next timer is due
    EventSink* events = nullptr;
    int argc = 1;
    char* argv[2] = {const_cast<char*>("kivra"), nullptr};
};

NativeLoop& Native() {
    static NativeLoop state;
    return state;
}

}  // namespace

EventSink* Events() { return Native().events; }

bool StartWindowSystem(EventSink* events) {
    if (QApplication::instance()) return false;
    NativeLoop& l = Native();
    ChooseQtPlatform();
    new QApplication(l.argc, l.argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ApplyDesktopLook();
    qApp->installEventFilter(EventRouter::Instance());
    WatchFocusOnBlockedWindows();
    l.events = events;
    l.wake = new QTimer(qApp);
    l.wake->setSingleShot(true);
    QObject::connect(l.wake, &QTimer::timeout, [] { Native().events->WakeUp(); });
    QObject::connect(qApp, &QApplication::focusChanged, [](QWidget*, QWidget* now) {
        if (!now) return;
        if (QtWindow* control = WindowOfWidget(now)) control->sink->FocusArrived();
    });
    return true;
}

void SetProgramArgs(int argc, char** argv) {
    if (argc > 0 && argv && argv[0]) Native().argv[0] = argv[0];
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

void ProcessNativeEvents(bool wait) {
    if (!QCoreApplication::instance()) return;
    // The widgets of a closed window are deleted later. No QEventLoop::exec runs here, so Qt
    // would keep them, hidden, for the program's life: they are deleted once this call is the
    // outermost one, when no event handler of theirs can still be on the stack.
    static int depth = 0;
    ++depth;
    QCoreApplication::processEvents(wait ? QEventLoop::WaitForMoreEvents : QEventLoop::AllEvents);
    --depth;
    if (depth == 0) QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void CallSoon(void (*call)()) {
    if (QCoreApplication::instance())
        QMetaObject::invokeMethod(
            qApp, [call] { call(); }, Qt::QueuedConnection);
}

void StartWakeUp(int delayMs) {
    if (Native().wake) Native().wake->start(delayMs);
}

void StopWakeUp() {
    if (Native().wake) Native().wake->stop();
}

}  // namespace afx
