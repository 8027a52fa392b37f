#include "game/extras/extras_resources.h"

const char* const kAboutFirstAddress = "https://kivra.example.org/";
const char* const kAboutSecondAddress = "https://kivra.example.org/studio/";

namespace {

constexpr uint32_t kVisibleChild = WS_CHILD | WS_VISIBLE;

}  // namespace

afx::DialogTemplate AdDialogTemplate() {
    afx::DialogTemplate t;
    t.id = IDD_AD;
    t.caption = "";  // the bonus message, set when the window opens
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
    // The size is replaced by the picture's when the window opens.
    t.cx = 187;
    t.cy = 100;
    // Only the two hidden buttons that give Enter and Esc their meaning.
    t.controls.push_back(afx::MakeControl(IDOK, afx::ControlKind::Button, "OK",
                                          WS_CHILD | WS_TABSTOP | BS_DEFPUSHBUTTON, 130, 7, 50,
                                          14));
    t.controls.push_back(afx::MakeControl(IDCANCEL, afx::ControlKind::Button, "Cancel",
                                          WS_CHILD | WS_TABSTOP, 130, 24, 50, 14));
    return t;
}

afx::DialogTemplate AboutDialogTemplate() {
    afx::DialogTemplate t;
    t.id = IDD_ABOUTBOX;
    t.caption = "关于Qarven Vorn 4.0版";
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    t.cx = 195;
    t.cy = 145;
    afx::ControlTemplate icon = afx::MakeControl(IDC_STATIC, afx::ControlKind::Icon, "",
                                                 kVisibleChild | SS_ICON, 11, 17, 21, 20);
    icon.resourceId = IDR_MAINFRAME;
    t.controls.push_back(icon);
    t.controls.push_back(afx::MakeControl(IDC_STATIC, afx::ControlKind::Static, "Qarven 之Vorn版",
                                          kVisibleChild | SS_LEFT, 53, 20, 112, 8));
    t.controls.push_back(afx::MakeControl(IDC_STATIC, afx::ControlKind::Static, "Vorn 工作室",
                                          kVisibleChild | SS_LEFT, 70, 38, 69, 8));
    t.controls.push_back(afx::MakeControl(IDOK, afx::ControlKind::Button, "确定",
                                          kVisibleChild | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON,
                                          76, 124, 43, 14));
    t.controls.push_back(afx::MakeControl(IDC_STATIC, afx::ControlKind::Static, "2008年10月",
                                          kVisibleChild | SS_LEFT, 79, 55, 41, 8));
    t.controls.push_back(afx::MakeControl(IDC_STATIC, afx::ControlKind::Static, "",
                                          kVisibleChild | SS_LEFT, 52, 73, 97, 8));
    t.controls.push_back(afx::MakeControl(IDC_ABOUT_SECOND_LINK, afx::ControlKind::Static,
                                          kAboutSecondAddress, kVisibleChild | SS_LEFT, 52, 104, 97,
                                          8));
    t.controls.push_back(afx::MakeControl(IDC_ABOUT_FIRST_LINK, afx::ControlKind::Static,
                                          kAboutFirstAddress, kVisibleChild | SS_LEFT, 52, 88, 109,
                                          8));
    return t;
}

void RegisterExtrasResources() {
    static const bool registered = [] {
        afx::RegisterDialogTemplate(AdDialogTemplate());
        afx::RegisterDialogTemplate(AboutDialogTemplate());
        return true;
    }();
    (void)registered;
}
