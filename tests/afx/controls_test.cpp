// Controls and their notifications, message-map forms, menus built in code, colours from
// WM_CTLCOLOR, validation in data exchange, the end of a run.
#include <gtest/gtest.h>

#include "fixtures.h"

using namespace afxtest;

namespace {

class ControlsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterTemplates();
        afx::automation::ClearQuit();
    }
    void TearDown() override {
        afx::automation::ClearQuit();
        seams::EnableResponder(false);
        seams::ClearAnswers();
        seams::SetResponderErrorHandler(nullptr);
    }
};

class RankDlg : public CDialog {
  public:
    RankDlg() : CDialog(kRankDialog) {}
    std::vector<std::string> log;
    int selection = -1;
    void OnSelChange() { log.push_back("selchange " + std::to_string(GetCombo()->GetCurSel())); }
    void OnClear() { log.push_back("clear"); }
    void OnRange(UINT id) { log.push_back("range " + std::to_string(id)); }
    LRESULT OnPing(WPARAM w, LPARAM l) {
        log.push_back("ping " + std::to_string(w) + " " + std::to_string(l));
        return 77;
    }
    CComboBox* GetCombo() { return static_cast<CComboBox*>(GetDlgItem(1001)); }
    void DoDataExchange(CDataExchange* pDX) override { DDX_CBIndex(pDX, 1001, selection); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(RankDlg, CDialog)
ON_CBN_SELCHANGE(1001, OnSelChange)
ON_BN_CLICKED(1002, OnClear)
ON_COMMAND_RANGE(5000, 5009, OnRange)
ON_MESSAGE(WM_USER + 7, OnPing)
END_MESSAGE_MAP()

TEST_F(ControlsTest, ComboSelectionNotifiesOnlyWhenTheUserChooses) {
    RankDlg dlg;
    ASSERT_TRUE(dlg.Create(kRankDialog));
    CComboBox* combo = dlg.GetCombo();
    EXPECT_EQ(combo->SetCurSel(2), 2);
    EXPECT_TRUE(dlg.log.empty());  // a program's own choice is silent
    combo->SelectByUser(0);
    EXPECT_EQ(dlg.log, (std::vector<std::string>{"selchange 0"}));
    EXPECT_EQ(combo->SetCurSel(9), CB_ERR);
    EXPECT_EQ(combo->GetCurSel(), CB_ERR);
    dlg.selection = 3;
    dlg.UpdateData(FALSE);
    EXPECT_EQ(combo->GetCurSel(), 3);
    combo->SelectByUser(1);
    dlg.UpdateData(TRUE);
    EXPECT_EQ(dlg.selection, 1);
    EXPECT_EQ(combo->DeleteString(0), 3);
    EXPECT_EQ(combo->GetCurSel(), 0);  // the selected item moved up
    combo->ResetContent();
    EXPECT_EQ(combo->GetCount(), 0);
    dlg.DestroyWindow();
}

TEST_F(ControlsTest, MessageMapFormsReachTheirHandlers) {
    RankDlg dlg;
    ASSERT_TRUE(dlg.Create(kRankDialog));
    static_cast<CButton*>(dlg.GetDlgItem(1002))->Click();
    dlg.SendMessage(WM_COMMAND, 5004, 0);
    dlg.SendMessage(WM_COMMAND, 5010, 0);  // outside the range: nobody
    EXPECT_EQ(dlg.SendMessage(WM_USER + 7, 3, 4), 77);
    EXPECT_TRUE(dlg.PostMessage(WM_USER + 7, 5, 6));
    EXPECT_EQ(dlg.log.size(), 3u);  // posted: not yet
    afx::automation::ProcessPending();
    const std::vector<std::string> expected = {"clear", "range 5004", "ping 3 4", "ping 5 6"};
    EXPECT_EQ(dlg.log, expected);
    dlg.DestroyWindow();
}

TEST_F(ControlsTest, MessagesPostedToAWindowThatIsGoneAreDropped) {
    auto dlg = std::make_unique<RankDlg>();
    ASSERT_TRUE(dlg->Create(kRankDialog));
    dlg->PostMessage(WM_USER + 7, 1, 1);
    dlg->DestroyWindow();
    dlg.reset();
    RankDlg second;  // may reuse the same addresses
    ASSERT_TRUE(second.Create(kRankDialog));
    afx::automation::ProcessPending();
    EXPECT_TRUE(second.log.empty()) << second.log.front();
    second.DestroyWindow();
}

TEST_F(ControlsTest, MenusBuiltInCode) {
    CMenu bar;
    ASSERT_TRUE(bar.CreateMenu());
    CMenu popup;
    popup.CreatePopupMenu();
    popup.AppendMenu(MF_STRING, 1, "一");
    popup.AppendMenu(MF_SEPARATOR);
    popup.AppendMenu(MF_STRING | MF_CHECKED, 2, "二\tF2");
    bar.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(popup.Detach()), "菜单");
    ASSERT_EQ(bar.GetMenuItemCount(), 1);
    CMenu* sub = bar.GetSubMenu(0);
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->GetMenuItemCount(), 3);
    EXPECT_EQ(sub->GetMenuItemID(0), 1u);
    EXPECT_EQ(sub->GetMenuItemID(1), 0u);                      // separator
    EXPECT_EQ(bar.GetMenuItemID(0), 0xFFFFFFFFu);              // popup
    EXPECT_EQ(bar.GetMenuState(2, MF_BYCOMMAND), MF_CHECKED);  // found in the submenu
    EXPECT_EQ(sub->GetMenuState(1, MF_BYPOSITION), MF_SEPARATOR);
    CString text;
    bar.GetMenuString(2, text, MF_BYCOMMAND);
    EXPECT_EQ(text, "二\tF2");
    EXPECT_TRUE(sub->RemoveMenu(1, MF_BYCOMMAND));
    EXPECT_EQ(bar.GetMenuState(1, MF_BYCOMMAND), 0xFFFFFFFFu);
    EXPECT_EQ(bar.EnableMenuItem(2, MF_GRAYED), MF_ENABLED);
    EXPECT_EQ(bar.EnableMenuItem(2, MF_ENABLED), MF_GRAYED);
}

