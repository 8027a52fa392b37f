// The framework's handles and message records: HWND, HMENU, MSG, HELPINFO.
#pragma once

#include <cstdint>

#include "platform/afx/styles.h"

class CWnd;
class CMenu;
class CDataExchange;
namespace afx {
class WindowImpl;       // the window's native side (private to the framework)
struct MenuData;        // the items of a menu (private to the framework)
struct DialogTemplate;  // a dialog's controls and geometry (platform/afx/templates.h)
}  // namespace afx

typedef struct HWND__* HWND;
typedef afx::MenuData* HMENU;
typedef void* HINSTANCE;
typedef void* HANDLE;
#define afx_msg

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
typedef MSG* LPMSG;

struct HELPINFO {
    UINT cbSize;
    int iContextType;
    int iCtrlId;
    HANDLE hItemHandle;
    uintptr_t dwContextId;
    POINT MousePos;
};
typedef HELPINFO* LPHELPINFO;
