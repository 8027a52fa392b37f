// The widgets of top-level windows and controls: made, placed, shown, focused and torn down as
// the framework's windows ask.
#include <QGuiApplication>
#include <QIcon>
#include <QMenuBar>
#include <QMetaObject>
#include <QVariant>

#include "platform/qt/control.h"

namespace afx {

// ---- creation and destruction ----

QtWindow::QtWindow(WindowSink* s) : sink(s) {}

std::unique_ptr<NativeWindow> CreateFrameWindow(const FrameParams& params, NativeWindow* owner,
                                                std::shared_ptr<gdi::Surface> surface,
                                                WindowSink* sink) {
    auto window = std::make_unique<QtWindow>(sink);
    window->surface = std::move(surface);
    window->menuBarHeight = params.menuBarHeight;
    window->minimiseBox = params.minimiseBox;
    window->maximiseBox = params.maximiseBox;
    // An owned window is its owner's dialog: the window manager keeps it above the owner and
    // gives it no taskbar entry of its own. The caption's buttons are those the style asks for.
    auto* ownerWindow = static_cast<QtWindow*>(owner);
    QWidget* ownerFrame = ownerWindow && ownerWindow->frame ? ownerWindow->frame : nullptr;
    FrameWidget* frame = new FrameWidget(window.get(), ownerFrame);
    window->frame = frame;
    Qt::WindowFlags flags =
        (ownerFrame ? Qt::Dialog : Qt::Window) | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (params.systemMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (params.minimiseBox) flags |= Qt::WindowMinimizeButtonHint;
    if (params.maximiseBox) flags |= Qt::WindowMaximizeButtonHint;
    frame->setWindowFlags(flags);
    frame->setWindowTitle(Q(params.title));
    frame->setFont(DialogFont());
    if (params.menuBar) window->EnsureMenuBar();
    ClientWidget* c = new ClientWidget(window.get(), frame);
    window->client = c;
    window->surface->SetChangeHook([c](const RECT& r) {
        QMetaObject::invokeMethod(
            c, [c, r] { c->update(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top)); },
            Qt::QueuedConnection);
    });
    return window;
}

std::unique_ptr<NativeWindow> CreateControlWindow(const ControlParams& params,
                                                  const ControlState* state, NativeWindow* dialog,
                                                  WindowSink* sink) {
    auto window = std::make_unique<QtWindow>(sink);
    window->state = state;
    window->control =
        CreateControlView(window.get(), params, static_cast<QtWindow*>(dialog)->client);
    QWidget* widget = window->Widget();
    widget->setFont(DialogFont());
    widget->installEventFilter(EventRouter::Instance());
    widget->setProperty(kWindowProperty, QVariant::fromValue(static_cast<void*>(window.get())));
    return window;
}

QtWindow::~QtWindow() {
    if (surface) surface->SetChangeHook(nullptr);
    menuActions.clear();
    if (frame) {
        // Windows it owns outlive it on their own (their frames are Qt children of this one).
        for (FrameWidget* owned : frame->findChildren<FrameWidget*>(Qt::FindDirectChildrenOnly))
            owned->setParent(nullptr, owned->windowFlags());
        frame->window = nullptr;
        client->window = nullptr;
        frame->hide();
        frame->deleteLater();
    }
    if (QWidget* widget = Widget()) {
        widget->removeEventFilter(EventRouter::Instance());
        widget->setProperty(kWindowProperty, QVariant());
        widget->hide();
        widget->deleteLater();
    }
}

// ---- geometry ----

void QtWindow::PlaceFrame(int x, int y, int cw, int ch) {
    if (!frame) return;
    const int mbh = menuBar ? menuBarHeight : 0;
    if (menuBar) menuBar->setGeometry(0, 0, cw, mbh);
    client->setGeometry(0, mbh, cw, ch);
    frame->setFixedSize(cw, ch + mbh);
    frame->move(x, y);
}

void QtWindow::PlaceControl(const RECT& rect) {
    if (!control) return;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    control->Widget()->setGeometry(rect.left, rect.top, width,
                                   height + control->OverhangBelow(height));
}

// ---- state on the screen ----

void QtWindow::SetTitle(const std::string& title) {
    if (frame) frame->setWindowTitle(Q(title));
}

void QtWindow::SyncText() {
    if (!control) return;
    syncing = true;
    control->SyncText(*state);
    syncing = false;
}

void QtWindow::Show(bool visible, bool enabled) {
    if (frame) {
        frame->setVisible(visible);
    } else if (QWidget* widget = Widget()) {
        widget->setVisible(visible);
        widget->setEnabled(enabled);
    }
}

void QtWindow::ShowIconic(bool on, bool visible) {
    if (!frame) return;
    frame->applyingState = true;
    frame->lastOwnStateChange = std::chrono::steady_clock::now();
    if (on)
        frame->showMinimized();
    else if (visible)
        frame->showNormal();
    frame->applyingState = false;
}

void QtWindow::ShowIcon(HICON icon) {
    if (frame && icon) frame->setWindowIcon(QIcon(PixmapFromIcon(icon)));
}

void QtWindow::SetModal(bool modal) {
    if (frame) frame->setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
}

void QtWindow::HideNow() {
    if (frame) frame->hide();
}

void QtWindow::TakeFocus() {
    if (QWidget* widget = Widget())
        widget->setFocus();
    else if (client)
        client->setFocus();
}

void QtWindow::Activate(NativeWindow* focusControl) {
    if (!frame) return;
    // Offscreen there is no window system to stack or activate windows.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        frame->raise();
        frame->activateWindow();
    }
    QWidget* focusWidget = focusControl ? static_cast<QtWindow*>(focusControl)->Widget() : nullptr;
    if (focusWidget)
        focusWidget->setFocus(Qt::ActiveWindowFocusReason);
    else if (client)
        client->setFocus(Qt::ActiveWindowFocusReason);
}

}  // namespace afx
