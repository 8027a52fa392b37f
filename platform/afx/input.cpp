// Keyboard and mouse: PreTranslateMessage, capture, control notifications and the system keys.
#include "platform/afx/input.h"

#include <algorithm>
#include <vector>

#include "platform/afx/loop.h"
#include "platform/afx/window.h"

namespace afx {
namespace {

WindowImpl* g_capture = nullptr;
bool g_shiftDown = false;

WindowImpl* TopLevelOf(WindowImpl* impl) {
    while (impl && impl->parent) impl = impl->parent;
    return impl;
}

bool IsWithin(const WindowImpl* w, const WindowImpl* ancestor) {
    for (; w; w = w->parent)
        if (w == ancestor) return true;
    return false;
}

}  // namespace

bool ShiftDown() { return g_shiftDown; }

void ShiftFromDesktop(bool down) { g_shiftDown = down; }

WindowImpl* NextTabStop(WindowImpl* dialog, WindowImpl* from, bool backwards) {
    if (!dialog) return nullptr;
    std::vector<WindowImpl*> stops;
    for (WindowImpl* c : dialog->children)
        if (c->visible && c->enabled && (c->style & WS_TABSTOP)) stops.push_back(c);
    if (stops.empty()) return nullptr;
    auto it = std::find(stops.begin(), stops.end(), from);
    if (it == stops.end()) return backwards ? stops.back() : stops.front();
    const size_t i = static_cast<size_t>(it - stops.begin());
    const size_t n = stops.size();
    return stops[backwards ? (i + n - 1) % n : (i + 1) % n];
}

bool DeliverKey(WindowImpl* top, UINT vk, bool down, UINT repeat) {
    if (!top || !top->wnd) return false;
    if (vk == VK_SHIFT) g_shiftDown = down;
    // A window under a modal box or dialog takes no keys.
    if (!top->enabled) return true;
    WindowImpl* focus = WindowImpl::IsLive(top->focus) ? top->focus : top;
    MSG msg{};
    msg.hwnd = focus->Hwnd();
    msg.message = down ? WM_KEYDOWN : WM_KEYUP;
    msg.wParam = vk;
    msg.lParam =
        static_cast<LPARAM>(repeat & 0xFFFF) | (down ? 0 : static_cast<LPARAM>(0xC0000000u));
    msg.time = GetTickCount();
    for (WindowImpl* w = focus; w && WindowImpl::IsLive(w); w = w->parent) {
        if (w->wnd && w->wnd->PreTranslateMessage(&msg)) return true;
        if (w == top) break;
    }
    if (!WindowImpl::IsLive(focus) || !focus->wnd) return true;
    focus->wnd->SendMessage(msg.message, msg.wParam, msg.lParam);
    return focus == top;  // keys for a control's own widget go on to its widget
}

KeyRoute KeyFromDesktop(WindowImpl* top, UINT vk, bool down, bool autoRepeat, bool alt) {
    if (!top || !top->wnd) return KeyRoute::NotTaken;
    if (down && vk == VK_SPACE && alt) {
        top->wnd->SendMessage(WM_SYSCOMMAND, SC_KEYMENU, ' ');
        return KeyRoute::Consumed;
    }
    // Alt+F4 closes the window, as its system menu says, also where the window manager
    // leaves the key to the program.
    if (down && vk == VK_F4 && alt) {
        if (top->enabled) PostWindowMessage(top, WM_SYSCOMMAND, SC_CLOSE, 0);
        return KeyRoute::Consumed;
    }
    if (!vk) return KeyRoute::NotTaken;
    const bool consumed = DeliverKey(top, vk, down, autoRepeat ? 2 : 1);
    ProcessPendingWork();
    return consumed ? KeyRoute::Consumed : KeyRoute::Passed;
}

void SendSetCursor(WindowImpl* impl, UINT message) {
    if (!impl || !impl->wnd) return;
    impl->wnd->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(impl->Hwnd()),
                           MAKELPARAM(HTCLIENT, message));
}

