// Windows: geometry, menus, timers on the virtual clock, painting and window DCs, message
// boxes, minimise and restore.
#include <gtest/gtest.h>

#include <thread>

#include "fixtures.h"

using namespace afxtest;

namespace {

class CountingDlg : public CDialog {
  public:
    CountingDlg() : CDialog(kMainDialog) {}
    int paints = 0;
    std::vector<std::pair<UINT_PTR, uint32_t>> ticks;
    std::vector<UINT> sysCommands;
    std::function<void(UINT_PTR)> onTimer;
    void OnPaint() override {
        CPaintDC dc(this);
        ++paints;
        lastPaint = dc.m_rcPaint;
    }
    void OnTimer(UINT_PTR id) override {
        ticks.emplace_back(id, GetTickCount());
        if (onTimer) onTimer(id);
        CDialog::OnTimer(id);
    }
    void OnSysCommand(UINT id, LPARAM lParam) override {
        sysCommands.push_back(id);
        CDialog::OnSysCommand(id, lParam);
    }
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) override {
        HBRUSH brush = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
        if (nCtlColor == CTLCOLOR_DLG) return static_cast<HBRUSH>(black.GetSafeHandle());
        return brush;
    }
    CBrush black{RGB(0, 0, 0)};
    RECT lastPaint{};
};

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterTemplates();
        afx::automation::ClearQuit();
        afx::automation::UseVirtualClock(1700000000);
    }
    void TearDown() override {
        seams::UseRealClock();
        seams::EnableResponder(false);
        seams::ClearAnswers();
        seams::SetResponderErrorHandler(nullptr);
    }
};

COLORREF PixelAt(CWnd* w, int x, int y) {
    auto s = w->GetSurface();
    std::lock_guard<std::mutex> lock(s->Mutex());
    return gdi::ColorFromPixel(s->Row(y)[x]);
}

TEST_F(WindowTest, The800By575WindowLeavesA794By530ClientArea) {
    CountingDlg dlg;
    ASSERT_TRUE(dlg.Create(kMainDialog));
    dlg.MoveWindow(100, 20, 800, 575);
    CRect client, window;
    dlg.GetClientRect(&client);
    dlg.GetWindowRect(&window);
    EXPECT_EQ(client, CRect(0, 0, 794, 530));
    EXPECT_EQ(window, CRect(100, 20, 900, 595));
    EXPECT_EQ(dlg.GetSurface()->Width(), 794);
    EXPECT_EQ(dlg.GetSurface()->Height(), 530);
    CPoint origin(0, 0);
    dlg.ClientToScreen(&origin);
    EXPECT_EQ(origin, CPoint(103, 20 + 3 + 19 + 20));
    dlg.DestroyWindow();
}

TEST_F(WindowTest, MenuMarksFollowCheckAndEnable) {
    CountingDlg dlg;
    ASSERT_TRUE(dlg.Create(kMainDialog));
    CMenu* menu = dlg.GetMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->GetMenuState(32772, MF_BYCOMMAND), MF_ENABLED);
    EXPECT_EQ(menu->EnableMenuItem(32772, MF_GRAYED), MF_ENABLED);
    EXPECT_EQ(menu->CheckMenuItem(32786, MF_CHECKED), MF_UNCHECKED);
    EXPECT_EQ(menu->GetMenuState(32772, MF_BYCOMMAND), MF_GRAYED);
    EXPECT_EQ(menu->GetMenuState(32786, MF_BYCOMMAND), MF_CHECKED);
    EXPECT_EQ(menu->CheckMenuItem(4711, MF_CHECKED), 0xFFFFFFFFu);

    bool enabled = true, checked = false;
    std::string text;
    ASSERT_TRUE(afx::automation::MenuItemShown(&dlg, 32772, &enabled, &checked, &text));
    EXPECT_FALSE(enabled);
    EXPECT_FALSE(checked);
    EXPECT_EQ(text, "初级(&E)\tF1");  // the part after the tab is shown as the key hint
    ASSERT_TRUE(afx::automation::MenuItemShown(&dlg, 32786, &enabled, &checked));
    EXPECT_TRUE(enabled);
    EXPECT_TRUE(checked);
    ASSERT_TRUE(afx::automation::MenuItemShown(&dlg, 32785, &enabled, &checked));
    EXPECT_FALSE(checked);

    menu->EnableMenuItem(32772, MF_ENABLED);
    menu->CheckMenuItem(32786, MF_UNCHECKED);
    ASSERT_TRUE(afx::automation::MenuItemShown(&dlg, 32772, &enabled, &checked));
    EXPECT_TRUE(enabled);
    ASSERT_TRUE(afx::automation::MenuItemShown(&dlg, 32786, &enabled, &checked));
    EXPECT_FALSE(checked);
    dlg.DestroyWindow();
}

