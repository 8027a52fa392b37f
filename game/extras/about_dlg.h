// CAboutDlg: the About box (template 100) with its two web addresses as hyperlink labels.
#pragma once

#include "game/extras/link_label.h"
#include "platform/afx/afxwin.h"

class CAboutDlg : public CDialog {
  public:
    enum { IDD = 100 };
    static constexpr int kFirstLinkId = 1006;
    static constexpr int kSecondLinkId = 1007;

    explicit CAboutDlg(CWnd* parent = nullptr);

    void DoDataExchange(CDataExchange* pDX) override;

    CLinkLabel m_firstLink;   // control 1006
    CLinkLabel m_secondLink;  // control 1007

    DECLARE_MESSAGE_MAP()
};

// Shows the game's help file "mavek.chm" at its default topic. The viewer reports a missing
// file itself; the result is not used.
void ShowGameHelp();
