// What the windowing system offers beside windows: system colours, cursors, the mouse capture,
// screen metrics, the instance handle and message boxes.
#pragma once

#include "platform/afx/handles.h"
#include "platform/gdi/gdi.h"

// ---- system colours ----------------------------------------------------------------------
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_GRAYTEXT = 17;
constexpr int COLOR_BTNTEXT = 18;
// RGB(240,240,240) face, RGB(0,120,215) highlight, black text, white window.
COLORREF GetSysColor(int index);
// A shared solid brush of the system colour (never delete it).
HBRUSH GetSysColorBrush(int index);

// ---- cursors --------------------------------------------------------------------------------
// LoadCursor(nullptr, IDC_ARROW / IDC_HAND / IDC_WAIT / IDC_IBEAM / IDC_CROSS): a standard
// cursor. LoadCursor(anything, MAKEINTRESOURCE(id)) with an id below 32512: the program's cursor
// resource. nullptr when absent.
HCURSOR LoadCursor(HINSTANCE instance, const char* name);
// Shows `cursor` over the window under the mouse; returns the previous one.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
HICON LoadIcon(HINSTANCE instance, const char* name);

// ---- mouse capture, screen, misc -----------------------------------------------------------
HWND GetCapture();
BOOL ReleaseCapture();
// The screen's size (from the display), the icon sizes (32 x 32; small 16 x 16), the
// non-client sizes (caption 19, menu bar 20, dialog frame 3).
int GetSystemMetrics(int index);
BOOL MessageBeep(UINT type);
BOOL IsWindow(HWND hwnd);
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();

// A message box owned by `owner` (or the active window when nullptr): the caption (the program's
// name when nullptr), the text, the icon (MB_ICON...) and buttons (MB_OK, MB_OKCANCEL, MB_YESNO,
// MB_YESNOCANCEL). Modal: the window's timers keep firing while it is open. Traced as
// "msgbox" {caption, text}; answered by the modal responder when it is enabled.
// Returns IDOK, IDCANCEL, IDYES or IDNO.
int MessageBox(HWND owner, const char* text, const char* caption, UINT type);
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);
