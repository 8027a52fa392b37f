// The widgets of a top-level window: the frame, which carries the title bar's state back to the
// framework, and the client area, which presents the window surface and takes the mouse.
#include <QCloseEvent>
#include <QImage>
#include <QMetaObject>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QPainter>
#include <QVariant>
#include <algorithm>
#include <mutex>

#include "platform/qt/control.h"

namespace afx {
namespace {

std::vector<FrameWidget*>& Frames() {
    static std::vector<FrameWidget*> frames;
    return frames;
}

}  // namespace

QWidget* QtWindow::Widget() const { return control ? control->Widget() : nullptr; }

QtWindow* WindowOfWidget(const QObject* widget) {
    return static_cast<QtWindow*>(widget->property(kWindowProperty).value<void*>());
}

// ---- FrameWidget ----

FrameWidget::FrameWidget(QtWindow* w, QWidget* owner)
    : QWidget(owner, owner ? Qt::Dialog : Qt::Window), window(w) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    Frames().push_back(this);
}

FrameWidget::~FrameWidget() {
    auto& frames = Frames();
    frames.erase(std::remove(frames.begin(), frames.end(), this), frames.end());
}

const std::vector<FrameWidget*>& FrameWidget::All() { return Frames(); }

void FrameWidget::closeEvent(QCloseEvent* e) {
    e->ignore();
    if (window) window->sink->CloseBox();
}

void FrameWidget::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && window &&
        !window->sink->TakesInput()) {
        ReturnFocusToModalSoon();
        return;
    }
    if (e->type() != QEvent::WindowStateChange || applyingState || !window) return;
    // The windows keep their size: one without a maximise box is never maximised, whatever the
    // window manager offers.
    if (isMaximized() && !window->maximiseBox) {
        setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
        return;
    }
    // Nor is one without a minimise box minimised: a dialog hidden that way would leave its
    // owner disabled with nothing on the screen to say why.
    if (isMinimized() && !window->minimiseBox) {
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
    window->sink->MinimisedByDesktop(isMinimized());
}

// The player moved the window (by its title bar): the framework's rectangle follows.
void FrameWidget::moveEvent(QMoveEvent* e) {
    QWidget::moveEvent(e);
    if (!window || !isVisible() || isMinimized()) return;
    const QPoint p = pos();
    window->sink->MovedByDesktop(POINT{p.x(), p.y()});
}

// ---- ClientWidget ----

ClientWidget::ClientWidget(QtWindow* w, QWidget* parent) : QWidget(parent), window(w) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

void ClientWidget::paintEvent(QPaintEvent*) {
    if (!window || !window->surface) return;
    QPainter painter(this);
    gdi::Surface& s = *window->surface;
    std::lock_guard<std::mutex> lock(s.Mutex());
    const QImage view(reinterpret_cast<const uchar*>(s.Pixels()), s.Width(), s.Height(),
                      s.Stride() * 4, QImage::Format_RGB32);
    // One surface pixel per logical pixel: Qt scales by the device-pixel ratio, unsmoothed.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRect(0, 0, s.Width(), s.Height()), view);
}

namespace {

unsigned MouseFlags(const QMouseEvent* e) {
    unsigned flags = 0;
    if (e->buttons() & Qt::LeftButton) flags |= buttons::kLeft;
    if (e->buttons() & Qt::RightButton) flags |= buttons::kRight;
    if (e->modifiers() & Qt::ShiftModifier) flags |= buttons::kShift;
    if (e->modifiers() & Qt::ControlModifier) flags |= buttons::kControl;
    return flags;
}

POINT PointOf(const QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    return POINT{p.x(), p.y()};
}

}  // namespace

void ClientWidget::mousePressEvent(QMouseEvent* e) {
    if (!window) return;
    const MouseEdge edge = e->button() == Qt::LeftButton    ? MouseEdge::LeftDown
                           : e->button() == Qt::RightButton ? MouseEdge::RightDown
                                                            : MouseEdge::OtherButton;
    window->sink->Mouse(edge, PointOf(e), MouseFlags(e));
}

void ClientWidget::mouseReleaseEvent(QMouseEvent* e) {
    if (!window) return;
    const MouseEdge edge = e->button() == Qt::LeftButton    ? MouseEdge::LeftUp
                           : e->button() == Qt::RightButton ? MouseEdge::RightUp
                                                            : MouseEdge::OtherButton;
    window->sink->Mouse(edge, PointOf(e), MouseFlags(e));
}

void ClientWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    if (window && e->button() == Qt::LeftButton)
        window->sink->Mouse(MouseEdge::LeftDoubleClick, PointOf(e), MouseFlags(e));
}

void ClientWidget::mouseMoveEvent(QMouseEvent* e) {
    if (window) window->sink->Mouse(MouseEdge::Move, PointOf(e), MouseFlags(e));
}

}  // namespace afx
