// Keyboard and mouse in the framework: PreTranslateMessage, the dialog's Tab order, the system
// keys, mouse messages with the capture, and control notifications reflected to the control.
// The backend hands native input in through the *FromDesktop functions.
#pragma once

#include "platform/afx/handles.h"
#include "platform/qt/backend.h"

namespace afx {

// Routes a key through PreTranslateMessage (focus window, then parents) and, unless stopped,
// to OnKeyDown/OnKeyUp. Returns true when the framework consumed it.
bool DeliverKey(WindowImpl* top, UINT vk, bool down, UINT repeat);
// A mouse message at a client point of `impl`, honouring the capture.
void DeliverMouse(WindowImpl* impl, UINT message, POINT clientPoint, UINT flags);
void SendSetCursor(WindowImpl* impl, UINT message);
void SetCaptureImpl(WindowImpl* impl);
WindowImpl* CaptureImpl();
// Ends the capture when it is held by `impl` or by a window inside it.
void ReleaseCaptureWithin(WindowImpl* impl);
// The next (or previous) control of a dialog that takes the focus with Tab: visible, enabled,
// WS_TABSTOP; after `from` (nullptr: from the start or end), wrapping around.
WindowImpl* NextTabStop(WindowImpl* dialog, WindowImpl* from, bool backwards);
// Whether Shift is held (real keyboard or injected key edges).
bool ShiftDown();

// Notifications from a control to its parent: reflected to the control first.
void NotifyParent(WindowImpl* control, UINT code);

// ---- native input ----
// The state of Shift with any key the desktop reports.
void ShiftFromDesktop(bool down);
// A key pressed or released in top-level window `top` (`vk` 0: a key without a virtual key).
// Alt+Space opens the system menu, Alt+F4 closes the window; other keys go through DeliverKey,
// then the queued work is done.
KeyRoute KeyFromDesktop(WindowImpl* top, UINT vk, bool down, bool autoRepeat, bool alt);
// A mouse move or left button edge (WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP) on a control's
// own widget, at a point of the control. False when the control keeps no mouse messages, so
// that the widget handles the event itself; true when a static took it.
bool ControlMouseFromDesktop(WindowImpl* control, UINT message, POINT point);
// Whether a window holds the capture.
bool CaptureHeld();
// The pointer left one of the program's widgets while a window holds the capture.
void PointerLeftWhileCaptured();

}  // namespace afx
