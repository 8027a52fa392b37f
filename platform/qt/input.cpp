// Native keyboard and mouse events turned into the framework's input calls, keys given to a
// control's widget, cursors, and the system menu substitute.
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

HCURSOR g_cursor = nullptr;
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

QWidget* MouseWidget(const WindowImpl* impl) {
    return impl->native->client ? static_cast<QWidget*>(impl->native->client)
                                : impl->native->Widget();
}

}  // namespace

bool PointerInClient(WindowImpl* impl, POINT* clientPoint, UINT* buttons) {
    QWidget* w = MouseWidget(impl);
    if (!w) return false;
    const QPoint p = w->mapFromGlobal(QCursor::pos());
    *clientPoint = POINT{p.x(), p.y()};
    *buttons = 0;
    const Qt::MouseButtons pressed = QGuiApplication::mouseButtons();
    if (pressed & Qt::LeftButton) *buttons |= MK_LBUTTON;
    if (pressed & Qt::RightButton) *buttons |= MK_RBUTTON;
    return true;
}

WindowImpl* TopLevelUnderPointer() {
    QWidget* under = QApplication::widgetAt(QCursor::pos());
    return under ? ImplOfWidget(under) : nullptr;
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

HCURSOR CurrentCursorImpl() { return g_cursor; }

HCURSOR StandardCursor(uintptr_t id) {
    size_t count = 0;
    StandardCursorEntry* c = StandardCursors(&count);
    for (size_t i = 0; i < count; ++i)
        if (c[i].id == id) return &c[i].image;
    return nullptr;
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
    if (type == QEvent::Leave && CaptureHeld() && watched->isWidgetType()) {
        PointerLeftWhileCaptured();
        return false;
    }
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        auto* ke = static_cast<QKeyEvent*>(event);
        if (!watched->isWidgetType() || g_injectingKey) return false;
        ShiftFromDesktop((ke->modifiers() & Qt::ShiftModifier) != 0);
        // Deliver each key once, at its first receiver: the focus widget, or the window when
        // nothing has the focus. A key ignored there travels on to the parents, which are
        // never the focus widget.
        QWidget* focus = QApplication::focusWidget();
        if (focus ? watched != focus : !dynamic_cast<FrameWidget*>(watched)) return false;
        WindowImpl* top = ImplOfWidget(watched);
        const KeyRoute route =
            KeyFromDesktop(top, VirtualKeyFromQt(ke->key()), type == QEvent::KeyPress,
                           ke->isAutoRepeat(), (ke->modifiers() & Qt::AltModifier) != 0);
        if (route == KeyRoute::NotTaken) return false;
        // The client area has no use of its own for keys.
        return route == KeyRoute::Consumed || dynamic_cast<ClientWidget*>(watched) ||
               dynamic_cast<FrameWidget*>(watched);
    }
    if (type == QEvent::MouseMove || type == QEvent::MouseButtonPress ||
        type == QEvent::MouseButtonRelease) {
        WindowImpl* c = ControlOfWidget(watched);
        if (!c || !c->isControl || watched != c->native->Widget()) return false;
        auto* me = static_cast<QMouseEvent*>(event);
        const QPoint qp = me->position().toPoint();
        UINT message = WM_MOUSEMOVE;
        if (type != QEvent::MouseMove) {
            if (me->button() != Qt::LeftButton) return false;
            message = type == QEvent::MouseButtonPress ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        }
        return ControlMouseFromDesktop(c, message, POINT{qp.x(), qp.y()});
    }
    return false;
}

}  // namespace afx