TEST_F(ControlsTest, TooltipsFollowTheirTools) {
    RankDlg dlg;
    ASSERT_TRUE(dlg.Create(kRankDialog));
    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(&dlg));
    CWnd* button = dlg.GetDlgItem(1002);
    tip.AddTool(button, "http://example.org/a", nullptr, 1);
    EXPECT_EQ(tip.GetToolText(button, 1), "http://example.org/a");
    tip.UpdateTipText("http://example.org/b", button, 1);
    EXPECT_EQ(tip.GetToolText(button, 1), "http://example.org/b");
    EXPECT_EQ(tip.GetToolText(button, 2), "");
    tip.DelTool(button, 1);
    EXPECT_EQ(tip.GetToolText(button, 1), "");
    dlg.DestroyWindow();
}

class ColourDlg : public CDialog {
  public:
    ColourDlg() : CDialog(kRecordDialog) {}
    CBrush back{RGB(160, 180, 220)};
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) override {
        HBRUSH brush = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
        if (nCtlColor == CTLCOLOR_STATIC) {
            pDC->SetTextColor(RGB(255, 0, 0));
            return static_cast<HBRUSH>(back.GetSafeHandle());
        }
        return brush;
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        SetDlgItemText(1005, "排名3 得分1250");
        return TRUE;
    }
};

TEST_F(ControlsTest, StaticTextTakesItsColoursFromTheParent) {
    ColourDlg dlg;
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    bool grabbed = false;
    Script script({[&] {
        grabbed = afx::automation::GrabClient(&dlg, &pixels, &width, &height);
        dlg.EndDialog(IDOK);
    }});
    dlg.DoModal();
    ASSERT_TRUE(grabbed);
    ASSERT_EQ(width, 281);
    ASSERT_EQ(height, 150);
    // Label 1005: (11, 11) to (271, 23). Its background is the parent's brush, its text red.
    int background = 0, red = 0;
    for (int y = 11; y < 23; ++y) {
        for (int x = 11; x < 271; ++x) {
            const COLORREF c = gdi::ColorFromPixel(pixels[static_cast<size_t>(y) * width + x]);
            if (c == RGB(160, 180, 220)) ++background;
            if (GetRValue(c) > 200 && GetGValue(c) < 80 && GetBValue(c) < 80) ++red;
        }
    }
    EXPECT_GT(background, 260 * 12 / 2);
    EXPECT_GT(red, 20);
    // Outside the label the dialog's face colour shows.
    EXPECT_EQ(gdi::ColorFromPixel(pixels[5 * width + 5]), GetSysColor(COLOR_BTNFACE));
}

