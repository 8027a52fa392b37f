#include "game/extras/ad_dlg.h"

#include "game/extras/extras_resources.h"
#include "game/extras/shell_calls.h"

BEGIN_MESSAGE_MAP(CAdDlg, CDialog)
ON_WM_TIMER()
ON_WM_LBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_DESTROY()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CAdDlg::CAdDlg(const CString& caption, const CString& url, int difficulty, int level, CWnd* parent)
    : CDialog((RegisterExtrasResources(), IDD), parent),
      m_url(url),
      m_caption(caption),
      m_difficulty(difficulty),
      m_level(level) {}

CAdDlg::~CAdDlg() = default;

CString CAdDlg::AdvertFileName(int difficulty, int level) {
    CString name;
    name.Format("ads\\%d%02d.gif", difficulty, level);
    return name;
}

BOOL CAdDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(m_caption);

    // A missing or broken picture is not reported: the window still opens, counts down and
    // opens its address on a click, with nothing drawn inside.
    m_picture = std::make_unique<CAdPicture>(this);
    m_picture->Load(AdvertFileName(m_difficulty, m_level).str());
    m_picture->SetPosition(0, 0);
    m_picture->Start();

    m_autoCloseCount = kCloseCountStart;
    SetTimer(kCloseTimer, kCloseTimerPeriodMs);

    // The client area becomes the picture's screen, and the window is centred on the screen.
    // Without a picture the window keeps the size its template gives it.
    RECT window, client;
    GetWindowRect(&window);
    GetClientRect(&client);
    int width = window.right - window.left;
    int height = window.bottom - window.top;
    if (m_picture->ScreenWidth() > 0 && m_picture->ScreenHeight() > 0) {
        width = m_picture->ScreenWidth() + width - (client.right - client.left);
        height = m_picture->ScreenHeight() + height - (client.bottom - client.top);
    }
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    MoveWindow(left, top, width, height);

    m_pointerInside = 0;
    return TRUE;
}

void CAdDlg::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent != kCloseTimer) {
        CDialog::OnTimer(nIDEvent);
        return;
    }
    if (m_autoCloseCount == 0) {
        OnCancel();
        return;
    }
    --m_autoCloseCount;
}

void CAdDlg::OnLButtonDown(UINT nFlags, CPoint point) {
    // A failing shell is not reported; the advert stays open either way.
    extras::ShellOpen(m_hWnd, m_url, SW_SHOWNORMAL);
    CDialog::OnLButtonDown(nFlags, point);
}

void CAdDlg::OnMouseMove(UINT nFlags, CPoint point) {
    RECT client;
    GetClientRect(&client);
    const bool inside =
        point.x > 0 && point.x < client.right && point.y > 0 && point.y < client.bottom;
    if (inside && m_pointerInside == 0) {
        // Holding the capture is what lets the window see the move that leaves it.
        SetCapture();
        HCURSOR hand = ::LoadCursor(AfxGetInstanceHandle(), MAKEINTRESOURCE(kHandCursorId));
        if (!hand) hand = ::LoadCursor(nullptr, IDC_HAND);
        ::SetCursor(hand);
        m_pointerInside = 1;
    } else if (!inside && m_pointerInside == 1) {
        ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
        ReleaseCapture();
        m_pointerInside = 0;
    }
    CDialog::OnMouseMove(nFlags, point);
}

void CAdDlg::OnDestroy() {
    // The thread draws on this window: it is stopped and waited for before the window goes.
    if (m_picture) {
        m_picture->Stop();
        m_picture.reset();
    }
    CDialog::OnDestroy();
}

BOOL CAdDlg::OnEraseBkgnd(CDC* pDC) {
    // While the picture plays, its thread owns the whole client area: erasing would wipe the
    // frame on show until the next one is drawn.
    if (m_picture && m_picture->State() == gif::kRunning) return TRUE;
    return CDialog::OnEraseBkgnd(pDC);
}
