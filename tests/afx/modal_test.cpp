// Modal boxes and dialogs as a person meets them: a box takes the keys from its owner and
// answers Enter, Space and Esc itself, lays itself out for its caption, text and icon; a dialog
// gives the focus to its first control and Tab walks its controls; the mouse capture ends when
// a box opens, when its window hides, and when a button is released outside it.
#include <gtest/gtest.h>

#include "fixtures.h"

using namespace afxtest;

namespace {

constexpr int kFocusDialog = 9170;
constexpr int kEditId = 1003;
constexpr int kDisabledId = 1004;
constexpr int kHiddenId = 1006;

// A name entry with controls that do and do not take the focus, in template order: a label,
// the edit, a disabled button, a hidden button, then OK and Cancel.
void RegisterFocusDialog() {
    afx::DialogTemplate t;
    t.id = kFocusDialog;
    t.caption = "记录积分";
    t.cx = 187;
    t.cy = 100;
    t.controls = {Control(IDC_STATIC, afx::ControlKind::Static, "姓名:", WS_VISIBLE, 7, 38, 40, 8),
                  Control(kEditId, afx::ControlKind::Edit, "", WS_VISIBLE | WS_BORDER | WS_TABSTOP,
                          64, 36, 80, 14),
                  Control(kDisabledId, afx::ControlKind::Button, "帮助",
                          WS_VISIBLE | WS_DISABLED | WS_TABSTOP, 7, 72, 20, 14),
                  Control(kHiddenId, afx::ControlKind::Button, "隐藏", WS_TABSTOP, 30, 72, 20, 14),
                  Control(IDOK, afx::ControlKind::Button, "记录",
                          WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 35, 72, 50, 14),
                  Control(IDCANCEL, afx::ControlKind::Button, "不记录", WS_VISIBLE | WS_TABSTOP,
                          107, 72, 50, 14)};
    afx::RegisterDialogTemplate(t);
}

// The main window: records the keys and commands that reach it.
class OwnerDlg : public CDialog {
  public:
    OwnerDlg() : CDialog(kMainDialog) {}
    std::vector<std::string> log;
    BOOL PreTranslateMessage(MSG* pMsg) override {
        if (pMsg->message == WM_KEYDOWN) log.push_back("key " + std::to_string(pMsg->wParam));
        return CDialog::PreTranslateMessage(pMsg);
    }
    void OnOK() override { log.push_back("ok"); }
    void OnCaptureChanged(CWnd*) override { log.push_back("capture lost"); }
    void OnLButtonUp(UINT, CPoint p) override {
        log.push_back("up " + std::to_string(p.x) + "," + std::to_string(p.y));
    }
};

int FocusId() {
    CWnd* focus = CWnd::GetFocus();
    return focus ? focus->GetDlgCtrlID() : -2;
}

CRect RectIn(CWnd* dlg, int id) {
    CRect r;
    CWnd* item = dlg->GetDlgItem(id);
    if (!item) return r;
    item->GetWindowRect(&r);
    dlg->ScreenToClient(&r);
    return r;
}

class ModalTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterTemplates();
        RegisterFocusDialog();
        afx::automation::ClearQuit();
        seams::EnableResponder(true);
    }
    void TearDown() override {
        seams::EnableResponder(false);
        seams::ClearAnswers();
    }
    // Opens a message box over the running window and keeps it open for the next steps.
    static int HeldBox(CWnd* owner, const char* text, const char* caption, UINT type) {
        seams::QueueAnswer("hold");
        return ::MessageBox(owner->m_hWnd, text, caption, type);
    }
};

TEST_F(ModalTest, AMessageBoxAnswersItsOwnKeysAndItsOwnerGetsNone) {
    OwnerDlg owner;
    std::vector<int> results;
    std::vector<std::string> seenInside;
    auto open = [&](UINT type) { results.push_back(HeldBox(&owner, "时间到!", "失败", type)); };
    auto look = [&] {
        CWnd* top = afx::automation::TopWindow();
        seenInside.push_back(std::string(top != &owner ? "box" : "owner") +
                             (owner.IsWindowEnabled() ? " enabled" : " disabled") + " focus " +
                             std::to_string(FocusId()));
    };
    Script script({
        [&] { open(MB_OK); },
        [&] {
            look();
            afx::automation::Key("Space");
        },
        [&] { open(MB_OK); },
        [&] { afx::automation::Key("Return"); },
        [&] { open(MB_OK); },
        [&] { afx::automation::Key("Escape"); },  // OK is its only button
        [&] { open(MB_OKCANCEL); },
        [&] { afx::automation::Key("Escape"); },
        [&] { open(MB_YESNO); },
        [&] {
            afx::automation::Key("Escape");  // Yes or No must be chosen
            look();
            afx::automation::Key("Tab");
            afx::automation::Key("Return");  // the focused button: No
        },
        [&] {
            look();
            owner.EndDialog(IDCANCEL);
        },
    });
    owner.DoModal();
    EXPECT_EQ(results, (std::vector<int>{IDOK, IDOK, IDOK, IDCANCEL, IDNO}));
    EXPECT_EQ(seenInside, (std::vector<std::string>{"box disabled focus 1", "box disabled focus 6",
                                                    "owner enabled focus 0"}));
    EXPECT_TRUE(owner.log.empty()) << owner.log.front();
}

