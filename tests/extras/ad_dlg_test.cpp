// The advert window on the real framework (offscreen) and the virtual clock: its size and place,
// the picture drawn by the animation thread, the click, the cursors and the auto-close timer.
#include "game/extras/ad_dlg.h"

#include <chrono>
#include <thread>

#include "tests/extras/gif_writer.h"
#include "tests/extras/window_fixture.h"

namespace {

using extrastest::WindowTest;
using giftest::GifWriter;

const char* const kAddress = "https://kivra.example.org/ad/103";

// A 120 x 60 advert: a red first frame, then a blue square with a transparent green hole.
std::vector<std::uint8_t> Advert() {
    GifWriter writer(120, 60, {{255, 0, 0}, {0, 0, 255}, {0, 255, 0}, {0, 0, 0}});
    giftest::Image red;
    red.width = 120;
    red.height = 60;
    red.pixels.assign(120 * 60, 0);
    giftest::Image square;
    square.left = 20;
    square.top = 10;
    square.width = 40;
    square.height = 40;
    square.pixels.assign(40 * 40, 1);
    for (int y = 10; y < 30; ++y)
        for (int x = 10; x < 30; ++x) square.pixels[std::size_t(y) * 40 + x] = 2;
    writer.Loop(0).GraphicControl(1, false, 0, 100).AddImage(red);
    writer.GraphicControl(1, true, 2, 100).AddImage(square);
    return writer.Trailer().bytes();
}

std::uint32_t PixelAt(CWnd& wnd, int x, int y) {
    const std::shared_ptr<gdi::Surface> surface = wnd.GetSurface();
    if (!surface || x >= surface->Width() || y >= surface->Height()) return 0;
    std::lock_guard<std::mutex> lock(surface->Mutex());
    return surface->Row(y)[x] & 0x00FFFFFFu;
}

// Waits (real time) for the animation thread to show `colour` at (x, y).
bool WaitForPixel(CWnd& wnd, int x, int y, std::uint32_t colour) {
    for (int i = 0; i < 300; ++i) {
        if (PixelAt(wnd, x, y) == colour) return true;
        afx::automation::ProcessPending();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

class AdDlgTest : public WindowTest {};

TEST_F(AdDlgTest, ClientAreaIsThePictureCentredAndItClosesAfterElevenSeconds) {
    WriteFile("ads/103.gif", Advert());
    CAdDlg dlg("过关奖励 500 分", kAddress, 1, 3);
    int seconds = 0;
    const INT_PTR result =
        RunModal(dlg,
                 {[&] {
                      RECT client, window;
                      dlg.GetClientRect(&client);
                      dlg.GetWindowRect(&window);
                      EXPECT_EQ(client.right - client.left, 120);
                      EXPECT_EQ(client.bottom - client.top, 60);
                      const int width = window.right - window.left;
                      const int height = window.bottom - window.top;
                      EXPECT_EQ(window.left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
                      EXPECT_EQ(window.top, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
                      CString caption;
                      dlg.GetWindowText(caption);
                      EXPECT_EQ(caption, "过关奖励 500 分");
                      ASSERT_NE(dlg.Picture(), nullptr);
                      EXPECT_EQ(dlg.Picture()->State(), gif::kRunning);
                      EXPECT_TRUE(WaitForPixel(dlg, 5, 5, 0xFF0000));
                  },
                  [&] {
                      // One second later the second frame is up: blue square, red through the hole.
                      afx::automation::Advance(1000);
                      EXPECT_TRUE(WaitForPixel(dlg, 21, 11, 0x0000FF));
                      EXPECT_EQ(PixelAt(dlg, 35, 25), 0xFF0000u);
                      EXPECT_EQ(dlg.AutoCloseCount(), 9);
                  }},
                 30, &seconds);
    EXPECT_EQ(result, IDCANCEL);
    // One second in the steps, ten more: closed on the eleventh tick.
    EXPECT_EQ(seconds, 10);
    ASSERT_EQ(Events("dialog").size(), 1u);
    EXPECT_EQ(Events("dialog_closed").size(), 1u);
    EXPECT_TRUE(Events("url").empty());
}

TEST_F(AdDlgTest, MissingPictureStillOpensCountsDownAndOpensItsAddress) {
    InstallOpener(0);
    CAdDlg dlg("奖励", kAddress, 4, 11);
    int seconds = 0;
    const INT_PTR result = RunModal(dlg, {[&] {
                                        ASSERT_NE(dlg.Picture(), nullptr);
                                        EXPECT_EQ(dlg.Picture()->State(), gif::kNeverStarted);
                                        RECT client;
                                        dlg.GetClientRect(&client);
                                        EXPECT_GT(client.right, 0);
                                        EXPECT_GT(client.bottom, 0);
                                        afx::automation::Click(10, 10);
                                    }},
                                    30, &seconds);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(seconds, 11);
    ASSERT_EQ(Events("url").size(), 1u);
    EXPECT_EQ(Events("url")[0].Str("address"), kAddress);
}

TEST_F(AdDlgTest, ClickOpensTheAddressAndLeavesTheWindowOpen) {
    WriteFile("ads/103.gif", Advert());
    InstallOpener(0);
    CAdDlg dlg("奖励", kAddress, 1, 3);
    bool stillOpen = false;
    const INT_PTR result =
        RunModal(dlg, {[&] { afx::automation::Click(60, 30); },
                       [&] {
                           stillOpen = dlg.IsModalRunning();
                           EXPECT_EQ(WaitForFile("opener.out"), std::string(kAddress) + "\n");
                           afx::automation::Key("Escape");
                       }});
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(result, IDCANCEL);
    ASSERT_EQ(Events("url").size(), 1u);
    EXPECT_EQ(Events("url")[0].Str("address"), kAddress);
}

TEST_F(AdDlgTest, HandCursorWithCaptureInsideArrowOutside) {
    WriteFile("ads/103.gif", Advert());
    CAdDlg dlg("奖励", kAddress, 1, 3);
    HCURSOR hand = ::LoadCursor(AfxGetInstanceHandle(), MAKEINTRESOURCE(CAdDlg::kHandCursorId));
    if (!hand) hand = ::LoadCursor(nullptr, IDC_HAND);
    const HCURSOR arrow = ::LoadCursor(nullptr, IDC_ARROW);
    ASSERT_NE(hand, nullptr);
    ASSERT_NE(hand, arrow);
    RunModal(dlg, {[&] {
                       afx::automation::MouseMove(60, 30);
                       EXPECT_TRUE(dlg.PointerInside());
                       EXPECT_EQ(afx::automation::CurrentCursor(), hand);
                       EXPECT_EQ(CWnd::GetCapture(), &dlg);
                       afx::automation::MouseMove(61, 31);
                       EXPECT_EQ(afx::automation::CurrentCursor(), hand);
                   },
                   [&] {
                       // The edge itself counts as outside.
                       afx::automation::MouseMove(0, 30);
                       EXPECT_FALSE(dlg.PointerInside());
                       EXPECT_EQ(afx::automation::CurrentCursor(), arrow);
                       EXPECT_EQ(CWnd::GetCapture(), nullptr);
                   },
                   [&] {
                       afx::automation::MouseMove(119, 59);
                       EXPECT_TRUE(dlg.PointerInside());
                       afx::automation::MouseMove(300, 30);
                       EXPECT_FALSE(dlg.PointerInside());
                       EXPECT_EQ(afx::automation::CurrentCursor(), arrow);
                       afx::automation::Key("Escape");
                   }});
}

TEST_F(AdDlgTest, DestroyingTheWindowStopsTheAnimationThread) {
    WriteFile("ads/208.gif", Advert());
    for (int round = 0; round < 5; ++round) {
        CAdDlg dlg("奖励", kAddress, 2, 8);
        RunModal(dlg, {[&] {
                     ASSERT_NE(dlg.Picture(), nullptr);
                     EXPECT_EQ(dlg.Picture()->State(), gif::kRunning);
                     afx::automation::Advance(round * 300);
                     afx::automation::Key("Escape");
                 }});
        EXPECT_EQ(dlg.Picture(), nullptr);
    }
}

// A crafted advert whose 1 x 1 frame is followed by a megabyte of codes that each name the
// longest string in the table: the player keeps animating it, and the window still closes on
// its eleventh tick and stops the player on the way.
TEST_F(AdDlgTest, AMegabyteOfLongestStringCodesStillClosesOnTime) {
    giftest::Image dot;
    dot.width = dot.height = 1;
    const giftest::Bytes codes = giftest::PackCodes(
        giftest::GiflibWidths(giftest::LongestStringCodes(std::size_t(1) << 20), 2));
    WriteFile("ads/105.gif", GifWriter(1, 1, giftest::Palette(4))
                                 .Loop(0)
                                 .GraphicControl(1, false, 0, 10)
                                 .AddRawImage(dot, 2, giftest::SubBlocks(codes))
                                 .Trailer()
                                 .bytes());
    CAdDlg dlg("奖励", kAddress, 1, 5);
    int seconds = 0;
    const INT_PTR result = RunModal(dlg, {[&] {
                                        ASSERT_NE(dlg.Picture(), nullptr);
                                        EXPECT_EQ(dlg.Picture()->State(), gif::kRunning);
                                    }},
                                    30, &seconds);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(seconds, 11);
    EXPECT_EQ(dlg.Picture(), nullptr);
}

TEST(AdvertFileName, DifficultyAndTwoDigitLevel) {
    EXPECT_EQ(CAdDlg::AdvertFileName(1, 3), "ads\\103.gif");
    EXPECT_EQ(CAdDlg::AdvertFileName(4, 11), "ads\\411.gif");
}

}  // namespace
