#include "game/extras/link_label.h"

#include <cstring>

#include "game/extras/shell_calls.h"

BEGIN_MESSAGE_MAP(CLinkLabel, CStatic)
ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
ON_WM_CTLCOLOR_REFLECT()
ON_WM_MOUSEMOVE()
ON_WM_SETCURSOR()
END_MESSAGE_MAP()

std::string LinkCommandLine(const std::string& registered, const std::string& url) {
    std::string line = registered;
    std::size_t cut = line.find("\"%1\"");
    if (cut == std::string::npos) cut = line.find("%1");
    if (cut != std::string::npos) line.erase(cut);
    return line + " " + url;
}

std::string LinkOpenErrorText(int code) {
    const char* text = nullptr;
    switch (code) {
        case 0:
            text = "The operating system is out\nof memory or resources.";
            break;
        case 2:
            text = "The specified file was not found.";
            break;
        case 3:
            text = "The specified path was not found.";
            break;
        case 5:
            text = "The operating system denied\naccess to the specified file.";
            break;
        case 8:
            text = "There was not enough memory to complete the operation.";
            break;
        case 11:
            text = "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
            break;
        case 26:
            text = "A sharing violation occurred. ";
            break;
        case 27:
            text = "The filename association is\nincomplete or invalid.";
            break;
        case 28:
            text = "The DDE transaction could not\nbe completed because the request timed out.";
            break;
        case 29:
            text = "The DDE transaction failed.";
            break;
        case 30:
            text =
                "The DDE transaction could not\nbe completed because other DDE transactions\nwere "
                "being processed.";
            break;
        case 31:
            text = "There is no application associated\nwith the given filename extension.";
            break;
        case 32:
            text = "The specified dynamic-link library was not found.";
            break;
        default:
            break;
    }
    std::string message = "Unable to open hyperlink:\n\n";
    if (text) return message + text;
    CString unknown;
    unknown.Format("Unknown Error (%d) occurred.", code);
    return message + unknown.str();
}

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