class NameDlg : public CDialog {
  public:
    NameDlg() : CDialog(kRecordDialog) {}
    CString name;
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, 1003, name);
        DDV_MaxChars(pDX, name, 4);
    }
};

TEST_F(ControlsTest, TooLongTextFailsValidationWithAMessage) {
    TraceLog trace;
    seams::EnableResponder(true);
    seams::QueueAnswer("ok");
    NameDlg dlg;
    ASSERT_TRUE(dlg.Create(kRecordDialog));
    auto* edit = static_cast<CEdit*>(dlg.GetDlgItem(1003));
    EXPECT_EQ(edit->GetLimitText(), 4u);
    edit->TypeText("中文字");  // 6 bytes: only two characters fit
    CString typed;
    edit->GetWindowText(typed);
    EXPECT_EQ(typed, "中文");
    edit->SetWindowText("abcdef");  // a program may set more than a user may type
    EXPECT_FALSE(dlg.UpdateData(TRUE));
    ASSERT_EQ(trace.lines.size(), 1u);
    EXPECT_NE(trace.lines[0].find("\"event\": \"msgbox\""), std::string::npos);
    edit->SetWindowText("abcd");
    EXPECT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.name, "abcd");
    dlg.DestroyWindow();
}

TEST_F(ControlsTest, QuitEndsEveryRunningLoopInnermostFirst) {
    afx::automation::SetLiveDialog(kRecordDialog, true);
    TraceLog trace;
    CDialog outer(kMainDialog);
    CDialog inner(kRecordDialog);
    INT_PTR innerResult = 0;
    Script script({[&] { innerResult = inner.DoModal(); }, [&] { afx::automation::Quit(4); }});
    EXPECT_EQ(outer.DoModal(), IDCANCEL);
    afx::automation::SetLiveDialog(kRecordDialog, false);
    EXPECT_EQ(innerResult, IDCANCEL);
    EXPECT_TRUE(afx::automation::QuitRequested());
    ASSERT_EQ(trace.lines.size(), 4u);
    EXPECT_EQ(trace.lines[2], "{\"event\": \"dialog_closed\", \"id\": 9158, \"result\": 2}");
    EXPECT_EQ(trace.lines[3], "{\"event\": \"dialog_closed\", \"id\": 9102, \"result\": 2}");
}

class EndsAtOnce : public CDialog {
  public:
    EndsAtOnce() : CDialog(kRecordDialog) {}
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        EndDialog(1234);
        return TRUE;
    }
};

TEST_F(ControlsTest, EndDialogDuringInitialisationSkipsTheLoop) {
    afx::automation::SetIdleHook([] { FAIL() << "no loop should run"; });
    EndsAtOnce dlg;
    EXPECT_EQ(dlg.DoModal(), 1234);
    afx::automation::SetIdleHook(nullptr);
}

TEST_F(ControlsTest, CursorsAndMetrics) {
    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    HCURSOR hand = LoadCursor(nullptr, IDC_HAND);
    HCURSOR wait = LoadCursor(nullptr, IDC_WAIT);
    ASSERT_NE(arrow, nullptr);
    EXPECT_NE(arrow, hand);
    EXPECT_NE(hand, wait);
    EXPECT_EQ(LoadCursor(nullptr, IDC_HAND), hand);
    EXPECT_EQ(LoadCursor(nullptr, MAKEINTRESOURCE(4321)), nullptr);  // no such resource
    SetCursor(wait);
    EXPECT_EQ(SetCursor(arrow), wait);
    EXPECT_EQ(GetCursor(), arrow);
    EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
    EXPECT_GT(GetSystemMetrics(SM_CYSCREEN), 0);
    EXPECT_EQ(GetSystemMetrics(SM_CXICON), 32);
    EXPECT_EQ(GetSystemMetrics(SM_CYICON), 32);
}

}  // namespace
