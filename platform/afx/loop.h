// The framework's message loop: the posted-message queue, dispatch, painting when idle, timer
// delivery on the clock seam, the automation's idle hook, modal loops nested inside handlers and
// the stack of running modal dialogs. It runs over the backend's native event loop
// (platform/qt/backend.h), which only wakes it and hands it native events.
#pragma once

#include <functional>
#include <vector>

#include "platform/afx/handles.h"
#include "platform/seams/seams.h"

class CDialog;

namespace afx {

// Starts the windowing system once (safe to call again).
void EnsureWindowSystem();

// Runs until `done` returns true, dispatching native events, posted messages, paints and (on
// the real clock) timers; calls the idle hook whenever idle.
void RunModalLoop(const std::function<bool()>& done);
// Posted messages, then (on the real clock) due timers, then paints.
void ProcessPendingWork();
void PostWindowMessage(WindowImpl* impl, UINT message, WPARAM wParam, LPARAM lParam);
// Asks for ProcessPendingWork once control is back in the native event loop.
void ScheduleDispatch();
// Drops the messages still queued for a window that is going away.
void PurgePosted(WindowImpl* impl);
void DispatchPaints();
// WM_TIMER to the window that owns timer `key`, when the window still lives.
void DeliverTimer(const seams::TimerKey& key);
void DispatchDueTimers();
bool HasIdleHook();
void CallIdleHook();
void SetIdleHookImpl(std::function<void()> hook);

// The stack of running modal dialogs (innermost last).
std::vector<CDialog*>& ModalStack();
// The innermost modal dialog with a window, else the main window.
CWnd* TopWindowForInput();

}  // namespace afx
