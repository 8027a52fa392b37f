// The window framework: application, windows, dialogs, controls, menus, message maps.
//
// Messages reach a window through CWnd::WindowProc, which calls the handler named after the
// message (OnPaint, OnTimer, OnLButtonDown, OnSysCommand, ...). The handlers are virtual
// functions: a class overrides the ones it handles and calls the base class's version for
// the default handling. The ON_WM_xxx() entries of a message map are accepted for
// readability and change nothing.
//
// Command identifiers (menu items, buttons, control notifications) are bound to member
// functions in a per-class message map:
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
//
// Threads: everything runs on the window thread, except drawing through a DC from GetDC(),
// which is safe from another thread (the advert player); the drawing is shown at once.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/afx/cstring.h"
#include "platform/afx/styles.h"
#include "platform/gdi/gdi.h"
#include "platform/seams/seams.h"

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

// ---- message maps ----------------------------------------------------------------------

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

// ---- menus -------------------------------------------------------------------------------------
// A menu is a list of items (command, text, flags, submenu). Changes to a menu shown as a
// window's menu bar or system menu appear there at once.
class CMenu {
  public:
    CMenu();
    ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HMENU m_hMenu = nullptr;
    HMENU GetSafeHmenu() const { return m_hMenu; }
    operator HMENU() const { return m_hMenu; }

    // A wrapper for a menu owned elsewhere (valid as long as that menu).
    static CMenu* FromHandle(HMENU menu);

    // From a registered menu template (afx::RegisterMenuTemplate).
    BOOL LoadMenu(UINT templateId);
    BOOL CreateMenu();
    BOOL CreatePopupMenu();
    BOOL DestroyMenu();
    BOOL Attach(HMENU menu);
    HMENU Detach();

    // flags: MF_STRING, MF_SEPARATOR, MF_POPUP (idNewItem is then an HMENU cast to UINT_PTR),
    // MF_GRAYED, MF_CHECKED.
    BOOL AppendMenu(UINT flags, UINT_PTR idNewItem = 0, const char* text = nullptr);
    // flags MF_BYCOMMAND (searching submenus) or MF_BYPOSITION with MF_ENABLED / MF_GRAYED /
    // MF_DISABLED. Returns the previous state (MF_ENABLED, MF_GRAYED, MF_DISABLED), or
    // 0xFFFFFFFF when there is no such item.
    UINT EnableMenuItem(UINT idOrPos, UINT flags);
    // MF_CHECKED / MF_UNCHECKED; returns the previous state (MF_CHECKED or MF_UNCHECKED) or
    // 0xFFFFFFFF.
    UINT CheckMenuItem(UINT idOrPos, UINT flags);
    // MF_CHECKED | MF_GRAYED | MF_DISABLED | MF_SEPARATOR | MF_POPUP bits, 0xFFFFFFFF when absent.
    UINT GetMenuState(UINT idOrPos, UINT flags) const;
    int GetMenuItemCount() const;
    UINT GetMenuItemID(int pos) const;  // 0 for separators, 0xFFFFFFFF for popups
    CMenu* GetSubMenu(int pos) const;
    int GetMenuString(UINT idOrPos, CString& text, UINT flags) const;
    BOOL RemoveMenu(UINT idOrPos, UINT flags);

  private:
    bool owned_ = false;
};

// ---- windows ------------------------------------------------------------------------------------
class CWnd : public CCmdTarget {
  public:
    CWnd();
    ~CWnd() override;

