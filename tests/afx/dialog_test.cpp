// Dialogs from templates: control rectangles, initial data, modal runs answered by the
// responder, data exchange with the code page 936 limit, the trace.
#include <gtest/gtest.h>

#include "fixtures.h"

using namespace afxtest;

namespace {

class DialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterTemplates();
        afx::automation::ClearQuit();
    }
    void TearDown() override {
        seams::EnableResponder(false);
        seams::ClearAnswers();
        seams::SetResponderErrorHandler(nullptr);
    }
};

CRect ClientRectOf(CWnd* dlg, int id) {
    CWnd* item = dlg->GetDlgItem(id);
    EXPECT_NE(item, nullptr) << id;
    CRect r;
    if (!item) return r;
    item->GetWindowRect(&r);
    dlg->ScreenToClient(&r);
    return r;
}

TEST_F(DialogTest, ControlsLieAtTheirPixelRectangles) {
    CDialog dlg(kRankDialog);
    ASSERT_TRUE(dlg.Create(kRankDialog));
    CRect client;
    dlg.GetClientRect(&client);
    // 187 x 115 units at 1.5 pixels each, rounded halves up.
    EXPECT_EQ(client, CRect(0, 0, 281, 173));
    // List view at 7, 5, 122 x 103 units.
    EXPECT_EQ(ClientRectOf(&dlg, 1000), CRect(11, 8, 11 + 183, 8 + 155));
    // Combo box at 132, 16, 48 x 55: one line tall; 55 units is its height with the list open.
    EXPECT_EQ(ClientRectOf(&dlg, 1001), CRect(198, 24, 198 + 72, 24 + 20));
    // Close button at 144, 94, 30 x 14.
    EXPECT_EQ(ClientRectOf(&dlg, IDOK), CRect(216, 141, 216 + 45, 141 + 21));
    // The window frame adds 3-pixel borders and the 19-pixel caption.
    CRect window;
    dlg.GetWindowRect(&window);
    EXPECT_EQ(window.Width(), 281 + 6);
    EXPECT_EQ(window.Height(), 173 + 6 + 19);
    dlg.DestroyWindow();
}

TEST_F(DialogTest, TemplateDataFillsControlsAndHiddenButtonsStayHidden) {
    CDialog dlg(kRankDialog);
    ASSERT_TRUE(dlg.Create(kRankDialog));
    auto* combo = static_cast<CComboBox*>(dlg.GetDlgItem(1001));
    ASSERT_EQ(combo->GetCount(), 4);
    CString text;
    combo->GetLBText(2, text);
    EXPECT_EQ(text, "高级");
    EXPECT_EQ(combo->GetCurSel(), CB_ERR);
    EXPECT_FALSE(dlg.GetDlgItem(IDCANCEL)->IsWindowVisible());
    EXPECT_EQ(dlg.GetDefID(), IDOK);

    auto* list = static_cast<CListCtrl*>(dlg.GetDlgItem(1000));
    list->SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    list->InsertColumn(0, "排名", LVCFMT_LEFT, 40);
    list->InsertColumn(1, "得分", LVCFMT_LEFT, 58);
    list->InsertColumn(2, "姓名", LVCFMT_LEFT, 80);
    for (int i = 0; i < 3; ++i) {
        CString rank;
        rank.Format("%d", i + 1);
        EXPECT_EQ(list->InsertItem(i, ""), i);
        list->SetItemText(i, 0, rank);
        list->SetItemText(i, 2, "名字");
    }
    EXPECT_EQ(list->GetItemCount(), 3);
    EXPECT_EQ(list->GetItemText(1, 0), "2");
    EXPECT_EQ(list->GetItemText(1, 1), "");
    EXPECT_EQ(list->GetItemText(2, 2), "名字");
    EXPECT_EQ(list->GetColumnWidth(1), 58);
    list->DeleteAllItems();
    EXPECT_EQ(list->GetItemCount(), 0);
    dlg.DestroyWindow();
}

// The name-entry dialog shape: a label filled at start-up and a name with a length limit.
class CNameDlg : public CDialog {
  public:
    CNameDlg() : CDialog(kRecordDialog) {}
    CString m_name;
    int initCalls = 0;
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        ++initCalls;
        SetDlgItemText(1005, "排名3 得分1250 难度:Ⅱ");
        return TRUE;
    }
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, 1003, m_name);
        DDV_MaxChars(pDX, m_name, 60);
    }
};

