// The widgets of a top-level window: the frame, which carries the title bar's state back to the
// framework, and the client area, which presents the window surface and takes the mouse.
#include <QCloseEvent>
#include <QImage>
#include <QMenuBar>
#include <QMetaObject>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QPainter>
#include <QVariant>
#include <mutex>

#include "platform/qt/control.h"

namespace afx {

NativeWindow::NativeWindow() = default;
NativeWindow::~NativeWindow() = default;

QWidget* NativeWindow::Widget() const { return control ? control->Widget() : nullptr; }

WindowImpl* WindowOfWidget(const QObject* widget) {
    auto* impl = static_cast<WindowImpl*>(widget->property(kWindowProperty).value<void*>());
    return WindowImpl::IsLive(impl) ? impl : nullptr;
}

// ---- FrameWidget ----

FrameWidget::FrameWidget(WindowImpl* i, QWidget* owner)
    : QWidget(owner, owner ? Qt::Dialog : Qt::Window), impl(i) {
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void FrameWidget::closeEvent(QCloseEvent* e) {
    e->ignore();
    // The caption's close box: SC_CLOSE, then WM_CLOSE through the default handling.
    if (impl && impl->wnd) PostWindowMessage(impl, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void FrameWidget::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && impl && !impl->enabled) {
        ReturnFocusToModalSoon();
        return;
    }
    if (e->type() != QEvent::WindowStateChange || applyingState || !impl || !impl->wnd) return;
    // The windows keep their size: one without a maximise box is never maximised, whatever the
    // window manager offers.
    if (isMaximized() && !(impl->style & WS_MAXIMIZEBOX)) {
        setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
        return;
    }
    // Nor is one without a minimise box minimised: a dialog hidden that way would leave its
    // owner disabled with nothing on the screen to say why.
    if (isMinimized() && !(impl->style & WS_MINIMIZEBOX)) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                showNormal();
                raise();
                activateWindow();
            },
            Qt::QueuedConnection);
        return;
    }
    if (std::chrono::steady_clock::now() - lastOwnStateChange < std::chrono::seconds(1)) return;
    const bool minimised = isMinimized();
    if (minimised && !impl->iconic)
        PostWindowMessage(impl, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    else if (!minimised && impl->iconic)
        PostWindowMessage(impl, WM_SYSCOMMAND, SC_RESTORE, 0);  // restored from the taskbar
}

// The player moved the window (by its title bar): its rectangle follows, so that boxes and
// dialogs opened later are centred where the window now is.
void FrameWidget::moveEvent(QMoveEvent* e) {
    QWidget::moveEvent(e);
    if (!impl || !impl->topLevel || !isVisible() || isMinimized()) return;
    const QPoint p = pos();
    RECT& r = impl->rect;
    if (p.x() == r.left && p.y() == r.top) return;
    r = RECT{p.x(), p.y(), p.x() + (r.right - r.left), p.y() + (r.bottom - r.top)};
}

// ---- ClientWidget ----

ClientWidget::ClientWidget(WindowImpl* i, QWidget* parent) : QWidget(parent), impl(i) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

void ClientWidget::paintEvent(QPaintEvent*) {
    if (!impl || !impl->surface) return;
    QPainter painter(this);
    gdi::Surface& s = *impl->surface;
    std::lock_guard<std::mutex> lock(s.Mutex());
    const QImage view(reinterpret_cast<const uchar*>(s.Pixels()), s.Width(), s.Height(),
                      s.Stride() * 4, QImage::Format_RGB32);
    // One surface pixel per logical pixel: Qt scales by the device-pixel ratio, unsmoothed.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRect(0, 0, s.Width(), s.Height()), view);
}

namespace {

UINT MouseFlags(const QMouseEvent* e) {
    UINT flags = 0;
    if (e->buttons() & Qt::LeftButton) flags |= MK_LBUTTON;
    if (e->buttons() & Qt::RightButton) flags |= MK_RBUTTON;
    if (e->modifiers() & Qt::ShiftModifier) flags |= MK_SHIFT;
    if (e->modifiers() & Qt::ControlModifier) flags |= MK_CONTROL;
    return flags;
}

POINT PointOf(const QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    return POINT{p.x(), p.y()};
}

}  // namespace

void ClientWidget::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        DeliverMouse(impl, WM_LBUTTONDOWN, PointOf(e), MouseFlags(e));
    else if (e->button() == Qt::RightButton)
        DeliverMouse(impl, WM_RBUTTONDOWN, PointOf(e), MouseFlags(e));
    ProcessPendingWork();
}

void ClientWidget::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        DeliverMouse(impl, WM_LBUTTONUP, PointOf(e), MouseFlags(e));
    else if (e->button() == Qt::RightButton)
        DeliverMouse(impl, WM_RBUTTONUP, PointOf(e), MouseFlags(e));
    ProcessPendingWork();
}

void ClientWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        DeliverMouse(impl, WM_LBUTTONDBLCLK, PointOf(e), MouseFlags(e));
}

void ClientWidget::mouseMoveEvent(QMouseEvent* e) {
    DeliverMouse(impl, WM_MOUSEMOVE, PointOf(e), MouseFlags(e));
}

}  // namespace afx
