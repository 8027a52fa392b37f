// Opens a window with a menu and a dialog on top of it, offscreen, drives both through the
// automation and checks what they did. Exits non-zero on the first failure.
#include <cstdio>
#include <cstdlib>

#include "platform/afx/automation.h"
#include "platform/afx/templates.h"

namespace {

int failures = 0;
#define CHECK(cond)                                                         \
    do {                                                                    \
        if (!(cond)) {                                                      \
            std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #cond); \
            ++failures;                                                     \
        }                                                                   \
    } while (0)

class CSmokeDlg : public CDialog {
  public:
    CSmokeDlg() : CDialog(500) {}
    int painted = 0;
    int timerTicks = 0;
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        MoveWindow(0, 0, 800, 575);
        SetTimer(1, 1000);
        GetMenu()->CheckMenuItem(601, MF_CHECKED);
        return TRUE;
    }
    void OnPaint() override {
        CPaintDC dc(this);
        CRect r;
        GetClientRect(&r);
        dc.FillSolidRect(&r, RGB(20, 40, 60));
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(RGB(0, 255, 0));
        dc.TextOut(10, 10, "窗口 0123");
        ++painted;
    }
    void OnTimer(UINT_PTR) override { ++timerTicks; }
    void OnAbout() {
        CDialog about(501, this);
        about.DoModal();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSmokeDlg, CDialog)
ON_COMMAND(600, OnAbout)
END_MESSAGE_MAP()

class CSmokeApp : public CWinApp {
  public:
    BOOL InitInstance() override {
        CSmokeDlg dlg;
        m_pMainWnd = &dlg;
        result = static_cast<int>(dlg.DoModal());
        painted = dlg.painted;
        ticks = dlg.timerTicks;
        m_pMainWnd = nullptr;
        return FALSE;
    }
    int result = 0, painted = 0, ticks = 0;
};

CSmokeApp theApp;

void Register() {
    afx::MenuTemplate menu;
    menu.id = 550;
    afx::MenuItemTemplate popup;
    popup.text = "帮助(&A)";
    popup.flags = MF_POPUP;
    afx::MenuItemTemplate about;
    about.id = 600;
    about.text = "关于(&A)...";
    afx::MenuItemTemplate mark;
    mark.id = 601;
    mark.text = "标记\tF9";
    popup.items = {about, mark};
    menu.items = {popup};
    afx::RegisterMenuTemplate(menu);

    afx::DialogTemplate main;
    main.id = 500;
    main.caption = "冒烟";
    main.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | WS_VISIBLE;
    main.cx = 320;
    main.cy = 200;
    main.menuId = 550;
    afx::RegisterDialogTemplate(main);

    afx::DialogTemplate box;
    box.id = 501;
    box.caption = "关于";
    box.cx = 195;
    box.cy = 145;
    afx::ControlTemplate ok;
    ok.id = IDOK;
    ok.kind = afx::ControlKind::Button;
    ok.text = "确定";
    ok.style = WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON;
    ok.x = 76;
    ok.y = 124;
    ok.cx = 43;
    ok.cy = 14;
    afx::ControlTemplate text;
    text.kind = afx::ControlKind::Static;
    text.text = "Vorn 工作室";
    text.style = WS_CHILD | WS_VISIBLE;
    text.x = 70;
    text.y = 38;
    text.cx = 69;
    text.cy = 8;
    box.controls = {ok, text};
    afx::RegisterDialogTemplate(box);
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    Register();
    afx::automation::UseVirtualClock(1700000000);
    afx::automation::SetLiveDialog(501, true);
    int step = 0;
    const char* shot = "afx_smoke.png";
    afx::automation::SetIdleHook([&] {
        CWnd* top = afx::automation::TopWindow();
        switch (step++) {
            case 0: {
                bool enabled = false, checked = false;
                CHECK(afx::automation::MenuItemShown(top, 601, &enabled, &checked));
                CHECK(enabled && checked);
                afx::automation::Advance(2500);
                CHECK(afx::automation::SaveClientPng(shot));
                CHECK(afx::automation::MenuCommand(600));  // opens the dialog; its loop drives on
                break;
            }
            case 1: {
                CString caption;
                top->GetWindowText(caption);
                CHECK(caption == "关于");
                CHECK(afx::automation::SaveClientPng("afx_smoke_dialog.png"));
                afx::automation::Key("Return");  // the default button closes it
                break;
            }
            case 2: {
                CString caption;
                top->GetWindowText(caption);
                CHECK(caption == "冒烟");
                afx::automation::Key("Escape");
                break;
            }
            default:
                afx::automation::Quit(2);
                break;
        }
    });
    const int code = AfxWinMain(argc, argv);
    CHECK(code == 0);
    CHECK(theApp.result == IDCANCEL);
    CHECK(theApp.painted >= 1);
    CHECK(theApp.ticks == 2);
    CHECK(step == 3);
    std::FILE* f = std::fopen(shot, "rb");
    CHECK(f != nullptr);
    if (f) {
        unsigned char sig[8] = {};
        CHECK(std::fread(sig, 1, 8, f) == 8 && sig[1] == 'P' && sig[2] == 'N' && sig[3] == 'G');
        std::fclose(f);
    }
    if (failures) return 1;
    std::printf("afx smoke: window, menu, timer, dialog and screenshot OK\n");
    return 0;
}
