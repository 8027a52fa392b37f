// The driver's and the tests' hold on the program: virtual time, injected input, screenshots.
#include "platform/afx/automation.h"

#include <set>

#include "platform/afx/input.h"
#include "platform/afx/loop.h"
#include "platform/afx/window.h"

using afx::WindowImpl;

namespace {
bool g_quit = false;
int g_quitCode = 0;
std::set<int>& LiveDialogs() {
    static std::set<int> live;
    return live;
}
}  // namespace

namespace afx {

void InitPlatform(int argc, char** argv) {
    SetProgramArgs(argc, argv);
    EnsureWindowSystem();
}

namespace automation {

void UseVirtualClock(int64_t startSeconds) { seams::UseVirtualClock(startSeconds); }

void Advance(uint32_t ms) {
    const int64_t target = seams::NowMs() + ms;
    ProcessPending();
    for (int guard = 0; guard < 1000000; ++guard) {
        const int64_t due = seams::NextTimerDue();
        if (due < 0 || due > target) break;
        seams::AdvanceClockTo(due);
        seams::TimerKey key;
        if (seams::TakeDueTimer(&key)) DeliverTimer(key);
        ProcessPending();
        if (g_quit) return;
    }
    seams::AdvanceClockTo(target);
    ProcessPending();
}

void SetIdleHook(std::function<void()> hook) { SetIdleHookImpl(std::move(hook)); }

void ProcessPending() {
    ProcessNativeEvents(false);
    ProcessPendingWork();
}

void SetLiveDialog(int templateId, bool live) {
    if (live)
        LiveDialogs().insert(templateId);
    else
        LiveDialogs().erase(templateId);
}

bool IsLiveDialog(int templateId) { return LiveDialogs().count(templateId) != 0; }

CWnd* TopWindow() { return TopWindowForInput(); }

bool AnswerHeld(const seams::Answer& answer) {
    auto& stack = ModalStack();
    if (stack.empty() || answer.kind == seams::Answer::Hold) return false;
    CDialog* top = stack.back();
    if (!top->IsHeld() || !top->m_hWnd) return false;
    top->Answer(answer);
    ProcessPending();
    return true;
}

UINT KeyCode(const std::string& name) {
    if (name.size() == 1) {
        const char c = name[0];
        if (c >= 'A' && c <= 'Z') return static_cast<UINT>(c);
        if (c >= 'a' && c <= 'z') return static_cast<UINT>(c - 'a' + 'A');
        if (c >= '0' && c <= '9') return static_cast<UINT>(c);
    }
    if (name.size() >= 2 && (name[0] == 'F' || name[0] == 'f')) {
        const int n = std::atoi(name.c_str() + 1);
        if (n >= 1 && n <= 12 && std::to_string(n) == name.substr(1))
            return VK_F1 + static_cast<UINT>(n - 1);
    }
    if (name == "Space") return VK_SPACE;
    if (name == "Return" || name == "Enter") return VK_RETURN;
    if (name == "Escape" || name == "Esc") return VK_ESCAPE;
    if (name == "Tab") return VK_TAB;
    if (name == "Ctrl" || name == "Control") return VK_CONTROL;
    if (name == "Shift") return VK_SHIFT;
    if (name == "Alt") return VK_MENU;
    if (name == "Backspace") return VK_BACK;
    if (name == "Up") return VK_UP;
    if (name == "Down") return VK_DOWN;
    if (name == "Left") return VK_LEFT;
    if (name == "Right") return VK_RIGHT;
    if (name == "Home") return VK_HOME;
    if (name == "End") return VK_END;
    return 0;
}

bool Key(const std::string& name, KeyEdge edge) {
    CWnd* top = TopWindow();
    if (!top || !top->Impl()) return false;
    if (name == "Alt+Space") {
        if (edge != KeyEdge::Up) top->SendMessage(WM_SYSCOMMAND, SC_KEYMENU, ' ');
        ProcessPending();
        return true;
    }
    // Shift+Tab: Tab with Shift held.
    const bool shifted = name == "Shift+Tab";
    const UINT vk = shifted ? VK_TAB : KeyCode(name);
    if (!vk) return false;
    CloseSystemMenuPopup();
    WindowImpl* impl = top->Impl();
    auto deliver = [&](bool down) {
        if (!WindowImpl::IsLive(impl)) return;
        const bool consumed = DeliverKey(impl, vk, down, 1);
        WindowImpl* focus = WindowImpl::IsLive(impl) ? impl->focus : nullptr;
        if (!consumed && WindowImpl::IsLive(focus) && focus->isControl) {
            if (focus->kind == ControlKind::Edit) {
                // Characters typed into a focused edit control.
                const bool character =
                    (vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9') || vk == VK_SPACE;
                if (down && character) {
                    const char c = static_cast<char>(vk >= 'A' && vk <= 'Z' ? vk - 'A' + 'a' : vk);
                    const char text[2] = {c, 0};
                    if (auto* edit = dynamic_cast<CEdit*>(focus->ownedWnd.get()))
                        edit->TypeText(text);
                }
            } else if (focus->kind == ControlKind::ComboBox ||
                       focus->kind == ControlKind::ListView) {
                // Arrows choose in a list or combo box, as the keyboard does.
                if (focus->native) focus->native->SendKey(vk, down);
            }
        }
        ProcessPending();
    };
    if (shifted) DeliverKey(impl, VK_SHIFT, true, 1);
    if (edge != KeyEdge::Up) deliver(true);
    if (edge != KeyEdge::Down) deliver(false);
    if (shifted && WindowImpl::IsLive(impl)) DeliverKey(impl, VK_SHIFT, false, 1);
    return true;
}

namespace {

void Button(int x, int y, bool right, bool down) {
    CWnd* top = TopWindow();
    if (!top || !top->Impl()) return;
    WindowImpl* impl = top->Impl();
    const POINT p{x, y};
    const UINT message =
        right ? (down ? WM_RBUTTONDOWN : WM_RBUTTONUP) : (down ? WM_LBUTTONDOWN : WM_LBUTTONUP);
    const UINT flags = down ? (right ? MK_RBUTTON : MK_LBUTTON) : 0;
    CloseSystemMenuPopup();
    WindowImpl* child = impl->ChildAt(p);
    // A capture elsewhere takes the button; a control that holds it and lies under the
    // pointer is clicked as usual (a hovered hyperlink label reports its click).
    if (CaptureImpl() && CaptureImpl() != child) {
        DeliverMouse(impl, message, p, flags);
        ProcessPending();
        return;
    }
    if (child && child->enabled) {
        const POINT local{x - child->rect.left, y - child->rect.top};
        if (child->kind == ControlKind::Button && !right) {
            if (down) {
                impl->pressedButton = child;
            } else if (impl->pressedButton == child) {
                impl->pressedButton = nullptr;
                NotifyParent(child, BN_CLICKED);
            }
        } else if (child->kind == ControlKind::Edit && down) {
            if (child->wnd) child->wnd->SetFocus();
        } else if (child->ReceivesMouse()) {
            DeliverMouse(child, message, local, flags);
            if (!down && !right && WindowImpl::IsLive(child) && (child->style & SS_NOTIFY))
                NotifyParent(child, STN_CLICKED);
        }
        ProcessPending();
        return;
    }
    DeliverMouse(impl, message, p, flags);
    ProcessPending();
}

}  // namespace

void ButtonDown(int x, int y, bool right) { Button(x, y, right, true); }
void ButtonUp(int x, int y, bool right) { Button(x, y, right, false); }

void Click(int x, int y, bool right) {
    ButtonDown(x, y, right);
    ButtonUp(x, y, right);
}

void MouseMove(int x, int y) {
    CWnd* top = TopWindow();
    if (!top || !top->Impl()) return;
    WindowImpl* impl = top->Impl();
    const POINT p{x, y};
    if (!CaptureImpl()) {
        WindowImpl* child = impl->ChildAt(p);
        if (child && child->ReceivesMouse()) {
            DeliverMouse(child, WM_MOUSEMOVE, POINT{x - child->rect.left, y - child->rect.top}, 0);
            ProcessPending();
            return;
        }
    }
    DeliverMouse(impl, WM_MOUSEMOVE, p, 0);
    ProcessPending();
}

bool MenuCommand(unsigned id) {
    CWnd* top = TopWindow();
    if (!top || !top->Impl()) return false;
    CloseSystemMenuPopup();
    const UINT blocked = MF_GRAYED | MF_DISABLED;
    if (CMenu* menu = top->GetMenu()) {
        const UINT state = menu->GetMenuState(id, MF_BYCOMMAND);
        if (state != 0xFFFFFFFF && !(state & MF_POPUP)) {
            if (state & blocked) return false;
            top->SendMessage(WM_COMMAND, id, 0);
            ProcessPending();
            return true;
        }
    }
    if (top->Impl()->systemMenu) {
        CMenu* sys = top->Impl()->systemMenu.get();
        const UINT state = sys->GetMenuState(id, MF_BYCOMMAND);
        if (state != 0xFFFFFFFF) {
            if (state & blocked) return false;
            top->SendMessage(WM_SYSCOMMAND, id, 0);
            ProcessPending();
            return true;
        }
    }
    return false;
}

bool MenuItemShown(CWnd* wnd, unsigned id, bool* enabled, bool* checked, std::string* text) {
    if (!wnd || !wnd->Impl()) return false;
    ProcessPending();
    WindowImpl* impl = wnd->Impl();
    return impl && impl->native && impl->native->MenuBarItemShown(id, enabled, checked, text);
}

namespace {

// The window's client area as it is shown: its surface with its controls drawn over it.
std::shared_ptr<gdi::Surface> ShownClient(WindowImpl* impl, std::vector<ShownControl>* controls) {
    if (!impl || !impl->wnd) return nullptr;
    *controls = impl->ShownControls();
    return impl->wnd->GetSurface();
}

}  // namespace

// Photographs wait for the paints that are due, as a person looking at the screen would.
bool SaveClientPng(CWnd* wnd, const std::string& file) {
    if (!wnd || !wnd->Impl()) return false;
    ProcessPending();
    std::vector<ShownControl> controls;
    std::shared_ptr<gdi::Surface> surface = ShownClient(wnd->Impl(), &controls);
    return surface && SaveClientPngFile(*surface, controls, file);
}

bool GrabClient(CWnd* wnd, std::vector<uint32_t>* pixels, int* width, int* height) {
    if (!wnd || !wnd->Impl()) return false;
    ProcessPending();
    std::vector<ShownControl> controls;
    std::shared_ptr<gdi::Surface> surface = ShownClient(wnd->Impl(), &controls);
    return surface && GrabClientPixels(*surface, controls, pixels, width, height);
}

bool SaveClientPng(const std::string& file) { return SaveClientPng(TopWindow(), file); }

HCURSOR CurrentCursor() { return CurrentCursorImpl(); }

CMenu* OpenSystemMenu() {
    CWnd* top = TopWindow();
    if (!SystemMenuPopupOpen() || !top || !top->Impl()) return nullptr;
    return top->Impl()->systemMenu.get();
}

void Quit(int exitCode) {
    g_quit = true;
    g_quitCode = exitCode;
    auto& stack = ModalStack();
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) (*it)->EndDialog(IDCANCEL);
}

bool QuitRequested() { return g_quit; }

int QuitExitCode() { return g_quitCode; }

void ClearQuit() {
    g_quit = false;
    g_quitCode = 0;
}

}  // namespace automation
}  // namespace afx
