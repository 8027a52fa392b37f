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
    unsigned vk;
};
constexpr NamedKey kNamedKeys[] = {
    {Qt::Key_Space, keys::kSpace},    {Qt::Key_Return, keys::kReturn},
    {Qt::Key_Enter, keys::kReturn},   {Qt::Key_Escape, keys::kEscape},
    {Qt::Key_Tab, keys::kTab},        {Qt::Key_Backtab, keys::kTab},
    {Qt::Key_Backspace, keys::kBack}, {Qt::Key_Control, keys::kControl},
    {Qt::Key_Shift, keys::kShift},    {Qt::Key_Alt, keys::kAlt},
    {Qt::Key_Left, keys::kLeft},      {Qt::Key_Right, keys::kRight},
    {Qt::Key_Up, keys::kUp},          {Qt::Key_Down, keys::kDown},
    {Qt::Key_Delete, keys::kDelete},  {Qt::Key_Pause, keys::kPause},
    {Qt::Key_Home, keys::kHome},      {Qt::Key_End, keys::kEnd},
};
constexpr unsigned kF12 = keys::kF1 + 11;

unsigned VirtualKeyFromQt(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<unsigned>('A' + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<unsigned>('0' + (key - Qt::Key_0));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        return keys::kF1 + static_cast<unsigned>(key - Qt::Key_F1);
    for (const NamedKey& k : kNamedKeys)
        if (k.qt == key) return k.vk;
    return 0;
}

int QtKeyOf(unsigned vk) {
    if (vk >= 'A' && vk <= 'Z') return Qt::Key_A + static_cast<int>(vk - 'A');
    if (vk >= '0' && vk <= '9') return Qt::Key_0 + static_cast<int>(vk - '0');
    if (vk >= keys::kF1 && vk <= kF12) return Qt::Key_F1 + static_cast<int>(vk - keys::kF1);
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

// The window of the frame that `o` belongs to.
QtWindow* FrameWindowOf(QObject* o) {
    for (QObject* w = o; w; w = w->parent()) {
        if (auto* frame = dynamic_cast<FrameWidget*>(w)) return frame->window;
    }
    return nullptr;
}

QtWindow* ControlOfWidget(QObject* o) {
    for (QObject* w = o; w; w = w->parent()) {
        if (QtWindow* window = WindowOfWidget(w)) return window;
        if (dynamic_cast<FrameWidget*>(w)) break;
    }
    return nullptr;
}

}  // namespace

bool QtWindow::PointerInClient(POINT* clientPoint, unsigned* held) const {
    QWidget* w = client ? static_cast<QWidget*>(client) : Widget();
    if (!w) return false;
    const QPoint p = w->mapFromGlobal(QCursor::pos());
    *clientPoint = POINT{p.x(), p.y()};
    *held = 0;
    const Qt::MouseButtons pressed = QGuiApplication::mouseButtons();
    if (pressed & Qt::LeftButton) *held |= buttons::kLeft;
    if (pressed & Qt::RightButton) *held |= buttons::kRight;
    return true;
}

WindowSink* TopLevelUnderPointer() {
    QWidget* under = QApplication::widgetAt(QCursor::pos());
    QtWindow* window = under ? FrameWindowOf(under) : nullptr;
    return window ? window->sink : nullptr;
}

bool QtWindow::SendKey(unsigned vk, bool down) {
    QWidget* widget = Widget();
    if (!widget) return false;
    const int key = QtKeyOf(vk);
    if (!key) return false;
    QString text;
    if (vk == keys::kSpace) text = QStringLiteral(" ");
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

void QtWindow::OpenSystemMenu(const std::vector<MenuEntry>& items) {
    if (!frame) return;
    if (g_systemMenu) {
        g_systemMenu->close();
        g_systemMenu->deleteLater();
    }
    auto* popup = new QMenu(frame);
    g_systemMenu = popup;
    QPointer<FrameWidget> owner = frame;
    for (const MenuEntry& item : items) {
        if (item.separator) {
            popup->addSeparator();
            continue;
        }
        QAction* a = popup->addAction(Q(item.text));
        a->setEnabled(item.enabled);
        a->setCheckable(item.checked);
        a->setChecked(item.checked);
        const unsigned id = item.id;
        QObject::connect(a, &QAction::triggered, [owner, id] {
            if (owner && owner->window) owner->window->sink->Command(id, true);
        });
    }
    QObject::connect(popup, &QMenu::aboutToHide, [popup] {
        if (g_systemMenu == popup) g_systemMenu = nullptr;
        popup->deleteLater();
    });
    popup->popup(frame->mapToGlobal(QPoint(0, 0)));
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
    if (type == QEvent::Leave && Events()->CaptureHeld() && watched->isWidgetType()) {
        Events()->PointerLeft();
        return false;
    }
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        auto* ke = static_cast<QKeyEvent*>(event);
        if (!watched->isWidgetType() || g_injectingKey) return false;
        Events()->Shift((ke->modifiers() & Qt::ShiftModifier) != 0);
        // Deliver each key once, at its first receiver: the focus widget, or the window when
        // nothing has the focus. A key ignored there travels on to the parents, which are
        // never the focus widget.
        QWidget* focus = QApplication::focusWidget();
        if (focus ? watched != focus : !dynamic_cast<FrameWidget*>(watched)) return false;
        QtWindow* top = FrameWindowOf(watched);
        const KeyRoute route =
            top ? top->sink->Key(VirtualKeyFromQt(ke->key()), type == QEvent::KeyPress,
                                 ke->isAutoRepeat(), (ke->modifiers() & Qt::AltModifier) != 0)
                : KeyRoute::NotTaken;
        if (route == KeyRoute::NotTaken) return false;
        // The client area has no use of its own for keys.
        return route == KeyRoute::Consumed || dynamic_cast<ClientWidget*>(watched) ||
               dynamic_cast<FrameWidget*>(watched);
    }
    if (type == QEvent::MouseMove || type == QEvent::MouseButtonPress ||
        type == QEvent::MouseButtonRelease) {
        QtWindow* c = ControlOfWidget(watched);
        if (!c || watched != c->Widget()) return false;
        auto* me = static_cast<QMouseEvent*>(event);
        const QPoint qp = me->position().toPoint();
        MouseEdge edge = MouseEdge::Move;
        if (type != QEvent::MouseMove) {
            if (me->button() != Qt::LeftButton) return false;
            edge = type == QEvent::MouseButtonPress ? MouseEdge::LeftDown : MouseEdge::LeftUp;
        }
        return c->sink->ControlMouse(edge, POINT{qp.x(), qp.y()});
    }
    return false;
}

}  // namespace afx