TEST_F(ModalTest, AMessageBoxFitsItsCaptionAndTextAndCentresItsButtons) {
    OwnerDlg owner;
    CRect plainText, plainOk, plainClient, iconText, iconRect, twoOk, twoCancel, twoClient;
    TraceLog trace;
    Script script({
        [&] { HeldBox(&owner, "进入第1关.", "成功", MB_OK); },
        [&] {
            CWnd* box = afx::automation::TopWindow();
            box->GetClientRect(&plainClient);
            plainText = RectIn(box, 0xFFFF);
            plainOk = RectIn(box, IDOK);
            afx::automation::Key("Return");
        },
        [&] {
            HeldBox(&owner, "Unable to open hyperlink:\n\nnothing", "kivra", MB_ICONEXCLAMATION);
        },
        [&] {
            CWnd* box = afx::automation::TopWindow();
            iconText = RectIn(box, 0xFFFF);
            iconRect = RectIn(box, 0xFFFE);
            afx::automation::Key("Return");
        },
        [&] { HeldBox(&owner, "再来?", "结束", MB_OKCANCEL); },
        [&] {
            CWnd* box = afx::automation::TopWindow();
            box->GetClientRect(&twoClient);
            twoOk = RectIn(box, IDOK);
            twoCancel = RectIn(box, IDCANCEL);
            afx::automation::Key("Return");
        },
        [&] { owner.EndDialog(IDCANCEL); },
    });
    owner.DoModal();
    // No icon: the text starts at the margin, not where an icon would stand.
    EXPECT_EQ(plainText.left, 12);
    // Wide enough for the caption and the title bar's buttons beside it.
    EXPECT_GE(plainClient.Width(), 160);
    EXPECT_NEAR((plainOk.left + plainOk.right) / 2, plainClient.Width() / 2, 1);
    // An exclamation box shows its icon, the text beside it.
    EXPECT_EQ(iconRect.left, 12);
    EXPECT_EQ(iconRect.Size(), CSize(32, 32));
    EXPECT_EQ(iconText.left, 12 + 32 + 12);
    // Two buttons: the pair is centred, the space around them even.
    EXPECT_EQ(twoOk.top, twoCancel.top);
    EXPECT_NEAR(twoOk.left, twoClient.Width() - twoCancel.right, 1);
    // Boxes are traced as boxes, not as dialogs.
    int boxes = 0, dialogs = 0;
    for (const std::string& line : trace.lines) {
        boxes += line.find("\"msgbox\"") != std::string::npos;
        dialogs += line.find("\"dialog\"") != std::string::npos;
    }
    EXPECT_EQ(boxes, 3);
    EXPECT_EQ(dialogs, 1);  // the main window itself
}

TEST_F(ModalTest, HeldDialogsTakeALaterAnswer) {
    OwnerDlg owner;
    INT_PTR result = 0;
    CString typed;
    Script script({
        [&] {
            seams::QueueAnswer("hold");
            CDialog entry(kFocusDialog, &owner);
            result = entry.DoModal();
        },
        [&] {
            EXPECT_TRUE(afx::automation::TopWindow() != &owner);
            seams::Answer answer;
            ASSERT_TRUE(seams::ParseAnswer("text ada", &answer));
            EXPECT_TRUE(afx::automation::AnswerHeld(answer));
        },
        [&] {
            seams::Answer answer;
            ASSERT_TRUE(seams::ParseAnswer("ok", &answer));
            EXPECT_FALSE(afx::automation::AnswerHeld(answer)) << "nothing is held now";
            owner.EndDialog(IDCANCEL);
        },
    });
    owner.DoModal();
    EXPECT_EQ(result, IDOK);
}

