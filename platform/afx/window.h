// WindowImpl: the framework's state of a window (its CWnd, children, text, style, geometry,
// update region, menus, icons, font, the control state its widget mirrors) and the widgets
// that show it (a NativeWindow of the backend, platform/qt/backend.h), which report native
// events back to it as its WindowSink. Private to the framework.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/afx/afxwin.h"
#include "platform/afx/templates.h"
#include "platform/qt/backend.h"

namespace afx {

struct MenuItem {
    UINT id = 0;
    std::string text;
    UINT flags = 0;  // MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_SEPARATOR, MF_POPUP
    std::unique_ptr<MenuData> sub;
};

struct MenuData {
    std::vector<MenuItem> items;
    MenuData* parent = nullptr;
    // Called on the root menu when any item of the tree changed; `structure` when items were
    // added or removed.
    std::function<void(bool structure)> onChange;
    std::unique_ptr<CMenu> wrapper;  // FromHandle's object
    void Changed(bool structure);
};
std::unique_ptr<MenuData> BuildMenu(const std::vector<MenuItemTemplate>& items);

// The input limit of an edit control, in code page 936 bytes, until the program sets one.
constexpr UINT kDefaultEditLimit = 30000;

// The non-client sizes of a top-level window, as GetSystemMetrics reports them.
constexpr int kCaptionHeight = 19;
constexpr int kMenuBarHeight = 20;
constexpr int kFrameBorder = 3;

class WindowImpl : public ControlState, public WindowSink {
  public:
    WindowImpl(CWnd* wnd, WindowImpl* parent);
    ~WindowImpl() override;

    static WindowImpl* FromHwnd(HWND h);
    static bool IsLive(const WindowImpl* impl);
    HWND Hwnd() { return reinterpret_cast<HWND>(this); }

    // Creation.
    // A top-level window; one with an owner stays above it, as its dialog (transient for it).
    void CreateTopLevel(const DialogTemplate& t, WindowImpl* owner);
    WindowImpl* CreateControl(const ControlTemplate& c);
    void Destroy();  // tears down widgets and children (after OnDestroy)

    CWnd* wnd = nullptr;
    WindowImpl* parent = nullptr;
    std::vector<WindowImpl*> children;
    std::unique_ptr<CWnd> ownedWnd;  // the default object of a control nobody bound
    bool topLevel = false;
    bool isControl = false;
    ControlKind kind = ControlKind::Static;
    int id = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect{};  // top-level: window rectangle on the screen; control: in the parent's client area
    bool visible = false;
    bool enabled = true;
    bool iconic = false;
    bool destroyed = false;
    int defaultButton = IDOK;
    std::shared_ptr<gdi::Surface> surface;

    // Update region (its bounding rectangle) for WM_PAINT.
    bool hasInvalid = false;
    bool invalidErase = false;
    RECT invalid{};

    // Menus and icons.
    CMenu* menu = nullptr;             // the menu bar shown (not owned unless ownedMenu)
    std::unique_ptr<CMenu> ownedMenu;  // the template's menu
    std::unique_ptr<CMenu> systemMenu;
    HICON iconBig = nullptr;
    HICON iconSmall = nullptr;
    CFont* font = nullptr;
    std::unique_ptr<CFont> ownedFont;

    WindowImpl* focus = nullptr;  // top-level: the control with the focus (nullptr: the window)
    WindowImpl* pressedButton = nullptr;

    std::unique_ptr<NativeWindow> native;  // nullptr until shown and after destruction

    // Whether the control takes mouse messages itself: a control bound to an object of the
    // program's own, or a static that notifies its parent of clicks (SS_NOTIFY).
    bool ReceivesMouse() const;
    bool NotifiesClicks() const {
        return (kind == ControlKind::Static || kind == ControlKind::Icon) && (style & SS_NOTIFY);
    }

    // Geometry helpers.
    int ClientWidth() const;
    int ClientHeight() const;
    POINT ClientOrigin() const;  // screen position of the client area's (0, 0)
    int MenuBarHeight() const { return menu ? kMenuBarHeight : 0; }
    int CaptionHeight() const { return (style & WS_CAPTION) == WS_CAPTION ? kCaptionHeight : 0; }
    int BorderWidth() const {
        return (style & (WS_CAPTION | DS_MODALFRAME | WS_BORDER)) ? kFrameBorder : 0;
    }

    // The state into the widgets.
    void SetWindowRect(const RECT& r);
    void SyncGeometry();
    void SyncText();
    void SyncVisible();  // and a window that hides loses the capture
    void SyncControl();  // text, items, selection, columns, rows, icon, tooltip
    void SyncMenuBar(bool structure);
    void SyncFont();     // the control's font (CWnd::SetFont)
    void SyncToolTip();  // the tooltip shown over the window or control
    // Asks the parent for the control's colours (WM_CTLCOLOR...) and shows them.
    void ApplyControlColours();
    void SetIconic(bool on);
    // Gives the window a menu bar to show `menu` in (CWnd::SetMenu on a window without one).
    void EnsureMenuBar();
    // The icon the window shows in its title bar and task bar.
    void ShowIcon(HICON icon);
    // Whether the window, while shown, keeps the input of every other window of the program.
    void SetModal(bool modal);
    // Takes the window off the screen at once; its state (`visible`) is left as it is.
    void HideNow();
    // Gives the keyboard focus to the control's widget, or to a top-level window's client area.
    void TakeFocus();
    // Raises a shown top-level window and gives it the keyboard focus, on the control that
    // had it last.
    void Activate() override;
    // The system menu substitute (Alt+Space).
    void OpenSystemMenu();

    // Painting.
    void Invalidate(const RECT* r, bool erase);
    void EraseBackground(CDC* dc);

    WindowImpl* ChildById(int id) const;
    WindowImpl* ChildAt(POINT clientPoint) const;

    // The controls shown over the client area, for a picture of it.
    std::vector<ShownControl> ShownControls() const;

    // ---- WindowSink: what the desktop did ----
    KeyRoute Key(unsigned vk, bool down, bool autoRepeat, bool alt) override;
    void Mouse(MouseEdge edge, POINT clientPoint, unsigned buttons) override;
    void CloseBox() override;
    void MinimisedByDesktop(bool minimised) override;
    void MovedByDesktop(POINT topLeft) override;
    void Command(unsigned commandId, bool system) override;
    bool TakesInput() const override { return enabled; }
    bool Iconic() const override { return iconic; }
    bool Visible() const override { return visible; }
    NativeWindow* Native() const override { return native.get(); }
    bool ControlMouse(MouseEdge edge, POINT point) override;
    void Clicked() override;
    void Chosen(int index) override;
    void Edited(const std::string& newText) override;
    void FocusArrived() override;
};

std::vector<WindowImpl*> TopLevelWindows();

}  // namespace afx
