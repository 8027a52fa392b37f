// Keyboard and mouse: PreTranslateMessage, capture, cursors, control notifications, and the
// system menu substitute.
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <algorithm>
#include <vector>

#include "platform/qt/widgets.h"

namespace afx {
namespace {

WindowImpl* g_capture = nullptr;
HCURSOR g_cursor = nullptr;
bool g_shiftDown = false;
bool g_injectingKey = false;  // a key the framework sends to a control's widget itself
bool g_overrideSet = false;
QPointer<QMenu> g_systemMenu;  // goes null when its window takes it away

// The named keys, each with its Qt key; the first Qt key of a virtual key is the one the
// framework sends when it gives a key to a widget itself.
struct NamedKey {
    int qt;
    UINT vk;
};
constexpr NamedKey kNamedKeys[] = {
    {Qt::Key_Space, VK_SPACE},    {Qt::Key_Return, VK_RETURN},   {Qt::Key_Enter, VK_RETURN},
    {Qt::Key_Escape, VK_ESCAPE},  {Qt::Key_Tab, VK_TAB},         {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Backspace, VK_BACK}, {Qt::Key_Control, VK_CONTROL}, {Qt::Key_Shift, VK_SHIFT},
    {Qt::Key_Alt, VK_MENU},       {Qt::Key_Left, VK_LEFT},       {Qt::Key_Right, VK_RIGHT},
    {Qt::Key_Up, VK_UP},          {Qt::Key_Down, VK_DOWN},       {Qt::Key_Delete, VK_DELETE},
    {Qt::Key_Pause, VK_PAUSE},    {Qt::Key_Home, VK_HOME},       {Qt::Key_End, VK_END},
};

UINT VirtualKeyFromQt(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<UINT>('A' + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<UINT>('0' + (key - Qt::Key_0));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return VK_F1 + static_cast<UINT>(key - Qt::Key_F1);
    for (const NamedKey& k : kNamedKeys)
        if (k.qt == key) return k.vk;
    return 0;
}

int QtKeyOf(UINT vk) {
    if (vk >= 'A' && vk <= 'Z') return Qt::Key_A + static_cast<int>(vk - 'A');
    if (vk >= '0' && vk <= '9') return Qt::Key_0 + static_cast<int>(vk - '0');
    if (vk >= VK_F1 && vk <= VK_F12) return Qt::Key_F1 + static_cast<int>(vk - VK_F1);
    for (const NamedKey& k : kNamedKeys)
        if (k.vk == vk) return k.qt;
    return 0;
}

// The standard cursors: identity objects for HCURSOR, each with its Qt shape.
struct StandardCursorEntry {
    uintptr_t id;  // IDC_ number
    Qt::CursorShape shape;
    gdi::IconImage image;
};

StandardCursorEntry* StandardCursors(size_t* count) {
    static StandardCursorEntry cursors[] = {
        {32512, Qt::ArrowCursor, {}},        {32513, Qt::IBeamCursor, {}},
        {32514, Qt::WaitCursor, {}},         {32515, Qt::CrossCursor, {}},
        {32649, Qt::PointingHandCursor, {}},
    };
    *count = sizeof cursors / sizeof cursors[0];
    return cursors;
}

bool StandardCursorShape(HCURSOR cursor, Qt::CursorShape* shape) {
    size_t count = 0;
    StandardCursorEntry* c = StandardCursors(&count);
    for (size_t i = 0; i < count; ++i) {
        if (cursor == &c[i].image) {
            *shape = c[i].shape;
            return true;
        }
    }
    return false;
}

WindowImpl* ImplOfWidget(QObject* o) {
    for (QObject* w = o; w; w = w->parent()) {
        if (auto* frame = dynamic_cast<FrameWidget*>(w)) return frame->impl;
    }
    return nullptr;
}

WindowImpl* ControlOfWidget(QObject* o) {
    for (QObject* w = o; w; w = w->parent()) {
        if (WindowImpl* impl = WindowOfWidget(w)) return impl;
        if (dynamic_cast<FrameWidget*>(w)) break;
    }
    return nullptr;
}

WindowImpl* TopLevelOf(WindowImpl* impl) {
    while (impl && impl->parent) impl = impl->parent;
    return impl;
}

bool IsWithin(const WindowImpl* w, const WindowImpl* ancestor) {
    for (; w; w = w->parent)
        if (w == ancestor) return true;
    return false;
}

QWidget* MouseWidget(const WindowImpl* impl) {
    return impl->native->client ? static_cast<QWidget*>(impl->native->client)
                                : impl->native->Widget();
}

// The pointer has left one of the program's widgets while a window holds the capture. Without
// a grab of the display no further motion arrives once the pointer is outside the program's
// windows, so the capturing window is told where the pointer is now: it sees the move that
// leaves it, as it would with a capture on Windows.
void ReportPointerToCapture() {
    WindowImpl* capture = CaptureImpl();
    if (!capture || !capture->wnd) return;
    QWidget* w = MouseWidget(capture);
    if (!w) return;
    const QPoint p = w->mapFromGlobal(QCursor::pos());
    UINT flags = 0;
    const Qt::MouseButtons buttons = QGuiApplication::mouseButtons();
    if (buttons & Qt::LeftButton) flags |= MK_LBUTTON;
    if (buttons & Qt::RightButton) flags |= MK_RBUTTON;
    capture->wnd->SendMessage(WM_MOUSEMOVE, flags, MAKELPARAM(p.x(), p.y()));
    if (g_capture) return;
    // The capture ended there. The pointer may now be over a window that takes no input (the
    // owner of a dialog) or outside the program: no window will set the cursor, so the
    // program's own cursor goes back to the arrow at once.
    QWidget* under = QApplication::widgetAt(QCursor::pos());
    WindowImpl* top = under ? ImplOfWidget(under) : nullptr;
    if (!top || !top->enabled) ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
}

}  // namespace

bool ShiftDown() { return g_shiftDown; }

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

bool SendKeyToWidget(WindowImpl* control, UINT vk, bool down) {
    QWidget* widget = WindowImpl::IsLive(control) ? control->native->Widget() : nullptr;
    if (!widget) return false;
    const int key = QtKeyOf(vk);
    if (!key) return false;
    QString text;
    if (vk == VK_SPACE) text = QStringLiteral(" ");
    QKeyEvent event(down ? QEvent::KeyPress : QEvent::KeyRelease, key, Qt::NoModifier, text);
    g_injectingKey = true;
    QApplication::sendEvent(widget, &event);
    g_injectingKey = false;
    return true;
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
    return focus == top;  // keys for a control's own widget go on to Qt
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

HCURSOR CurrentCursorImpl() { return g_cursor; }

HCURSOR StandardCursor(uintptr_t id) {
    size_t count = 0;
    StandardCursorEntry* c = StandardCursors(&count);
    for (size_t i = 0; i < count; ++i)
        if (c[i].id == id) return &c[i].image;
    return nullptr;
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

bool SystemMenuPopupOpen() { return g_systemMenu != nullptr; }

void OpenSystemMenuPopup(WindowImpl* impl) {
    if (!impl || !impl->systemMenu || !impl->native->frame) return;
    if (g_systemMenu) {
        g_systemMenu->close();
        g_systemMenu->deleteLater();
    }
    auto* popup = new QMenu(impl->native->frame);
    g_systemMenu = popup;
    WindowImpl* self = impl;
    for (MenuItem& item : impl->systemMenu->m_hMenu->items) {
        if (item.flags & MF_SEPARATOR) {
            popup->addSeparator();
            continue;
        }
        QAction* a = popup->addAction(Q(item.text));
        a->setEnabled(!(item.flags & (MF_GRAYED | MF_DISABLED)));
        if (item.id == SC_RESTORE) a->setEnabled(impl->iconic);
        if (item.id == SC_MINIMIZE) a->setEnabled(!impl->iconic);
        a->setCheckable((item.flags & MF_CHECKED) != 0);
        a->setChecked((item.flags & MF_CHECKED) != 0);
        const UINT id = item.id;
        QObject::connect(a, &QAction::triggered, [self, id] {
            if (WindowImpl::IsLive(self)) PostWindowMessage(self, WM_SYSCOMMAND, id, 0);
        });
    }
    QObject::connect(popup, &QMenu::aboutToHide, [popup] {
        if (g_systemMenu == popup) g_systemMenu = nullptr;
        popup->deleteLater();
    });
    popup->popup(impl->native->frame->mapToGlobal(QPoint(0, 0)));
}

void CloseSystemMenuPopup() {
    if (g_systemMenu) g_systemMenu->close();
}

void ApplyCursor(HCURSOR cursor) {
    g_cursor = cursor;
    if (!QApplication::instance()) return;
    Qt::CursorShape shape = Qt::ArrowCursor;
    QCursor qc;
    if (!cursor || (StandardCursorShape(cursor, &shape) && shape == Qt::ArrowCursor)) {
        // The arrow: let each widget show its own cursor again.
        while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
        g_overrideSet = false;
        return;
    }
    if (StandardCursorShape(cursor, &shape)) {
        qc = QCursor(shape);
    } else {
        const gdi::IconImage* img = GetIconImage(cursor);
        qc = QCursor(PixmapFromIcon(cursor), img ? img->hotspotX : 0, img ? img->hotspotY : 0);
    }
    if (g_overrideSet && QApplication::overrideCursor())
        QApplication::changeOverrideCursor(qc);
    else
        QApplication::setOverrideCursor(qc);
    g_overrideSet = true;
}

EventRouter* EventRouter::Instance() {
    static EventRouter* router = new EventRouter();
    return router;
}

bool EventRouter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::Leave && g_capture && watched->isWidgetType()) {
        ReportPointerToCapture();
        ProcessPendingWork();
        return false;
    }
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        auto* ke = static_cast<QKeyEvent*>(event);
        if (!watched->isWidgetType() || g_injectingKey) return false;
        g_shiftDown = (ke->modifiers() & Qt::ShiftModifier) != 0;
        // Deliver each key once, at its first receiver: the focus widget, or the window when
        // nothing has the focus. A key ignored there travels on to the parents, which are
        // never the focus widget.
        QWidget* focus = QApplication::focusWidget();
        if (focus ? watched != focus : !dynamic_cast<FrameWidget*>(watched)) return false;
        WindowImpl* top = ImplOfWidget(watched);
        if (!top || !top->wnd) return false;
        if (type == QEvent::KeyPress && ke->key() == Qt::Key_Space &&
            (ke->modifiers() & Qt::AltModifier)) {
            top->wnd->SendMessage(WM_SYSCOMMAND, SC_KEYMENU, ' ');
            return true;
        }
        // Alt+F4 closes the window, as its system menu says, also where the window manager
        // leaves the key to the program.
        if (type == QEvent::KeyPress && ke->key() == Qt::Key_F4 &&
            (ke->modifiers() & Qt::AltModifier)) {
            if (top->enabled) PostWindowMessage(top, WM_SYSCOMMAND, SC_CLOSE, 0);
            return true;
        }
        const UINT vk = VirtualKeyFromQt(ke->key());
        if (!vk) return false;
        const bool consumed =
            DeliverKey(top, vk, type == QEvent::KeyPress, ke->isAutoRepeat() ? 2 : 1);
        ProcessPendingWork();
        // The client area has no use of its own for keys.
        return consumed || dynamic_cast<ClientWidget*>(watched) ||
               dynamic_cast<FrameWidget*>(watched);
    }
    if (type == QEvent::MouseMove || type == QEvent::MouseButtonPress ||
        type == QEvent::MouseButtonRelease) {
        WindowImpl* c = ControlOfWidget(watched);
        if (!c || !c->isControl || watched != c->native->Widget()) return false;
        auto* me = static_cast<QMouseEvent*>(event);
        const QPoint qp = me->position().toPoint();
        const POINT p{qp.x(), qp.y()};
        if (!c->ReceivesMouse()) return false;
        const bool isStatic = c->kind == ControlKind::Static || c->kind == ControlKind::Icon;
        if (type == QEvent::MouseMove) {
            DeliverMouse(c, WM_MOUSEMOVE, p, 0);
            return false;
        }
        if (me->button() != Qt::LeftButton) return false;
        if (type == QEvent::MouseButtonPress) {
            DeliverMouse(c, WM_LBUTTONDOWN, p, MK_LBUTTON);
        } else {
            DeliverMouse(c, WM_LBUTTONUP, p, 0);
            if (WindowImpl::IsLive(c) && c->NotifiesClicks()) NotifyParent(c, STN_CLICKED);
        }
        ProcessPendingWork();
        // A static keeps its clicks; other controls' widgets go on to handle theirs.
        return isStatic;
    }
    return false;
}

}  // namespace afx
