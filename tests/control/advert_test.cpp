// A cleared level with an advert, played in the real main window on the virtual clock: the
// advert window opens over the game with the bonus caption, animates, opens its address on a
// click, closes by itself on the eleventh tick of its timer, and the next level follows.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "game/extras/ad_dlg.h"
#include "platform/afx/automation.h"
#include "tests/control/harness.h"

namespace {

namespace fs = std::filesystem;

constexpr int kAdvertDialog = 159;

std::vector<uint32_t> Grab(CWnd* wnd) {
    std::vector<uint32_t> pixels;
    int w = 0, h = 0;
    if (!afx::automation::GrabClient(wnd, &pixels, &w, &h)) pixels.clear();
    return pixels;
}

// Waits (real time: the animation runs on its own thread) until the window shows a picture
// that holds still for a while, and returns it.
std::vector<uint32_t> SettledGrab(CWnd* wnd) {
    std::vector<uint32_t> last = Grab(wnd);
    int same = 0;
    for (int i = 0; i < 300 && same < 10; ++i) {
        afx::automation::ProcessPending();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::vector<uint32_t> now = Grab(wnd);
        same = now == last ? same + 1 : 0;
        last = std::move(now);
    }
    return last;
}

// Opening an address runs a do-nothing opener instead of the desktop's browser.
class QuietOpener {
  public:
    explicit QuietOpener(const std::string& dir)
        : oldPath_(std::getenv("PATH") ? std::getenv("PATH") : "") {
        const fs::path bin = fs::path(dir) / "bin";
        fs::create_directories(bin);
        {
            std::ofstream script(bin / "xdg-open");
            script << "#!/bin/sh\nexit 0\n";
        }
        fs::permissions(bin / "xdg-open", fs::perms::owner_all);
        setenv("PATH", (bin.string() + ":" + oldPath_).c_str(), 1);
    }
    ~QuietOpener() { setenv("PATH", oldPath_.c_str(), 1); }

