// The native side of the window framework, on Qt Widgets. Private to platform_afx.
//
// Every CWnd with a window has a WindowImpl. A top-level window (dialog) is a frame widget
// holding an optional menu bar and the client widget, which presents the window surface (a
// gdi::Surface, the client area's 32-bit image) scaled by the device-pixel ratio without
// smoothing. Controls are Qt widgets placed on the client widget at their pixel rectangles;
// their state (texts, items, selection, limits) is kept here and mirrored into the widgets.
#pragma once

#include <QPointer>
#include <QWidget>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/afx/afxwin.h"
#include "platform/afx/templates.h"

class QMenuBar;
class QMenu;
class QAction;
class QPixmap;

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

class ClientWidget;
class FrameWidget;

struct ListColumn {
    std::string heading;
    int width;
    int format;
};

class WindowImpl {
  public:
    WindowImpl(CWnd* wnd, WindowImpl* parent);
    ~WindowImpl();

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
    UINT editLimit = 30000;
    HICON staticIcon = nullptr;
    std::string toolTip;

    // Qt side.
    FrameWidget* frame = nullptr;
    ClientWidget* client = nullptr;
    QMenuBar* menuBar = nullptr;
    QWidget* widget = nullptr;  // controls
    bool syncing = false;       // mirroring state into widgets; ignore their signals
    std::vector<std::pair<MenuItem*, QAction*>> menuActions;
    WindowImpl* focus = nullptr;  // top-level: the control with the focus (nullptr: the window)
    WindowImpl* pressedButton = nullptr;

    // Geometry helpers.
    int ClientWidth() const;
    int ClientHeight() const;
    POINT ClientOrigin() const;  // screen position of the client area's (0, 0)
    int MenuBarHeight() const { return menu ? 20 : 0; }
    int CaptionHeight() const { return (style & WS_CAPTION) == WS_CAPTION ? 19 : 0; }
    int BorderWidth() const { return (style & (WS_CAPTION | DS_MODALFRAME | WS_BORDER)) ? 3 : 0; }

    void SetWindowRect(const RECT& r);
    void SyncGeometry();
    void SyncText();
    void SyncVisible();
    void SyncControl();  // items, selection, columns, rows, icon, colours
    void SyncMenuBar(bool structure);
    void ApplyControlColours();
    void SetIconic(bool on);
    // Raises a shown top-level window and gives it the keyboard focus, on the control that
    // had it last.
    void Activate();

    // Painting.
    void Invalidate(const RECT* r, bool erase);
    void EraseBackground(CDC* dc);
    void PresentChanged(const RECT& r);  // from any thread

    WindowImpl* ChildById(int id) const;
    WindowImpl* ChildAt(POINT clientPoint) const;
};

// ---- the message loop ----
// Runs until `done` returns true, dispatching Qt events, posted messages, paints and (on the
// real clock) timers; calls the idle hook whenever idle.
void RunModalLoop(const std::function<bool()>& done);
void ProcessPendingWork();
void PostWork(std::function<void()> work);
void PostWindowMessage(WindowImpl* impl, UINT message, WPARAM wParam, LPARAM lParam);
void ScheduleDispatch();
// Drops the messages still queued for a window that is going away.
void PurgePosted(WindowImpl* impl);
void DispatchPaints();
void DispatchDueTimers();
bool HasIdleHook();
void CallIdleHook();

// The stack of running modal dialogs (innermost last).
std::vector<CDialog*>& ModalStack();
CWnd* TopWindowForInput();

// ---- input ----
// Routes a key through PreTranslateMessage (focus window, then parents) and, unless stopped,
// to OnKeyDown/OnKeyUp. Returns true when the framework consumed it.
bool DeliverKey(WindowImpl* top, UINT vk, bool down, UINT repeat);
// A mouse message at a client point of `impl`, honouring the capture.
void DeliverMouse(WindowImpl* impl, UINT message, POINT clientPoint, UINT flags);
void SendSetCursor(WindowImpl* impl, UINT message);
UINT ModifierFlags();
void SetCaptureImpl(WindowImpl* impl);
WindowImpl* CaptureImpl();
// Ends the capture when it is held by `impl` or by a window inside it.
void ReleaseCaptureWithin(WindowImpl* impl);
// The next (or previous) control of a dialog that takes the focus with Tab: visible, enabled,
// WS_TABSTOP; after `from` (nullptr: from the start or end), wrapping around.
WindowImpl* NextTabStop(WindowImpl* dialog, WindowImpl* from, bool backwards);
// Whether Shift is held (real keyboard or injected key edges).
bool ShiftDown();
// Gives a key to a control's own widget (arrows in a list or combo box, typing in an edit), as
// the keyboard does; false when the key means nothing to a widget.
bool SendKeyToWidget(WindowImpl* control, UINT vk, bool down);
void OpenSystemMenuPopup(WindowImpl* impl);
QMenu* SystemMenuPopup();
void ApplyCursor(HCURSOR cursor);

// Notifications from a control to its parent: reflected to the control first.
void NotifyParent(WindowImpl* control, UINT code);

// The Qt font of the dialogs (宋体 9 shown with AR PL UMing, 12 pixels).
QFont DialogFont();
QFont FontFromCFont(CFont* font);

bool EnsureQt();
// The application's style and fonts (called once, when Qt starts).
void ApplyDesktopLook();
// The size of one line of text in the dialog font (bold: as a title bar shows it).
SIZE MeasureText(const std::string& text, bool bold);
// Shows the desktop's picture for a message box icon (MB_ICONHAND, MB_ICONQUESTION,
// MB_ICONEXCLAMATION, MB_ICONASTERISK) in an icon control.
void ShowMessageIcon(WindowImpl* iconControl, UINT mbIcon);
void InitPlatformArgs(int argc, char** argv);
void SetIdleHookImpl(std::function<void()> hook);
std::vector<WindowImpl*> TopLevelWindows();
QPixmap PixmapFromIcon(HICON icon);

}  // namespace afx
