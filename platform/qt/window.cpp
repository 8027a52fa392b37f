// The widgets of top-level windows and controls: made, placed, shown, focused and torn down as
// the framework's windows ask.
#include <QGuiApplication>
#include <QIcon>
#include <QMenuBar>
#include <QMetaObject>
#include <QVariant>

#include "platform/qt/control.h"

namespace afx {

void NativeWindowDeleter::operator()(NativeWindow* native) const { delete native; }

std::unique_ptr<NativeWindow, NativeWindowDeleter> MakeNativeWindow() {
    return std::unique_ptr<NativeWindow, NativeWindowDeleter>(new NativeWindow());
}

// ---- creation and destruction ----

void WindowImpl::CreateFrame(WindowImpl* owner) {
    // An owned window is its owner's dialog: the window manager keeps it above the owner and
    // gives it no taskbar entry of its own. The caption's buttons are those the style asks for.
    QWidget* ownerFrame = owner && owner->native->frame ? owner->native->frame : nullptr;
    FrameWidget* frame = new FrameWidget(this, ownerFrame);
    native->frame = frame;
    Qt::WindowFlags flags =
        (ownerFrame ? Qt::Dialog : Qt::Window) | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (style & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (style & WS_MINIMIZEBOX) flags |= Qt::WindowMinimizeButtonHint;
    if (style & WS_MAXIMIZEBOX) flags |= Qt::WindowMaximizeButtonHint;
    frame->setWindowFlags(flags);
    frame->setWindowTitle(Q(text));
    frame->setFont(DialogFont());
    if (menu) {
        EnsureMenuBar();
        SyncMenuBar(true);
    }
    ClientWidget* c = new ClientWidget(this, frame);
    native->client = c;
    surface->SetChangeHook([c](const RECT& r) {
        QMetaObject::invokeMethod(
            c, [c, r] { c->update(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top)); },
            Qt::QueuedConnection);
    });
    SyncGeometry();
}

void WindowImpl::CreateControlWidget(const ControlTemplate& c) {
    native->control = CreateControlView(this, c, parent->native->client);
    QWidget* widget = native->Widget();
    widget->setFont(DialogFont());
    widget->installEventFilter(EventRouter::Instance());
    widget->setProperty(kWindowProperty, QVariant::fromValue(static_cast<void*>(this)));
    SyncControl();
    SyncGeometry();
}

void WindowImpl::DestroyWidgets() {
    if (surface) surface->SetChangeHook(nullptr);
    native->menuActions.clear();
    if (FrameWidget* frame = native->frame) {
        // Windows it owns outlive it on their own (their frames are Qt children of this one).
        for (FrameWidget* owned : frame->findChildren<FrameWidget*>(Qt::FindDirectChildrenOnly))
            owned->setParent(nullptr, owned->windowFlags());
        frame->impl = nullptr;
        frame->hide();
        frame->deleteLater();
        native->frame = nullptr;
        native->client = nullptr;
        native->menuBar = nullptr;
    }
    if (QWidget* widget = native->Widget()) {
        widget->removeEventFilter(EventRouter::Instance());
        widget->setProperty(kWindowProperty, QVariant());
        widget->hide();
        widget->deleteLater();
        native->control.reset();
    }
}

// ---- geometry ----

void WindowImpl::SyncGeometry() {
    if (topLevel && native->frame) {
        const int cw = ClientWidth(), ch = ClientHeight();
        const int mbh = native->menuBar ? kMenuBarHeight : 0;
        if (native->menuBar) native->menuBar->setGeometry(0, 0, cw, mbh);
        native->client->setGeometry(0, mbh, cw, ch);
        native->frame->setFixedSize(cw, ch + mbh);
        native->frame->move(rect.left, rect.top);
    } else if (ControlView* view = native->control.get()) {
        const int width = rect.right - rect.left, height = rect.bottom - rect.top;
        view->Widget()->setGeometry(rect.left, rect.top, width,
                                    height + view->OverhangBelow(height));
    }
}

// ---- state on the screen ----

void WindowImpl::SyncText() {
    if (topLevel && native->frame) {
        native->frame->setWindowTitle(Q(text));
        return;
    }
    ControlView* view = native->control.get();
    if (!view) return;
    native->syncing = true;
    view->SyncText(*this);
    native->syncing = false;
}

void WindowImpl::ShowVisible() {
    if (topLevel && native->frame) {
        native->frame->setVisible(visible);
    } else if (QWidget* widget = native->Widget()) {
        widget->setVisible(visible);
        widget->setEnabled(enabled);
    }
}

void WindowImpl::ShowIconic(bool on) {
    if (FrameWidget* frame = native->frame) {
        frame->applyingState = true;
        frame->lastOwnStateChange = std::chrono::steady_clock::now();
        if (on)
            frame->showMinimized();
        else if (visible)
            frame->showNormal();
        frame->applyingState = false;
    }
}

void WindowImpl::ShowIcon(HICON icon) {
    if (native->frame && icon) native->frame->setWindowIcon(QIcon(PixmapFromIcon(icon)));
}

void WindowImpl::SetModal(bool modal) {
    if (native->frame)
        native->frame->setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
}

void WindowImpl::HideNow() {
    if (native->frame) native->frame->hide();
}

void WindowImpl::TakeFocus() {
    if (QWidget* widget = native->Widget())
        widget->setFocus();
    else if (native->client)
        native->client->setFocus();
}

void WindowImpl::Activate() {
    if (!native->frame || !visible || iconic) return;
    // Offscreen there is no window system to stack or activate windows.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        native->frame->raise();
        native->frame->activateWindow();
    }
    QWidget* focusWidget = WindowImpl::IsLive(focus) ? focus->native->Widget() : nullptr;
    if (focusWidget && focus->visible)
        focusWidget->setFocus(Qt::ActiveWindowFocusReason);
    else if (native->client)
        native->client->setFocus(Qt::ActiveWindowFocusReason);
}

}  // namespace afx
