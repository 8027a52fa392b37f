// WindowImpl and the backend: the window's state shown by its widgets, and what the desktop did
// with them (WindowSink) turned into the framework's messages.
#include <algorithm>

#include "platform/afx/input.h"
#include "platform/afx/loop.h"
#include "platform/afx/window.h"

namespace afx {
namespace {

// The backend numbers keys, mouse flags, list formats and list styles as the framework does.
static_assert(keys::kBack == VK_BACK && keys::kTab == VK_TAB && keys::kReturn == VK_RETURN &&
              keys::kShift == VK_SHIFT && keys::kControl == VK_CONTROL && keys::kAlt == VK_MENU &&
              keys::kPause == VK_PAUSE && keys::kEscape == VK_ESCAPE && keys::kSpace == VK_SPACE &&
              keys::kEnd == VK_END && keys::kHome == VK_HOME && keys::kLeft == VK_LEFT &&
              keys::kUp == VK_UP && keys::kRight == VK_RIGHT && keys::kDown == VK_DOWN &&
              keys::kDelete == VK_DELETE && keys::kF1 == VK_F1 && keys::kF1 + 11 == VK_F12);
static_assert(buttons::kLeft == MK_LBUTTON && buttons::kRight == MK_RBUTTON &&
              buttons::kShift == MK_SHIFT && buttons::kControl == MK_CONTROL);
static_assert(LVCFMT_LEFT == 0 && LVCFMT_RIGHT == 1 && LVCFMT_CENTER == 2);
static_assert(LVS_EX_GRIDLINES == 0x01 && LVS_EX_FULLROWSELECT == 0x20);

std::vector<MenuEntry> EntriesOf(const MenuData& menu) {
    std::vector<MenuEntry> entries;
    for (const MenuItem& item : menu.items) {
        MenuEntry e;
        e.id = item.id;
        e.text = item.text;
        e.separator = (item.flags & MF_SEPARATOR) != 0;
        e.popup = item.sub != nullptr;
        e.enabled = !(item.flags & (MF_GRAYED | MF_DISABLED));
        e.checked = (item.flags & MF_CHECKED) != 0;
        if (item.sub) e.items = EntriesOf(*item.sub);
        entries.push_back(std::move(e));
    }
    return entries;
}

}  // namespace

// ---- the state into the widgets ----

void WindowImpl::SyncGeometry() {
    if (!native) return;
    if (topLevel)
        native->PlaceFrame(rect.left, rect.top, ClientWidth(), ClientHeight());
    else
        native->PlaceControl(rect);
}

void WindowImpl::SyncText() {
    if (!native) return;
    if (topLevel) {
        native->SetTitle(text);
        return;
    }
    noPrefix = (style & SS_NOPREFIX) != 0;
    native->SyncText();
}

void WindowImpl::SyncVisible() {
    // A window that hides can no longer hold the mouse.
    if (!visible) ReleaseCaptureWithin(this);
    if (native) native->Show(visible, enabled);
}

void WindowImpl::SyncControl() {
    if (!native || !isControl) return;
    SyncText();
    native->SyncState();
}

void WindowImpl::SyncFont() {
    if (!native || !isControl) return;
    native->SetFont(font);
    SyncGeometry();
}

void WindowImpl::SyncToolTip() {
    if (native) native->SetToolTip(toolTip);
}

void WindowImpl::EnsureMenuBar() {
    if (native) native->EnsureMenuBar();
}

void WindowImpl::SyncMenuBar(bool structure) {
    if (!native || !native->HasMenuBar() || !menu || !menu->m_hMenu) return;
    MenuData* data = menu->m_hMenu;
    data->onChange = [this](bool s) { SyncMenuBar(s); };
    native->ShowMenuBar(EntriesOf(*data), structure);
}

void WindowImpl::OpenSystemMenu() {
    if (!systemMenu || !native || !topLevel) return;
    std::vector<MenuEntry> entries = EntriesOf(*systemMenu->m_hMenu);
    for (MenuEntry& e : entries) {
        if (e.id == SC_RESTORE) e.enabled = iconic;
        if (e.id == SC_MINIMIZE) e.enabled = !iconic;
    }
    native->OpenSystemMenu(entries);
}

void WindowImpl::ShowIcon(HICON icon) {
    if (native) native->ShowIcon(icon);
}

void WindowImpl::SetModal(bool modal) {
    if (native) native->SetModal(modal);
}

void WindowImpl::HideNow() {
    if (native) native->HideNow();
}

void WindowImpl::TakeFocus() {
    if (native) native->TakeFocus();
}

void WindowImpl::Activate() {
    if (!native || !topLevel || !visible || iconic) return;
    NativeWindow* focusNative =
        WindowImpl::IsLive(focus) && focus->visible ? focus->native.get() : nullptr;
    native->Activate(focusNative);
}

// ---- what the desktop did ----

KeyRoute WindowImpl::Key(unsigned vk, bool down, bool autoRepeat, bool alt) {
    return KeyFromDesktop(this, vk, down, autoRepeat, alt);
}

void WindowImpl::Mouse(MouseEdge edge, POINT p, unsigned flags) {
    switch (edge) {
        case MouseEdge::Move:
            DeliverMouse(this, WM_MOUSEMOVE, p, flags);
            return;
        case MouseEdge::LeftDoubleClick:
            DeliverMouse(this, WM_LBUTTONDBLCLK, p, flags);
            return;
        case MouseEdge::LeftDown:
            DeliverMouse(this, WM_LBUTTONDOWN, p, flags);
            break;
        case MouseEdge::LeftUp:
            DeliverMouse(this, WM_LBUTTONUP, p, flags);
            break;
        case MouseEdge::RightDown:
            DeliverMouse(this, WM_RBUTTONDOWN, p, flags);
            break;
        case MouseEdge::RightUp:
            DeliverMouse(this, WM_RBUTTONUP, p, flags);
            break;
        case MouseEdge::OtherButton:
            break;
    }
    ProcessPendingWork();
}

// The caption's close box: SC_CLOSE, then WM_CLOSE through the default handling.
void WindowImpl::CloseBox() {
    if (wnd) PostWindowMessage(this, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void WindowImpl::MinimisedByDesktop(bool minimised) {
    if (minimised && !iconic)
        PostWindowMessage(this, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    else if (!minimised && iconic)
        PostWindowMessage(this, WM_SYSCOMMAND, SC_RESTORE, 0);  // restored from the taskbar
}

// The player moved the window (by its title bar): its rectangle follows, so that boxes and
// dialogs opened later are centred where the window now is.
void WindowImpl::MovedByDesktop(POINT p) {
    if (p.x == rect.left && p.y == rect.top) return;
    rect = RECT{p.x, p.y, p.x + (rect.right - rect.left), p.y + (rect.bottom - rect.top)};
}

// A menu command posts its WM_COMMAND (a system menu item its WM_SYSCOMMAND) when chosen.
void WindowImpl::Command(unsigned commandId, bool system) {
    PostWindowMessage(this, system ? WM_SYSCOMMAND : WM_COMMAND, commandId, 0);
}

bool WindowImpl::ControlMouse(MouseEdge edge, POINT p) {
    const UINT message = edge == MouseEdge::LeftDown ? WM_LBUTTONDOWN
                         : edge == MouseEdge::LeftUp ? WM_LBUTTONUP
                                                     : WM_MOUSEMOVE;
    return ControlMouseFromDesktop(this, message, p);
}

void WindowImpl::Clicked() { NotifyParent(this, BN_CLICKED); }

void WindowImpl::Chosen(int index) {
    comboSel = index;
    NotifyParent(this, CBN_SELCHANGE);
}

void WindowImpl::Edited(const std::string& newText) {
    text = newText;
    NotifyParent(this, EN_CHANGE);
}

void WindowImpl::FocusArrived() {
    if (parent) parent->focus = this;
}

}  // namespace afx
