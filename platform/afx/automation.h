// What a scripted driver or a test needs to run the program without a person: the virtual
// clock with timer dispatch, injected keys, clicks and menu commands, control at every idle
// moment of the message loop, screenshots, and the end of the run.
//
// A driver's main() typically does:
//
//   afx::automation::UseVirtualClock(startSeconds);
//   seams::EnableResponder(true);
//   seams::SetTraceSink(seams::JsonLineSink(stdout));
//   afx::automation::SetIdleHook([] { RunNextScriptLine(); });
//   return AfxWinMain(argc, argv);      // runs CWinApp::InitInstance
//
// The idle hook is called every time the innermost running message loop (the main dialog's,
// or a nested one: a live modal dialog) has nothing left to do, i.e. "at the message loop".
// From inside the hook the driver calls the functions below; they run synchronously (a key
// press runs the handlers before returning) and leave pending paints done.
//
// Works with QT_QPA_PLATFORM=offscreen.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/afx/afxwin.h"

namespace afx {

// Creates the windowing system if it does not exist yet (tests call this instead of
// AfxWinMain). Safe to call more than once.
void InitPlatform(int argc = 0, char** argv = nullptr);

namespace automation {

// ---- clock ----
// Switches to the virtual clock: Time() reads `startSeconds`, timers only fire in Advance.
void UseVirtualClock(int64_t startSeconds);
// Moves the virtual clock forward by `ms`, delivering every timer that comes due, in order of
// due time, each as one WM_TIMER to its window (a timer that came due several times while the
// window thread was blocked delivers one message). Posted messages and paints are handled
// after each timer. A timer handler may open a modal box or dialog.
void Advance(uint32_t ms);

// ---- loop ----
// Called whenever the innermost message loop is idle; nullptr removes it. Without a hook
// loops wait for events as usual.
void SetIdleHook(std::function<void()> hook);
// Handles everything pending (posted messages, paints, Qt events) without waiting.
void ProcessPending();

// ---- modal dialogs ----
// A dialog whose template id is registered live runs its own message loop even when the
// responder is enabled (the idle hook then drives it: keys, clicks, waits); the outermost
// dialog (the main window) is always live.
void SetLiveDialog(int templateId, bool live);
bool IsLiveDialog(int templateId);

// A modal box or dialog whose responder answer was "hold" runs live: the idle hook drives it
// like the main window (keys, clicks, screenshots act on it). Answers it now when it is the
// window on top and returns true; false when no held box or dialog is on top.
bool AnswerHeld(const seams::Answer& answer);

// ---- input to the window on top (the innermost modal dialog, else the main window) ----
CWnd* TopWindow();
// Key names: "F1".."F12", "Space", "Return", "Escape", "Tab", "Shift+Tab", "Shift", "Ctrl",
// "Alt", "Up", "Down", "Left", "Right", "A".."Z", "0".."9", "Alt+Space" (opens the system menu).
// Press = down then up. False for an unknown name.
enum class KeyEdge { Press, Down, Up };
bool Key(const std::string& name, KeyEdge edge = KeyEdge::Press);
// Virtual-key code of a name (0 when unknown).
UINT KeyCode(const std::string& name);
// Mouse at client point (x, y) of the top window: goes to the capture window if one holds the
// capture, else to the control under the point (a push button is clicked, a notifying static
// reports STN_CLICKED), else to the window itself. Each move sends WM_SETCURSOR first
// (unless captured), as Windows does.
void Click(int x, int y, bool right = false);
void ButtonDown(int x, int y, bool right = false);
void ButtonUp(int x, int y, bool right = false);
void MouseMove(int x, int y);
// Sends menu command `id` to the top window: WM_COMMAND for an item of its menu bar,
// WM_SYSCOMMAND for an item of its system menu. False (nothing sent) when the item is absent
// or greyed, as a person could not choose it.
bool MenuCommand(unsigned id);

// ---- observation ----
// Saves the top window's client area (with its controls) as a PNG file.
bool SaveClientPng(const std::string& file);
bool SaveClientPng(CWnd* wnd, const std::string& file);
// The same picture as 0xFFRRGGBB words, rows top-down (width * height of them).
bool GrabClient(CWnd* wnd, std::vector<uint32_t>* pixels, int* width, int* height);
// The cursor last set with SetCursor, and the capture window.
HCURSOR CurrentCursor();
// How the window's menu bar shows item `id` (false when it shows no such item).
bool MenuItemShown(CWnd* wnd, unsigned id, bool* enabled, bool* checked,
                   std::string* text = nullptr);
// The open system menu substitute (after Alt+Space), nullptr when closed.
CMenu* OpenSystemMenu();

// ---- end ----
// Ends every running modal loop, innermost first, as Esc would (IDCANCEL) and makes
// AfxWinMain return `exitCode` once InitInstance has returned.
void Quit(int exitCode = 0);
bool QuitRequested();
// The exit status the last Quit asked for.
int QuitExitCode();
// Forgets an earlier Quit (tests run several programs in one process).
void ClearQuit();

}  // namespace automation
}  // namespace afx
