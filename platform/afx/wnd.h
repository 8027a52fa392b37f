// CWnd, the window: geometry, text and state, painting, timers, the mouse, menus, messages and
// their default handling; and the device contexts on a window's client area.
//
// Threads: everything runs on the window thread, except drawing through a DC from GetDC(),
// which is safe from another thread (the advert player); the drawing is shown at once.
#pragma once

#include <memory>

#include "platform/afx/cstring.h"
#include "platform/afx/handles.h"
#include "platform/afx/msgmap.h"
#include "platform/gdi/gdi.h"

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
