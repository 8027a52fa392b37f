// CWnd: the window's life, geometry, text and state, painting, timers, capture, menus and icon,
// and the DCs on its client area. Its messages are in wndproc.cpp.
#include "platform/afx/input.h"
#include "platform/afx/loop.h"
#include "platform/afx/window.h"

using afx::WindowImpl;

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (!impl_) return;
    WindowImpl* impl = impl_;
    if (impl->wnd == this) impl->wnd = nullptr;
    if (impl->isControl) {
        // A bound control object goes away before its dialog: the control falls back to its
        // default object.
        if (impl->ownedWnd && impl->ownedWnd.get() != this) impl->wnd = impl->ownedWnd.get();
        impl_ = nullptr;
        m_hWnd = nullptr;
        return;
    }
    impl_ = nullptr;
    m_hWnd = nullptr;
    impl->Destroy();
    delete impl;
}

void CWnd::AttachImpl(WindowImpl* impl) {
    impl_ = impl;
    m_hWnd = impl ? impl->Hwnd() : nullptr;
    if (impl) impl->wnd = this;
}

WindowImpl* CWnd::DetachImpl() {
    WindowImpl* impl = impl_;
    impl_ = nullptr;
    m_hWnd = nullptr;
    return impl;
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    WindowImpl* impl = WindowImpl::FromHwnd(hwnd);
    return impl ? impl->wnd : nullptr;
}

BOOL IsWindow(HWND hwnd) { return WindowImpl::FromHwnd(hwnd) != nullptr; }

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    if (!parent || !parent->impl_) return FALSE;
    WindowImpl* child = parent->impl_->ChildById(static_cast<int>(id));
    if (!child) return FALSE;
    if (child->wnd == this) return TRUE;
    // The default object stays as an alias (pointers from GetDlgItem stay valid); messages
    // now reach this object.
    AttachImpl(child);
    PreSubclassWindow();
    child->ApplyControlColours();
    return TRUE;
}

void CWnd::PreSubclassWindow() {}

