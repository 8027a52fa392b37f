#include "game/control/game_app.h"

#include "game/control/game_dlg.h"
#include "game/res/game_resources.h"
#include "game/res/resource_ids.h"

HCURSOR g_handCursor = nullptr;
HCURSOR g_arrowCursor = nullptr;

CGameApp::CGameApp() : CWinApp("kivra") {}

BOOL CGameApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControls();
    g_handCursor = LoadCursor(IDC_HAND_CURSOR);
    g_arrowCursor = LoadStandardCursor(IDC_ARROW);

    CGameDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // The program ends with the main window.
    return FALSE;
}
