// The application object and the program's entry.
#pragma once

#include "platform/afx/msgmap.h"
#include "platform/gdi/gdi.h"

class CWinApp : public CCmdTarget {
  public:
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;

    // The program's whole life for a dialog-based program; returning FALSE ends it.
    virtual BOOL InitInstance();
    virtual int ExitInstance();

    CWnd* m_pMainWnd = nullptr;
    const char* m_pszAppName;

    HCURSOR LoadCursor(UINT resourceId) const;
    HCURSOR LoadStandardCursor(const char* name) const;  // IDC_ARROW ...
    HICON LoadIcon(UINT resourceId) const;
    // Accepted; controls are always drawn in three dimensions here.
    void Enable3dControls() {}
    void Enable3dControlsStatic() {}
};
void AfxEnableControlContainer();
CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
const char* AfxGetAppName();

// Starts the windowing system, runs the application object's InitInstance (then
// ExitInstance) and returns the exit status. The program's main() calls this.
int AfxWinMain(int argc, char** argv);
