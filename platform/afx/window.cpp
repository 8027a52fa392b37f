// WindowImpl: the registry of live windows, what a top-level window and a control are made of
// (the objects, menus and fonts of a template), their geometry and invalidation, the colours a
// parent gives its controls, and destruction. The backend's widgets show them
// (window_sync.cpp).
#include "platform/afx/window.h"

#include <algorithm>
#include <set>

#include "platform/afx/input.h"
#include "platform/afx/loop.h"

namespace afx {
namespace {

ControlParams ControlParamsOf(const ControlTemplate& c) {
    ControlParams params;
    switch (c.kind) {
        case ControlKind::Static:
            params.kind = ControlWidget::Label;
            break;
        case ControlKind::Icon:
            params.kind = ControlWidget::IconLabel;
            break;
        case ControlKind::Button:
            params.kind = ControlWidget::Button;
            break;
        case ControlKind::Edit:
            params.kind = ControlWidget::Edit;
            break;
        case ControlKind::ComboBox:
            params.kind = ControlWidget::ComboBox;
            break;
        case ControlKind::ListView:
            params.kind = ControlWidget::ReportList;
            break;
    }
    const PixelRect pr = ControlPixelRect(c);
    params.rect = RECT{pr.x, pr.y, pr.x + pr.cx, pr.y + pr.cy};
    params.defaultButton = IsDefaultButton(c);
    const DWORD type = c.style & SS_TYPEMASK;
    params.align = type == SS_CENTER  ? LabelAlign::Centre
                   : type == SS_RIGHT ? LabelAlign::Right
                                      : LabelAlign::Left;
    params.centreVertically = (c.style & SS_CENTERIMAGE) != 0;
    params.wordWrap = c.kind == ControlKind::Static && !(c.style & SS_CENTERIMAGE);
    return params;
}

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

WindowImpl::WindowImpl(CWnd* w, WindowImpl* p) : wnd(w), parent(p) {
    editLimit = kDefaultEditLimit;
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
    FrameParams params;
    params.title = text;
    params.systemMenu = (style & WS_SYSMENU) != 0;
    params.minimiseBox = (style & WS_MINIMIZEBOX) != 0;
    params.maximiseBox = (style & WS_MAXIMIZEBOX) != 0;
    params.menuBarHeight = kMenuBarHeight;
    params.menuBar = menu != nullptr;
    native = CreateFrameWindow(params, owner ? owner->native.get() : nullptr, surface, this);
    if (menu) SyncMenuBar(true);
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

    impl->native = CreateControlWindow(ControlParamsOf(c), impl, native.get(), impl);
    // A drop-down list is one line tall whatever its template says.
    if (const int height = impl->native->OwnHeight()) impl->rect.bottom = impl->rect.top + height;
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
    if (menu && menu->m_hMenu) menu->m_hMenu->onChange = nullptr;
    native.reset();
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

void WindowImpl::SetIconic(bool on) {
    if (iconic == on) return;
    iconic = on;
    if (native) native->ShowIconic(on, visible);
    if (!on) Invalidate(nullptr, false);
}

bool WindowImpl::ReceivesMouse() const {
    const bool bound = wnd && wnd != ownedWnd.get();
    return bound || NotifiesClicks();
}

// Colours of a static or edit control come from its parent's WM_CTLCOLOR handling (which
// first offers the message to the control itself).
void WindowImpl::ApplyControlColours() {
    if (!native || !parent || !parent->wnd || !wnd) return;
    const ColourRole role = native->Colours();
    if (role == ColourRole::None) return;
    const UINT message = role == ColourRole::Edit ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC;
    auto scratch = std::make_shared<gdi::Surface>(1, 1);
    CDC dc;
    dc.AttachSurface(scratch);
    HBRUSH brush = reinterpret_cast<HBRUSH>(parent->wnd->SendMessage(
        message, reinterpret_cast<WPARAM>(&dc), reinterpret_cast<LPARAM>(Hwnd())));
    COLORREF fill = 0;
    bool hollow = true;
    if (brush && !gdi::BrushInfo(brush, &fill, &hollow)) hollow = true;
    native->ShowColours(dc.GetTextColor(), hollow, fill);
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

std::vector<ShownControl> WindowImpl::ShownControls() const {
    std::vector<ShownControl> shown;
    if (!topLevel || !native) return shown;
    for (WindowImpl* child : children)
        if (child->visible && child->native)
            shown.push_back(
                ShownControl{child->native.get(), POINT{child->rect.left, child->rect.top}});
    return shown;
}

}  // namespace afx
