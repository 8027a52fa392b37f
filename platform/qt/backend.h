// The window framework's native side: the interface through which platform/afx reaches the
// windowing system. Its implementation (platform/qt) runs on Qt Widgets; this header names no
// Qt type, so that the framework builds without Qt's headers.
//
// Every CWnd with a window has a WindowImpl. A top-level window (dialog) is shown as a frame
// holding an optional menu bar and the client area, which presents the window surface (a
// gdi::Surface, the client area's 32-bit image) scaled by the device-pixel ratio without
// smoothing. Controls are native widgets placed on the client area at their pixel rectangles;
// their state (texts, items, selection, limits) is kept here and mirrored into the widgets.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/afx/afxwin.h"
#include "platform/afx/templates.h"

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

struct ListColumn {
    std::string heading;
    int width;
    int format;
};

// The input limit of an edit control, in code page 936 bytes, until the program sets one.
constexpr UINT kDefaultEditLimit = 30000;

// The non-client sizes of a top-level window, as GetSystemMetrics reports them.
constexpr int kCaptionHeight = 19;
constexpr int kMenuBarHeight = 20;
constexpr int kFrameBorder = 3;

// The widgets that show a window (private to the backend).
struct NativeWindow;
struct NativeWindowDeleter {
    void operator()(NativeWindow* native) const;
};
std::unique_ptr<NativeWindow, NativeWindowDeleter> MakeNativeWindow();

class WindowImpl {
  public:
    WindowImpl(CWnd* wnd, WindowImpl* parent);
    ~WindowImpl();

    static WindowImpl* FromHwnd(HWND h);
    static bool IsLive(const WindowImpl* impl);
    HWND Hwnd() { return reinterpret_cast<HWND>(this); }

    // Creation (platform/afx/window.cpp).
    // A top-level window; one with an owner stays above it, as its dialog (transient for it).
    void CreateTopLevel(const DialogTemplate& t, WindowImpl* owner);
    WindowImpl* CreateControl(const ControlTemplate& c);
    void Destroy();  // tears down widgets and children (after OnDestroy)

    // The widgets (platform/qt): a top-level window's frame, client area and menu bar; a
    // control's widget on its parent's client area; their teardown.
    void CreateFrame(WindowImpl* owner);
    void CreateControlWidget(const ControlTemplate& c);
    void DestroyWidgets();

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
    std::string text;
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

    // Control state.
    std::vector<std::string> comboItems;
    int comboSel = -1;
    std::vector<ListColumn> columns;
    std::vector<std::vector<std::string>> rows;
    DWORD listExStyle = 0;
    UINT editLimit = kDefaultEditLimit;
    HICON staticIcon = nullptr;
    std::string toolTip;

    WindowImpl* focus = nullptr;  // top-level: the control with the focus (nullptr: the window)
    WindowImpl* pressedButton = nullptr;

    std::unique_ptr<NativeWindow, NativeWindowDeleter> native;

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

    void SetWindowRect(const RECT& r);
    void SyncGeometry();
    void SyncText();
    void SyncVisible();  // and a window that hides loses the capture
    void ShowVisible();
    void SyncControl();  // text, items, selection, columns, rows, icon, tooltip
    void SyncMenuBar(bool structure);
    void SyncFont();     // the control's font (CWnd::SetFont)
    void SyncToolTip();  // the tooltip shown over the window or control
    // Asks the parent for the control's colours (WM_CTLCOLOR...) and shows them.
    void ApplyControlColours();
    // The WM_CTLCOLOR message that gives the control's colours, 0 for a kind that keeps the
    // desktop's; the colours shown.
    UINT ControlColourMessage() const;
    void ShowControlColours(COLORREF textColour, bool hollow, COLORREF fill);
    void SetIconic(bool on);
    void ShowIconic(bool on);  // minimises or restores the frame
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
    void Activate();

    // Painting.
    void Invalidate(const RECT* r, bool erase);
    void EraseBackground(CDC* dc);

    WindowImpl* ChildById(int id) const;
    WindowImpl* ChildAt(POINT clientPoint) const;
};

// ---- the native event loop ----
// The framework's message loop (platform/afx/loop.h) runs over these: the backend wakes it and
// hands it native events, and owns no queue, timer or paint of its own.
// Starts the windowing system with the program's arguments; false (and nothing done) when it
// already runs. `wakeUp` is called whenever the wake-up timer is due.
bool StartWindowSystem(std::function<void()> wakeUp);
// The program's name for the windowing system (before it starts).
void SetProgramArgs(int argc, char** argv);
// Handles the native events that are pending; with `wait`, first waits for one to arrive.
void ProcessNativeEvents(bool wait);
// Calls `call` on the window thread once control is back in the native event loop; callable
// from any thread (nothing happens before the windowing system runs).
void CallSoon(void (*call)());
// The wake-up timer: due after `delayMs` (a later start replaces an earlier one), or stopped.
void StartWakeUp(int delayMs);
void StopWakeUp();
// The primary screen's size; false (and nothing written) before the windowing system runs.
bool PrimaryScreenSize(int* width, int* height);
// The desktop's alert sound, when the windowing system runs.
void Beep();
std::vector<WindowImpl*> TopLevelWindows();

// ---- input ----
// Gives a key to a control's own widget (arrows in a list or combo box, typing in an edit), as
// the keyboard does; false when the key means nothing to a widget.
bool SendKeyToWidget(WindowImpl* control, UINT vk, bool down);
// Where the pointer is, in the client coordinates of `impl`, and which buttons are held
// (MK_LBUTTON, MK_RBUTTON); false when the window shows nothing to point at.
bool PointerInClient(WindowImpl* impl, POINT* clientPoint, UINT* buttons);
// The top-level window under the pointer, or nullptr.
WindowImpl* TopLevelUnderPointer();

// ---- the system menu substitute (Alt+Space) ----
void OpenSystemMenuPopup(WindowImpl* impl);
void CloseSystemMenuPopup();
bool SystemMenuPopupOpen();

// ---- cursors ----
// The standard cursor with IDC_ number `id` (IDC_ARROW, IDC_IBEAM, IDC_WAIT, IDC_CROSS,
// IDC_HAND), nullptr for any other number.
HCURSOR StandardCursor(uintptr_t id);
// Shows `cursor` over the program's windows.
void ApplyCursor(HCURSOR cursor);
// The cursor last applied.
HCURSOR CurrentCursorImpl();

// ---- the look ----
// The application's style and fonts (called once, when the windowing system starts).
void ApplyDesktopLook();
// The size of one line of text in the dialog font (bold: as a title bar shows it).
SIZE MeasureText(const std::string& text, bool bold);
// Shows the desktop's picture for a message box icon (MB_ICONHAND, MB_ICONQUESTION,
// MB_ICONEXCLAMATION, MB_ICONASTERISK) in an icon control.
void ShowMessageIcon(WindowImpl* iconControl, UINT mbIcon);

// ---- what the automation observes ----
// How the window's menu bar shows item `id` (false when it shows no such item).
bool MenuBarItemShown(WindowImpl* impl, unsigned id, bool* enabled, bool* checked,
                      std::string* text);
// The window's client area as it is shown: the surface with the controls drawn over it, as
// 0xFFRRGGBB words, rows top-down.
bool GrabClientPixels(WindowImpl* impl, std::vector<uint32_t>* pixels, int* width, int* height);
// The same picture as a PNG file.
bool SaveClientPngFile(WindowImpl* impl, const std::string& file);

}  // namespace afx
