// WindowImpl: the life of top-level windows and controls, their geometry and state on the
// screen, and invalidation.
#include <QGuiApplication>
#include <QIcon>
#include <QMenuBar>
#include <QMetaObject>
#include <QVariant>
#include <algorithm>
#include <set>

#include "platform/qt/control.h"

namespace afx {
namespace {

std::set<const WindowImpl*>& LiveWindows() {
    static std::set<const WindowImpl*> live;
    return live;
}

}  // namespace

std::vector<WindowImpl*> TopLevelWindows() {
    std::vector<WindowImpl*> out;
    for (const WindowImpl* w : LiveWindows())
        if (w->topLevel && !w->destroyed) out.push_back(const_cast<WindowImpl*>(w));
    return out;
}

WindowImpl::WindowImpl(CWnd* w, WindowImpl* p)
    : wnd(w), parent(p), native(std::make_unique<NativeWindow>()) {
    LiveWindows().insert(this);
    if (parent) parent->children.push_back(this);
}

WindowImpl::~WindowImpl() {
    LiveWindows().erase(this);
    PurgePosted(this);
    if (parent) {
        auto& c = parent->children;
        c.erase(std::remove(c.begin(), c.end(), this), c.end());
        if (parent->focus == this) parent->focus = nullptr;
        if (parent->pressedButton == this) parent->pressedButton = nullptr;
    }
}

WindowImpl* WindowImpl::FromHwnd(HWND h) {
    WindowImpl* impl = reinterpret_cast<WindowImpl*>(h);
    return IsLive(impl) ? impl : nullptr;
}

bool WindowImpl::IsLive(const WindowImpl* impl) { return impl && LiveWindows().count(impl) != 0; }

// ---- creation and destruction ----

void WindowImpl::CreateTopLevel(const DialogTemplate& t, WindowImpl* owner) {
    topLevel = true;
    style = t.style;
    exStyle = t.exStyle;
    text = t.caption;
    if (t.menuId) {
        ownedMenu = std::make_unique<CMenu>();
        if (ownedMenu->LoadMenu(static_cast<UINT>(t.menuId)))
            menu = ownedMenu.get();
        else
            ownedMenu.reset();
    }
    ownedFont = std::make_unique<CFont>();
    ownedFont->CreatePointFont(t.pointSize * 10, t.fontName.c_str());
    font = ownedFont.get();

    // The system menu substitute.
    systemMenu = std::make_unique<CMenu>();
    systemMenu->CreatePopupMenu();
    systemMenu->AppendMenu(MF_STRING, SC_RESTORE, "还原(&R)");
    if (style & WS_MINIMIZEBOX) systemMenu->AppendMenu(MF_STRING, SC_MINIMIZE, "最小化(&N)");
    systemMenu->AppendMenu(MF_SEPARATOR);
    systemMenu->AppendMenu(MF_STRING, SC_CLOSE, "关闭(&C)\tAlt+F4");

    const int cw = DialogUnitsToPixelsX(t.cx);
    const int ch = DialogUnitsToPixelsY(t.cy);
    const int w = cw + 2 * BorderWidth();
    const int h = ch + 2 * BorderWidth() + CaptionHeight() + MenuBarHeight();
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    rect = RECT{(sw - w) / 2, (sh - h) / 2, (sw - w) / 2 + w, (sh - h) / 2 + h};

    surface = std::make_shared<gdi::Surface>(cw, ch);

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

    for (const ControlTemplate& ct : t.controls) CreateControl(ct);
}

WindowImpl* WindowImpl::CreateControl(const ControlTemplate& c) {
    auto* impl = new WindowImpl(nullptr, this);
    impl->isControl = true;
    impl->kind = c.kind;
    impl->id = c.id;
    impl->style = c.style;
    impl->exStyle = c.exStyle;
    impl->text = c.text;
    const PixelRect pr = ControlPixelRect(c);
    impl->rect = RECT{pr.x, pr.y, pr.x + pr.cx, pr.y + pr.cy};
    impl->visible = (c.style & WS_VISIBLE) != 0;
    impl->enabled = (c.style & WS_DISABLED) == 0;
    impl->comboItems = c.items;
    impl->font = font;

    std::unique_ptr<CWnd> object;
    switch (c.kind) {
        case ControlKind::Static:
        case ControlKind::Icon:
            object = std::make_unique<CStatic>();
            break;
        case ControlKind::Button:
            object = std::make_unique<CButton>();
            break;
        case ControlKind::Edit:
            object = std::make_unique<CEdit>();
            break;
        case ControlKind::ComboBox:
            object = std::make_unique<CComboBox>();
            break;
        case ControlKind::ListView:
            object = std::make_unique<CListCtrl>();
            break;
    }
    object->AttachImpl(impl);
    impl->ownedWnd = std::move(object);

    if (IsDefaultButton(c)) defaultButton = c.id;
    if (c.kind == ControlKind::Icon && c.resourceId)
        impl->staticIcon = LoadIconResource(c.resourceId);

    impl->native->control = CreateControlView(impl, c, native->client);
    QWidget* widget = impl->native->Widget();
    widget->setFont(DialogFont());
    widget->installEventFilter(EventRouter::Instance());
    widget->setProperty(kWindowProperty, QVariant::fromValue(static_cast<void*>(impl)));
    impl->SyncControl();
    impl->SyncGeometry();
    impl->SyncVisible();
    return impl;
}

void WindowImpl::Destroy() {
    if (destroyed) return;
    destroyed = true;
    PurgePosted(this);
    ReleaseCaptureWithin(this);
    seams::KillTimers(this);
    while (!children.empty()) {
        WindowImpl* child = children.back();
        child->Destroy();
        if (child->wnd && child->wnd != child->ownedWnd.get()) {
            // A bound object outlives its control: it no longer has a window.
            child->wnd->DetachImpl();
        }
        if (child->ownedWnd) child->ownedWnd->DetachImpl();
        child->ownedWnd.reset();
        delete child;
    }
    if (surface) surface->SetChangeHook(nullptr);
    if (menu && menu->m_hMenu) menu->m_hMenu->onChange = nullptr;
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

int WindowImpl::ClientWidth() const {
    int w = rect.right - rect.left - (topLevel ? 2 * BorderWidth() : 0);
    return w > 0 ? w : 0;
}

int WindowImpl::ClientHeight() const {
    int h = rect.bottom - rect.top -
            (topLevel ? 2 * BorderWidth() + CaptionHeight() + MenuBarHeight() : 0);
    return h > 0 ? h : 0;
}

POINT WindowImpl::ClientOrigin() const {
    if (topLevel || !parent)
        return POINT{rect.left + BorderWidth(),
                     rect.top + BorderWidth() + CaptionHeight() + MenuBarHeight()};
    POINT o = parent->ClientOrigin();
    return POINT{o.x + rect.left, o.y + rect.top};
}

void WindowImpl::SetWindowRect(const RECT& r) {
    const int oldW = rect.right - rect.left, oldH = rect.bottom - rect.top;
    rect = r;
    if (topLevel && surface) {
        const int cw = ClientWidth(), ch = ClientHeight();
        if (cw != surface->Width() || ch != surface->Height()) surface->Resize(cw, ch);
    }
    SyncGeometry();
    if ((oldW != r.right - r.left || oldH != r.bottom - r.top) && wnd) {
        wnd->SendMessage(WM_SIZE, 0, MAKELPARAM(ClientWidth(), ClientHeight()));
    }
}

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

void WindowImpl::SyncVisible() {
    // A window that hides can no longer hold the mouse.
    if (!visible) ReleaseCaptureWithin(this);
    if (topLevel && native->frame) {
        native->frame->setVisible(visible);
    } else if (QWidget* widget = native->Widget()) {
        widget->setVisible(visible);
        widget->setEnabled(enabled);
    }
}

void WindowImpl::SetIconic(bool on) {
    if (iconic == on) return;
    iconic = on;
    if (FrameWidget* frame = native->frame) {
        frame->applyingState = true;
        frame->lastOwnStateChange = std::chrono::steady_clock::now();
        if (on)
            frame->showMinimized();
        else if (visible)
            frame->showNormal();
        frame->applyingState = false;
    }
    if (!on) Invalidate(nullptr, false);
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

// ---- painting ----

void WindowImpl::Invalidate(const RECT* r, bool erase) {
    if (!topLevel || !surface) return;
    RECT area{0, 0, ClientWidth(), ClientHeight()};
    if (r) {
        CRect clipped;
        if (!clipped.IntersectRect(r, &area)) return;
        area = clipped;
    }
    if (hasInvalid) {
        CRect u;
        u.UnionRect(&invalid, &area);
        invalid = u;
    } else {
        invalid = area;
        hasInvalid = true;
    }
    invalidErase = invalidErase || erase;
    ScheduleDispatch();
}

void WindowImpl::EraseBackground(CDC* dc) {
    if (!wnd) return;
    HBRUSH brush = reinterpret_cast<HBRUSH>(wnd->SendMessage(
        WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(Hwnd())));
    if (!brush) return;
    CBrush wrapper;
    wrapper.Attach(brush);
    RECT all{0, 0, ClientWidth(), ClientHeight()};
    dc->FillRect(&all, &wrapper);
    wrapper.Detach();
}

// ---- children ----

WindowImpl* WindowImpl::ChildById(int childId) const {
    for (WindowImpl* c : children)
        if (c->id == childId) return c;
    return nullptr;
}

WindowImpl* WindowImpl::ChildAt(POINT p) const {
    for (WindowImpl* c : children) {
        if (!c->visible) continue;
        if (p.x >= c->rect.left && p.x < c->rect.right && p.y >= c->rect.top &&
            p.y < c->rect.bottom)
            return c;
    }
    return nullptr;
}

}  // namespace afx
