// The application object: runs the main window as a modal dialog and ends with it.
#pragma once

#include "platform/afx/afxwin.h"

// Program-wide cursors, loaded once at start-up and used by the advert window.
extern HCURSOR g_handCursor;   // cursor resource 197
extern HCURSOR g_arrowCursor;  // the standard arrow

class CGameApp : public CWinApp {
  public:
    CGameApp();
    BOOL InitInstance() override;
};