  private:
    std::string oldPath_;
};

TEST(Advert, ClearedLevelShowsTheAdvertThenTheNextLevel) {
    GameHarness h;
    QuietOpener opener(h.Dir());
    afx::automation::SetLiveDialog(kAdvertDialog, true);

    int phase = 0;
    bool advertOnTop = false, animated = false, stayedAfterClick = false;
    bool openBeforeEleventh = false, leftOpen = false;
    int countBeforeEleventh = -1;
    size_t urlsAfterClick = 0;
    int clientW = 0, clientH = 0;
    CString caption;
    std::string tracedCaption;
    std::vector<TraceEvent> boxesBeforeAdvert;
    int scoreBefore = 0, levelAfter = 0, hintsAfter = 0, reshufflesAfter = 0, timeAfter = 0;
    int tilesAfter = 0;
    bool inProgressAfter = false;

    afx::InitPlatform();
    afx::automation::UseVirtualClock(1234567);
    CGameDlg game;
    auto advertSteps = [&] {
        CWnd* top = afx::automation::TopWindow();
        advertOnTop = top != nullptr && top != &game && dynamic_cast<CAdDlg*>(top) != nullptr;
        if (!advertOnTop) return;
        for (const auto& e : h.Events())
            if (e.event == "dialog" && e.Int("id") == kAdvertDialog)
                tracedCaption = e.Str("caption");
        boxesBeforeAdvert = h.Take("msgbox");
        RECT client;
        top->GetClientRect(&client);
        clientW = client.right;
        clientH = client.bottom;
        top->GetWindowText(caption);
        if (const char* shot = std::getenv("KIVRA_ADVERT_SHOT"))
            afx::automation::SaveClientPng(top, shot);

        // The picture changes as virtual time passes: its frames have delays of their own.
        uint32_t spent = 0;
        const std::vector<uint32_t> first = SettledGrab(top);
        for (int step = 0; step < 8 && !animated; ++step) {
            afx::automation::Advance(100);
            spent += 100;
            animated = SettledGrab(top) != first;
        }

        afx::automation::Click(clientW / 2, clientH / 2);
        for (const auto& e : h.Events())
            if (e.event == "url") ++urlsAfterClick;
        stayedAfterClick = afx::automation::TopWindow() == top;

        // Ten ticks count down; the eleventh closes it, 11 s after it opened.
        afx::automation::Advance(11000 - spent - 1);
        openBeforeEleventh = afx::automation::TopWindow() == top;
        countBeforeEleventh = static_cast<CAdDlg*>(top)->AutoCloseCount();
        afx::automation::Advance(1);
    };
    afx::automation::SetIdleHook([&] {
        if (phase == 0) {
            phase = 1;
            Press("F1");
            ASSERT_EQ(game.Difficulty(), 1);
            // Level 4 of Easy has an advert in the generated list; play its board down to
            // its last pair.
            Access::Board(game).SetDifficultyAndLevel(Easy, 4);
            HintPair pair;
            while (game.Board().TileCount() > 2 && FindPair(game, &pair)) ClickPair(game, pair);
            ASSERT_EQ(game.Board().TileCount(), 2);
            ASSERT_EQ(game.Level(), 4);
            ASSERT_TRUE(FindPair(game, &pair));
            SetValues(game, [](GameValues& v) {
                v.timeLeft = 100;
                v.hints = 3;
                v.reshuffles = 2;
            });
            scoreBefore = game.Score();
            h.Events().clear();
            // The two message boxes around the advert are answered with OK.
            seams::QueueAnswer(seams::Answer{});
            seams::QueueAnswer(seams::Answer{});
            ClickPair(game, pair);
            levelAfter = game.Level();
            hintsAfter = game.Hints();
            reshufflesAfter = game.Reshuffles();
            timeAfter = game.TimeLeft();
            tilesAfter = game.Board().TileCount();
            inProgressAfter = game.GameInProgress();
            phase = 3;
            if (game.GetSafeHwnd()) game.EndDialog(IDCANCEL);
        } else if (phase == 1) {
            phase = 2;
            advertSteps();
        } else if (phase == 2) {
            // The advert's loop is still running after its eleventh tick: end it rather than hang.
            CWnd* top = afx::automation::TopWindow();
            if (top != nullptr && top != &game) {
                leftOpen = true;
                static_cast<CDialog*>(top)->EndDialog(IDABORT);
            }
        }
    });
    game.DoModal();
    afx::automation::SetIdleHook(nullptr);
    afx::automation::SetLiveDialog(kAdvertDialog, false);
    seams::ClearAnswers();

    // Bonus: time left after the last pair's award (100 + 5), 10 per hint, 20 per reshuffle.
    const int bonus = 105 + 10 * 3 + 20 * 2;
    ASSERT_TRUE(advertOnTop) << "no advert window opened";
    ASSERT_EQ(boxesBeforeAdvert.size(), 1u);
    EXPECT_EQ(boxesBeforeAdvert[0].Str("caption"), "成功");
    EXPECT_EQ(boxesBeforeAdvert[0].Str("text"), "过关了!另加" + std::to_string(bonus) + "分.");
    EXPECT_EQ(std::string(caption.GetString()), "加" + std::to_string(bonus) + "分.进入第4关.");
    EXPECT_EQ(tracedCaption, std::string(caption.GetString()));
    EXPECT_GT(clientW, 0);
    EXPECT_GT(clientH, 0);
    EXPECT_TRUE(animated) << "the advert picture did not change over 800 ms";
    EXPECT_EQ(urlsAfterClick, 1u);
    EXPECT_TRUE(stayedAfterClick) << "a click closed the advert";
    EXPECT_TRUE(openBeforeEleventh) << "the advert closed before its eleventh tick";
    EXPECT_EQ(countBeforeEleventh, 0) << "ten ticks should have counted down in 10.999 s";
    EXPECT_FALSE(leftOpen) << "the advert did not close on its eleventh tick";

    // What came after the advert: its close, the message box, the next level.
    bool sawUrl = false, sawClose = false;
    std::vector<TraceEvent> boxesAfter;
    for (const auto& e : h.Events()) {
        if (e.event == "url") {
            EXPECT_EQ(e.Str("address"), "https://kivra.example.org/ad/104");
            sawUrl = true;
        }
        if (e.event == "dialog_closed" && e.Int("id") == kAdvertDialog) {
            EXPECT_EQ(e.Int("result"), IDCANCEL);
            EXPECT_EQ(boxesAfter.size(), 0u) << "a message box came before the advert closed";
            sawClose = true;
        }
        if (e.event == "msgbox") boxesAfter.push_back(e);
    }
    EXPECT_TRUE(sawUrl);
    EXPECT_TRUE(sawClose);
    ASSERT_EQ(boxesAfter.size(), 1u);
    EXPECT_EQ(boxesAfter[0].Str("caption"), "成功");
    EXPECT_EQ(boxesAfter[0].Str("text"), "进入第4关.");
    EXPECT_EQ(levelAfter, 5);
    EXPECT_EQ(hintsAfter, 4);
    EXPECT_EQ(reshufflesAfter, 3);
    EXPECT_EQ(timeAfter, 300);
    EXPECT_GT(tilesAfter, 2);
    EXPECT_TRUE(inProgressAfter);
    EXPECT_EQ(game.Score(), scoreBefore + 10 + bonus);
}

}  // namespace