BOOL CWnd::DestroyWindow() {
    if (!impl_) return FALSE;
    WindowImpl* impl = impl_;
    SendMessage(WM_DESTROY);
    for (WindowImpl* child : std::vector<WindowImpl*>(impl->children))
        if (child->wnd) child->wnd->SendMessage(WM_DESTROY);
    if (!WindowImpl::IsLive(impl)) return TRUE;
    if (impl->isControl) {
        impl->Destroy();
        impl->visible = false;
        return TRUE;
    }
    impl->Destroy();
    impl_ = nullptr;
    m_hWnd = nullptr;
    delete impl;
    return TRUE;
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

// ---- geometry ----

void CWnd::GetClientRect(LPRECT rect) const {
    if (!impl_) {
        *rect = RECT{0, 0, 0, 0};
        return;
    }
    *rect = RECT{0, 0, impl_->ClientWidth(), impl_->ClientHeight()};
}

void CWnd::GetWindowRect(LPRECT rect) const {
    if (!impl_) {
        *rect = RECT{0, 0, 0, 0};
        return;
    }
    if (impl_->topLevel || !impl_->parent) {
        *rect = impl_->rect;
        return;
    }
    const POINT o = impl_->parent->ClientOrigin();
    *rect = RECT{impl_->rect.left + o.x, impl_->rect.top + o.y, impl_->rect.right + o.x,
                 impl_->rect.bottom + o.y};
}

void CWnd::ClientToScreen(LPPOINT point) const {
    if (!impl_) return;
    const POINT o = impl_->ClientOrigin();
    point->x += o.x;
    point->y += o.y;
}

void CWnd::ClientToScreen(LPRECT rect) const {
    if (!impl_) return;
    const POINT o = impl_->ClientOrigin();
    rect->left += o.x;
    rect->right += o.x;
    rect->top += o.y;
    rect->bottom += o.y;
}

void CWnd::ScreenToClient(LPPOINT point) const {
    if (!impl_) return;
    const POINT o = impl_->ClientOrigin();
    point->x -= o.x;
    point->y -= o.y;
}

void CWnd::ScreenToClient(LPRECT rect) const {
    if (!impl_) return;
    const POINT o = impl_->ClientOrigin();
    rect->left -= o.x;
    rect->right -= o.x;
    rect->top -= o.y;
    rect->bottom -= o.y;
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
    if (!impl_) return;
    const RECT old = impl_->rect;
    impl_->SetWindowRect(RECT{x, y, x + width, y + height});
    const bool resized = old.right - old.left != width || old.bottom - old.top != height;
    if (repaint && resized) impl_->Invalidate(nullptr, true);
    if (!impl_->topLevel && impl_->parent && repaint) impl_->parent->Invalidate(nullptr, false);
}

void CWnd::MoveWindow(LPCRECT rect, BOOL repaint) {
    MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}

BOOL CWnd::SetWindowPos(const CWnd*, int x, int y, int cx, int cy, UINT flags) {
    if (!impl_) return FALSE;
    RECT r = impl_->rect;
    if (flags & SWP_NOMOVE) {
        x = r.left;
        y = r.top;
    }
    if (flags & SWP_NOSIZE) {
        cx = r.right - r.left;
        cy = r.bottom - r.top;
    }
    MoveWindow(x, y, cx, cy, !(flags & SWP_NOREDRAW));
    if (flags & SWP_SHOWWINDOW) ShowWindow(SW_SHOW);
    if (flags & SWP_HIDEWINDOW) ShowWindow(SW_HIDE);
    return TRUE;
}

void CWnd::CenterWindow(CWnd* alternateOwner) {
    if (!impl_) return;
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    CWnd* owner = alternateOwner ? alternateOwner : GetParent();
    if (owner && owner->impl_ && impl_->topLevel) owner->GetWindowRect(&area);
    const int w = impl_->rect.right - impl_->rect.left, h = impl_->rect.bottom - impl_->rect.top;
    int x = area.left + (area.right - area.left - w) / 2;
    int y = area.top + (area.bottom - area.top - h) / 2;
    if (!impl_->topLevel && impl_->parent) {
        x = (impl_->parent->ClientWidth() - w) / 2;
        y = (impl_->parent->ClientHeight() - h) / 2;
    }
    MoveWindow(x, y, w, h, FALSE);
}

// ---- text, style, state ----

void CWnd::SetWindowText(const char* text) {
    if (!impl_) return;
    impl_->text = text ? text : "";
    impl_->SyncText();
}

void CWnd::GetWindowText(CString& text) const { text = impl_ ? impl_->text.c_str() : ""; }

int CWnd::GetWindowText(char* buffer, int maxCount) const {
    if (!buffer || maxCount <= 0) return 0;
    const std::string t = impl_ ? impl_->text : std::string();
    const int n =
        static_cast<int>(t.size()) < maxCount - 1 ? static_cast<int>(t.size()) : maxCount - 1;
    t.copy(buffer, static_cast<size_t>(n));
    buffer[n] = '\0';
    return n;
}

int CWnd::GetWindowTextLength() const { return impl_ ? static_cast<int>(impl_->text.size()) : 0; }

DWORD CWnd::GetStyle() const {
    if (!impl_) return 0;
    DWORD s = impl_->style & ~(WS_VISIBLE | WS_MINIMIZE | WS_DISABLED);
    if (impl_->visible) s |= WS_VISIBLE;
    if (impl_->iconic) s |= WS_MINIMIZE;
    if (!impl_->enabled) s |= WS_DISABLED;
    return s;
}

DWORD CWnd::GetExStyle() const { return impl_ ? impl_->exStyle : 0; }

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT) {
    if (!impl_) return FALSE;
    const DWORD before = impl_->style;
    impl_->style = (impl_->style & ~remove) | add;
    return before != impl_->style;
}