    // The native window; nullptr before creation and after destruction.
    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }
    static CWnd* FromHandle(HWND hwnd);

    // Binds this object to control `id` of `parent` (created from the parent's template);
    // calls PreSubclassWindow. Messages of the control then reach this object.
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    virtual void PreSubclassWindow();
    // Destroys the native window: OnDestroy, timers killed, capture released.
    virtual BOOL DestroyWindow();

    // Called for every key and mouse message before it is dispatched, on the window that has
    // the focus and then on its parents; return TRUE to stop the message there.
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    // ---- geometry ----
    // Client rectangle: (0, 0, width, height).
    void GetClientRect(LPRECT rect) const;
    // In screen coordinates, for top-level windows and controls alike. A top-level window's
    // frame adds borders of 3 pixels, a caption of 19 and a menu bar of 20 to its client area.
    void GetWindowRect(LPRECT rect) const;
    void ClientToScreen(LPPOINT point) const;
    void ClientToScreen(LPRECT rect) const;
    void ScreenToClient(LPPOINT point) const;
    void ScreenToClient(LPRECT rect) const;
    // Top-level: screen position and outer size (the client area is what the frame leaves);
    // child: position in the parent's client area and size.
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void MoveWindow(LPCRECT rect, BOOL repaint = TRUE);
    // SWP_NOMOVE, SWP_NOSIZE, SWP_NOZORDER, SWP_SHOWWINDOW, SWP_HIDEWINDOW honoured.
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    void CenterWindow(CWnd* alternateOwner = nullptr);

    // ---- text, style, state ----
    void SetWindowText(const char* text);
    void GetWindowText(CString& text) const;
    int GetWindowText(char* buffer, int maxCount) const;
    int GetWindowTextLength() const;
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
    BOOL ShowWindow(int cmdShow);
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    CWnd* SetFocus();
    static CWnd* GetFocus();
    int GetDlgCtrlID() const;
    CWnd* GetDlgItem(int id) const;
    void SetDlgItemText(int id, const char* text);
    CWnd* GetParent() const;
    CWnd* GetTopLevelParent() const;
    void SetFont(CFont* font, BOOL redraw = TRUE);
    CFont* GetFont() const;  // the dialog font for dialogs and their controls

    // ---- painting ----
    // Marks the area for WM_PAINT (delivered when the thread has nothing else to do). With
    // erase, WM_ERASEBKGND fills it with the background brush first.
    void Invalidate(BOOL erase = TRUE);
    void InvalidateRect(LPCRECT rect, BOOL erase = TRUE);
    void ValidateRect(LPCRECT rect);
    // Delivers a pending WM_PAINT now.
    void UpdateWindow();
    BOOL RedrawWindow(LPCRECT rect = nullptr, void* region = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    BOOL GetUpdateRect(LPRECT rect, BOOL erase = FALSE);
    // A DC on the client area; its drawing shows at once. Usable from any thread; give it
    // back with ReleaseDC on the same thread.
    CDC* GetDC();
    CDC* GetWindowDC();
    int ReleaseDC(CDC* dc);
    // The client area's pixels (what window and paint DCs draw into).
    std::shared_ptr<gdi::Surface> GetSurface() const;

    // ---- timers (on the clock seam) ----
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, void* unusedProc = nullptr);
    BOOL KillTimer(UINT_PTR id);

    // ---- mouse ----
    CWnd* SetCapture();  // returns the previous capture window
    static CWnd* GetCapture();

    // ---- menus, icon ----
    CMenu* GetMenu() const;
    BOOL SetMenu(CMenu* menu);
    void DrawMenuBar();
    // The system menu (Alt+Space): Restore, Minimise, Close and the items the program appends.
    // With revert TRUE the appended items are dropped and nullptr is returned.
    CMenu* GetSystemMenu(BOOL revert) const;
    HICON SetIcon(HICON icon, BOOL bigIcon);
    HICON GetIcon(BOOL bigIcon) const;

    // ---- messages ----
    int MessageBox(const char* text, const char* caption = nullptr, UINT type = MB_OK);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Queued: delivered by the message loop.
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // The dispatcher: calls the handler named after the message.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The message being handled, with its default handling.
    LRESULT Default();
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);

    // ---- data exchange ----
    // FALSE: members to controls; TRUE: controls to members (validating). False when a
    // validation failed (a message box told the user).
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* pDX);

    // ---- handlers (defaults do the framework's standard handling) ----
    afx_msg virtual void OnPaint();
    afx_msg virtual BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg virtual void OnTimer(UINT_PTR nIDEvent);
    afx_msg virtual void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg virtual void OnDestroy();
    afx_msg virtual void OnClose();
    afx_msg virtual void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg virtual void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg virtual void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg virtual void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg virtual void OnRButtonUp(UINT nFlags, CPoint point);
    afx_msg virtual void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg virtual void OnCaptureChanged(CWnd* pWnd);
    // Returns TRUE when the handler set the cursor; the default sets the arrow and returns FALSE.
    afx_msg virtual BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg virtual BOOL OnHelpInfo(HELPINFO* pHelpInfo);
    afx_msg virtual void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg virtual void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg virtual void OnSize(UINT nType, int cx, int cy);
    afx_msg virtual HCURSOR OnQueryDragIcon();
    // The colours of a control (or of the dialog's own background, CTLCOLOR_DLG) about to be
    // drawn: set text colour, background colour and mode on pDC, return the background brush.
    // The default first offers the message to the control itself (CtlColor); failing that
    // it returns the system face brush with black text.
    afx_msg virtual HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    // Reflected control colour (ON_WM_CTLCOLOR_REFLECT): nullptr means not handled.
    afx_msg virtual HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);

    // Framework internals.
    afx::WindowImpl* Impl() const { return impl_; }
    void AttachImpl(afx::WindowImpl* impl);
    afx::WindowImpl* DetachImpl();

  protected:
    afx::WindowImpl* impl_ = nullptr;
    const MSG* currentMsg_ = nullptr;
    friend class afx::WindowImpl;
};