TEST_F(WindowTest, TimersFireInOrderOnTheVirtualClock) {
    CountingDlg dlg;
    ASSERT_TRUE(dlg.Create(kMainDialog));
    const uint32_t start = GetTickCount();
    dlg.SetTimer(1, 1000);
    dlg.SetTimer(2, 700);
    afx::automation::Advance(2100);
    std::vector<std::pair<UINT_PTR, uint32_t>> rel;
    for (auto& [id, t] : dlg.ticks) rel.emplace_back(id, t - start);
    const std::vector<std::pair<UINT_PTR, uint32_t>> expected = {
        {2, 700}, {1, 1000}, {2, 1400}, {1, 2000}, {2, 2100}};
    EXPECT_EQ(rel, expected);
    EXPECT_EQ(GetTickCount() - start, 2100u);
    dlg.KillTimer(2);
    dlg.ticks.clear();
    afx::automation::Advance(1000);
    ASSERT_EQ(dlg.ticks.size(), 1u);
    EXPECT_EQ(dlg.ticks[0].first, 1u);
    dlg.DestroyWindow();
    // A destroyed window's timers are gone.
    EXPECT_EQ(seams::NextTimerDue(), -1);
}

TEST_F(WindowTest, ATimerThatCameDueWhileTheWindowWasBlockedDeliversOneMessage) {
    CountingDlg dlg;
    ASSERT_TRUE(dlg.Create(kMainDialog));
    const uint32_t start = GetTickCount();
    dlg.SetTimer(1, 1000);
    dlg.SetTimer(2, 100);
    // Timer 1's handler blocks the window for 2.5 s (a synchronous sound, a Sleep).
    dlg.onTimer = [](UINT_PTR id) {
        if (id == 1) Sleep(2500);
    };
    afx::automation::Advance(1000);
    // Timer 2 at 100..900; at 1000 timer 1 (set first) blocks the window until 3500, and timer
    // 2, due at 1000 meanwhile, is delivered once when the window is free again.
    size_t twos = 0;
    for (auto& t : dlg.ticks) twos += t.first == 2;
    EXPECT_EQ(twos, 10u);
    ASSERT_FALSE(dlg.ticks.empty());
    EXPECT_EQ(dlg.ticks.back(), std::make_pair(UINT_PTR{2}, start + 3500));
    EXPECT_EQ(GetTickCount() - start, 3500u);
    dlg.ticks.clear();
    dlg.onTimer = nullptr;
    afx::automation::Advance(0);
    // Timer 1 came due at 2000 and 3000 during the block: one message.
    ASSERT_EQ(dlg.ticks.size(), 1u);
    EXPECT_EQ(dlg.ticks[0].first, 1u);
    dlg.ticks.clear();
    afx::automation::Advance(100);
    ASSERT_EQ(dlg.ticks.size(), 1u);  // timer 2 again a period after its late delivery
    EXPECT_EQ(dlg.ticks[0].first, 2u);
    EXPECT_EQ(dlg.ticks[0].second - start, 3600u);
    dlg.DestroyWindow();
}

TEST_F(WindowTest, DrawingOnAWindowDcReachesTheSurfaceWithoutPaint) {
    CountingDlg dlg;
    ASSERT_TRUE(dlg.Create(kMainDialog));
    afx::automation::ProcessPending();
    const int paintsBefore = dlg.paints;
    CDC* dc = dlg.GetDC();
    ASSERT_NE(dc, nullptr);
    CRect cell(40, 50, 80, 100);
    dc->FillSolidRect(&cell, RGB(255, 128, 0));
    dlg.ReleaseDC(dc);
    EXPECT_EQ(PixelAt(&dlg, 40, 50), RGB(255, 128, 0));
    EXPECT_EQ(PixelAt(&dlg, 79, 99), RGB(255, 128, 0));
    EXPECT_NE(PixelAt(&dlg, 80, 100), RGB(255, 128, 0));
    // Another thread draws too (the advert player does).
    std::thread painter([&] {
        CDC* tdc = dlg.GetDC();
        tdc->FillSolidRect(0, 0, 10, 10, RGB(0, 0, 255));
        dlg.ReleaseDC(tdc);
    });
    painter.join();
    EXPECT_EQ(PixelAt(&dlg, 5, 5), RGB(0, 0, 255));
    afx::automation::ProcessPending();
    EXPECT_EQ(dlg.paints, paintsBefore);
    dlg.DestroyWindow();
}

