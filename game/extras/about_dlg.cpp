#include "game/extras/about_dlg.h"

#include "game/extras/extras_resources.h"
#include "game/extras/shell_calls.h"

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg(CWnd* parent) : CDialog((RegisterExtrasResources(), IDD), parent) {
    // Before the window exists only the addresses are stored; binding the controls attaches the
    // labels.
    m_secondLink.SetLinkTarget(kAboutSecondAddress);
    m_firstLink.SetLinkTarget(kAboutFirstAddress);
}

void CAboutDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ABOUT_SECOND_LINK, m_secondLink);
    DDX_Control(pDX, IDC_ABOUT_FIRST_LINK, m_firstLink);
}

void ShowGameHelp() { extras::ShowHelpFile("mavek.chm"); }