class EntryDlg : public CDialog {
  public:
    explicit EntryDlg(bool focusItself) : CDialog(kFocusDialog), focusItself_(focusItself) {}
    CString name;
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (!focusItself_) return TRUE;
        GetDlgItem(IDCANCEL)->SetFocus();
        return FALSE;
    }
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, kEditId, name); }

  private:
    bool focusItself_;
};

TEST_F(ModalTest, ADialogFocusesItsFirstTabStopAndTabWalksTheEnabledVisibleOnes) {
    afx::automation::SetLiveDialog(kFocusDialog, true);
    EntryDlg dlg(false);
    std::vector<int> focus;
    Script script({[&] {
        focus.push_back(FocusId());
        afx::automation::Key("A");
        afx::automation::Key("D");
        afx::automation::Key("A");
        for (int i = 0; i < 3; ++i) {
            afx::automation::Key("Tab");
            focus.push_back(FocusId());
        }
        afx::automation::Key("Shift+Tab");
        focus.push_back(FocusId());
        afx::automation::Key("Shift+Tab");
        focus.push_back(FocusId());
        afx::automation::Key("Return");  // the focused button
    }});
    EXPECT_EQ(dlg.DoModal(), IDOK);
    afx::automation::SetLiveDialog(kFocusDialog, false);
    EXPECT_EQ(focus, (std::vector<int>{kEditId, IDOK, IDCANCEL, kEditId, IDCANCEL, IDOK}));
    EXPECT_EQ(dlg.name, "ada");
}

TEST_F(ModalTest, AFocusSetInOnInitDialogStays) {
    afx::automation::SetLiveDialog(kFocusDialog, true);
    EntryDlg dlg(true);
    int focus = 0;
    Script script({[&] {
        focus = FocusId();
        afx::automation::Key("Space");  // presses the focused button
    }});
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    afx::automation::SetLiveDialog(kFocusDialog, false);
    EXPECT_EQ(focus, IDCANCEL);
}

TEST_F(ModalTest, TheCaptureEndsWhenABoxOpensTheWindowHidesOrAButtonIsReleasedOutside) {
    OwnerDlg owner;
    std::vector<bool> captured;
    Script script({
        [&] {
            owner.SetCapture();
            HeldBox(&owner, "没有可消除的牌!", "失败", MB_OK);
            captured.push_back(CWnd::GetCapture() != nullptr);
        },
        [&] {
            captured.push_back(CWnd::GetCapture() != nullptr);  // while the box is open
            afx::automation::Key("Return");
        },
        [&] {
            owner.SetCapture();
            afx::automation::ButtonDown(10, 10);
            afx::automation::ButtonUp(-20, 5);  // released outside
            captured.push_back(CWnd::GetCapture() != nullptr);
            owner.SetCapture();
            afx::automation::Click(10, 10);  // released inside: kept
            captured.push_back(CWnd::GetCapture() != nullptr);
            CWnd* button = owner.GetDlgItem(IDOK);
            button->ShowWindow(SW_SHOW);
            button->SetCapture();
            button->ShowWindow(SW_HIDE);
            captured.push_back(CWnd::GetCapture() != nullptr);
            ReleaseCapture();
            owner.EndDialog(IDCANCEL);
        },
    });
    owner.DoModal();
    EXPECT_EQ(captured, (std::vector<bool>{false, false, false, true, false}));
    const std::vector<std::string> expected = {"capture lost", "up -20,5", "capture lost",
                                               "up 10,10", "capture lost"};
    EXPECT_EQ(owner.log, expected);
}

TEST_F(ModalTest, ArrowKeysChooseInAFocusedComboBox) {
    afx::automation::SetLiveDialog(kRankDialog, true);
    CDialog dlg(kRankDialog);
    std::vector<int> selections;
    Script script({[&] {
        auto* combo = static_cast<CComboBox*>(dlg.GetDlgItem(1001));
        combo->SetCurSel(0);
        combo->SetFocus();
        afx::automation::Key("Down");
        selections.push_back(combo->GetCurSel());
        afx::automation::Key("Down");
        afx::automation::Key("Up");
        selections.push_back(combo->GetCurSel());
        dlg.EndDialog(IDOK);
    }});
    dlg.DoModal();
    afx::automation::SetLiveDialog(kRankDialog, false);
    EXPECT_EQ(selections, (std::vector<int>{1, 1}));
}

}  // namespace