TEST_F(DialogTest, TextAnswerIsTypedIntoTheEditUpToItsByteLimit) {
    TraceLog trace;
    seams::EnableResponder(true);
    // 35 Chinese characters are 70 bytes of code page 936: only 30 fit in 60 bytes.
    std::string name;
    for (int i = 0; i < 35; ++i) name += "张";
    ASSERT_TRUE(seams::QueueAnswer("text " + name));
    // The outermost dialog runs live; the name dialog inside it takes the answer.
    CDialog outer(kMainDialog);
    CNameDlg inner;
    INT_PTR innerResult = 0;
    Script script({[&] { innerResult = inner.DoModal(); }, [&] { outer.EndDialog(IDOK); }});
    EXPECT_EQ(outer.DoModal(), IDOK);
    EXPECT_EQ(innerResult, IDOK);
    EXPECT_EQ(inner.initCalls, 1);
    std::string expected;
    for (int i = 0; i < 30; ++i) expected += "张";
    EXPECT_EQ(inner.m_name, expected.c_str());
    EXPECT_EQ(inner.m_hWnd, nullptr);  // destroyed when the loop ended
    const std::vector<std::string> want = {
        "{\"event\": \"dialog\", \"id\": 9102, \"caption\": \"Main 4.0\"}",
        "{\"event\": \"dialog\", \"id\": 9158, \"caption\": \"记录积分\"}",
        "{\"event\": \"dialog_closed\", \"id\": 9158, \"result\": 1}",
        "{\"event\": \"dialog_closed\", \"id\": 9102, \"result\": 1}"};
    EXPECT_EQ(trace.lines, want);
}

TEST_F(DialogTest, CancelAnswerEndsTheDialogThroughOnCancel) {
    seams::EnableResponder(true);
    seams::QueueAnswer("cancel");
    CDialog outer(kMainDialog);
    CNameDlg inner;
    inner.m_name = "kept";
    INT_PTR innerResult = 0;
    Script script({[&] { innerResult = inner.DoModal(); }, [&] { outer.EndDialog(IDCANCEL); }});
    EXPECT_EQ(outer.DoModal(), IDCANCEL);
    EXPECT_EQ(innerResult, IDCANCEL);
    EXPECT_EQ(inner.m_name, "kept");
}

TEST_F(DialogTest, ADialogWithNoAnswerQueuedIsAnErrorNamingIt) {
    seams::EnableResponder(true);
    std::vector<std::string> errors;
    seams::SetResponderErrorHandler([&](const std::string& m) { errors.push_back(m); });
    CDialog outer(kMainDialog);
    CNameDlg inner;
    INT_PTR innerResult = 0;
    Script script({[&] { innerResult = inner.DoModal(); }, [&] { outer.EndDialog(IDOK); }});
    outer.DoModal();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("dialog 9158"), std::string::npos) << errors[0];
    EXPECT_EQ(innerResult, IDCANCEL);
}

TEST_F(DialogTest, ALiveDialogIsDrivenByTheScriptInItsOwnLoop) {
    seams::EnableResponder(true);
    afx::automation::SetLiveDialog(kRecordDialog, true);
    CDialog outer(kMainDialog);
    CNameDlg inner;
    INT_PTR innerResult = 0;
    std::vector<std::string> seenTop;
    Script script(
        {[&] { innerResult = inner.DoModal(); },
         [&] {
             seenTop.push_back(afx::automation::TopWindow() == &inner ? "inner" : "other");
             // Click into the edit, type, press Enter: the default button.
             afx::automation::Click(64 * 3 / 2 + 5, 36 * 3 / 2 + 5);
             afx::automation::Key("L");
             afx::automation::Key("I");
             afx::automation::Key("Return");
         },
         [&] {
             seenTop.push_back(afx::automation::TopWindow() == &outer ? "outer" : "other");
             outer.EndDialog(IDOK);
         }});
    outer.DoModal();
    afx::automation::SetLiveDialog(kRecordDialog, false);
    EXPECT_EQ(innerResult, IDOK);
    EXPECT_EQ(inner.m_name, "li");
    EXPECT_EQ(seenTop, (std::vector<std::string>{"inner", "outer"}));
}

TEST_F(DialogTest, AMissingTemplateFailsTheRun) {
    CDialog dlg(4242);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

}  // namespace
