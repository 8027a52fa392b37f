#include "game/extras/link_label.h"

#include <cstring>

#include "game/extras/shell_calls.h"

BEGIN_MESSAGE_MAP(CLinkLabel, CStatic)
ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
ON_WM_CTLCOLOR_REFLECT()
ON_WM_MOUSEMOVE()
ON_WM_CAPTURECHANGED()
ON_WM_SETCURSOR()
END_MESSAGE_MAP()

CLinkLabel::CLinkLabel() : m_hoverColour(GetSysColor(COLOR_HIGHLIGHT)) {}

CLinkLabel::~CLinkLabel() = default;

void CLinkLabel::SetLinkTarget(const CString& url) {
    m_url = url;
    if (m_hWnd) {
        FitToText();
        m_toolTip.UpdateTipText(m_url, this, kToolId);
    }
}

void CLinkLabel::MarkVisited(bool visited) {
    m_visited = visited;
    if (m_hWnd) Invalidate(TRUE);
}

COLORREF CLinkLabel::CurrentTextColour() const {
    if (m_over) return m_hoverColour;
    return m_visited ? m_visitedColour : m_linkColour;
}

void CLinkLabel::PreSubclassWindow() {
    // The control reports clicks only with the notify style.
    ModifyStyle(0, SS_NOTIFY);
    CString text;
    GetWindowText(text);
    if (m_url.IsEmpty()) m_url = text;
    if (text.IsEmpty()) SetWindowText(m_url);

    LOGFONT lf;
    std::memset(&lf, 0, sizeof lf);
    CFont* current = GetFont();
    if (current && current->GetLogFont(&lf)) {
        lf.lfUnderline = BYTE(m_underline ? 1 : 0);
        if (m_font.CreateFontIndirect(&lf)) SetFont(&m_font);
    }

    FitToText();
    LoadLinkCursor();

    m_toolTip.Create(this);
    RECT client;
    GetClientRect(&client);
    m_toolTip.AddTool(this, m_url, &client, kToolId);
    CStatic::PreSubclassWindow();
}

void CLinkLabel::FitToText() {
    if (!m_hWnd || !m_adjustToFit) return;
    CWnd* parent = GetParent();
    RECT rect;
    GetWindowRect(&rect);
    if (parent) parent->ScreenToClient(&rect);

    CString text;
    GetWindowText(text);
    CClientDC dc(this);
    CFont* font = GetFont();
    CFont* old = font ? dc.SelectObject(font) : nullptr;
    const CSize extent = dc.GetTextExtent(text.str());
    if (old) dc.SelectObject(old);

    const DWORD style = GetStyle();
    const int height = rect.bottom - rect.top;
    if (style & SS_CENTERIMAGE) {
        const int shrink = (height - extent.cy) / 2;
        rect.top += shrink;
        rect.bottom -= shrink;
    } else {
        rect.bottom = rect.top + extent.cy;
    }
    const int width = rect.right - rect.left;
    switch (style & SS_TYPEMASK) {
        case SS_CENTER: {
            const int shrink = (width - extent.cx) / 2;
            rect.left += shrink;
            rect.right -= shrink;
            break;
        }
        case SS_RIGHT:
            rect.left = rect.right - extent.cx;
            break;
        default:
            rect.right = rect.left + extent.cx;
            break;
    }
    SetWindowPos(nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER);
}

// The system's hand cursor stands for the help program's link cursor; without one the label
// shows the ordinary cursor.
void CLinkLabel::LoadLinkCursor() {
    if (m_linkCursor) return;
    m_linkCursor = ::LoadCursor(nullptr, IDC_HAND);
}

BOOL CLinkLabel::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
    if (m_linkCursor) {
        ::SetCursor(m_linkCursor);
        return TRUE;
    }
    return CStatic::OnSetCursor(pWnd, nHitTest, message);
}

BOOL CLinkLabel::PreTranslateMessage(MSG* pMsg) {
    m_toolTip.RelayEvent(pMsg);
    return CStatic::PreTranslateMessage(pMsg);
}

void CLinkLabel::Redraw() {
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
}

void CLinkLabel::OnMouseMove(UINT nFlags, CPoint point) {
    CStatic::OnMouseMove(nFlags, point);
    if (!m_over) {
        m_over = true;
        Redraw();
        SetCapture();
        return;
    }
    RECT client;
    GetClientRect(&client);
    const bool inside = point.x >= client.left && point.x < client.right && point.y >= client.top &&
                        point.y < client.bottom;
    if (!inside) {
        m_over = false;
        ReleaseCapture();
        Redraw();
    }
}

// The capture ends without a move off the label when a box opens over it (the error box of a
// link that would not open): the label is no longer under the pointer's hover.
void CLinkLabel::OnCaptureChanged(CWnd* pWnd) {
    CStatic::OnCaptureChanged(pWnd);
    if (!m_over) return;
    m_over = false;
    Redraw();
}

HBRUSH CLinkLabel::CtlColor(CDC* pDC, UINT /*nCtlColor*/) {
    pDC->SetTextColor(CurrentTextColour());
    pDC->SetBkMode(TRANSPARENT);
    // The hollow brush lets the parent's background show through.
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void CLinkLabel::OnClicked() {
    const std::intptr_t result = OpenLink(m_url, SW_SHOW);
    if (result > 32) {
        MarkVisited(true);
    } else {
        MessageBeep(MB_ICONEXCLAMATION);
        ShowOpenError(int(result));
    }
}

long CLinkLabel::ReadRegistryDefault(const char* subKey, std::string& value) {
    return extras::ReadClassesRootDefault(subKey, value, kValueBufferSize);
}

std::intptr_t CLinkLabel::OpenLink(const char* url, int showCommand) {
    const std::intptr_t shellResult = extras::ShellOpen(nullptr, url, showCommand);
    if (shellResult > 32) return shellResult;

    // Fall back to the program registered for .htm files.
    std::string documentClass;
    if (ReadRegistryDefault(".htm", documentClass) != 0) return shellResult;
    std::string command;
    const std::string commandKey = documentClass + "\\shell\\open\\command";
    if (ReadRegistryDefault(commandKey.c_str(), command) != 0) return shellResult;
    const std::string line = LinkCommandLine(command, url ? url : "");
    // The line is built in a buffer of fixed size: one that would not fit is not started.
    if (line.size() + 1 > kCommandBufferSize) return shellResult;
    return std::intptr_t(extras::StartCommandLine(line.c_str(), showCommand));
}

void CLinkLabel::ShowOpenError(int code) {
    AfxMessageBox(LinkOpenErrorText(code).c_str(), MB_ICONEXCLAMATION | MB_OK);
}