BOOL CWnd::ShowWindow(int cmdShow) {
    if (!impl_) return FALSE;
    const BOOL wasVisible = impl_->visible;
    switch (cmdShow) {
        case SW_HIDE:
            impl_->visible = false;
            break;
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
            impl_->visible = true;
            impl_->SetIconic(true);
            break;
        case SW_RESTORE:
        case SW_SHOWNORMAL:
            impl_->visible = true;
            impl_->SetIconic(false);
            break;
        default:
            impl_->visible = true;
            break;
    }
    if (!(impl_->iconic && cmdShow != SW_HIDE)) impl_->SyncVisible();
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const {
    for (WindowImpl* w = impl_; w; w = w->parent)
        if (!w->visible) return FALSE;
    return impl_ != nullptr;
}

BOOL CWnd::IsIconic() const { return impl_ && impl_->iconic; }

BOOL CWnd::EnableWindow(BOOL enable) {
    if (!impl_) return FALSE;
    const BOOL wasDisabled = !impl_->enabled;
    impl_->enabled = enable != FALSE;
    impl_->SyncVisible();
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const { return impl_ && impl_->enabled; }

CWnd* CWnd::SetFocus() {
    if (!impl_) return nullptr;
    CWnd* previous = GetFocus();
    if (impl_->isControl && impl_->parent) {
        impl_->parent->focus = impl_;
        impl_->TakeFocus();
    } else if (impl_->topLevel) {
        impl_->focus = nullptr;
        impl_->TakeFocus();
    }
    return previous;
}

CWnd* CWnd::GetFocus() {
    CWnd* top = afx::TopWindowForInput();
    if (!top || !top->impl_) return nullptr;
    WindowImpl* f = top->impl_->focus;
    return WindowImpl::IsLive(f) && f->wnd ? f->wnd : top;
}

int CWnd::GetDlgCtrlID() const { return impl_ ? impl_->id : 0; }

CWnd* CWnd::GetDlgItem(int id) const {
    if (!impl_) return nullptr;
    WindowImpl* child = impl_->ChildById(id);
    return child ? child->wnd : nullptr;
}

void CWnd::SetDlgItemText(int id, const char* text) {
    if (CWnd* item = GetDlgItem(id)) item->SetWindowText(text);
}

CWnd* CWnd::GetParent() const {
    if (impl_ && impl_->parent) return impl_->parent->wnd;
    return nullptr;
}

CWnd* CWnd::GetTopLevelParent() const {
    WindowImpl* w = impl_;
    while (w && w->parent) w = w->parent;
    return w ? w->wnd : nullptr;
}

void CWnd::SetFont(CFont* font, BOOL) {
    if (!impl_) return;
    impl_->font = font;
    impl_->SyncFont();
}

CFont* CWnd::GetFont() const {
    if (!impl_) return nullptr;
    if (impl_->font) return impl_->font;
    return impl_->parent ? impl_->parent->font : nullptr;
}

// ---- painting ----

void CWnd::Invalidate(BOOL erase) {
    if (!impl_) return;
    if (impl_->isControl) {
        impl_->ApplyControlColours();
        return;
    }
    impl_->Invalidate(nullptr, erase != FALSE);
}

void CWnd::InvalidateRect(LPCRECT rect, BOOL erase) {
    if (!impl_) return;
    if (impl_->isControl) {
        impl_->ApplyControlColours();
        return;
    }
    impl_->Invalidate(rect, erase != FALSE);
}

void CWnd::ValidateRect(LPCRECT rect) {
    if (!impl_) return;
    if (!rect) {
        impl_->hasInvalid = false;
        impl_->invalidErase = false;
        return;
    }
    // A partial validation keeps the bounding rectangle unless it covers it.
    if (rect->left <= impl_->invalid.left && rect->top <= impl_->invalid.top &&
        rect->right >= impl_->invalid.right && rect->bottom >= impl_->invalid.bottom)
        impl_->hasInvalid = false;
}

void CWnd::UpdateWindow() {
    if (impl_ && impl_->hasInvalid) {
        SendMessage(WM_PAINT);
        if (impl_) impl_->hasInvalid = false;
    }
}

BOOL CWnd::RedrawWindow(LPCRECT rect, void*, UINT flags) {
    if (!impl_) return FALSE;
    if (flags & RDW_INVALIDATE) InvalidateRect(rect, (flags & RDW_ERASE) != 0);
    if (flags & RDW_UPDATENOW) UpdateWindow();
    return TRUE;
}

BOOL CWnd::GetUpdateRect(LPRECT rect, BOOL) {
    if (!impl_ || !impl_->hasInvalid) {
        if (rect) *rect = RECT{0, 0, 0, 0};
        return FALSE;
    }
    if (rect) *rect = impl_->invalid;
    return TRUE;
}

std::shared_ptr<gdi::Surface> CWnd::GetSurface() const {
    if (!impl_) return nullptr;
    if (!impl_->surface) {
        // Controls are drawn by their widgets; a DC on them draws into a scratch image.
        const int w = impl_->rect.right - impl_->rect.left,
                  h = impl_->rect.bottom - impl_->rect.top;
        impl_->surface = std::make_shared<gdi::Surface>(w > 0 ? w : 1, h > 0 ? h : 1);
    }
    return impl_->surface;
}

CDC* CWnd::GetDC() { return new CClientDC(this); }
CDC* CWnd::GetWindowDC() { return new CClientDC(this); }

int CWnd::ReleaseDC(CDC* dc) {
    delete dc;
    return 1;
}

// ---- timers ----

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse, void*) {
    if (!impl_) return 0;
    seams::SetTimer(impl_, static_cast<unsigned>(id), elapse);
    return id;
}

BOOL CWnd::KillTimer(UINT_PTR id) {
    if (!impl_) return FALSE;
    return seams::KillTimer(impl_, static_cast<unsigned>(id));
}

// ---- mouse ----

CWnd* CWnd::SetCapture() {
    WindowImpl* previous = afx::CaptureImpl();
    afx::SetCaptureImpl(impl_);
    return previous ? previous->wnd : nullptr;
}

CWnd* CWnd::GetCapture() {
    WindowImpl* c = afx::CaptureImpl();
    return c ? c->wnd : nullptr;
}

HWND GetCapture() {
    WindowImpl* c = afx::CaptureImpl();
    return c ? c->Hwnd() : nullptr;
}

BOOL ReleaseCapture() {
    afx::SetCaptureImpl(nullptr);
    return TRUE;
}

// ---- menus, icon ----

CMenu* CWnd::GetMenu() const { return impl_ ? impl_->menu : nullptr; }

BOOL CWnd::SetMenu(CMenu* menu) {
    if (!impl_ || !impl_->topLevel) return FALSE;
    impl_->menu = menu;
    if (menu) impl_->EnsureMenuBar();
    impl_->SyncMenuBar(true);
    impl_->SyncGeometry();
    return TRUE;
}

void CWnd::DrawMenuBar() {
    if (impl_) impl_->SyncMenuBar(false);
}

CMenu* CWnd::GetSystemMenu(BOOL revert) const {
    if (!impl_ || !impl_->systemMenu) return nullptr;
    if (revert) {
        // Back to the standard items.
        CMenu* m = impl_->systemMenu.get();
        while (m->GetMenuItemCount() > 0) {
            const UINT id = m->GetMenuItemID(m->GetMenuItemCount() - 1);
            if (id == SC_CLOSE) break;
            m->RemoveMenu(static_cast<UINT>(m->GetMenuItemCount() - 1), MF_BYPOSITION);
        }
        return nullptr;
    }
    if (!(impl_->style & WS_SYSMENU)) return nullptr;
    return impl_->systemMenu.get();
}

HICON CWnd::SetIcon(HICON icon, BOOL bigIcon) {
    if (!impl_) return nullptr;
    HICON& slot = bigIcon ? impl_->iconBig : impl_->iconSmall;
    HICON previous = slot;
    slot = icon;
    impl_->ShowIcon(icon);
    return previous;
}

HICON CWnd::GetIcon(BOOL bigIcon) const {
    if (!impl_) return nullptr;
    return bigIcon ? impl_->iconBig : impl_->iconSmall;
}

// ---- window DCs ----

CPaintDC::CPaintDC(CWnd* wnd) : wnd_(wnd) {
    if (!wnd || !wnd->Impl()) return;
    WindowImpl* impl = wnd->Impl();
    AttachSurface(wnd->GetSurface());
    m_rcPaint =
        impl->hasInvalid ? impl->invalid : RECT{0, 0, impl->ClientWidth(), impl->ClientHeight()};
    m_fErase = impl->invalidErase;
    impl->hasInvalid = false;
    impl->invalidErase = false;
    if (m_fErase)
        wnd->SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(static_cast<CDC*>(this)));
    SetClipRect(&m_rcPaint);
}

CPaintDC::~CPaintDC() = default;

CClientDC::CClientDC(CWnd* wnd) : wnd_(wnd) {
    if (wnd) AttachSurface(wnd->GetSurface());
}

CClientDC::~CClientDC() = default;