// ---- device contexts on windows -----------------------------------------------------------------
// The paint DC: begins painting (erasing first when the invalidation asked for it), clips to the
// area to repaint and validates it; EndPaint at destruction.
class CPaintDC : public CDC {
  public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;
    RECT m_rcPaint{};  // the area to repaint
    BOOL m_fErase = FALSE;

  private:
    CWnd* wnd_;
};

// A DC on a window's client area; its drawing shows at once.
class CClientDC : public CDC {
  public:
    explicit CClientDC(CWnd* wnd);
    ~CClientDC() override;

  private:
    CWnd* wnd_;
};
typedef CClientDC CWindowDC;

// ---- data exchange -----------------------------------------------------------------------------
class CDataExchange {
  public:
    CDataExchange(CWnd* dlg, BOOL saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dlg) {}
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    int m_idLastControl = 0;
    bool m_failed = false;
    // Validation failed at the last control: the caller stops exchanging.
    void Fail();
};
// Binds `control` to dialog control `id` (once; calls its PreSubclassWindow).
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
// The window text of control `id` <-> `value`.
void DDX_Text(CDataExchange* pDX, int id, CString& value);
void DDX_Text(CDataExchange* pDX, int id, int& value);
// Edit control: limits input to `maxChars` (code page 936 bytes) when loading; when saving,
// fails with a message if the text is longer.
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int maxChars);
// Combo box selection index (-1 for none).
void DDX_CBIndex(CDataExchange* pDX, int id, int& index);

// ---- dialogs
// ----------------------------------------------------------------------------------------
class CDialog : public CWnd {
  public:
    // A dialog from the registered template `templateId` (afx::RegisterDialogTemplate).
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Creates the window from the template (controls, menu, size), runs OnInitDialog, shows it
    // and runs a nested message loop until EndDialog; destroys the window and returns the
    // result. Traced as "dialog" {id, caption} (after OnInitDialog) and "dialog_closed" {id,
    // result}. With the modal responder enabled, a dialog that is not run live (see
    // afx/automation.h) takes its answer from the queue: ok/yes -> IDOK (through OnOK), cancel/no
    // -> IDCANCEL (through OnCancel), text T -> T typed into the first edit control, then OK.
    // Returns -1 when the template is missing.
    virtual INT_PTR DoModal();
    // Modeless creation (shown when the template has WS_VISIBLE).
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // Ends the modal loop with `result` after the current message.
    void EndDialog(int result);
    UINT GetTemplateId() const { return templateId_; }
    // The id of the default push button (IDOK unless the template says otherwise).
    int GetDefID() const;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnClose() override;
    void OnSysCommand(UINT nID, LPARAM lParam) override;
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) override;

    // Framework internals.
    bool IsModalRunning() const { return running_; }
    int ModalResult() const { return result_; }
    // Answers the dialog as the modal responder does: ok/yes press OK, cancel/no press Cancel,
    // text T types T into the first edit control and then presses OK.
    virtual void Answer(const seams::Answer& answer);
    // True while the dialog runs live because the responder's answer for it was "hold".
    bool IsHeld() const { return held_; }

  protected:
    // A dialog from a template of the caller's own instead of a registered one; it is neither
    // answered by the responder nor traced (message boxes are, in their own terms).
    CDialog(const afx::DialogTemplate& t, CWnd* parent, bool held);

    UINT templateId_;
    CWnd* parent_;

  private:
    std::shared_ptr<const afx::DialogTemplate> ownTemplate_;
    bool running_ = false;
    bool ended_ = false;
    bool held_ = false;
    int result_ = -1;
    friend class afx::WindowImpl;
};

