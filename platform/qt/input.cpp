// Keyboard and mouse: PreTranslateMessage, capture, cursors, control notifications, and the
// system menu substitute.
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>

#include "platform/qt/widgets.h"

namespace afx {
namespace {

WindowImpl* g_capture = nullptr;
HCURSOR g_cursor = nullptr;
bool g_overrideSet = false;
QPointer<QMenu> g_systemMenu;  // goes null when its window takes it away

UINT VirtualKeyFromQt(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<UINT>('A' + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<UINT>('0' + (key - Qt::Key_0));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return VK_F1 + static_cast<UINT>(key - Qt::Key_F1);
    switch (key) {
        case Qt::Key_Space:
            return VK_SPACE;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return VK_RETURN;
        case Qt::Key_Escape:
            return VK_ESCAPE;
        case Qt::Key_Tab:
            return VK_TAB;
        case Qt::Key_Backspace:
            return VK_BACK;
        case Qt::Key_Control:
            return VK_CONTROL;
        case Qt::Key_Shift:
            return VK_SHIFT;
        case Qt::Key_Alt:
            return VK_MENU;
        case Qt::Key_Left:
            return VK_LEFT;
        case Qt::Key_Right:
            return VK_RIGHT;
        case Qt::Key_Up:
            return VK_UP;
        case Qt::Key_Down:
            return VK_DOWN;
        case Qt::Key_Delete:
            return VK_DELETE;
        case Qt::Key_Pause:
            return VK_PAUSE;
        default:
            return 0;
    }
}

WindowImpl* ImplOfWidget(QObject* o) {
    for (QObject* w = o; w; w = w->parent()) {
        if (auto* frame = dynamic_cast<FrameWidget*>(w)) return frame->impl;
    }
    return nullptr;
}

WindowImpl* ControlOfWidget(QObject* o) {
    for (QObject* w = o; w; w = w->parent()) {
        void* p = w->property("afxWindow").value<void*>();
        if (p) {
            WindowImpl* impl = static_cast<WindowImpl*>(p);
            return WindowImpl::IsLive(impl) ? impl : nullptr;
        }
        if (dynamic_cast<FrameWidget*>(w)) break;
    }
    return nullptr;
}

bool IsNotifyingStatic(const WindowImpl* c) {
    return c->kind == ControlKind::Static || c->kind == ControlKind::Icon;
}

}  // namespace

UINT ModifierFlags() {
    UINT flags = 0;
    if (!QApplication::instance()) return flags;
    const Qt::KeyboardModifiers m = QGuiApplication::queryKeyboardModifiers();
    if (m & Qt::ShiftModifier) flags |= MK_SHIFT;
    if (m & Qt::ControlModifier) flags |= MK_CONTROL;
    return flags;
}

bool DeliverKey(WindowImpl* top, UINT vk, bool down, UINT repeat) {
    if (!top || !top->wnd) return false;
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
    WindowImpl* target = impl;
    POINT p = pt;
    if (g_capture && g_capture != impl && WindowImpl::IsLive(g_capture)) {
        const POINT from = impl->ClientOrigin(), to = g_capture->ClientOrigin();
        p = POINT{pt.x + from.x - to.x, pt.y + from.y - to.y};
        target = g_capture;
    } else if (!g_capture) {
        SendSetCursor(target, message);
    }
    if (WindowImpl::IsLive(target) && target->wnd)
        target->wnd->SendMessage(message, flags, MAKELPARAM(p.x, p.y));
}

void SetCaptureImpl(WindowImpl* impl) {
    WindowImpl* old = g_capture;
    if (old == impl) return;
    g_capture = impl;
    if (WindowImpl::IsLive(old)) {
        QWidget* w = old->client ? static_cast<QWidget*>(old->client) : old->widget;
        if (w) w->releaseMouse();
        if (old->wnd)
            old->wnd->SendMessage(WM_CAPTURECHANGED, 0,
                                  reinterpret_cast<LPARAM>(impl ? impl->Hwnd() : nullptr));
    }
    if (impl) {
        QWidget* w = impl->client ? static_cast<QWidget*>(impl->client) : impl->widget;
        if (w && w->isVisible()) w->grabMouse();
    }
}

WindowImpl* CaptureImpl() { return WindowImpl::IsLive(g_capture) ? g_capture : nullptr; }

HCURSOR CurrentCursorImpl() { return g_cursor; }

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

QMenu* SystemMenuPopup() { return g_systemMenu; }

void OpenSystemMenuPopup(WindowImpl* impl) {
    if (!impl || !impl->systemMenu || !impl->frame) return;
    if (g_systemMenu) {
        g_systemMenu->close();
        g_systemMenu->deleteLater();
    }
    auto* popup = new QMenu(impl->frame);
    g_systemMenu = popup;
    WindowImpl* self = impl;
    for (MenuItem& item : impl->systemMenu->m_hMenu->items) {
        if (item.flags & MF_SEPARATOR) {
            popup->addSeparator();
            continue;
        }
        QAction* a = popup->addAction(QString::fromStdString(item.text));
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
    popup->popup(impl->frame->mapToGlobal(QPoint(0, 0)));
}

void CloseSystemMenuPopup() {
    if (g_systemMenu) g_systemMenu->close();
}

void ApplyCursor(HCURSOR cursor) {
    g_cursor = cursor;
    if (!QApplication::instance()) return;
    extern bool StandardCursorShape(HCURSOR cursor, Qt::CursorShape * shape);
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
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        auto* ke = static_cast<QKeyEvent*>(event);
        if (!watched->isWidgetType()) return false;
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
        if (!c || !c->isControl || watched != c->widget) return false;
        auto* me = static_cast<QMouseEvent*>(event);
        const QPoint qp = me->position().toPoint();
        const POINT p{qp.x(), qp.y()};
        const bool bound = c->wnd && c->wnd != c->ownedWnd.get();
        if (!bound && !(IsNotifyingStatic(c) && (c->style & SS_NOTIFY))) return false;
        if (type == QEvent::MouseMove) {
            DeliverMouse(c, WM_MOUSEMOVE, p, 0);
            return false;
        }
        if (me->button() != Qt::LeftButton) return false;
        if (type == QEvent::MouseButtonPress) {
            DeliverMouse(c, WM_LBUTTONDOWN, p, MK_LBUTTON);
        } else {
            DeliverMouse(c, WM_LBUTTONUP, p, 0);
            if (WindowImpl::IsLive(c) && IsNotifyingStatic(c) && (c->style & SS_NOTIFY))
                NotifyParent(c, STN_CLICKED);
        }
        ProcessPendingWork();
        return IsNotifyingStatic(c);
    }
    return false;
}

}  // namespace afx
