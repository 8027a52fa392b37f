// CAboutDlg: the About box with its two web addresses as hyperlink labels.
#pragma once

#include "game/extras/link_label.h"
#include "game/res/resource_ids.h"
#include "platform/afx/afxwin.h"

class CAboutDlg : public CDialog {
  public:
    enum { IDD = IDD_ABOUTBOX };

    explicit CAboutDlg(CWnd* parent = nullptr);

    void DoDataExchange(CDataExchange* pDX) override;

    CLinkLabel m_firstLink;   // IDC_ABOUT_FIRST_LINK
    CLinkLabel m_secondLink;  // IDC_ABOUT_SECOND_LINK

    DECLARE_MESSAGE_MAP()
};

// Shows the game's help file "mavek.chm" at its default topic. The viewer reports a missing
// file itself; the result is not used.
void ShowGameHelp();
