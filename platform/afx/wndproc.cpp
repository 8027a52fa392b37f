// CWnd's messages: sending and posting, the dispatcher that calls the handler named after each
// message, the default handling of each, and data exchange.
#include "platform/afx/loop.h"
#include "platform/afx/window.h"

// ---- messages ----

int CWnd::MessageBox(const char* text, const char* caption, UINT type) {
    return ::MessageBox(m_hWnd, text, caption, type);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return WindowProc(message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!impl_) return FALSE;
    afx::PostWindowMessage(impl_, message, wParam, lParam);
    return TRUE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{m_hWnd, message, wParam, lParam, 0, POINT{0, 0}};
    const MSG* saved = currentMsg_;
    currentMsg_ = &msg;
    struct Restore {
        const MSG*& slot;
        const MSG* value;
        ~Restore() { slot = value; }
    } restore{currentMsg_, saved};
    const CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    const UINT flags = static_cast<UINT>(wParam);
    switch (message) {
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_ERASEBKGND:
            return OnEraseBkgnd(reinterpret_cast<CDC*>(wParam));
        case WM_TIMER:
            OnTimer(wParam);
            return 0;
        case WM_SYSCOMMAND:
            OnSysCommand(static_cast<UINT>(wParam), lParam);
            return 0;
        case WM_COMMAND:
            return OnCommand(wParam, lParam);
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_LBUTTONDOWN:
            OnLButtonDown(flags, point);
            return 0;
        case WM_LBUTTONUP:
            OnLButtonUp(flags, point);
            return 0;
        case WM_LBUTTONDBLCLK:
            OnLButtonDblClk(flags, point);
            return 0;
        case WM_RBUTTONDOWN:
            OnRButtonDown(flags, point);
            return 0;
        case WM_RBUTTONUP:
            OnRButtonUp(flags, point);
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(flags, point);
            return 0;
        case WM_CAPTURECHANGED:
            OnCaptureChanged(FromHandle(reinterpret_cast<HWND>(lParam)));
            return 0;
        case WM_SETCURSOR:
            return OnSetCursor(FromHandle(reinterpret_cast<HWND>(wParam)),
                               LOWORD(static_cast<uintptr_t>(lParam)),
                               HIWORD(static_cast<uintptr_t>(lParam)));
        case WM_HELP:
            return OnHelpInfo(reinterpret_cast<HELPINFO*>(lParam));
        case WM_KEYDOWN:
            OnKeyDown(flags, LOWORD(static_cast<uintptr_t>(lParam)),
                      HIWORD(static_cast<uintptr_t>(lParam)));
            return 0;
        case WM_KEYUP:
            OnKeyUp(flags, LOWORD(static_cast<uintptr_t>(lParam)),
                    HIWORD(static_cast<uintptr_t>(lParam)));
            return 0;
        case WM_SIZE:
            OnSize(flags, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
            return reinterpret_cast<LRESULT>(OnCtlColor(reinterpret_cast<CDC*>(wParam),
                                                        FromHandle(reinterpret_cast<HWND>(lParam)),
                                                        message - WM_CTLCOLORMSGBOX));
        default: {
            LRESULT result = 0;
            if (OnUserMessage(message, wParam, lParam, &result)) return result;
            return DefWindowProc(message, wParam, lParam);
        }
    }
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_SYSCOMMAND:
            switch (static_cast<UINT>(wParam) & 0xFFF0) {
                case SC_RESTORE:
                    ShowWindow(SW_RESTORE);
                    break;
                case SC_MINIMIZE:
                    ShowWindow(SW_MINIMIZE);
                    break;
                case SC_CLOSE:
                    SendMessage(WM_CLOSE);
                    break;
                case SC_KEYMENU:
                    if (impl_) impl_->OpenSystemMenu();
                    break;
                default:
                    break;
            }
            return 0;
        case WM_CLOSE:
            DestroyWindow();
            return 0;
        default:
            return 0;
    }
}

LRESULT CWnd::Default() {
    if (!currentMsg_) return 0;
    return DefWindowProc(currentMsg_->message, currentMsg_->wParam, currentMsg_->lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) {
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    return OnCmdMsg(WM_COMMAND, id, code);
}

// ---- data exchange ----

BOOL CWnd::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return !dx.m_failed;
}

void CWnd::DoDataExchange(CDataExchange*) {}

// ---- default handlers ----

void CWnd::OnPaint() { CPaintDC dc(this); }

BOOL CWnd::OnEraseBkgnd(CDC* pDC) {
    if (impl_ && pDC) impl_->EraseBackground(pDC);
    return TRUE;
}

void CWnd::OnTimer(UINT_PTR) {}
void CWnd::OnSysCommand(UINT nID, LPARAM lParam) { DefWindowProc(WM_SYSCOMMAND, nID, lParam); }
void CWnd::OnDestroy() {}
void CWnd::OnClose() { DefWindowProc(WM_CLOSE, 0, 0); }
void CWnd::OnLButtonDown(UINT, CPoint) {}
void CWnd::OnLButtonUp(UINT, CPoint) {}
void CWnd::OnLButtonDblClk(UINT, CPoint) {}
void CWnd::OnRButtonDown(UINT, CPoint) {}
void CWnd::OnRButtonUp(UINT, CPoint) {}
void CWnd::OnMouseMove(UINT, CPoint) {}
void CWnd::OnCaptureChanged(CWnd*) {}

BOOL CWnd::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
    // The parent decides first; otherwise the class cursor, the arrow.
    if (CWnd* parent = GetParent()) {
        if (parent->SendMessage(WM_SETCURSOR,
                                reinterpret_cast<WPARAM>(pWnd ? pWnd->m_hWnd : nullptr),
                                MAKELPARAM(nHitTest, message)))
            return TRUE;
    }
    ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
    return FALSE;
}

BOOL CWnd::OnHelpInfo(HELPINFO*) { return FALSE; }
void CWnd::OnKeyDown(UINT, UINT, UINT) {}
void CWnd::OnKeyUp(UINT, UINT, UINT) {}
void CWnd::OnSize(UINT, int, int) {}
HCURSOR CWnd::OnQueryDragIcon() { return GetIcon(FALSE); }

HBRUSH CWnd::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    if (pWnd && pWnd != this) {
        if (HBRUSH reflected = pWnd->CtlColor(pDC, nCtlColor)) return reflected;
    }
    if (pDC) {
        pDC->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
        const bool field = nCtlColor == CTLCOLOR_EDIT || nCtlColor == CTLCOLOR_LISTBOX;
        pDC->SetBkColor(GetSysColor(field ? COLOR_WINDOW : COLOR_BTNFACE));
        return GetSysColorBrush(field ? COLOR_WINDOW : COLOR_BTNFACE);
    }
    return GetSysColorBrush(COLOR_BTNFACE);
}

HBRUSH CWnd::CtlColor(CDC*, UINT) { return nullptr; }
