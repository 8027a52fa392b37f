// Message maps: command identifiers (menu items, buttons, control notifications) bound to member
// functions in a per-class table.
//
// Messages reach a window through CWnd::WindowProc, which calls the handler named after the
// message (OnPaint, OnTimer, OnLButtonDown, OnSysCommand, ...). The handlers are virtual
// functions: a class overrides the ones it handles and calls the base class's version for
// the default handling. The ON_WM_xxx() entries of a message map are accepted for
// readability and change nothing.
//
// Command identifiers are bound in the class's map:
//
//   class CGameDlg : public CDialog {
//     ...
//     void OnEasy();
//     DECLARE_MESSAGE_MAP()
//   };
//   BEGIN_MESSAGE_MAP(CGameDlg, CDialog)
//     ON_WM_PAINT()
//     ON_COMMAND(32772, OnEasy)              // the bare member name
//     ON_CBN_SELCHANGE(1001, OnSelchangeDifficulty)
//   END_MESSAGE_MAP()
//
// A WM_COMMAND is offered to the control that sent it first (ON_CONTROL_REFLECT entries in
// the control's own map), then to the window's map and its base classes' maps; CDialog maps
// IDOK and IDCANCEL to OnOK and OnCancel when no map entry claims them.
#pragma once

#include "platform/afx/handles.h"

class CCmdTarget;
typedef void (CCmdTarget::*AFX_PMSG)();
typedef void (CCmdTarget::*AFX_PMSGW)(UINT);
typedef LRESULT (CCmdTarget::*AFX_PMSGL)(WPARAM, LPARAM);

enum AfxSig {
    AfxSig_end = 0,
    AfxSig_vv,     // void ()
    AfxSig_vw,     // void (UINT id): ON_COMMAND_RANGE
    AfxSig_lwl,    // LRESULT (WPARAM, LPARAM): ON_MESSAGE
    AfxSig_marker  // ON_WM_xxx(): handled by the virtual handler
};

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;   // WM_COMMAND, WM_REFLECT_BASE + WM_COMMAND, or the message of ON_MESSAGE
    UINT nCode;      // notification code
    UINT nID;        // first command id
    UINT nLastID;    // last command id
    int nSig;        // AfxSig
    AFX_PMSG pfn;    // AfxSig_vv
    AFX_PMSGW pfnW;  // AfxSig_vw
    AFX_PMSGL pfnL;  // AfxSig_lwl
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                     \
  protected:                                      \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                        \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                 \
        [[maybe_unused]] typedef theClass ThisClass;                                  \
        typedef baseClass TheBaseClass;                                               \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                                         \
    { 0, 0, 0, 0, AfxSig_end, nullptr, nullptr, nullptr }                                         \
    }                                                                                             \
    ;                                                                                             \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
    return &messageMap;                                                                           \
    }

#define AFX_CMD_ENTRY(msg, code, first, last, fn) \
    {msg,                                         \
     code,                                        \
     static_cast<UINT>(first),                    \
     static_cast<UINT>(last),                     \
     AfxSig_vv,                                   \
     static_cast<AFX_PMSG>(fn),                   \
     nullptr,                                     \
     nullptr},

// Menu commands and button clicks (code 0).
#define ON_COMMAND(id, memberFxn) AFX_CMD_ENTRY(WM_COMMAND, 0, id, id, &ThisClass::memberFxn)
// void memberFxn(UINT id)
#define ON_COMMAND_RANGE(first, last, memberFxn)    \
    {WM_COMMAND,                                    \
     0,                                             \
     static_cast<UINT>(first),                      \
     static_cast<UINT>(last),                       \
     AfxSig_vw,                                     \
     nullptr,                                       \
     static_cast<AFX_PMSGW>(&ThisClass::memberFxn), \
     nullptr},
#define ON_CONTROL(code, id, memberFxn) \
    AFX_CMD_ENTRY(WM_COMMAND, code, id, id, &ThisClass::memberFxn)
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
// A notification handled by the control that sent it (void memberFxn()).
#define ON_CONTROL_REFLECT(code, memberFxn) \
    AFX_CMD_ENTRY(WM_REFLECT_BASE + WM_COMMAND, code, 0, 0xFFFF, &ThisClass::memberFxn)
// LRESULT memberFxn(WPARAM, LPARAM) for a message sent with SendMessage/PostMessage.
#define ON_MESSAGE(message, memberFxn) \
    {static_cast<UINT>(message),       \
     0,                                \
     0,                                \
     0,                                \
     AfxSig_lwl,                       \
     nullptr,                          \
     nullptr,                          \
     static_cast<AFX_PMSGL>(&ThisClass::memberFxn)},

#define AFX_MARKER(msg) {msg, 0, 0, 0, AfxSig_marker, nullptr, nullptr, nullptr},
#define ON_WM_PAINT() AFX_MARKER(WM_PAINT)
#define ON_WM_TIMER() AFX_MARKER(WM_TIMER)
#define ON_WM_SYSCOMMAND() AFX_MARKER(WM_SYSCOMMAND)
#define ON_WM_DESTROY() AFX_MARKER(WM_DESTROY)
#define ON_WM_CLOSE() AFX_MARKER(WM_CLOSE)
#define ON_WM_LBUTTONDOWN() AFX_MARKER(WM_LBUTTONDOWN)
#define ON_WM_LBUTTONUP() AFX_MARKER(WM_LBUTTONUP)
#define ON_WM_LBUTTONDBLCLK() AFX_MARKER(WM_LBUTTONDBLCLK)
#define ON_WM_RBUTTONDOWN() AFX_MARKER(WM_RBUTTONDOWN)
#define ON_WM_RBUTTONUP() AFX_MARKER(WM_RBUTTONUP)
#define ON_WM_MOUSEMOVE() AFX_MARKER(WM_MOUSEMOVE)
#define ON_WM_SETCURSOR() AFX_MARKER(WM_SETCURSOR)
#define ON_WM_HELPINFO() AFX_MARKER(WM_HELP)
#define ON_WM_CTLCOLOR() AFX_MARKER(WM_CTLCOLORDLG)
#define ON_WM_CTLCOLOR_REFLECT() AFX_MARKER(WM_REFLECT_BASE + WM_CTLCOLORSTATIC)
#define ON_WM_KEYDOWN() AFX_MARKER(WM_KEYDOWN)
#define ON_WM_KEYUP() AFX_MARKER(WM_KEYUP)
#define ON_WM_ERASEBKGND() AFX_MARKER(WM_ERASEBKGND)
#define ON_WM_QUERYDRAGICON() AFX_MARKER(0x0037)
#define ON_WM_SIZE() AFX_MARKER(WM_SIZE)
#define ON_WM_CAPTURECHANGED() AFX_MARKER(WM_CAPTURECHANGED)

class CCmdTarget {
  public:
    CCmdTarget() = default;
    virtual ~CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // Looks `id`/`code` up in this object's message map chain (message WM_COMMAND, or
    // WM_REFLECT_BASE + WM_COMMAND for reflected notifications) and calls the handler.
    // True when a handler was found.
    virtual BOOL OnCmdMsg(UINT message, UINT id, UINT code);

  protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
    // Finds the ON_MESSAGE entry for `message`; true and *result when handled.
    BOOL OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
};
