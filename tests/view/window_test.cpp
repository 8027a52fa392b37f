// The view on a real window of the framework (offscreen): WM_PAINT shows the idle picture, the
// game frame or, while minimised, the icon; a redrawn cell and the link path reach the window
// surface at once, without a repaint.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "game/view/view.h"
#include "platform/afx/afxwin.h"
#include "platform/afx/automation.h"
#include "platform/afx/templates.h"
#include "platform/seams/seams.h"
#include "tests/support/jpeg_writer.h"
#include "tests/view/artwork.h"

namespace {

constexpr int kDialog = 19102;

void WriteFlatJpeg(const char* path, int w, int h, COLORREF c) {
    testjpeg::JpegOptions options;
    options.quality = 100;
    ASSERT_TRUE(testjpeg::WriteJpeg(
        path, w, h, [c](int, int) { return c; }, options))
        << path;
}

class ViewDlg : public CDialog {
  public:
    ViewDlg() : CDialog(kDialog) {}
    void OnPaint() override {
        ++paints;
        view.Paint(this, state);
    }
    CGameView view;
    GameViewState state;
    int paints = 0;
};

class ViewWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        afx::InitPlatform();
        afx::automation::UseVirtualClock(1700000000);
        viewtest::SharedArtwork();
        afx::DialogTemplate t;
        t.id = kDialog;
        t.caption = "view";
        t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE;
        t.cx = 320;
        t.cy = 200;
        afx::RegisterDialogTemplate(t);
    }
    void TearDown() override { seams::UseRealClock(); }
};

COLORREF PixelAt(CWnd* w, int x, int y) {
    auto s = w->GetSurface();
    std::lock_guard<std::mutex> lock(s->Mutex());
    return gdi::ColorFromPixel(s->Row(y)[x]);
}

bool Near(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= 3 &&
           std::abs(GetGValue(a) - GetGValue(b)) <= 3 && std::abs(GetBValue(a) - GetBValue(b)) <= 3;
}

TEST_F(ViewWindowTest, IdlePictureAtItsOwnSizeThenTheGameFrame) {
    mkdir("viewwin", 0755);
    WriteFlatJpeg("viewwin/z0.jpg", 96, 64, RGB(200, 40, 40));
    CPicture idle;
    idle.Load("viewwin\\z0.jpg");
    ASSERT_TRUE(idle.IsLoaded());
    ViewDlg dlg;
    dlg.state.idle = &idle;
    ASSERT_TRUE(dlg.Create(kDialog));
    dlg.MoveWindow(0, 0, 800, 575);
    dlg.view.Init(&dlg);
    dlg.Invalidate(FALSE);
    afx::automation::ProcessPending();
    ASSERT_GE(dlg.paints, 1);
    EXPECT_TRUE(Near(PixelAt(&dlg, 0, 0), RGB(200, 40, 40)));
    EXPECT_TRUE(Near(PixelAt(&dlg, 95, 63), RGB(200, 40, 40)));
    EXPECT_FALSE(Near(PixelAt(&dlg, 96, 10), RGB(200, 40, 40)));  // beyond the picture
    EXPECT_FALSE(Near(PixelAt(&dlg, 10, 64), RGB(200, 40, 40)));

    CBoard board;
    board.SetDifficultyAndLevel(Easy, 1);
    board.Set(2, 2, 3);
    dlg.state.board = &board;
    dlg.state.gameInProgress = true;
    dlg.state.timeLeft = 300;
    dlg.Invalidate(FALSE);
    afx::automation::ProcessPending();
    EXPECT_EQ(PixelAt(&dlg, 10, 300), RGB(0, 0, 0));   // the frame is cleared
    EXPECT_EQ(PixelAt(&dlg, 300, 8), RGB(255, 0, 0));  // the time bar
    EXPECT_EQ(PixelAt(&dlg, 160 + 20, 115 + 25), viewtest::PictureColour(0, 3));

    // Selecting the tile redraws its face on the window at once, without a repaint.
    const int paints = dlg.paints;
    ASSERT_EQ(board.LeftClick(Cell{2, 2}).outcome, ClickOutcome::FirstSelected);
    dlg.view.RedrawCell(&dlg, dlg.state, Cell{2, 2});
    const COLORREF frame = viewtest::kFrameColours[board.FrameStyle()];
    EXPECT_EQ(PixelAt(&dlg, 161, 116), frame & RGB(128, 128, 128));
    PathRecord path;
    path.bends = 0;
    dlg.view.DrawLinkPath(&dlg, dlg.state, path, Cell{2, 2}, Cell{4, 2});
    EXPECT_EQ(PixelAt(&dlg, 230, 140), RGB(255, 128, 0));
    EXPECT_EQ(dlg.paints, paints);
    dlg.DestroyWindow();
}

TEST_F(ViewWindowTest, MinimisedWindowShowsTheIconCentred) {
    // A 32 x 32 icon, opaque green.
    std::vector<uint8_t> ico(6 + 16 + 40 + 32 * 32 * 4 + 32 * 4, 0);
    auto put16 = [&](size_t at, int v) { gditest::Put16(ico, at, static_cast<uint16_t>(v)); };
    put16(2, 1);
    put16(4, 1);
    ico[6] = 32;
    ico[7] = 32;
    put16(10, 1);
    put16(12, 32);
    gditest::Put32(ico, 14, 40 + 32 * 32 * 4 + 32 * 4);
    gditest::Put32(ico, 18, 22);
    gditest::Put32(ico, 22, 40);
    gditest::Put32(ico, 26, 32);
    gditest::Put32(ico, 30, 64);
    put16(34, 1);
    put16(36, 32);
    for (int i = 0; i < 32 * 32; ++i) {
        ico[62 + 4 * i + 1] = 255;
        ico[62 + 4 * i + 3] = 255;
    }
    HICON icon = CreateIconFromFile(ico.data(), ico.size());
    ASSERT_NE(icon, nullptr);
    ViewDlg dlg;
    dlg.state.icon = icon;
    ASSERT_TRUE(dlg.Create(kDialog));
    dlg.view.Init(&dlg);
    afx::automation::ProcessPending();
    dlg.ShowWindow(SW_MINIMIZE);
    ASSERT_TRUE(dlg.IsIconic());
    dlg.Invalidate(FALSE);
    afx::automation::ProcessPending();
    CRect client;
    dlg.GetClientRect(&client);
    const int x = (client.Width() - 32 + 1) / 2, y = (client.Height() - 32 + 1) / 2;
    ASSERT_GE(client.Width(), 32);
    ASSERT_GE(client.Height(), 32);
    {
        EXPECT_EQ(PixelAt(&dlg, x, y), RGB(0, 255, 0));
        EXPECT_EQ(PixelAt(&dlg, x + 31, y + 31), RGB(0, 255, 0));
        if (x > 0) {
            EXPECT_NE(PixelAt(&dlg, x - 1, y), RGB(0, 255, 0));
        }
    }
    dlg.DestroyWindow();
    DestroyIcon(icon);
}

}  // namespace
