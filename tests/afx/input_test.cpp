// Keys through PreTranslateMessage and the dialog keys, the help message, mouse capture,
// clicks on controls and the message maps they reach.
#include <gtest/gtest.h>

#include "fixtures.h"

using namespace afxtest;

namespace {

class KeyDlg : public CDialog {
  public:
    KeyDlg() : CDialog(kMainDialog) {}
    std::vector<std::string> log;
    bool ctrlDown = false;
    BOOL PreTranslateMessage(MSG* pMsg) override {
        if (pMsg->message == WM_KEYDOWN) {
            if (pMsg->wParam == VK_CONTROL) ctrlDown = true;
            if (pMsg->wParam == 'D' && ctrlDown) log.push_back("ctrl+D");
            if (pMsg->wParam == VK_F2) log.push_back("F2");
            if (pMsg->wParam == VK_SPACE) log.push_back("space");
        } else if (pMsg->message == WM_KEYUP && pMsg->wParam == VK_CONTROL) {
            ctrlDown = false;
        }
        return CDialog::PreTranslateMessage(pMsg);
    }
    BOOL OnHelpInfo(HELPINFO*) override {
        log.push_back("help");
        return TRUE;
    }
    void OnOK() override { log.push_back("ok"); }
    void OnCancel() override {
        log.push_back("cancel");
        CDialog::OnCancel();
    }
    void OnEasy() { log.push_back("menu 32772"); }
    void OnLButtonDown(UINT, CPoint p) override {
        log.push_back("down " + std::to_string(p.x) + "," + std::to_string(p.y));
    }
    void OnRButtonDown(UINT, CPoint p) override {
        log.push_back("rdown " + std::to_string(p.x) + "," + std::to_string(p.y));
    }
    void OnMouseMove(UINT, CPoint p) override {
        log.push_back("move " + std::to_string(p.x) + "," + std::to_string(p.y));
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(KeyDlg, CDialog)
ON_WM_LBUTTONDOWN()
ON_COMMAND(32772, OnEasy)
END_MESSAGE_MAP()

class InputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterTemplates();
        afx::automation::ClearQuit();
    }
};

TEST_F(InputTest, KeysReachPreTranslateMessageThenTheDialogKeys) {
    KeyDlg dlg;
    Script script({[&] {
        using afx::automation::KeyEdge;
        afx::automation::Key("Ctrl", KeyEdge::Down);
        afx::automation::Key("D");
        afx::automation::Key("Ctrl", KeyEdge::Up);
        afx::automation::Key("D");  // without Ctrl: nothing of its own
        afx::automation::Key("F2");
        afx::automation::Key("F1");
        afx::automation::Key("Space");
        afx::automation::Key("Return");  // the hidden default button: OnOK
        afx::automation::MenuCommand(32772);
        afx::automation::Key("Escape");  // the hidden Cancel button: OnCancel ends the dialog
    }});
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    const std::vector<std::string> expected = {"ctrl+D", "F2",         "help",  "space",
                                               "ok",     "menu 32772", "cancel"};
    EXPECT_EQ(dlg.log, expected);
}

TEST_F(InputTest, UnknownKeyNamesAreRefused) {
    KeyDlg dlg;
    bool known = true;
    Script script({[&] {
        known = afx::automation::Key("Hyper");
        dlg.EndDialog(IDOK);
    }});
    dlg.DoModal();
    EXPECT_FALSE(known);
    EXPECT_EQ(afx::automation::KeyCode("F11"), VK_F11);
    EXPECT_EQ(afx::automation::KeyCode("F13"), 0u);
    EXPECT_EQ(afx::automation::KeyCode("q"), static_cast<UINT>('Q'));
}

// A capturing window sees the moves that leave it, in its own coordinates.
TEST_F(InputTest, CaptureSendsMovesOutsideToTheCapturingWindow) {
    KeyDlg dlg;
    Script script({[&] {
        afx::automation::MouseMove(10, 12);
        dlg.SetCapture();
        EXPECT_EQ(CWnd::GetCapture(), &dlg);
        afx::automation::MouseMove(-5, 700);
        ReleaseCapture();
        EXPECT_EQ(CWnd::GetCapture(), nullptr);
        afx::automation::Click(30, 40, true);
        afx::automation::Click(31, 41);
        dlg.EndDialog(IDOK);
    }});
    dlg.DoModal();
    const std::vector<std::string> expected = {"move 10,12", "move -5,700", "rdown 30,40",
                                               "down 31,41"};
    EXPECT_EQ(dlg.log, expected);
}

// A label that handles its own click (reflected), tracks the mouse with the capture and
// sets its cursor: the hyperlink label's pattern.
class CHotLabel : public CStatic {
  public:
    int clicks = 0;
    bool over = false;
    HCURSOR cursor = LoadCursor(nullptr, IDC_HAND);
    void PreSubclassWindow() override { ModifyStyle(0, SS_NOTIFY); }
    void OnClicked() { ++clicks; }
    void OnMouseMove(UINT, CPoint p) override {
        CRect r;
        GetClientRect(&r);
        if (!over) {
            over = true;
            SetCapture();
        } else if (!r.PtInRect(p)) {
            over = false;
            ReleaseCapture();
        }
    }
    BOOL OnSetCursor(CWnd*, UINT, UINT) override {
        ::SetCursor(cursor);
        return TRUE;
    }
    HBRUSH CtlColor(CDC* pDC, UINT) override {
        pDC->SetTextColor(over ? RGB(0, 120, 215) : RGB(0, 0, 238));
        pDC->SetBkMode(TRANSPARENT);
        return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHotLabel, CStatic)
ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
ON_WM_MOUSEMOVE()
ON_WM_SETCURSOR()
ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class LabelDlg : public CDialog {
  public:
    LabelDlg() : CDialog(kRecordDialog) {}
    CHotLabel label;
    int parentNotified = 0;
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, 1005, label); }
    void OnLabel() { ++parentNotified; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(LabelDlg, CDialog)
ON_STN_CLICKED(1005, OnLabel)
END_MESSAGE_MAP()

TEST_F(InputTest, ABoundLabelHandlesItsReflectedClickAndHover) {
    seams::EnableResponder(false);
    LabelDlg dlg;
    HCURSOR hand = LoadCursor(nullptr, IDC_HAND);
    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    std::vector<bool> overSeen;
    std::vector<bool> handSeen;
    Script script({[&] {
        ASSERT_EQ(dlg.GetDlgItem(1005), &dlg.label);
        // Label 1005 lies at (11, 11) - (271, 23) in client pixels.
        afx::automation::MouseMove(100, 100);
        handSeen.push_back(afx::automation::CurrentCursor() == arrow);
        afx::automation::MouseMove(20, 15);
        overSeen.push_back(dlg.label.over);
        handSeen.push_back(afx::automation::CurrentCursor() == hand);
        afx::automation::MouseMove(100, 100);  // captured: the label sees itself left
        overSeen.push_back(dlg.label.over);
        afx::automation::Click(20, 15);
        dlg.EndDialog(IDOK);
    }});
    dlg.DoModal();
    EXPECT_EQ(overSeen, (std::vector<bool>{true, false}));
    EXPECT_EQ(handSeen, (std::vector<bool>{true, true}));
    EXPECT_EQ(dlg.label.clicks, 1);
    EXPECT_EQ(dlg.parentNotified, 0);  // the reflected handler claimed it
    EXPECT_EQ(dlg.label.m_hWnd, nullptr);
}

TEST_F(InputTest, ButtonClicksReachTheMessageMapAndOkCancel) {
    LabelDlg dlg;
    Script script({[&] {
        // "不记录" at 107, 72 units: (161, 108) pixels.
        afx::automation::Click(165, 112);
    }});
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

}  // namespace
