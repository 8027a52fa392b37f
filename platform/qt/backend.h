// The window framework's native side: the interface through which platform/afx reaches the
// windowing system. Its implementation (platform/qt) runs on Qt Widgets. This header names no Qt
// type, so that the framework builds without Qt's headers, and no framework class: the message
// loop, dispatch, painting, timers, the modal stack, pre-translation, the capture, reflection
// and the system keys are the framework's (platform/afx). The backend
//   - shows what the framework tells it: a top-level window as a frame holding an optional menu
//     bar and the client area, which presents the window surface (a gdi::Surface, the client
//     area's 32-bit image, painted by the framework) scaled by the device-pixel ratio without
//     smoothing; controls as native widgets placed on the client area at their pixel
//     rectangles, mirroring the state the framework keeps for them (ControlState);
//   - turns native events into calls of the framework's sinks: a key, a mouse button or motion,
//     a close, a minimise or a move by the desktop, a chosen command, a control's own event,
//     and the wake-up of the framework's loop.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"

namespace afx {

// Keys, numbered as the framework's virtual keys.
namespace keys {
constexpr unsigned kBack = 0x08, kTab = 0x09, kReturn = 0x0D, kShift = 0x10, kControl = 0x11,
                   kAlt = 0x12, kPause = 0x13, kEscape = 0x1B, kSpace = 0x20, kEnd = 0x23,
                   kHome = 0x24, kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28,
                   kDelete = 0x2E, kF1 = 0x70;  // F1 to F12 in a row; letters and digits as ASCII
}  // namespace keys

// Mouse buttons held and modifiers, numbered as the framework's mouse-message flags.
namespace buttons {
constexpr unsigned kLeft = 0x1, kRight = 0x2, kShift = 0x4, kControl = 0x8;
}  // namespace buttons

enum class MouseEdge { Move, LeftDown, LeftUp, RightDown, RightUp, OtherButton, LeftDoubleClick };

// What became of a key from the desktop.
enum class KeyRoute {
    NotTaken,  // no window takes it, or it has no virtual key: the widgets have it
    Consumed,  // the framework handled it
    Passed,    // delivered, and a control's own widget may still use it
};

// The kinds of control widget.
enum class ControlWidget { Label, IconLabel, Button, Edit, ComboBox, ReportList };
enum class LabelAlign { Left, Centre, Right };
// The parent's colours a control's widget takes (none: the desktop's).
enum class ColourRole { None, Static, Edit };
// The desktop's pictures for a message box.
enum class MessageIcon { Information, Critical, Question, Warning };

// One item of a menu shown natively: a command, a separator or a popup with its items.
struct MenuEntry {
    unsigned id = 0;
    std::string text;
    bool separator = false;
    bool popup = false;
    bool enabled = true;
    bool checked = false;
    std::vector<MenuEntry> items;
};

struct ListColumn {
    std::string heading;
    int width;
    int format;  // 0 left, 1 right, 2 centred
};

// A control's state as the framework keeps it; its widget shows it.
struct ControlState {
    std::string text;
    bool noPrefix = false;  // a label shows '&' as it is
    std::vector<std::string> comboItems;
    int comboSel = -1;
    std::vector<ListColumn> columns;
    std::vector<std::vector<std::string>> rows;
    uint32_t listExStyle = 0;  // 0x01 grid lines, 0x20 whole-row selection
    unsigned editLimit = 0;    // an edit's input limit in code page 936 bytes
    HICON staticIcon = nullptr;
    std::string toolTip;
};

// How a control's widget is made.
struct ControlParams {
    ControlWidget kind = ControlWidget::Label;
    RECT rect{};  // in the parent's client area, as the template gives it
    bool defaultButton = false;
    LabelAlign align = LabelAlign::Left;
    bool centreVertically = false;
    bool wordWrap = false;
};

// How a top-level window's frame is made.
struct FrameParams {
    std::string title;
    bool systemMenu = false;
    bool minimiseBox = false;
    bool maximiseBox = false;
    bool menuBar = false;  // made with its menu bar
    int menuBarHeight = 0;
};

class NativeWindow;

// The framework's side of one window, told what the desktop did with it.
class WindowSink {
  public:
    virtual ~WindowSink() = default;
    // A top-level window's frame and client area.
    virtual KeyRoute Key(unsigned vk, bool down, bool autoRepeat, bool alt) = 0;
    virtual void Mouse(MouseEdge edge, POINT clientPoint, unsigned buttons) = 0;
    virtual void CloseBox() = 0;
    virtual void MinimisedByDesktop(bool minimised) = 0;
    virtual void MovedByDesktop(POINT topLeft) = 0;
    // A menu bar command, or (`system`) an item of the system menu.
    virtual void Command(unsigned id, bool system) = 0;
    virtual bool TakesInput() const = 0;  // not under a modal box or dialog
    virtual bool Iconic() const = 0;
    virtual bool Visible() const = 0;
    // Raises the shown window and gives the keyboard to the control that had it last.
    virtual void Activate() = 0;
    virtual NativeWindow* Native() const = 0;
    // A control's widget. ControlMouse: a move or left button edge; false when the control
    // keeps no mouse messages (the widget handles them), true when a static took it.
    virtual bool ControlMouse(MouseEdge edge, POINT point) = 0;
    virtual void Clicked() = 0;
    virtual void Chosen(int index) = 0;
    virtual void Edited(const std::string& text) = 0;
    virtual void FocusArrived() = 0;
};

// The framework itself, told what happened on the desktop as a whole.
class EventSink {
  public:
    virtual ~EventSink() = default;
    // The wake-up timer is due.
    virtual void WakeUp() = 0;
    virtual void Shift(bool down) = 0;
    virtual bool CaptureHeld() = 0;
    // The pointer left one of the program's widgets while a window holds the capture.
    virtual void PointerLeft() = 0;
    // The window that has the input now (the innermost modal dialog or the main window).
    virtual WindowSink* InputWindow() = 0;
};

// The widgets that show one window.
class NativeWindow {
  public:
    virtual ~NativeWindow() = default;
    // Placement: a frame's position on the screen and client size (the menu bar, when there
    // is one, above it); a control's rectangle in its parent's client area.
    virtual void PlaceFrame(int x, int y, int clientWidth, int clientHeight) = 0;
    virtual void PlaceControl(const RECT& rect) = 0;
    // A control kind whose height is its own (a drop-down list is one line tall): that height.
    virtual int OwnHeight() const = 0;
    virtual void SetTitle(const std::string& title) = 0;
    // The control's state into its widget: the text only, or everything.
    virtual void SyncText() = 0;
    virtual void SyncState() = 0;
    // Shown or hidden; a control also enabled or disabled.
    virtual void Show(bool visible, bool enabled) = 0;
    // Minimises or restores the frame (restoring only a `visible` one).
    virtual void ShowIconic(bool on, bool visible) = 0;
    virtual void ShowIcon(HICON icon) = 0;
    // Whether the window, while shown, keeps the input of every other window of the program.
    virtual void SetModal(bool modal) = 0;
    // Takes the window off the screen at once.
    virtual void HideNow() = 0;
    // Gives the keyboard focus to the control's widget, or to a frame's client area.
    virtual void TakeFocus() = 0;
    // Raises the frame (where a window system stacks windows) and gives the keyboard to
    // `focusControl`, else to the client area.
    virtual void Activate(NativeWindow* focusControl) = 0;
    virtual void SetFont(CFont* font) = 0;
    virtual void SetToolTip(const std::string& text) = 0;
    virtual ColourRole Colours() const = 0;
    // Shows the text in `textColour` and, unless `hollow`, on a background of `fill`.
    virtual void ShowColours(COLORREF textColour, bool hollow, COLORREF fill) = 0;
    // The menu bar: made once, then its items (rebuilt, or only their states updated).
    virtual void EnsureMenuBar() = 0;
    virtual bool HasMenuBar() const = 0;
    virtual void ShowMenuBar(const std::vector<MenuEntry>& items, bool structure) = 0;
    // How the menu bar shows command `id` (false when it shows no such item).
    virtual bool MenuBarItemShown(unsigned id, bool* enabled, bool* checked,
                                  std::string* text) const = 0;
    // The system menu substitute, at the frame's top left.
    virtual void OpenSystemMenu(const std::vector<MenuEntry>& items) = 0;
    // Shows the desktop's picture for a message box in an icon label, `size` pixels square.
    virtual void ShowMessageIcon(MessageIcon icon, int size) = 0;
    // Gives a key to a control's own widget (arrows in a list or combo box), as the keyboard
    // does; false when the key means nothing to a widget.
    virtual bool SendKey(unsigned vk, bool down) = 0;
    // Where the pointer is, in client coordinates, and which buttons are held; false when the
    // window shows nothing to point at.
    virtual bool PointerInClient(POINT* clientPoint, unsigned* held) const = 0;
};

// A frame for a top-level window showing `surface`; one with an owner stays above it, as its
// dialog (transient for it).
std::unique_ptr<NativeWindow> CreateFrameWindow(const FrameParams& params, NativeWindow* owner,
                                                std::shared_ptr<gdi::Surface> surface,
                                                WindowSink* sink);
// A control's widget on `dialog`'s client area, showing `state` (which outlives it).
std::unique_ptr<NativeWindow> CreateControlWindow(const ControlParams& params,
                                                  const ControlState* state, NativeWindow* dialog,
                                                  WindowSink* sink);
// The top-level window under the pointer, or nullptr.
WindowSink* TopLevelUnderPointer();
void CloseSystemMenuPopup();
bool SystemMenuPopupOpen();

// ---- the native event loop ----
// Starts the windowing system; false (and nothing done) when it already runs.
bool StartWindowSystem(EventSink* sink);
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

// ---- cursors ----
// The standard cursor with IDC_ number `id` (IDC_ARROW, IDC_IBEAM, IDC_WAIT, IDC_CROSS,
// IDC_HAND), nullptr for any other number.
HCURSOR StandardCursor(uintptr_t id);
// Shows `cursor` over the program's windows.
void ApplyCursor(HCURSOR cursor);
// The cursor last applied.
HCURSOR CurrentCursorImpl();

// ---- the look ----
// The size of one line of text in the dialog font (bold: as a title bar shows it).
SIZE MeasureText(const std::string& text, bool bold);

// ---- what the automation observes ----
// The client area as it is shown: `surface` with the controls drawn over it at their places,
// as 0xFFRRGGBB words, rows top-down; or the same picture as a PNG file.
struct ShownControl {
    NativeWindow* native;
    POINT at;
};
bool GrabClientPixels(gdi::Surface& surface, const std::vector<ShownControl>& controls,
                      std::vector<uint32_t>* pixels, int* width, int* height);
bool SaveClientPngFile(gdi::Surface& surface, const std::vector<ShownControl>& controls,
                       const std::string& file);

}  // namespace afx