// ---- controls
// ------------------------------------------------------------------------------------
class CStatic : public CWnd {
  public:
    HICON SetIcon(HICON icon);
    HICON GetIcon() const;
};

class CButton : public CWnd {
  public:
    // Simulates a click: BN_CLICKED to the parent.
    void Click();
};

class CEdit : public CWnd {
  public:
    // Input limit in code page 936 bytes (0: the default, 30000).
    void SetLimitText(UINT maxBytes);
    void LimitText(int maxBytes = 0) { SetLimitText(static_cast<UINT>(maxBytes)); }
    UINT GetLimitText() const;
    void SetSel(int start, int end, BOOL noScroll = FALSE);
    // Types `text` as a user would: characters beyond the limit are refused.
    void TypeText(const char* text);
};

constexpr int CB_ERR = -1;
class CComboBox : public CWnd {
  public:
    int AddString(const char* text);  // returns the index
    int InsertString(int index, const char* text);
    int DeleteString(int index);  // returns the count left
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;  // CB_ERR when none
    // Does not notify the parent (as on Windows); -1 clears the selection.
    int SetCurSel(int index);
    int GetLBText(int index, CString& text) const;
    int GetLBTextLen(int index) const;
    // Selects as the user does: CBN_SELCHANGE to the parent.
    void SelectByUser(int index);
};

class CListCtrl : public CWnd {
  public:
    DWORD SetExtendedStyle(DWORD exStyle);  // LVS_EX_GRIDLINES, LVS_EX_FULLROWSELECT
    DWORD GetExtendedStyle() const;
    int InsertColumn(int col, const char* heading, int format = LVCFMT_LEFT, int width = -1,
                     int subItem = -1);
    BOOL DeleteColumn(int col);
    int GetColumnCount() const;
    int GetColumnWidth(int col) const;
    CString GetColumnHeading(int col) const;
    int InsertItem(int item, const char* text);  // returns the index
    BOOL SetItemText(int item, int subItem, const char* text);
    CString GetItemText(int item, int subItem) const;
    BOOL DeleteItem(int item);
    BOOL DeleteAllItems();
    int GetItemCount() const;
};

// Tooltips over controls: tool `id` over `wnd` shows `text` while the mouse rests on it.
class CToolTipCtrl : public CWnd {
  public:
    BOOL Create(CWnd* parent, DWORD style = 0);
    BOOL AddTool(CWnd* wnd, const char* text, LPCRECT rect = nullptr, UINT_PTR id = 0);
    void UpdateTipText(const char* text, CWnd* wnd, UINT_PTR id = 0);
    void DelTool(CWnd* wnd, UINT_PTR id = 0);
    void Activate(BOOL activate);
    // Accepted for the Windows pattern; the tooltips watch the mouse themselves.
    void RelayEvent(MSG* msg);
    // The text of tool `id` over `wnd` ("" when none).
    CString GetToolText(CWnd* wnd, UINT_PTR id = 0) const;

  private:
    struct Tool {
        CWnd* wnd;
        UINT_PTR id;
        std::string text;
    };
    std::vector<Tool> tools_;
    CWnd* parent_ = nullptr;
    bool active_ = true;
    void Apply(const Tool& tool);
};

// ---- the application
// ------------------------------------------------------------------------------
class CWinApp : public CCmdTarget {
  public:
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;

    // The program's whole life for a dialog-based program; returning FALSE ends it.
    virtual BOOL InitInstance();
    virtual int ExitInstance();

    CWnd* m_pMainWnd = nullptr;
    const char* m_pszAppName;

    HCURSOR LoadCursor(UINT resourceId) const;
    HCURSOR LoadStandardCursor(const char* name) const;  // IDC_ARROW ...
    HICON LoadIcon(UINT resourceId) const;
    // Accepted; controls are always drawn in three dimensions here.
    void Enable3dControls() {}
    void Enable3dControlsStatic() {}
};
void AfxEnableControlContainer();
CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
const char* AfxGetAppName();

// Starts the windowing system, runs the application object's InitInstance (then
// ExitInstance) and returns the exit status. The program's main() calls this.
int AfxWinMain(int argc, char** argv);
