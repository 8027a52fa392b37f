// The application object, the program's entry, message boxes, cursors, screen metrics and
// system colours.
#include "platform/afx/automation.h"
#include "platform/afx/loop.h"
#include "platform/afx/window.h"

namespace {

CWinApp* g_app = nullptr;
std::string g_appName = "kivra";

}  // namespace

// ---- CWinApp ----

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName) {
    g_app = this;
    if (appName) g_appName = appName;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }
int CWinApp::ExitInstance() { return 0; }

HCURSOR CWinApp::LoadCursor(UINT resourceId) const {
    return ::LoadCursor(nullptr, MAKEINTRESOURCE(resourceId));
}

HCURSOR CWinApp::LoadStandardCursor(const char* name) const { return ::LoadCursor(nullptr, name); }

HICON CWinApp::LoadIcon(UINT resourceId) const {
    return LoadIconResource(static_cast<int>(resourceId));
}

void AfxEnableControlContainer() {}
CWinApp* AfxGetApp() { return g_app; }
CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }
const char* AfxGetAppName() {
    return g_app && g_app->m_pszAppName ? g_app->m_pszAppName : g_appName.c_str();
}
HINSTANCE AfxGetInstanceHandle() { return reinterpret_cast<HINSTANCE>(&g_appName); }
HINSTANCE AfxGetResourceHandle() { return AfxGetInstanceHandle(); }

int AfxWinMain(int argc, char** argv) {
    afx::InitPlatform(argc, argv);
    if (argc > 0 && argv && argv[0]) {
        std::string name = argv[0];
        const size_t slash = name.find_last_of('/');
        if (slash != std::string::npos) name = name.substr(slash + 1);
        g_appName = name;
    }
    CWinApp* app = AfxGetApp();
    if (!app) return 1;
    if (app->InitInstance()) {
        // A program that keeps running after InitInstance: loop while it has windows.
        afx::RunModalLoop(
            [] { return afx::automation::QuitRequested() || afx::TopLevelWindows().empty(); });
    }
    const int code = app->ExitInstance();
    if (afx::automation::QuitRequested()) {
        return afx::automation::QuitExitCode();
    }
    return code;
}

// ---- system colours ----

COLORREF GetSysColor(int index) {
    switch (index) {
        case COLOR_WINDOW:
            return RGB(255, 255, 255);
        case COLOR_WINDOWTEXT:
        case COLOR_BTNTEXT:
            return RGB(0, 0, 0);
        case COLOR_HIGHLIGHT:
            return RGB(0, 120, 215);
        case COLOR_HIGHLIGHTTEXT:
            return RGB(255, 255, 255);
        case COLOR_GRAYTEXT:
            return RGB(109, 109, 109);
        case COLOR_BTNFACE:
        default:
            return RGB(240, 240, 240);
    }
}

HBRUSH GetSysColorBrush(int index) {
    static CBrush* brushes[32] = {};
    if (index < 0 || index >= 32) index = COLOR_BTNFACE;
    if (!brushes[index]) brushes[index] = new CBrush(GetSysColor(index));
    return static_cast<HBRUSH>(brushes[index]->GetSafeHandle());
}

// ---- cursors and icons ----

HCURSOR LoadCursor(HINSTANCE, const char* name) {
    if (!IS_INTRESOURCE(name)) return nullptr;
    const uintptr_t id = reinterpret_cast<uintptr_t>(name);
    if (HCURSOR standard = afx::StandardCursor(id)) return standard;
    if (id >= 32512) return nullptr;
    return LoadCursorResource(static_cast<int>(id));
}

HCURSOR SetCursor(HCURSOR cursor) {
    HCURSOR previous = afx::CurrentCursorImpl();
    afx::ApplyCursor(cursor);
    return previous;
}

HCURSOR GetCursor() { return afx::CurrentCursorImpl(); }

HICON LoadIcon(HINSTANCE, const char* name) {
    if (!IS_INTRESOURCE(name)) return nullptr;
    return LoadIconResource(static_cast<int>(reinterpret_cast<uintptr_t>(name)));
}

// ---- metrics ----

int GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXSCREEN:
        case SM_CYSCREEN: {
            int width = 1024, height = 768;
            afx::PrimaryScreenSize(&width, &height);
            return index == SM_CXSCREEN ? width : height;
        }
        case SM_CXICON:
        case SM_CYICON:
            return 32;
        case SM_CXSMICON:
        case SM_CYSMICON:
            return 16;
        case SM_CYCAPTION:
            return afx::kCaptionHeight;
        case SM_CYMENU:
            return afx::kMenuBarHeight;
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME:
            return afx::kFrameBorder;
        default:
            return 0;
    }
}

BOOL MessageBeep(UINT) {
    afx::Beep();
    return TRUE;
}