TEST_F(WindowTest, InvalidatingAsksForOnePaintAndErasesOnlyWhenAsked) {
    CountingDlg dlg;
    ASSERT_TRUE(dlg.Create(kMainDialog));
    afx::automation::ProcessPending();
    // The first paint erased the background with the dialog's (black) brush.
    EXPECT_GE(dlg.paints, 1);
    EXPECT_EQ(PixelAt(&dlg, 10, 10), RGB(0, 0, 0));
    const int before = dlg.paints;
    CDC* dc = dlg.GetDC();
    dc->FillSolidRect(0, 0, 20, 20, RGB(9, 9, 9));
    dlg.ReleaseDC(dc);
    CRect a(0, 0, 10, 10), b(30, 5, 40, 15);
    dlg.InvalidateRect(&a, FALSE);
    dlg.InvalidateRect(&b, FALSE);
    EXPECT_EQ(dlg.paints, before);  // not yet: painting waits for an idle moment
    afx::automation::ProcessPending();
    EXPECT_EQ(dlg.paints, before + 1);
    EXPECT_EQ(CRect(dlg.lastPaint), CRect(0, 0, 40, 15));
    EXPECT_EQ(PixelAt(&dlg, 5, 5), RGB(9, 9, 9));  // not erased
    dlg.Invalidate(TRUE);
    afx::automation::ProcessPending();
    EXPECT_EQ(dlg.paints, before + 2);
    EXPECT_EQ(PixelAt(&dlg, 5, 5), RGB(0, 0, 0));  // erased with the dialog brush
    dlg.DestroyWindow();
}

TEST_F(WindowTest, AMessageBoxIsAnsweredByTheResponderAndTraced) {
    TraceLog trace;
    seams::EnableResponder(true);
    seams::QueueAnswer("no");
    seams::QueueAnswer("ok");
    EXPECT_EQ(MessageBox(nullptr, "再来一局?", "提示", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(AfxMessageBox("时间到!\n\n加时间能量100分.", MB_OK), IDOK);
    ASSERT_EQ(trace.lines.size(), 2u);
    EXPECT_EQ(trace.lines[0],
              "{\"event\": \"msgbox\", \"caption\": \"提示\", \"text\": \"再来一局?\"}");
    EXPECT_NE(trace.lines[1].find("\"text\": \"时间到!\\n\\n加时间能量100分.\""),
              std::string::npos);
    std::vector<std::string> errors;
    seams::SetResponderErrorHandler([&](const std::string& m) { errors.push_back(m); });
    MessageBox(nullptr, "文本", "失败", MB_OK);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("\"失败\""), std::string::npos);
}

TEST_F(WindowTest, TheMainWindowsTimersKeepFiringUnderAModalDialog) {
    afx::automation::SetLiveDialog(kRecordDialog, true);
    CountingDlg outer;
    CDialog inner(kRecordDialog);
    INT_PTR innerResult = 0;
    Script script({[&] {
                       outer.SetTimer(1, 1000);
                       innerResult = inner.DoModal();
                   },
                   [&] { afx::automation::Advance(3000); }, [&] { afx::automation::Key("Escape"); },
                   [&] { outer.EndDialog(IDOK); }});
    EXPECT_EQ(outer.DoModal(), IDOK);
    afx::automation::SetLiveDialog(kRecordDialog, false);
    EXPECT_EQ(innerResult, IDCANCEL);
    EXPECT_EQ(outer.ticks.size(), 3u);
}

TEST_F(WindowTest, MinimiseAndRestoreThroughTheSystemMenu) {
    CountingDlg dlg;
    ASSERT_TRUE(dlg.Create(kMainDialog));
    CMenu* sys = dlg.GetSystemMenu(FALSE);
    ASSERT_NE(sys, nullptr);
    sys->AppendMenu(MF_SEPARATOR);
    sys->AppendMenu(MF_STRING, 16, "关于(&A)...");
    dlg.ShowWindow(SW_MINIMIZE);
    EXPECT_TRUE(dlg.IsIconic());
    // The main window is what the automation addresses when no modal dialog runs.
    CWinApp app;
    app.m_pMainWnd = &dlg;
    EXPECT_TRUE(afx::automation::MenuCommand(SC_RESTORE));
    EXPECT_FALSE(dlg.IsIconic());
    EXPECT_TRUE(afx::automation::MenuCommand(16));
    EXPECT_FALSE(afx::automation::MenuCommand(4711));
    EXPECT_EQ(dlg.sysCommands, (std::vector<UINT>{SC_RESTORE, 16}));
    // Alt+Space opens the system menu substitute with the appended item.
    EXPECT_EQ(afx::automation::OpenSystemMenu(), nullptr);
    EXPECT_TRUE(afx::automation::Key("Alt+Space"));
    CMenu* open = afx::automation::OpenSystemMenu();
    ASSERT_EQ(open, sys);
    EXPECT_EQ(open->GetMenuItemID(open->GetMenuItemCount() - 1), 16u);
    dlg.GetMenu()->EnableMenuItem(32775, MF_GRAYED);
    EXPECT_FALSE(afx::automation::MenuCommand(32775));  // a greyed item cannot be chosen
    app.m_pMainWnd = nullptr;
    dlg.DestroyWindow();
}

}  // namespace
