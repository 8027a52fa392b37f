// A modal box or dialog keeps the keyboard when the player clicks the window under it.
//
// X11 window managers see to this themselves: the game's boxes are transient for their owner
// and modal, and a click on the owner activates the box. A compositor of a Wayland desktop may
// instead activate the owner, through its X server or natively (sway does): the box goes behind
// the game, which looks frozen while its clock runs on, and the keys go to a window that takes
// none. The box then asks for the activation back; a compositor that lets no program activate
// its own windows (sway only marks such a request) leaves the owner active, and the box is then
// shown anew, which every compositor puts on top with the keyboard.
#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QTimer>

#include "platform/qt/widgets.h"

namespace afx {
namespace {

// How long the desktop has to activate the box before it is shown anew.
constexpr int kActivationGraceMs = 250;

// On an X server, the window that last received the input focus. Qt does not count the owner of
// a modal window as active even while it holds the X focus, so the X server's word is taken.
bool g_xFocusKnown = false;
WId g_xFocus = 0;

bool HasKeyboard(FrameWidget* frame) {
    return g_xFocusKnown ? g_xFocus == frame->internalWinId() : frame->isActiveWindow();
}

void ReturnFocusToModal() {
    WindowSink* modal = Events()->InputWindow();
    auto* window = modal ? static_cast<QtWindow*>(modal->Native()) : nullptr;
    if (!window || !window->frame || !modal->Visible()) return;
    modal->Activate();
    QPointer<FrameWidget> frame = window->frame;
    QTimer::singleShot(kActivationGraceMs, frame, [frame] {
        if (!frame || !frame->window || HasKeyboard(frame) || !frame->isVisible()) return;
        WindowSink* sink = frame->window->sink;
        frame->hide();
        frame->show();
        sink->Activate();
    });
}

// The frame whose native window is `id`, when it is under a modal box or dialog.
FrameWidget* BlockedFrame(WId id) {
    for (FrameWidget* frame : FrameWidget::All()) {
        if (frame->window && !frame->window->sink->TakesInput() && frame->internalWinId() == id)
            return frame;
    }
    return nullptr;
}

class FocusWatch : public QAbstractNativeEventFilter {
  public:
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7F) != XCB_FOCUS_IN) return false;
        const auto* focus = static_cast<const xcb_focus_in_event_t*>(message);
        g_xFocusKnown = true;
        g_xFocus = focus->event;
        // Focus moved by the window manager or the player, not by the grab of a menu.
        if (focus->mode != XCB_NOTIFY_MODE_NORMAL) return false;
        if (BlockedFrame(focus->event)) ReturnFocusToModalSoon();
        return false;
    }
};

}  // namespace

void ReturnFocusToModalSoon() {
    QMetaObject::invokeMethod(
        qApp, [] { ReturnFocusToModal(); }, Qt::QueuedConnection);
}

void WatchFocusOnBlockedWindows() {
    static FocusWatch watch;
    QCoreApplication::instance()->installNativeEventFilter(&watch);
}

}  // namespace afx
