// Which window owns the game's dialogs and boxes, as the window manager sees them: each is a
// dialog transient for the main window, with neither a minimise nor a maximise function or
// button, stacked above the main window and centred on it (after the player moved it); the main
// window itself cannot be maximised.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "tests/desktop/time_up.h"
#include "tests/support/process.h"

namespace desktop {
namespace {

using testsupport::kMwmDecorMaximize;
using testsupport::kMwmDecorMinimize;
using testsupport::kMwmFuncMaximize;
using testsupport::kMwmFuncMinimize;
using testsupport::WaitUntil;

bool Has(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

class OwnershipTest : public TimeUpTest {
  protected:
    // Drags the main window by its title bar, so that centred on it is not centred on the
    // screen.
    void MoveMainWindow(XWindow main) {
        const Rect frame = x_.FrameRect(main);
        const int grabX = frame.x + frame.w / 3, grabY = frame.y + x_.Extents(main).top / 2;
        x_.Drag(grabX, grabY, grabX - 80, grabY - 60);
        EXPECT_TRUE(WaitUntil(kReactMs,
                              [&] {
                                  const Rect now = x_.FrameRect(main);
                                  return now.x == frame.x - 80 && now.y == frame.y - 60;
                              }))
            << "the main window did not move: " << ToString(x_.FrameRect(main));
        testsupport::SleepMs(300);
    }

    void ExpectOwnedDialog(XWindow dialog, XWindow main, const std::string& what) {
        EXPECT_EQ(x_.TransientFor(dialog), main) << what << " is not transient for the main window";
        const auto types = x_.AtomList(dialog, "_NET_WM_WINDOW_TYPE");
        EXPECT_TRUE(!types.empty() && types[0] == "_NET_WM_WINDOW_TYPE_DIALOG")
            << what << " is not of the dialog type";
        const testsupport::MotifHints m = x_.Motif(dialog);
        EXPECT_FALSE(m.AllowsFunction(kMwmFuncMinimize)) << what << " can be minimised";
        EXPECT_FALSE(m.AllowsFunction(kMwmFuncMaximize)) << what << " can be maximised";
        EXPECT_FALSE(m.ShowsDecoration(kMwmDecorMinimize)) << what << " asks for a minimise button";
        EXPECT_FALSE(m.ShowsDecoration(kMwmDecorMaximize)) << what << " asks for a maximise button";

        const auto order = x_.StackingOrder();
        const auto at = [&](XWindow w) { return std::find(order.begin(), order.end(), w); };
        EXPECT_TRUE(at(dialog) != order.end() && at(main) != order.end() && at(dialog) > at(main))
            << what << " is not stacked above the main window";

        const Rect d = x_.FrameRect(dialog), m2 = x_.FrameRect(main);
        EXPECT_LE(std::abs(d.CentreX2() - m2.CentreX2()), 8)
            << what << " " << ToString(d) << " is not centred on the main window " << ToString(m2);
        EXPECT_LE(std::abs(d.CentreY2() - m2.CentreY2()), 8)
            << what << " " << ToString(d) << " is not centred on the main window " << ToString(m2);
    }
};

TEST_F(OwnershipTest, AboutAndLeaderboardBelongToTheMainWindow) {
    const XWindow main = StartGame();
    ASSERT_NE(main, 0u);
    MoveMainWindow(main);

    const XWindow about = OpenAbout(main);
    ASSERT_NE(about, 0u);
    ExpectOwnedDialog(about, main, "the About box");
    x_.Key("Escape");
    ASSERT_TRUE(x_.WaitGone(about, kReactMs)) << "Esc did not close the About box";

    const XWindow board = OpenLeaderboard(main);
    ASSERT_NE(board, 0u);
    ExpectOwnedDialog(board, main, "the leaderboard");
    x_.Key("Escape");
    EXPECT_TRUE(x_.WaitGone(board, kReactMs)) << "Esc did not close the leaderboard";
}

TEST_F(OwnershipTest, TimeUpBoxAndNameEntryBelongToTheMainWindow) {
    StartDriver({"time 1000", "start"});
    const XWindow main = x_.WaitForClient(kMainTitle, kStartMs);
    ASSERT_NE(main, 0u) << "no main window:\n" << driver_.Transcript();
    SettledShot(x_.Geometry(main));
    MoveMainWindow(main);

    for (const char* line : {"key F1", "answer hold", "answer hold", "wait 181000"})
        driver_.Send(line);
    ASSERT_TRUE(driver_.WaitForEvent("msgbox", kStartMs, nullptr)) << driver_.Transcript();
    const XWindow box = x_.WaitForClient(kTimeUpCaption, kShowMs);
    ASSERT_NE(box, 0u) << "the time-up box is not shown";
    ExpectOwnedDialog(box, main, "the time-up box");
    driver_.Send("answer ok");

    const XWindow entry = x_.WaitForClient(kNameEntryTitle, kShowMs);
    ASSERT_NE(entry, 0u) << "the name entry dialog is not shown:\n" << driver_.Transcript();
    SettledShot(x_.Geometry(entry));
    ExpectOwnedDialog(entry, main, "the name entry dialog");
    driver_.Send("answer cancel");
    EXPECT_TRUE(x_.WaitGone(entry, kReactMs));
    Quit();
}

TEST_F(OwnershipTest, MainWindowCannotBeMaximised) {
    const XWindow main = StartGame();
    ASSERT_NE(main, 0u);
    const testsupport::MotifHints m = x_.Motif(main);
    EXPECT_FALSE(m.AllowsFunction(kMwmFuncMaximize)) << "the main window offers maximising";
    EXPECT_FALSE(m.ShowsDecoration(kMwmDecorMaximize))
        << "the main window asks for a maximise button";
    const auto actions = x_.AtomList(main, "_NET_WM_ALLOWED_ACTIONS");
    EXPECT_FALSE(Has(actions, "_NET_WM_ACTION_MAXIMIZE_HORZ") ||
                 Has(actions, "_NET_WM_ACTION_MAXIMIZE_VERT"))
        << "the window manager lets the main window be maximised";

    const Rect before = x_.Geometry(main);
    x_.RequestNetWmState(main, 1, "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ");
    EXPECT_FALSE(WaitUntil(1000, [&] { return !(x_.Geometry(main) == before); }))
        << "the main window changed from " << ToString(before) << " to "
        << ToString(x_.Geometry(main));
    EXPECT_FALSE(Has(x_.AtomList(main, "_NET_WM_STATE"), "_NET_WM_STATE_MAXIMIZED_VERT"));
}

}  // namespace
}  // namespace desktop
