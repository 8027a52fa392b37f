// The hyperlink labels of the About box on the real framework (offscreen): attachment (notify
// style, underlined font, fit to the text, tooltip), colours under the mouse and after a visit,
// and a click through the desktop's opener, the registered browser, or the error message.
#include "game/extras/about_dlg.h"
#include "game/extras/extras_resources.h"
#include "platform/shell/shell.h"
#include "tests/extras/window_fixture.h"

namespace {

using extrastest::WindowTest;

class LinkLabelTest : public WindowTest {
  protected:
    // The centre of `label` in the dialog's client coordinates.
    static CPoint Centre(CDialog& dlg, CWnd& label) {
        RECT r;
        label.GetWindowRect(&r);
        dlg.ScreenToClient(&r);
        return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    static COLORREF DrawnColour(CLinkLabel& label, HBRUSH* brush = nullptr) {
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        HBRUSH b = label.CtlColor(&dc, CTLCOLOR_STATIC);
        if (brush) *brush = b;
        EXPECT_EQ(dc.GetBkMode(), TRANSPARENT);
        return dc.GetTextColor();
    }
};

TEST_F(LinkLabelTest, AttachedLabelsAreUnderlinedNotifyingFittedAndTipped) {
    CAboutDlg about;
    RunModal(about, {[&] {
                 CString caption;
                 about.GetWindowText(caption);
                 EXPECT_EQ(caption, "关于Qarven Vorn 4.0版");
                 for (CLinkLabel* label : {&about.m_firstLink, &about.m_secondLink}) {
                     EXPECT_TRUE(label->GetStyle() & SS_NOTIFY);
                     LOGFONT lf;
                     ASSERT_NE(label->GetFont(), nullptr);
                     ASSERT_TRUE(label->GetFont()->GetLogFont(&lf));
                     EXPECT_EQ(lf.lfUnderline, 1);
                     CString text;
                     label->GetWindowText(text);
                     EXPECT_EQ(text, label->GetLinkTarget());
                     EXPECT_EQ(label->ToolTip().GetToolText(label, 1), label->GetLinkTarget());
                     // The control is exactly as wide and high as its text.
                     CClientDC dc(label);
                     dc.SelectObject(label->GetFont());
                     const CSize extent = dc.GetTextExtent(text.str());
                     RECT r;
                     label->GetClientRect(&r);
                     EXPECT_EQ(r.right, extent.cx);
                     EXPECT_EQ(r.bottom, extent.cy);
                 }
                 EXPECT_EQ(about.m_firstLink.GetLinkTarget(), kAboutFirstAddress);
                 EXPECT_EQ(about.m_secondLink.GetLinkTarget(), kAboutSecondAddress);
                 about.m_firstLink.SetLinkTarget("https://kivra.example.org/x");
                 EXPECT_EQ(about.m_firstLink.ToolTip().GetToolText(&about.m_firstLink, 1),
                           "https://kivra.example.org/x");
                 afx::automation::Key("Escape");
             }});
}

TEST_F(LinkLabelTest, HoverColourWhileOverVisitedColourAfterASuccessfulClick) {
    InstallOpener(0);
    CAboutDlg about;
    CLinkLabel& link = about.m_firstLink;
    RunModal(about, {[&] {
                         HBRUSH brush = nullptr;
                         EXPECT_EQ(DrawnColour(link, &brush), RGB(0, 0, 238));
                         EXPECT_EQ(brush, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
                         const CPoint p = Centre(about, link);
                         afx::automation::MouseMove(p.x, p.y);
                         EXPECT_TRUE(link.IsOver());
                         EXPECT_EQ(DrawnColour(link), GetSysColor(COLOR_HIGHLIGHT));
                         EXPECT_EQ(CWnd::GetCapture(), &link);
                         EXPECT_EQ(afx::automation::CurrentCursor(), link.LinkCursor());
                     },
                     [&] {
                         afx::automation::MouseMove(2, 2);
                         EXPECT_FALSE(link.IsOver());
                         EXPECT_EQ(CWnd::GetCapture(), nullptr);
                         EXPECT_EQ(DrawnColour(link), RGB(0, 0, 238));
                     },
                     [&] {
                         const CPoint p = Centre(about, link);
                         afx::automation::Click(p.x, p.y);
                     },
                     [&] {
                         EXPECT_TRUE(link.IsVisited());
                         afx::automation::MouseMove(2, 2);
                         EXPECT_EQ(DrawnColour(link), RGB(85, 26, 139));
                         EXPECT_FALSE(about.m_secondLink.IsVisited());
                         afx::automation::Key("Escape");
                     }});
    EXPECT_TRUE(Events("msgbox").empty());
    ASSERT_EQ(Events("url").size(), 1u);
    EXPECT_EQ(Events("url")[0].Str("address"), kAboutFirstAddress);
    EXPECT_EQ(WaitForFile("opener.out"), std::string(kAboutFirstAddress) + "\n");
}

TEST_F(LinkLabelTest, NoOpenerAndNoBrowserShowsTheErrorForCode31) {
    InstallOpener(4);  // the opener finds no handler
    seams::EnableResponder(true);
    afx::automation::SetLiveDialog(CAboutDlg::IDD, true);
    seams::QueueAnswer("ok");
    CAboutDlg about;
    RunModal(about, {[&] {
                         const CPoint p = Centre(about, about.m_secondLink);
                         afx::automation::Click(p.x, p.y);
                     },
                     [&] {
                         EXPECT_FALSE(about.m_secondLink.IsVisited());
                         afx::automation::Key("Escape");
                     }});
    afx::automation::SetLiveDialog(CAboutDlg::IDD, false);
    const auto boxes = Events("msgbox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Str("text"), LinkOpenErrorText(31));
    EXPECT_TRUE(Events("url").empty());
}

// The error box over a link that would not open takes the mouse: the link's hover capture
// ends as the box opens (no window of the program keeps the pointer while a box waits), the
// link shows its normal colour again, and the box answers its own Return.
TEST_F(LinkLabelTest, TheErrorBoxEndsTheLinksHoverAndCapture) {
    InstallOpener(4);
    seams::EnableResponder(true);
    afx::automation::SetLiveDialog(CAboutDlg::IDD, true);
    CAboutDlg about;
    CLinkLabel& link = about.m_firstLink;
    bool capturedUnderBox = true, overUnderBox = true, boxOnTop = false;
    RunModal(about, {[&] {
                         const CPoint p = Centre(about, link);
                         afx::automation::MouseMove(p.x, p.y);
                         ASSERT_EQ(CWnd::GetCapture(), &link);
                         seams::QueueAnswer("hold");
                         afx::automation::Click(p.x, p.y);
                     },
                     [&] {
                         boxOnTop = afx::automation::TopWindow() != &about;
                         capturedUnderBox = CWnd::GetCapture() != nullptr;
                         overUnderBox = link.IsOver();
                         afx::automation::Key("Return");
                     },
                     [&] {
                         EXPECT_EQ(afx::automation::TopWindow(), &about);
                         EXPECT_EQ(DrawnColour(link), RGB(0, 0, 238));
                         afx::automation::Key("Escape");
                     }});
    afx::automation::SetLiveDialog(CAboutDlg::IDD, false);
    EXPECT_TRUE(boxOnTop);
    EXPECT_FALSE(capturedUnderBox);
    EXPECT_FALSE(overUnderBox);
    ASSERT_EQ(Events("msgbox").size(), 1u);
}

// Each link is drawn with its underline: a row of the link's colour under most of its text.
TEST_F(LinkLabelTest, LinksAreDrawnUnderlined) {
    CAboutDlg about;
    std::vector<int> underlineRuns;
    RunModal(about, {[&] {
                 std::vector<uint32_t> pixels;
                 int width = 0, height = 0;
                 ASSERT_TRUE(afx::automation::GrabClient(&about, &pixels, &width, &height));
                 const uint32_t blue = 0xFF0000EE;
                 for (CLinkLabel* label : {&about.m_firstLink, &about.m_secondLink}) {
                     RECT r;
                     label->GetWindowRect(&r);
                     about.ScreenToClient(&r);
                     int best = 0;
                     for (int y = r.bottom - 2; y <= r.bottom + 1 && y < height; ++y) {
                         int run = 0;
                         for (int x = r.left; x < r.right; ++x)
                             run +=
                                 (pixels[static_cast<size_t>(y) * width + x] | 0xFF000000) == blue;
                         best = std::max(best, run * 100 / (r.right - r.left));
                     }
                     underlineRuns.push_back(best);
                 }
                 afx::automation::Key("Escape");
             }});
    ASSERT_EQ(underlineRuns.size(), 2u);
    EXPECT_GE(underlineRuns[0], 90) << "percent of the first link's width underlined";
    EXPECT_GE(underlineRuns[1], 90) << "percent of the second link's width underlined";
}

TEST_F(LinkLabelTest, FailingOpenerFallsBackToTheRegisteredBrowser) {
    InstallOpener(4);
    InstallDefaultBrowser(Path("bin/browser") + " --new-window %u");
    const std::intptr_t result =
        CLinkLabel::OpenLink("https://kivra.example.org/fallback", SW_SHOW);
    EXPECT_GT(result, 32);
    EXPECT_EQ(WaitForFile("browser.out"), "--new-window https://kivra.example.org/fallback\n");
    std::string cls;
    EXPECT_EQ(CLinkLabel::ReadRegistryDefault(".htm", cls), 0);
    EXPECT_EQ(cls, "test-browser.desktop");
    std::string command;
    EXPECT_EQ(CLinkLabel::ReadRegistryDefault((cls + "\\shell\\open\\command").c_str(), command),
              0);
    EXPECT_NE(command.find("%1"), std::string::npos);
}

TEST_F(LinkLabelTest, RegistryValueLongerThanTheBufferIsAFailedRead) {
    InstallOpener(4);
    // A command line of more than 260 bytes cannot be read whole: the shell's code comes back.
    InstallDefaultBrowser(Path("bin/browser") + " --profile=" + std::string(300, 'p') + " %u");
    std::string cls, command;
    ASSERT_EQ(CLinkLabel::ReadRegistryDefault(".htm", cls), 0);
    EXPECT_NE(CLinkLabel::ReadRegistryDefault((cls + "\\shell\\open\\command").c_str(), command),
              0);
    EXPECT_EQ(CLinkLabel::OpenLink("https://kivra.example.org/", SW_SHOW), 31);
}

}  // namespace

namespace {

class HelpCommandTest : public extrastest::WindowTest {};

TEST_F(HelpCommandTest, OpensTheHelpFileAtItsDefaultTopic) {
    // No help file here: the viewer reports that itself; the command still asks for it.
    ShowGameHelp();
    afx::automation::ProcessPending();
    const auto help = Events("help");
    ASSERT_EQ(help.size(), 1u);
    EXPECT_EQ(help[0].Str("file"), "mavek.chm");
    CloseHelpViewers();
}

}  // namespace