void DeliverMouse(WindowImpl* impl, UINT message, POINT pt, UINT flags) {
    if (!WindowImpl::IsLive(impl)) return;
    // A window under a modal box or dialog takes no mouse input.
    if (WindowImpl* top = TopLevelOf(impl); top && !top->enabled) return;
    WindowImpl* target = impl;
    POINT p = pt;
    if (g_capture && g_capture != impl && WindowImpl::IsLive(g_capture)) {
        const POINT from = impl->ClientOrigin(), to = g_capture->ClientOrigin();
        p = POINT{pt.x + from.x - to.x, pt.y + from.y - to.y};
        target = g_capture;
    } else if (!g_capture) {
        SendSetCursor(target, message);
    }
    const bool captured = target == g_capture;
    if (WindowImpl::IsLive(target) && target->wnd)
        target->wnd->SendMessage(message, flags, MAKELPARAM(p.x, p.y));
    // A capture that ended on this move (the pointer left the capturing window): the window
    // now under the pointer sets the cursor at once, not on the next move.
    if (captured && !g_capture && target != impl && WindowImpl::IsLive(impl))
        SendSetCursor(impl, message);
    // A button released outside the capturing window ends its capture.
    const bool buttonUp = message == WM_LBUTTONUP || message == WM_RBUTTONUP;
    if (buttonUp && target == g_capture && WindowImpl::IsLive(target)) {
        const int w =
            target->topLevel ? target->ClientWidth() : target->rect.right - target->rect.left;
        const int h =
            target->topLevel ? target->ClientHeight() : target->rect.bottom - target->rect.top;
        if (p.x < 0 || p.y < 0 || p.x >= w || p.y >= h) SetCaptureImpl(nullptr);
    }
}

bool ControlMouseFromDesktop(WindowImpl* c, UINT message, POINT p) {
    if (!c->ReceivesMouse()) return false;
    const bool isStatic = c->kind == ControlKind::Static || c->kind == ControlKind::Icon;
    if (message == WM_MOUSEMOVE) {
        DeliverMouse(c, WM_MOUSEMOVE, p, 0);
        return false;
    }
    if (message == WM_LBUTTONDOWN) {
        DeliverMouse(c, WM_LBUTTONDOWN, p, MK_LBUTTON);
    } else {
        DeliverMouse(c, WM_LBUTTONUP, p, 0);
        if (WindowImpl::IsLive(c) && c->NotifiesClicks()) NotifyParent(c, STN_CLICKED);
    }
    ProcessPendingWork();
    // A static keeps its clicks; other controls' widgets go on to handle theirs.
    return isStatic;
}

// The capture only directs this program's own mouse messages: it never grabs the pointer of
// the display, which would leave every other program (and the program's own boxes) without
// the mouse.
void SetCaptureImpl(WindowImpl* impl) {
    WindowImpl* old = g_capture;
    if (old == impl) return;
    g_capture = impl;
    if (WindowImpl::IsLive(old) && old->wnd)
        old->wnd->SendMessage(WM_CAPTURECHANGED, 0,
                              reinterpret_cast<LPARAM>(impl ? impl->Hwnd() : nullptr));
}

void ReleaseCaptureWithin(WindowImpl* impl) {
    if (g_capture && IsWithin(g_capture, impl)) SetCaptureImpl(nullptr);
}

WindowImpl* CaptureImpl() { return WindowImpl::IsLive(g_capture) ? g_capture : nullptr; }

bool CaptureHeld() { return g_capture != nullptr; }

// Without a grab of the display no further motion arrives once the pointer is outside the
// program's windows, so the capturing window is told where the pointer is now: it sees the move
// that leaves it, as it would with a capture on Windows.
void PointerLeftWhileCaptured() {
    WindowImpl* capture = CaptureImpl();
    POINT p{};
    UINT flags = 0;
    if (capture && capture->wnd && capture->native &&
        capture->native->PointerInClient(&p, &flags)) {
        capture->wnd->SendMessage(WM_MOUSEMOVE, flags, MAKELPARAM(p.x, p.y));
        if (!g_capture) {
            // The capture ended there. The pointer may now be over a window that takes no
            // input (the owner of a dialog) or outside the program: no window will set the
            // cursor, so the program's own cursor goes back to the arrow at once.
            WindowSink* top = TopLevelUnderPointer();
            if (!top || !top->TakesInput()) ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
        }
    }
    ProcessPendingWork();
}

void NotifyParent(WindowImpl* control, UINT code) {
    if (!WindowImpl::IsLive(control) || !control->parent) return;
    const UINT id = static_cast<UINT>(control->id) & 0xFFFF;
    // The control itself may handle its notification (ON_CONTROL_REFLECT).
    if (control->wnd && control->wnd->OnCmdMsg(WM_REFLECT_BASE + WM_COMMAND, id, code)) return;
    WindowImpl* parent = control->parent;
    if (parent->wnd)
        parent->wnd->SendMessage(WM_COMMAND, static_cast<WPARAM>(id | (code << 16)),
                                 reinterpret_cast<LPARAM>(control->Hwnd()));
}

}  // namespace afx
